// RecursiveLock on POSIX threads.
#include <mutex>
#include <new>

#include "RecursiveLock.h"

namespace {
std::recursive_mutex& Mutex(unsigned char* storage) {
  return *std::launder(reinterpret_cast<std::recursive_mutex*>(storage));
}
}  // namespace

static_assert(sizeof(std::recursive_mutex) <= RecursiveLock::kStorageSize, "lock storage too small");

RecursiveLock::RecursiveLock() { new (mStorage) std::recursive_mutex(); }
RecursiveLock::~RecursiveLock() { Mutex(mStorage).~recursive_mutex(); }
void RecursiveLock::Enter() { Mutex(mStorage).lock(); }
bool RecursiveLock::TryEnter() { return Mutex(mStorage).try_lock(); }
void RecursiveLock::Leave() { Mutex(mStorage).unlock(); }
