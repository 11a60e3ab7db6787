// The platform's recursive mutex behind one small interface (one source file per platform).
#pragma once

#include <cstddef>

class RecursiveLock {
 public:
  RecursiveLock();
  ~RecursiveLock();
  RecursiveLock(const RecursiveLock&) = delete;
  RecursiveLock& operator=(const RecursiveLock&) = delete;

  void Enter();
  // Takes the lock only if that needs no waiting; true when it was taken (and must be left).
  bool TryEnter();
  void Leave();

  // Large enough for a critical section or a recursive pthread mutex on every target.
  static constexpr std::size_t kStorageSize = 64;

 private:
  alignas(16) unsigned char mStorage[kStorageSize];
};

// Holds a RecursiveLock for the lifetime of a scope.
class ScopedLock {
 public:
  explicit ScopedLock(RecursiveLock& lock) : mLock(lock) { mLock.Enter(); }
  ~ScopedLock() { mLock.Leave(); }
  ScopedLock(const ScopedLock&) = delete;
  ScopedLock& operator=(const ScopedLock&) = delete;

 private:
  RecursiveLock& mLock;
};
