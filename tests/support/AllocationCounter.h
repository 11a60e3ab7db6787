// Counts global operator new calls while enabled; link AllocationCounter.cpp into one test binary.
#pragma once

#include <cstddef>

namespace AllocationCounter {
void Start();
std::size_t Stop();  // returns the allocations seen since Start
}  // namespace AllocationCounter
