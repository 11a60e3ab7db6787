// Lookup, insertion and removal of cached bitmaps, each under the cache's lock.
#include "BitmapCache.h"

#include "RasterBitmap.h"

BitmapCache& BitmapCache::Instance() {
  static BitmapCache cache;
  return cache;
}

BitmapCache::~BitmapCache() {
  ScopedLock lock(mLock);
  mEntries.clear();
}

RasterBitmap* BitmapCache::Find(int id) {
  ScopedLock lock(mLock);
  for (const Entry& entry : mEntries)
    if (entry.mId == id) return entry.mBitmap.get();
  return nullptr;
}

void BitmapCache::Add(int id, RasterBitmap* bitmap) {
  ScopedLock lock(mLock);
  mEntries.push_back(Entry{id, std::unique_ptr<RasterBitmap>(bitmap)});
}

bool BitmapCache::Remove(RasterBitmap* bitmap) {
  ScopedLock lock(mLock);
  for (auto it = mEntries.begin(); it != mEntries.end(); ++it) {
    if (it->mBitmap.get() == bitmap) {
      mEntries.erase(it);
      return true;
    }
  }
  return false;
}

int BitmapCache::Count() {
  ScopedLock lock(mLock);
  return static_cast<int>(mEntries.size());
}
