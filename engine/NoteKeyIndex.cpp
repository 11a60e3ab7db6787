#include "NoteKeyIndex.h"

#include <initializer_list>

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
  mRoot = InsertInto(mRoot, idx);
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
  mRoot = EraseFrom(mRoot, idx);
  mRecords[idx].mLeft = mRecords[idx].mRight = kNoRecord;
}

int32_t NoteKeyIndex::LowerBound(int key, int64_t dueAt, uint64_t order) const {
  const Position at{key, dueAt, order};
  int32_t found = kNoRecord;
  for (int32_t tree = mRoot; tree != kNoRecord;) {
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
  const Position p = PositionOf(idx);
  return LowerBound(p.key, p.dueAt, p.order + 1);
}

int NoteKeyIndex::CheckSubtree(int32_t tree, const Position* low, const Position* high, bool* ok) const {
  if (tree == kNoRecord) return 0;
  const NoteRecord& node = mRecords[tree];
  const Position p = PositionOf(tree);
  if ((low && !Less(*low, p)) || (high && !Less(p, *high))) *ok = false;
  for (int32_t child : {node.mLeft, node.mRight})
    if (child != kNoRecord && mRecords[child].mPriority > node.mPriority) *ok = false;
  return 1 + CheckSubtree(node.mLeft, low, &p, ok) + CheckSubtree(node.mRight, &p, high, ok);
}

bool NoteKeyIndex::IsConsistent(int count) const {
  bool ok = true;
  const int found = CheckSubtree(mRoot, nullptr, nullptr, &ok);
  return ok && found == count;
}
