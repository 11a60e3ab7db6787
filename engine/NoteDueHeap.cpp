#include "NoteDueHeap.h"

NoteDueHeap::NoteDueHeap(NoteRecord* records, int capacity) : mRecords(records), mHeap(new int32_t[capacity]) {}

void NoteDueHeap::Push(int32_t idx) {
  Place(mSize, idx);
  SiftUp(mSize++);
}

void NoteDueHeap::Remove(int32_t idx) {
  const int position = mRecords[idx].mHeapPos;
  mRecords[idx].mHeapPos = -1;
  const int32_t last = mHeap[--mSize];
  if (position == mSize) return;
  Place(position, last);
  SiftUp(position);
  SiftDown(mRecords[last].mHeapPos);
}

void NoteDueHeap::SiftUp(int position) {
  const int32_t idx = mHeap[position];
  while (position > 0) {
    const int parent = (position - 1) / 2;
    if (!Before(idx, mHeap[parent])) break;
    Place(position, mHeap[parent]);
    position = parent;
  }
  Place(position, idx);
}

void NoteDueHeap::SiftDown(int position) {
  const int32_t idx = mHeap[position];
  for (;;) {
    int child = 2 * position + 1;
    if (child >= mSize) break;
    if (child + 1 < mSize && Before(mHeap[child + 1], mHeap[child])) ++child;
    if (!Before(mHeap[child], idx)) break;
    Place(position, mHeap[child]);
    position = child;
  }
  Place(position, idx);
}

bool NoteDueHeap::IsConsistent() const {
  for (int position = 0; position < mSize; ++position) {
    if (mRecords[mHeap[position]].mHeapPos != position) return false;
    if (position > 0 && Before(mHeap[position], mHeap[(position - 1) / 2])) return false;
  }
  return true;
}
