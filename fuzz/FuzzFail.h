// How a fuzz target reports a broken invariant: the message, then an abort that makes the fuzzer keep the input.
#pragma once

[[noreturn]] void FuzzFail(const char* format, ...) __attribute__((format(printf, 1, 2)));
