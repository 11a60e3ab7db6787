#include "NoteKeyIndex.h"

#include <algorithm>
#include <initializer_list>

NoteKeyIndex::NoteKeyIndex(NoteRecord* records) : mRecords(records) { Clear(); }

void NoteKeyIndex::Clear() { std::fill(mRoots, mRoots + kNumKeys, kNoRecord); }

// Iterative throughout: a key mostly holds one or two records, where recursion would cost more than the work.
void NoteKeyIndex::Split(int32_t tree, const Position& at, int32_t* left, int32_t* right) {
  while (tree != kNoRecord) {
    NoteRecord& node = mRecords[tree];
    if (Less(PositionOf(tree), at)) {
      *left = tree;
      left = &node.mRight;
      tree = node.mRight;
    } else {
      *right = tree;
      right = &node.mLeft;
      tree = node.mLeft;
    }
  }
  *left = *right = kNoRecord;
}

int32_t NoteKeyIndex::Merge(int32_t left, int32_t right) {
  int32_t merged = kNoRecord;
  int32_t* link = &merged;
  while (left != kNoRecord && right != kNoRecord) {
    if (mRecords[left].mPriority > mRecords[right].mPriority) {
      *link = left;
      link = &mRecords[left].mRight;
      left = *link;
    } else {
      *link = right;
      link = &mRecords[right].mLeft;
      right = *link;
    }
  }
  *link = left != kNoRecord ? left : right;
  return merged;
}

// The link that points at idx, or at where it would hang among nodes of at least the given priority.
int32_t* NoteKeyIndex::LinkTo(int32_t idx, uint32_t priority) {
  const Position at = PositionOf(idx);
  int32_t* link = &mRoots[mRecords[idx].Key()];
  while (*link != kNoRecord && *link != idx && mRecords[*link].mPriority >= priority)
    link = Less(at, PositionOf(*link)) ? &mRecords[*link].mLeft : &mRecords[*link].mRight;
  return link;
}

void NoteKeyIndex::Insert(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  int32_t* link = LinkTo(idx, record.mPriority);
  Split(*link, PositionOf(idx), &record.mLeft, &record.mRight);
  *link = idx;
}

void NoteKeyIndex::Erase(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  int32_t* link = LinkTo(idx, 0);
  if (*link == idx) *link = Merge(record.mLeft, record.mRight);
  record.mLeft = record.mRight = kNoRecord;
}

void NoteKeyIndex::EraseFirst(int32_t idx) {
  NoteRecord& record = mRecords[idx];
  int32_t* link = &mRoots[record.Key()];
  while (*link != idx && *link != kNoRecord) link = &mRecords[*link].mLeft;
  if (*link == idx) *link = record.mRight;
  record.mRight = kNoRecord;
}

int32_t NoteKeyIndex::LowerBound(int key, int64_t dueAt, uint64_t order) const {
  const Position at{dueAt, order};
  int32_t found = kNoRecord;
  for (int32_t tree = mRoots[key]; tree != kNoRecord;) {
    if (Less(PositionOf(tree), at)) {
      tree = mRecords[tree].mRight;
    } else {
      found = tree;
      tree = mRecords[tree].mLeft;
    }
  }
  return found;
}

int32_t NoteKeyIndex::Next(int32_t idx) const {
  return LowerBound(mRecords[idx].Key(), mRecords[idx].mDueAt, mRecords[idx].mOrder + 1);
}

int NoteKeyIndex::CheckSubtree(int32_t tree, const Position* low, const Position* high, bool* ok) const {
  if (tree == kNoRecord) return 0;
  const NoteRecord& node = mRecords[tree];
  if (node.Key() != mRecords[mRoots[node.Key()]].Key()) *ok = false;
  const Position p = PositionOf(tree);
  if ((low && !Less(*low, p)) || (high && !Less(p, *high))) *ok = false;
  for (int32_t child : {node.mLeft, node.mRight})
    if (child != kNoRecord && mRecords[child].mPriority > node.mPriority) *ok = false;
  return 1 + CheckSubtree(node.mLeft, low, &p, ok) + CheckSubtree(node.mRight, &p, high, ok);
}

bool NoteKeyIndex::IsConsistent(int count) const {
  bool ok = true;
  int found = 0;
  for (int key = 0; key < kNumKeys; ++key) {
    if (mRoots[key] != kNoRecord && mRecords[mRoots[key]].Key() != key) ok = false;
    found += CheckSubtree(mRoots[key], nullptr, nullptr, &ok);
  }
  return ok && found == count;
}
