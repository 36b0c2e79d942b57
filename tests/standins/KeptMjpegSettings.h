#pragma once
// The MJPEG codec keeps the settings its dialog confirmed in the user's
// registry. A test that sets them puts them back with this guard: they are
// taken away at construction (the codec then starts from its defaults) and
// restored at destruction.

#include <windows.h>

class KeptMjpegSettings {
 public:
  KeptMjpegSettings() {
    DWORD size = sizeof m_kept;
    m_had = RegGetValueA(HKEY_CURRENT_USER, kKey, kValue, RRF_RT_REG_BINARY, nullptr, m_kept,
                         &size) == ERROR_SUCCESS;
    m_size = size;
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
  }
  ~KeptMjpegSettings() {
    if (m_had)
      RegSetKeyValueA(HKEY_CURRENT_USER, kKey, kValue, REG_BINARY, m_kept, m_size);
    else
      RegDeleteKeyValueA(HKEY_CURRENT_USER, kKey, kValue);
  }
  KeptMjpegSettings(const KeptMjpegSettings&) = delete;
  KeptMjpegSettings& operator=(const KeptMjpegSettings&) = delete;

 private:
  static constexpr char kKey[] = "Software\\Standins\\MJPEG Compressor";
  static constexpr char kValue[] = "State";
  BYTE m_kept[64] = {};
  DWORD m_size = 0;
  bool m_had = false;
};
