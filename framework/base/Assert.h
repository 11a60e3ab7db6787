// Fatal assertion for invariants of constant tables and engine records; active in every build.
#pragma once

[[noreturn]] void FatalAssertion(const char* expression, const char* file, int line);

#define CC_ASSERT(expr) ((expr) ? static_cast<void>(0) : FatalAssertion(#expr, __FILE__, __LINE__))

// Whole-structure checks that cost more than the operation they guard: on in sanitizer builds only.
#if defined(CYCLOCHORD_DEEP_CHECKS)
#define CC_DEEP_ASSERT(expr) CC_ASSERT(expr)
#else
#define CC_DEEP_ASSERT(expr) static_cast<void>(0)
#endif
