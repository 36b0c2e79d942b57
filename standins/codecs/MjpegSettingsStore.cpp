#include "standins/codecs/MjpegSettingsStore.h"

#include <windows.h>

namespace {

constexpr char kKey[] = "Software\\Standins\\MJPEG Compressor";
constexpr char kValue[] = "State";

}  // namespace

MjpegSettings LoadMjpegSettings() {
  MjpegSettings settings;
  // One byte more than a state block, so that a longer value does not fit and is refused.
  BYTE state[kMjpegStateSize + 1] = {};
  DWORD size = sizeof state;
  if (RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_BINARY, nullptr, state, &size) ==
      ERROR_SUCCESS)
    ReadMjpegState(state, size, settings);
  return settings;
}

bool SaveMjpegSettings(const MjpegSettings& settings) {
  uint8_t state[kMjpegStateSize];
  WriteMjpegState(settings, state);
  return RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_BINARY, state, sizeof state) ==
         ERROR_SUCCESS;
}
