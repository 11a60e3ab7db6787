// One queued output note event, kept in the note tracker's fixed pool and linked into its two indexes by position.
#pragma once

#include <cstdint>

// 64 bytes, one cache line: a flood of thousands of pending records should stay within the faster caches.
struct alignas(64) NoteRecord {
  int64_t mDueAt = -1;  // samples since the tracker's creation; -1 while pooled
  uint64_t mOrder = 0;  // adding order, so that equal times come out as they were added
  uint32_t mBatch = 0;  // which processing call's messages queued it

  // Links of the indexes; -1 is none.
  int32_t mNext = -1;
  int32_t mPrev = -1;
  int32_t mHeapPos = -1;
  int32_t mKeyNext = -1;
  int32_t mKeyPrev = -1;
  int32_t mLeft = -1;
  int32_t mRight = -1;
  uint32_t mPriority = 0;

  uint8_t mIsNoteOff = 0;
  uint8_t mChannel = 0;
  uint8_t mNote = 0;
  uint8_t mVelocity = 0;  // a note-off's is that of the note it ends, 0 when it silences a channel
  bool mIsSilencing = false;
  int8_t mLane = -1;  // the due queue's lane, or -1 in its heap

  int Key() const { return mNote * 16 + mChannel; }
};

constexpr int32_t kNoRecord = -1;
