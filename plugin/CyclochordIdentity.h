// Cyclochord's identity as the host sees it: names, ids, version, channel layout and counts.
#pragma once

#include <cstdint>

#include "CyclochordVersion.h"

constexpr int32_t CyclochordFourCC(char a, char b, char c, char d) {
  return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(a)) << 24) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(b)) << 16) |
                              (static_cast<uint32_t>(static_cast<unsigned char>(c)) << 8) |
                              static_cast<uint32_t>(static_cast<unsigned char>(d)));
}

struct CyclochordIdentity {
  static constexpr const char* kEffectName = "Cyclochord";
  static constexpr const char* kProductName = "";
  static constexpr const char* kVendorName = "Larkspire";
  // 0xMMmmpp: each part must fit its byte.
  static constexpr int32_t kVersion =
      (CYCLOCHORD_VERSION_MAJOR << 16) | (CYCLOCHORD_VERSION_MINOR << 8) | CYCLOCHORD_VERSION_PATCH;
  static constexpr const char* kVersionText = CYCLOCHORD_VERSION_STRING;
  static constexpr const char* kDescription = CYCLOCHORD_DESCRIPTION;
  static constexpr const char* kHomePage = CYCLOCHORD_HOMEPAGE;
  static constexpr const char* kMaintainer = CYCLOCHORD_MAINTAINER;
  static constexpr const char* kMaintainerEmail = CYCLOCHORD_MAINTAINER_EMAIL;
  static constexpr const char* kLicenseUri = CYCLOCHORD_LICENSE_URI;
  static constexpr int32_t kUniqueId = CyclochordFourCC('l', 's', 'C', 'c');
  static constexpr int32_t kVendorId = CyclochordFourCC('l', 'k', 's', 'p');
  static constexpr const char* kChannelIO = "1-1 2-2";
  // The editor window's class name and title on every platform.
  static constexpr const char* kWindowClassName = "CyclochordWndClass";
  static constexpr const char* kWindowTitle = "Cyclochord";
  static constexpr int kNumHostParams = 42;  // told to the host and stored in chunks
  static constexpr int kNumParams = 46;      // plus four internal ones
  static constexpr int kNumPresets = 6;
  static constexpr int kLatency = 0;
  static constexpr bool kDoesMidi = true;
  static constexpr bool kDoesChunks = true;
  static constexpr bool kIsInstrument = true;
};
static_assert(CYCLOCHORD_VERSION_MINOR < 256 && CYCLOCHORD_VERSION_PATCH < 256 && CYCLOCHORD_VERSION_MAJOR < 128,
              "the version must fit 0xMMmmpp");
