// The pending records in sending order: due time, then adding order.
//
// Each voice queues its events in time order as long as its delay stays, so records mostly arrive already
// sorted within a few streams. A caller that knows its stream names the lane (a linked list per lane); other
// records go to the lane whose last record is the latest not after them, and only a record earlier than every
// lane's last goes into a heap. Adding and taking the first record then cost at most a scan of the lanes,
// whatever the length of the queue.
#pragma once

#include <cstdint>

#include "NoteDueHeap.h"
#include "NoteRecord.h"

class NoteDueQueue {
 public:
  static constexpr int kNumLanes = 4;  // one per voice

  NoteDueQueue(NoteRecord* records, int capacity) : mRecords(records), mHeap(records, capacity) {}

  int Size() const { return mSize; }
  int32_t Top() const;
  // The caller's stream names a lane, which is not taken when it would fall out of order.
  void Push(int32_t idx, int stream = -1);
  void Remove(int32_t idx);
  // Takes the first record when it is due before `end`; kNoRecord otherwise.
  int32_t PopBefore(int64_t end);
  void Clear();

  // Calls visit(idx) for every queued record, in no particular order; visit must not change the queue.
  template <typename Visit>
  void ForEach(Visit&& visit) const {
    for (const Lane& lane : mLanes)
      for (int32_t idx = lane.first; idx != kNoRecord; idx = mRecords[idx].mNext) visit(idx);
    for (int position = 0; position < mHeap.Size(); ++position) visit(mHeap.At(position));
  }

  bool IsConsistent() const;

 private:
  // Each lane keeps its ends' sort keys at hand, so that choosing and scanning lanes reads no record.
  struct Lane {
    int32_t first = kNoRecord;
    int32_t last = kNoRecord;
    int64_t firstDueAt = 0;
    uint64_t firstOrder = 0;
    int64_t lastDueAt = 0;
  };
  void SetFirst(Lane& lane, int32_t idx) {
    lane.first = idx;
    if (idx != kNoRecord) {
      lane.firstDueAt = mRecords[idx].mDueAt;
      lane.firstOrder = mRecords[idx].mOrder;
    }
  }
  void Append(int laneIdx, int32_t idx);
  void SetLast(Lane& lane, int32_t idx) {
    lane.last = idx;
    if (idx != kNoRecord) lane.lastDueAt = mRecords[idx].mDueAt;
  }
  bool Before(int32_t a, int32_t b) const {
    const NoteRecord& ra = mRecords[a];
    const NoteRecord& rb = mRecords[b];
    return ra.mDueAt != rb.mDueAt ? ra.mDueAt < rb.mDueAt : ra.mOrder < rb.mOrder;
  }

  NoteRecord* mRecords;
  Lane mLanes[kNumLanes];
  NoteDueHeap mHeap;
  int mSize = 0;
};
