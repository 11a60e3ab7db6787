// The pending records ordered by due time, then adding order: a binary heap over pool positions.
#pragma once

#include <cstdint>
#include <memory>

#include "NoteRecord.h"

class NoteDueHeap {
 public:
  NoteDueHeap(NoteRecord* records, int capacity);

  int Size() const { return mSize; }
  int32_t Top() const { return mSize > 0 ? mHeap[0] : kNoRecord; }
  int32_t At(int position) const { return mHeap[position]; }
  void Push(int32_t idx);
  void Remove(int32_t idx);
  void Clear() { mSize = 0; }
  bool IsConsistent() const;

 private:
  bool Before(int32_t a, int32_t b) const {
    const NoteRecord& ra = mRecords[a];
    const NoteRecord& rb = mRecords[b];
    return ra.mDueAt != rb.mDueAt ? ra.mDueAt < rb.mDueAt : ra.mOrder < rb.mOrder;
  }
  void Place(int position, int32_t idx) {
    mHeap[position] = idx;
    mRecords[idx].mHeapPos = position;
  }
  void SiftUp(int position);
  void SiftDown(int position);

  NoteRecord* mRecords;
  std::unique_ptr<int32_t[]> mHeap;
  int mSize = 0;
};
