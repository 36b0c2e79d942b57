#include "standins/mux/SilentSound.h"

#include <cmath>

#include "standins/mux/StreamInfo.h"

namespace {

constexpr uint16_t kImaAdpcmTag = 0x11;

}  // namespace

std::optional<uint8_t> SilentByte(const StreamInfo& info) {
  if (info.kind != StreamInfo::Kind::kAudio) return std::nullopt;
  if (info.pcm) return static_cast<uint8_t>(info.bitsPerSample == 8 ? 0x80 : 0);
  const bool ima =
      info.format.size() >= 2 && (info.format[0] | info.format[1] << 8) == kImaAdpcmTag;
  if (ima) return static_cast<uint8_t>(0);
  return std::nullopt;
}

uint64_t SoundBytesFor(const StreamInfo& info, int64_t duration) {
  if (info.blockAlign == 0 || duration <= 0) return 0;
  const double blocks =
      static_cast<double>(duration) * info.bytesPerSecond / (10000000.0 * info.blockAlign);
  return static_cast<uint64_t>(std::llround(blocks)) * info.blockAlign;
}

uint64_t SilencePieceBytes(const StreamInfo& info) {
  const uint64_t blocks = info.blockAlign ? info.bytesPerSecond / info.blockAlign : 0;
  return (blocks > 0 ? blocks : 1) * info.blockAlign;
}
