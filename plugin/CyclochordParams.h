// Parameter indices of Cyclochord, shared by the engine and the editor layout.
#pragma once

#include "CyclochordIdentity.h"

enum ECyclochordParams {
  kReserved0 = 0,
  kMainMute = 1,
  kMainChan = 2,
  kMnDelay = 3,
  kReserved4 = 4,
  kParMute = 5,
  kParChan = 6,
  kParVel = 7,
  kParInt = 8,
  kPDelay = 9,
  kReserved10 = 10,
  kV1Mute = 11,
  kV1Chan = 12,
  kV1Vel = 13,
  kV1Int1 = 14,  // ..kV1Int1 + 3
  kV1Mute1 = 18,  // ..kV1Mute1 + 3
  kV1Algo = 22,
  kV1Delay = 23,
  kReserved24 = 24,
  kV2Mute = 25,
  kV2Chan = 26,
  kV2Vel = 27,
  kV2Int1 = 28,
  kV2Mute1 = 32,
  kV2Algo = 36,
  kV2Delay = 37,
  kSnap = 38,
  kScale = 39,
  kTonic = 40,
  kHuman = 41,
  kPresetLoad = 42,
  kPresetSave = 43,
  kScaleLoad = 44,
  kFileSelect = 45,
};

static_assert(kHuman + 1 == CyclochordIdentity::kNumHostParams, "host-visible parameters end with Human");
static_assert(kFileSelect + 1 == CyclochordIdentity::kNumParams, "internal parameters end with FileSelect");
