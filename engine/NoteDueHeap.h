// The pending records ordered by due time, then adding order: a binary heap over pool positions.
#pragma once

#include <cstdint>
#include <memory>

#include "NoteRecord.h"

class NoteDueHeap {
 public:
  NoteDueHeap(NoteRecord* records, int capacity);

  int Size() const { return mSize; }
  int32_t Top() const { return mSize > 0 ? mHeap[0].idx : kNoRecord; }
  int32_t At(int position) const { return mHeap[position].idx; }
  void Push(int32_t idx);
  void Remove(int32_t idx);
  void Clear() { mSize = 0; }
  bool IsConsistent() const;

 private:
  // The sort keys sit in the heap itself: sifting touches no record but the ones it moves.
  struct Entry {
    int64_t dueAt;
    uint64_t order;
    int32_t idx;
  };
  static bool Before(const Entry& a, const Entry& b) {
    return a.dueAt != b.dueAt ? a.dueAt < b.dueAt : a.order < b.order;
  }
  void Place(int position, const Entry& entry) {
    mHeap[position] = entry;
    mRecords[entry.idx].mHeapPos = position;
  }
  void SiftUp(int position);
  void SiftDown(int position);

  NoteRecord* mRecords;
  std::unique_ptr<Entry[]> mHeap;
  int mSize = 0;
};
