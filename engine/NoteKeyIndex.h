// The pending records ordered by note and channel, then due time, then adding order: a treap over pool
// positions, so that the questions asked about one key cost a logarithm of the queue, not its length.
#pragma once

#include <cstdint>

#include "NoteRecord.h"

class NoteKeyIndex {
 public:
  explicit NoteKeyIndex(NoteRecord* records) : mRecords(records) {}

  void Insert(int32_t idx);
  void Erase(int32_t idx);
  void Clear() { mRoot = kNoRecord; }

  // The first record at or after (key, dueAt, order); kNoRecord when there is none.
  int32_t LowerBound(int key, int64_t dueAt, uint64_t order) const;
  // The record after idx in the index's order.
  int32_t Next(int32_t idx) const;

  // Order and priorities hold, and the tree holds exactly `count` records.
  bool IsConsistent(int count) const;

 private:
  struct Position {
    int key;
    int64_t dueAt;
    uint64_t order;
  };
  Position PositionOf(int32_t idx) const {
    const NoteRecord& r = mRecords[idx];
    return {r.Key(), r.mDueAt, r.mOrder};
  }
  static bool Less(const Position& a, const Position& b) {
    if (a.key != b.key) return a.key < b.key;
    if (a.dueAt != b.dueAt) return a.dueAt < b.dueAt;
    return a.order < b.order;
  }
  // Splits the tree at `at`: records before it go left, the rest right.
  void Split(int32_t tree, const Position& at, int32_t* left, int32_t* right);
  int32_t Merge(int32_t left, int32_t right);
  int32_t InsertInto(int32_t tree, int32_t idx);
  int32_t EraseFrom(int32_t tree, int32_t idx);
  int CheckSubtree(int32_t tree, const Position* low, const Position* high, bool* ok) const;

  NoteRecord* mRecords;
  int32_t mRoot = kNoRecord;
};
