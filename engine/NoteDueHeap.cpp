#include "NoteDueHeap.h"

NoteDueHeap::NoteDueHeap(NoteRecord* records, int capacity) : mRecords(records), mHeap(new Entry[capacity]) {}

void NoteDueHeap::Push(int32_t idx) {
  Place(mSize, {mRecords[idx].mDueAt, mRecords[idx].mOrder, idx});
  SiftUp(mSize++);
}

void NoteDueHeap::Remove(int32_t idx) {
  const int position = mRecords[idx].mHeapPos;
  mRecords[idx].mHeapPos = -1;
  const Entry last = mHeap[--mSize];
  if (position == mSize) return;
  Place(position, last);
  SiftUp(position);
  SiftDown(mRecords[last.idx].mHeapPos);
}

void NoteDueHeap::SiftUp(int position) {
  const Entry entry = mHeap[position];
  while (position > 0) {
    const int parent = (position - 1) / 2;
    if (!Before(entry, mHeap[parent])) break;
    Place(position, mHeap[parent]);
    position = parent;
  }
  Place(position, entry);
}

void NoteDueHeap::SiftDown(int position) {
  const Entry entry = mHeap[position];
  for (;;) {
    int child = 2 * position + 1;
    if (child >= mSize) break;
    if (child + 1 < mSize && Before(mHeap[child + 1], mHeap[child])) ++child;
    if (!Before(mHeap[child], entry)) break;
    Place(position, mHeap[child]);
    position = child;
  }
  Place(position, entry);
}

bool NoteDueHeap::IsConsistent() const {
  for (int position = 0; position < mSize; ++position) {
    const Entry& entry = mHeap[position];
    const NoteRecord& record = mRecords[entry.idx];
    if (record.mHeapPos != position || record.mDueAt != entry.dueAt || record.mOrder != entry.order) return false;
    if (position > 0 && Before(entry, mHeap[(position - 1) / 2])) return false;
  }
  return true;
}
