// The table of PNG images compiled into a Linux binary, generated at build time from the resource script.
#pragma once

#include <cstddef>

struct EmbeddedPng {
  int mId;
  const unsigned char* mData;
  std::size_t mSize;
};

extern const EmbeddedPng kEmbeddedPngs[];
extern const std::size_t kEmbeddedPngCount;
