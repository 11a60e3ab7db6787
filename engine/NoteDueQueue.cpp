#include "NoteDueQueue.h"

int32_t NoteDueQueue::Top() const {
  int32_t best = mHeap.Top();
  int64_t bestDueAt = best != kNoRecord ? mRecords[best].mDueAt : 0;
  uint64_t bestOrder = best != kNoRecord ? mRecords[best].mOrder : 0;
  for (const Lane& lane : mLanes) {
    if (lane.first == kNoRecord) continue;
    if (best == kNoRecord || lane.firstDueAt < bestDueAt ||
        (lane.firstDueAt == bestDueAt && lane.firstOrder < bestOrder)) {
      best = lane.first;
      bestDueAt = lane.firstDueAt;
      bestOrder = lane.firstOrder;
    }
  }
  return best;
}

int32_t NoteDueQueue::PopBefore(int64_t end) {
  int32_t heapTop = mHeap.Top();
  int64_t bestDueAt = end;
  uint64_t bestOrder = 0;
  if (heapTop != kNoRecord && mRecords[heapTop].mDueAt < end) {
    bestDueAt = mRecords[heapTop].mDueAt;
    bestOrder = mRecords[heapTop].mOrder;
  } else {
    heapTop = kNoRecord;
  }
  int best = -1;
  for (int l = 0; l < kNumLanes; ++l) {
    const Lane& lane = mLanes[l];
    if (lane.first != kNoRecord && (lane.firstDueAt < bestDueAt ||
                                    (lane.firstDueAt == bestDueAt && lane.firstOrder < bestOrder))) {
      best = l;
      bestDueAt = lane.firstDueAt;
      bestOrder = lane.firstOrder;
    }
  }
  const int32_t idx = best >= 0 ? mLanes[best].first : heapTop;
  if (idx != kNoRecord) Remove(idx);
  return idx;
}

void NoteDueQueue::Push(int32_t idx, int stream) {
  NoteRecord& record = mRecords[idx];
  ++mSize;
  if (stream >= 0 && stream < kNumLanes &&
      (mLanes[stream].last == kNoRecord || mLanes[stream].lastDueAt <= record.mDueAt)) {
    Append(stream, idx);
    return;
  }
  // The lane that ends latest without passing the record keeps the lanes' last times far apart.
  int chosen = -1;
  int empty = -1;
  for (int l = 0; l < kNumLanes; ++l) {
    const Lane& lane = mLanes[l];
    if (lane.last == kNoRecord) {
      if (empty < 0) empty = l;
    } else if (lane.lastDueAt <= record.mDueAt && (chosen < 0 || lane.lastDueAt > mLanes[chosen].lastDueAt)) {
      chosen = l;
    }
  }
  if (chosen < 0) chosen = empty;
  if (chosen < 0) {
    record.mLane = -1;
    mHeap.Push(idx);
    return;
  }
  Append(chosen, idx);
}

void NoteDueQueue::Append(int laneIdx, int32_t idx) {
  // Equal times keep their adding order: the record's order is the latest yet.
  NoteRecord& record = mRecords[idx];
  Lane& lane = mLanes[laneIdx];
  record.mLane = static_cast<int8_t>(laneIdx);
  record.mNext = kNoRecord;
  record.mPrev = lane.last;
  if (lane.last != kNoRecord)
    mRecords[lane.last].mNext = idx;
  else
    SetFirst(lane, idx);
  SetLast(lane, idx);
}

void NoteDueQueue::Remove(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  --mSize;
  if (record.mLane < 0) {
    mHeap.Remove(idx);
    return;
  }
  Lane& lane = mLanes[record.mLane];
  if (record.mPrev != kNoRecord)
    mRecords[record.mPrev].mNext = record.mNext;
  else
    SetFirst(lane, record.mNext);
  if (record.mNext != kNoRecord)
    mRecords[record.mNext].mPrev = record.mPrev;
  else
    SetLast(lane, record.mPrev);
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
    const Lane& lane = mLanes[l];
    int32_t prev = kNoRecord;
    for (int32_t idx = lane.first; idx != kNoRecord; prev = idx, idx = mRecords[idx].mNext) {
      const NoteRecord& record = mRecords[idx];
      if (record.mLane != l || record.mPrev != prev || (prev != kNoRecord && Before(idx, prev))) return false;
      ++count;
    }
    if (lane.last != prev) return false;
    if (lane.first != kNoRecord && (lane.firstDueAt != mRecords[lane.first].mDueAt ||
                                    lane.firstOrder != mRecords[lane.first].mOrder ||
                                    lane.lastDueAt != mRecords[lane.last].mDueAt))
      return false;
  }
  return count == mSize;
}
