// One program slot: a name and a captured parameter block.
#pragma once

#include "IStateChunk.h"

constexpr int kPresetNameSize = 256;

struct IPresetSlot {
  bool mInitialized = false;
  char mName[kPresetNameSize] = {};
  IStateChunk mChunk;
};
