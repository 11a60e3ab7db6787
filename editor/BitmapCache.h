// The process-wide store of decoded images, shared by every editor of the library and guarded by its own lock.
#pragma once

#include <memory>
#include <vector>

#include "RecursiveLock.h"

class RasterBitmap;

class BitmapCache {
 public:
  // Bitmaps added without a resource id.
  static constexpr int kNoId = -1;

  // The one cache of this library; its bitmaps live until the library is unloaded.
  static BitmapCache& Instance();

  BitmapCache() = default;
  ~BitmapCache();
  BitmapCache(const BitmapCache&) = delete;
  BitmapCache& operator=(const BitmapCache&) = delete;

  // The first bitmap cached under id, or null.
  RasterBitmap* Find(int id);
  // Takes ownership.
  void Add(int id, RasterBitmap* bitmap);
  // Deletes the bitmap and its entry; false when the cache does not hold it.
  bool Remove(RasterBitmap* bitmap);
  int Count();
  // Held across a lookup and a decode, so that two editors never decode the same image twice.
  RecursiveLock& Lock() { return mLock; }

 private:
  struct Entry {
    int mId;
    std::unique_ptr<RasterBitmap> mBitmap;
  };

  RecursiveLock mLock;
  std::vector<Entry> mEntries;
};
