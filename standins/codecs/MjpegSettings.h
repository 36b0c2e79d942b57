#pragma once
// What the MJPEG codec can be set to, and its state as Video for Windows
// carries it (ICM_GETSTATE / ICM_SETSTATE) and the registry keeps it: a fixed
// block of kMjpegStateSize bytes, little-endian: "MJST", the layout version,
// the quality, the chroma sampling (0 4:2:0, 1 4:2:2). No Windows headers:
// built natively too.

#include <cstddef>
#include <cstdint>

#include "standins/codecs/YuvPicture.h"

struct MjpegSettings {
  static constexpr int kDefaultQuality = 85;

  int quality = kDefaultQuality;  // 1..100
  ChromaSampling sampling = ChromaSampling::k420;

  bool operator==(const MjpegSettings&) const = default;
};

constexpr size_t kMjpegStateSize = 16;
constexpr uint32_t kMjpegStateVersion = 1;

void WriteMjpegState(const MjpegSettings& settings, uint8_t (&state)[kMjpegStateSize]);
// Reads a state block of size bytes. False, leaving settings as they were,
// unless it is exactly kMjpegStateSize bytes of this version with values in range.
bool ReadMjpegState(const void* state, size_t size, MjpegSettings& settings);
