#include "standins/subtitles/SubtitleSettings.h"

namespace {

constexpr wchar_t kSettingsKey[] = L"Software\\Tovrick\\VSFilter\\General";
constexpr wchar_t kLoadLevelValue[] = L"LoadLevel";

}  // namespace

LoadLevel ReadLoadLevel() {
  DWORD level = 0;
  DWORD size = sizeof level;
  DWORD type = 0;
  const LSTATUS status = RegGetValueW(HKEY_CURRENT_USER, kSettingsKey, kLoadLevelValue,
                                      RRF_RT_ANY | RRF_NOEXPAND, &type, &level, &size);
  if (status == ERROR_FILE_NOT_FOUND) return LoadLevel::kAlways;
  // The program reads and writes 4 bytes with whatever type the value has.
  if (status != ERROR_SUCCESS || size != sizeof level) return LoadLevel::kNever;
  if (level == 0) return LoadLevel::kAlways;
  return level == 1 ? LoadLevel::kWithSubtitles : LoadLevel::kNever;
}

HRESULT CreateDefaultSettings() {
  HKEY key = nullptr;
  DWORD disposition = 0;
  const LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_WRITE,
                                         nullptr, &key, &disposition);
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  LSTATUS written = ERROR_SUCCESS;
  if (disposition == REG_CREATED_NEW_KEY) {
    const DWORD level = 0;
    written = RegSetValueExW(key, kLoadLevelValue, 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&level), sizeof level);
  }
  RegCloseKey(key);
  return HRESULT_FROM_WIN32(written);
}
