// The pending records of each note and channel, ordered by due time, then adding order.
//
// Every key keeps its records in a sorted list. Records mostly arrive at a key's end and the questions concern
// its latest records, so walks from the end take a step or two. A walk that would take more than kWalkLimit
// steps, or a list longer than kListLimit, makes the key a treap over pool positions as well, until it holds few
// records again: no question then costs more than a logarithm of that key's records, however long the queue,
// and building a tree never takes more than kListLimit insertions at once.
#pragma once

#include <cstdint>

#include "NoteRecord.h"

class NoteKeyIndex {
 public:
  static constexpr int kNumKeys = 128 * 16;
  static constexpr int kWalkLimit = 8;
  static constexpr int kListLimit = 64;
  // The counts' range: no pool may hold more records.
  static constexpr int kMaxRecords = UINT16_MAX;

  explicit NoteKeyIndex(NoteRecord* records);

  void Insert(int32_t idx);
  void Erase(int32_t idx);
  // Erase of a record that comes first among its key's, as every due record does.
  void EraseFirst(int32_t idx);
  void Clear();

  // The key's first record at or after (dueAt, order); kNoRecord when there is none. A long search builds the
  // key's tree.
  int32_t LowerBound(int key, int64_t dueAt, uint64_t order);
  int32_t First(int key) const { return mKeys[key].first; }
  // How many note-ons (or note-offs) the key holds: most questions concern a key with none, and end here.
  int Count(int key, bool noteOffs) const { return mKeys[key].count[noteOffs ? 1 : 0]; }
  int Count(int key) const { return mKeys[key].Size(); }
  // The record after idx among its key's; kNoRecord after the last.
  int32_t Next(int32_t idx) const { return mRecords[idx].mKeyNext; }

  // Lists, order and priorities hold, and the index holds exactly `count` records.
  bool IsConsistent(int count) const;

 private:
  struct Position {
    int64_t dueAt;
    uint64_t order;
  };
  // 16 bytes: four keys, a note's first four channels, share a cache line.
  struct Key {
    int32_t first = kNoRecord;
    int32_t last = kNoRecord;
    int32_t root = kNoRecord;   // kNoRecord while the list alone serves
    uint16_t count[2] = {0, 0};  // note-ons, note-offs
    int Size() const { return count[0] + count[1]; }
  };
  Position PositionOf(int32_t idx) const { return {mRecords[idx].mDueAt, mRecords[idx].mOrder}; }
  static bool Less(const Position& a, const Position& b) {
    return a.dueAt != b.dueAt ? a.dueAt < b.dueAt : a.order < b.order;
  }

  void LinkBefore(Key& key, int32_t next, int32_t idx);
  void Unlink(Key& key, int32_t idx);
  void Shrunk(Key& key);
  void BuildTree(Key& key);

  void TreeInsert(Key& key, int32_t idx);
  void TreeErase(Key& key, int32_t idx);
  int32_t TreeLowerBound(int32_t tree, const Position& at) const;
  // Splits the tree at `at`: records before it go left, the rest right.
  void Split(int32_t tree, const Position& at, int32_t* left, int32_t* right);
  int32_t Merge(int32_t left, int32_t right);
  int CheckSubtree(int32_t tree, int key, const Position* low, const Position* high, bool* ok) const;

  NoteRecord* mRecords;
  Key mKeys[kNumKeys];
};
