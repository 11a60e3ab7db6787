#include "NoteDueQueue.h"

int32_t NoteDueQueue::Top() const {
  int32_t best = mHeap.Top();
  for (const Lane& lane : mLanes)
    if (lane.first != kNoRecord && (best == kNoRecord || Before(lane.first, best))) best = lane.first;
  return best;
}

void NoteDueQueue::Push(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  // The lane that ends latest without passing the record keeps the lanes' last times far apart.
  int chosen = -1;
  for (int lane = 0; lane < kNumLanes; ++lane) {
    const int32_t last = mLanes[lane].last;
    if (last == kNoRecord) {
      if (chosen < 0) chosen = lane;
    } else if (mRecords[last].mDueAt <= record.mDueAt &&
               (chosen < 0 || mLanes[chosen].last == kNoRecord ||
                mRecords[last].mDueAt > mRecords[mLanes[chosen].last].mDueAt)) {
      chosen = lane;
    }
  }
  ++mSize;
  if (chosen < 0) {
    record.mLane = -1;
    mHeap.Push(idx);
    return;
  }
  // Equal times keep their adding order: the record's order is the latest yet.
  Lane& lane = mLanes[chosen];
  record.mLane = chosen;
  record.mNext = kNoRecord;
  record.mPrev = lane.last;
  if (lane.last != kNoRecord)
    mRecords[lane.last].mNext = idx;
  else
    lane.first = idx;
  lane.last = idx;
}

void NoteDueQueue::Remove(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  --mSize;
  if (record.mLane < 0) {
    mHeap.Remove(idx);
    return;
  }
  Lane& lane = mLanes[record.mLane];
  (record.mPrev != kNoRecord ? mRecords[record.mPrev].mNext : lane.first) = record.mNext;
  (record.mNext != kNoRecord ? mRecords[record.mNext].mPrev : lane.last) = record.mPrev;
  record.mLane = -1;
  record.mNext = record.mPrev = kNoRecord;
}

void NoteDueQueue::Clear() {
  for (Lane& lane : mLanes) lane = Lane();
  mHeap.Clear();
  mSize = 0;
}

bool NoteDueQueue::IsConsistent() const {
  if (!mHeap.IsConsistent()) return false;
  int count = mHeap.Size();
  for (int l = 0; l < kNumLanes; ++l) {
    int32_t prev = kNoRecord;
    for (int32_t idx = mLanes[l].first; idx != kNoRecord; prev = idx, idx = mRecords[idx].mNext) {
      const NoteRecord& record = mRecords[idx];
      if (record.mLane != l || record.mPrev != prev || (prev != kNoRecord && Before(idx, prev))) return false;
      ++count;
    }
    if (mLanes[l].last != prev) return false;
  }
  return count == mSize;
}
