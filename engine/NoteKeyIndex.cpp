#include "NoteKeyIndex.h"

#include <algorithm>
#include <initializer_list>

NoteKeyIndex::NoteKeyIndex(NoteRecord* records) : mRecords(records) { Clear(); }

void NoteKeyIndex::Clear() { std::fill(mRoots, mRoots + kNumKeys, kNoRecord); }

void NoteKeyIndex::Split(int32_t tree, const Position& at, int32_t* left, int32_t* right) {
  if (tree == kNoRecord) {
    *left = *right = kNoRecord;
    return;
  }
  NoteRecord& node = mRecords[tree];
  if (Less(PositionOf(tree), at)) {
    Split(node.mRight, at, &node.mRight, right);
    *left = tree;
  } else {
    Split(node.mLeft, at, left, &node.mLeft);
    *right = tree;
  }
}

int32_t NoteKeyIndex::Merge(int32_t left, int32_t right) {
  if (left == kNoRecord) return right;
  if (right == kNoRecord) return left;
  if (mRecords[left].mPriority > mRecords[right].mPriority) {
    mRecords[left].mRight = Merge(mRecords[left].mRight, right);
    return left;
  }
  mRecords[right].mLeft = Merge(left, mRecords[right].mLeft);
  return right;
}

int32_t NoteKeyIndex::InsertInto(int32_t tree, int32_t idx) {
  NoteRecord& record = mRecords[idx];
  if (tree == kNoRecord) return idx;
  if (record.mPriority > mRecords[tree].mPriority) {
    Split(tree, PositionOf(idx), &record.mLeft, &record.mRight);
    return idx;
  }
  NoteRecord& node = mRecords[tree];
  if (Less(PositionOf(idx), PositionOf(tree)))
    node.mLeft = InsertInto(node.mLeft, idx);
  else
    node.mRight = InsertInto(node.mRight, idx);
  return tree;
}

void NoteKeyIndex::Insert(int32_t idx) {
  mRecords[idx].mLeft = mRecords[idx].mRight = kNoRecord;
  int32_t& root = mRoots[mRecords[idx].Key()];
  root = InsertInto(root, idx);
}

int32_t NoteKeyIndex::EraseFrom(int32_t tree, int32_t idx) {
  if (tree == kNoRecord) return kNoRecord;
  NoteRecord& node = mRecords[tree];
  if (tree == idx) return Merge(node.mLeft, node.mRight);
  if (Less(PositionOf(idx), PositionOf(tree)))
    node.mLeft = EraseFrom(node.mLeft, idx);
  else
    node.mRight = EraseFrom(node.mRight, idx);
  return tree;
}

void NoteKeyIndex::Erase(int32_t idx) {
  int32_t& root = mRoots[mRecords[idx].Key()];
  root = EraseFrom(root, idx);
  mRecords[idx].mLeft = mRecords[idx].mRight = kNoRecord;
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
