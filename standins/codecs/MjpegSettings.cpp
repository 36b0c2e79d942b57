#include "standins/codecs/MjpegSettings.h"

namespace {

constexpr uint8_t kMagic[4] = {'M', 'J', 'S', 'T'};

void PutU32(uint8_t* out, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<uint8_t>(value >> (8 * i));
}

uint32_t GetU32(const uint8_t* in) {
  return static_cast<uint32_t>(in[0]) | static_cast<uint32_t>(in[1]) << 8 |
         static_cast<uint32_t>(in[2]) << 16 | static_cast<uint32_t>(in[3]) << 24;
}

}  // namespace

void WriteMjpegState(const MjpegSettings& settings, uint8_t (&state)[kMjpegStateSize]) {
  for (int i = 0; i < 4; ++i) state[i] = kMagic[i];
  PutU32(state + 4, kMjpegStateVersion);
  PutU32(state + 8, static_cast<uint32_t>(settings.quality));
  PutU32(state + 12, settings.sampling == ChromaSampling::k422 ? 1 : 0);
}

bool ReadMjpegState(const void* state, size_t size, MjpegSettings& settings) {
  if (!state || size != kMjpegStateSize) return false;
  const auto* bytes = static_cast<const uint8_t*>(state);
  for (int i = 0; i < 4; ++i)
    if (bytes[i] != kMagic[i]) return false;
  const uint32_t quality = GetU32(bytes + 8);
  const uint32_t sampling = GetU32(bytes + 12);
  if (GetU32(bytes + 4) != kMjpegStateVersion || quality < 1 || quality > 100 || sampling > 1)
    return false;
  settings.quality = static_cast<int>(quality);
  settings.sampling = sampling ? ChromaSampling::k422 : ChromaSampling::k420;
  return true;
}
