#pragma once
// What the writer needs to know about one stream, taken from its media type.

#include <cstdint>
#include <vector>

struct AviStreamInfo {
  enum class Kind { kVideo, kAudio };

  Kind kind = Kind::kVideo;
  uint32_t handler = 0;         // strh fccHandler: the video compression, or 0
  std::vector<uint8_t> format;  // strf: BITMAPINFOHEADER or WAVEFORMATEX, with what follows

  // Video.
  bool compressed = false;    // "dc" chunks, else "db"
  int64_t frameDuration = 0;  // 100 ns units
  int32_t width = 0;          // pixels
  int32_t height = 0;         // pixels, positive

  // Audio.
  uint32_t blockAlign = 0;      // bytes per block of all channels
  uint32_t bytesPerSecond = 0;  // average
};
