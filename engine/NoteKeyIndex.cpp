#include "NoteKeyIndex.h"

#include <algorithm>
#include <initializer_list>

NoteKeyIndex::NoteKeyIndex(NoteRecord* records) : mRecords(records) {}

void NoteKeyIndex::Clear() { std::fill(mKeys, mKeys + kNumKeys, Key()); }

// ---- The sorted list of every key ----

void NoteKeyIndex::LinkBefore(Key& key, int32_t next, int32_t idx) {
  NoteRecord& record = mRecords[idx];
  record.mKeyNext = next;
  record.mKeyPrev = next != kNoRecord ? mRecords[next].mKeyPrev : key.last;
  if (record.mKeyPrev != kNoRecord)
    mRecords[record.mKeyPrev].mKeyNext = idx;
  else
    key.first = idx;
  if (next != kNoRecord)
    mRecords[next].mKeyPrev = idx;
  else
    key.last = idx;
  ++key.count[record.mIsNoteOff];
}

void NoteKeyIndex::Unlink(Key& key, int32_t idx) {
  NoteRecord& record = mRecords[idx];
  if (record.mKeyPrev != kNoRecord)
    mRecords[record.mKeyPrev].mKeyNext = record.mKeyNext;
  else
    key.first = record.mKeyNext;
  if (record.mKeyNext != kNoRecord)
    mRecords[record.mKeyNext].mKeyPrev = record.mKeyPrev;
  else
    key.last = record.mKeyPrev;
  record.mKeyNext = record.mKeyPrev = kNoRecord;
  --key.count[record.mIsNoteOff];
}

// With few records every walk is short again: the tree goes, and the list, always whole, serves alone. Tree links
// are set anew when a tree is built.
void NoteKeyIndex::Shrunk(Key& key) {
  if (key.root != kNoRecord && key.Size() <= kWalkLimit / 2) key.root = kNoRecord;
}

void NoteKeyIndex::BuildTree(Key& key) {
  for (int32_t node = key.first; node != kNoRecord; node = mRecords[node].mKeyNext) TreeInsert(key, node);
}

void NoteKeyIndex::Insert(int32_t idx) {
  Key& key = mKeys[mRecords[idx].Key()];
  const Position at = PositionOf(idx);
  if (key.root == kNoRecord) {
    int32_t next = kNoRecord;
    int steps = 0;
    for (int32_t prev = key.last; prev != kNoRecord && Less(at, PositionOf(prev)) && steps <= kWalkLimit;
         prev = mRecords[prev].mKeyPrev, ++steps)
      next = prev;
    if (steps <= kWalkLimit) {
      LinkBefore(key, next, idx);
      if (key.Size() > kListLimit) BuildTree(key);
      return;
    }
    BuildTree(key);
  }
  LinkBefore(key, TreeLowerBound(key.root, at), idx);
  TreeInsert(key, idx);
}

void NoteKeyIndex::Erase(int32_t idx) {
  Key& key = mKeys[mRecords[idx].Key()];
  if (key.root != kNoRecord) TreeErase(key, idx);
  Unlink(key, idx);
  Shrunk(key);
}

void NoteKeyIndex::EraseFirst(int32_t idx) {
  Key& key = mKeys[mRecords[idx].Key()];
  if (key.root != kNoRecord) {
    // The first record ends the tree's left spine; its right subtree takes its place.
    int32_t* link = &key.root;
    while (*link != idx && *link != kNoRecord) link = &mRecords[*link].mLeft;
    if (*link == idx) *link = mRecords[idx].mRight;
  }
  Unlink(key, idx);
  Shrunk(key);
}

int32_t NoteKeyIndex::LowerBound(int keyIdx, int64_t dueAt, uint64_t order) {
  Key& key = mKeys[keyIdx];
  const Position at{dueAt, order};
  if (key.root == kNoRecord) {
    int32_t found = kNoRecord;
    int steps = 0;
    for (int32_t idx = key.last; idx != kNoRecord && !Less(PositionOf(idx), at) && steps <= kWalkLimit;
         idx = mRecords[idx].mKeyPrev, ++steps)
      found = idx;
    if (steps <= kWalkLimit) return found;
    BuildTree(key);
  }
  return TreeLowerBound(key.root, at);
}

// ---- The treap of a key whose walks grew long; iterative throughout ----

void NoteKeyIndex::TreeInsert(Key& key, int32_t idx) {
  NoteRecord& record = mRecords[idx];
  const Position at = PositionOf(idx);
  int32_t* link = &key.root;
  while (*link != kNoRecord && mRecords[*link].mPriority >= record.mPriority)
    link = Less(at, PositionOf(*link)) ? &mRecords[*link].mLeft : &mRecords[*link].mRight;
  Split(*link, at, &record.mLeft, &record.mRight);
  *link = idx;
}

void NoteKeyIndex::TreeErase(Key& key, int32_t idx) {
  NoteRecord& record = mRecords[idx];
  const Position at = PositionOf(idx);
  int32_t* link = &key.root;
  while (*link != kNoRecord && *link != idx)
    link = Less(at, PositionOf(*link)) ? &mRecords[*link].mLeft : &mRecords[*link].mRight;
  if (*link == idx) *link = Merge(record.mLeft, record.mRight);
}

int32_t NoteKeyIndex::TreeLowerBound(int32_t tree, const Position& at) const {
  int32_t found = kNoRecord;
  while (tree != kNoRecord) {
    if (Less(PositionOf(tree), at)) {
      tree = mRecords[tree].mRight;
    } else {
      found = tree;
      tree = mRecords[tree].mLeft;
    }
  }
  return found;
}

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

// ---- Checks for tests ----

int NoteKeyIndex::CheckSubtree(int32_t tree, int key, const Position* low, const Position* high, bool* ok) const {
  if (tree == kNoRecord) return 0;
  const NoteRecord& node = mRecords[tree];
  if (node.Key() != key) *ok = false;
  const Position p = PositionOf(tree);
  if ((low && !Less(*low, p)) || (high && !Less(p, *high))) *ok = false;
  for (int32_t child : {node.mLeft, node.mRight})
    if (child != kNoRecord && mRecords[child].mPriority > node.mPriority) *ok = false;
  return 1 + CheckSubtree(node.mLeft, key, low, &p, ok) + CheckSubtree(node.mRight, key, &p, high, ok);
}

bool NoteKeyIndex::IsConsistent(int count) const {
  bool ok = true;
  int found = 0;
  for (int k = 0; k < kNumKeys; ++k) {
    const Key& key = mKeys[k];
    int inList = 0, noteOffs = 0;
    int32_t prev = kNoRecord;
    for (int32_t idx = key.first; idx != kNoRecord && inList <= count; prev = idx, idx = mRecords[idx].mKeyNext) {
      const NoteRecord& record = mRecords[idx];
      if (record.Key() != k || record.mKeyPrev != prev ||
          (prev != kNoRecord && !Less(PositionOf(prev), PositionOf(idx))))
        ok = false;
      ++inList;
      noteOffs += record.mIsNoteOff;
    }
    if (key.last != prev || key.Size() != inList || key.count[1] != noteOffs) ok = false;
    if (key.root == kNoRecord ? inList > kListLimit : CheckSubtree(key.root, k, nullptr, nullptr, &ok) != inList)
      ok = false;
    found += inList;
  }
  return ok && found == count;
}
