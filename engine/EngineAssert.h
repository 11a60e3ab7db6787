// Fatal assertion for the engine's record and table invariants; active in every build. The engine depends on
// nothing of ours, so it carries its own; its message is the guarded expression with file and line.
#pragma once

[[noreturn]] void EngineAssertionFailed(const char* expression, const char* file, int line);

#define CC_ASSERT(expr) ((expr) ? static_cast<void>(0) : EngineAssertionFailed(#expr, __FILE__, __LINE__))
