// Fatal assertion for invariants of constant tables and engine records; active in every build.
#pragma once

[[noreturn]] void FatalAssertion(const char* expression, const char* file, int line);

#define CC_ASSERT(expr) ((expr) ? static_cast<void>(0) : FatalAssertion(#expr, __FILE__, __LINE__))
