#pragma once
// What a container writer needs to know about one stream, taken from its media
// type. No Windows headers: the writers build natively too.

#include <cstdint>
#include <optional>
#include <vector>

#include "standins/base/PictureLayout.h"

struct StreamInfo {
  enum class Kind { kVideo, kAudio };

  Kind kind = Kind::kVideo;
  uint32_t handler = 0;         // the video compression's fourcc, or 0 for RGB
  std::vector<uint8_t> format;  // BITMAPINFOHEADER or WAVEFORMATEX, with what follows

  // Video.
  bool compressed = false;    // not RGB
  int64_t frameDuration = 0;  // 100 ns units, 0 when unknown
  int32_t width = 0;          // pixels
  int32_t height = 0;         // pixels, positive
  // Uncompressed pictures: where upstream's type says the rows lie. The file
  // holds them packed (PackedLayout), whatever layout a sample comes in.
  std::optional<PictureLayout> declared;
  // The picture's display aspect ratio in lowest terms, each at most 0xFFFF;
  // 0:0 where the type gives none (VIDEOINFOHEADER).
  uint32_t aspectX = 0;
  uint32_t aspectY = 0;

  // Audio.
  uint32_t blockAlign = 0;      // bytes per block of all channels
  uint32_t bytesPerSecond = 0;  // average
  bool pcm = false;             // integer PCM (also in WAVEFORMATEXTENSIBLE)
  uint32_t sampleRate = 0;      // per second
  uint16_t channels = 0;
  uint16_t bitsPerSample = 0;  // as the format gives it; 0 for some compressed formats
};
