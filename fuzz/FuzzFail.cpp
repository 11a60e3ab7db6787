#include "FuzzFail.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

void FuzzFail(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::fputs("invariant broken: ", stderr);
  std::vfprintf(stderr, format, args);
  va_end(args);
  std::fputc('\n', stderr);
  std::abort();
}
