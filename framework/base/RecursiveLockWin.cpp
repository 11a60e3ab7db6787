// RecursiveLock on Windows critical sections (re-entrant by nature).
#include <windows.h>

#include <new>

#include "RecursiveLock.h"

namespace {
CRITICAL_SECTION* Section(unsigned char* storage) {
  return std::launder(reinterpret_cast<CRITICAL_SECTION*>(storage));
}
}  // namespace

static_assert(sizeof(CRITICAL_SECTION) <= RecursiveLock::kStorageSize, "lock storage too small");

RecursiveLock::RecursiveLock() { InitializeCriticalSection(new (mStorage) CRITICAL_SECTION); }
RecursiveLock::~RecursiveLock() { DeleteCriticalSection(Section(mStorage)); }
void RecursiveLock::Enter() { EnterCriticalSection(Section(mStorage)); }
bool RecursiveLock::TryEnter() { return TryEnterCriticalSection(Section(mStorage)) != FALSE; }
void RecursiveLock::Leave() { LeaveCriticalSection(Section(mStorage)); }
