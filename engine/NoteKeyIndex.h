// The pending records of each note and channel, ordered by due time, then adding order: one treap per key over
// pool positions, so the questions asked about a key cost a logarithm of that key's records, however long the
// queue.
#pragma once

#include <cstdint>

#include "NoteRecord.h"

class NoteKeyIndex {
 public:
  static constexpr int kNumKeys = 128 * 16;

  explicit NoteKeyIndex(NoteRecord* records);

  void Insert(int32_t idx);
  void Erase(int32_t idx);
  // Erase of a record that comes first among its key's, as every due record does: no comparisons.
  void EraseFirst(int32_t idx);
  void Clear();

  // The key's first record at or after (dueAt, order); kNoRecord when there is none.
  int32_t LowerBound(int key, int64_t dueAt, uint64_t order) const;
  // The record after idx among its key's; kNoRecord after the last.
  int32_t Next(int32_t idx) const;

  // Order and priorities hold, and the tree holds exactly `count` records.
  bool IsConsistent(int count) const;

 private:
  struct Position {
    int64_t dueAt;
    uint64_t order;
  };
  Position PositionOf(int32_t idx) const { return {mRecords[idx].mDueAt, mRecords[idx].mOrder}; }
  static bool Less(const Position& a, const Position& b) {
    return a.dueAt != b.dueAt ? a.dueAt < b.dueAt : a.order < b.order;
  }
  // Splits the tree at `at`: records before it go left, the rest right.
  void Split(int32_t tree, const Position& at, int32_t* left, int32_t* right);
  int32_t Merge(int32_t left, int32_t right);
  int32_t* LinkTo(int32_t idx, uint32_t priority);
  int CheckSubtree(int32_t tree, const Position* low, const Position* high, bool* ok) const;

  NoteRecord* mRecords;
  int32_t mRoots[kNumKeys];
};
