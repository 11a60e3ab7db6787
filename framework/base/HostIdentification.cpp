#include "HostIdentification.h"

#include <cstring>

namespace {
struct HostEntry {
  const char* mSubstring;
  int mCode;
};

// Order matters: the first substring found decides.
constexpr HostEntry kHostTable[] = {
    {"cubase", 3},   {"reaper", 1},    {"nuendo", 4},    {"cakewalk", 5},   {"samplitude", 8}, {"fruity", 7},
    {"live", 9},     {"melodyne", 12}, {"vstmanlib", 13}, {"aulab", 14},    {"forte", 15},     {"chainer", 16},
    {"audition", 17}, {"orion", 18},   {"sawstudio", 20}, {"logic", 21},    {"digital", 22},
};
}  // namespace

int IdentifyHost(const char* productText) {
  char lower[256] = {};
  if (productText) {
    for (int i = 0; i < 255 && productText[i] != '\0'; ++i) {
      const char c = productText[i];
      lower[i] = (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
  }
  for (const HostEntry& entry : kHostTable)
    if (std::strstr(lower, entry.mSubstring)) return entry.mCode;
  return 0;
}
