#pragma once
// The subtitle filter's "LoadLevel" in the current user's registry, where the
// filter and the program look for it: as a test found it, put back at its end.
// Tests that change it hold the global-registry resource lock.

#include <windows.h>

#include <optional>

class LoadLevelGuard {
 public:
  static constexpr char kSettingsPath[] = "Software\\Tovrick\\VSFilter\\General";

  LoadLevelGuard() {
    DWORD value = 0, size = sizeof value;
    if (RegGetValueA(HKEY_CURRENT_USER, kSettingsPath, "LoadLevel", RRF_RT_REG_DWORD, nullptr,
                     &value, &size) == ERROR_SUCCESS)
      m_saved = value;
  }
  ~LoadLevelGuard() { m_saved ? Set(*m_saved) : Remove(); }
  LoadLevelGuard(const LoadLevelGuard&) = delete;
  LoadLevelGuard& operator=(const LoadLevelGuard&) = delete;

  // Creates the key when it is missing.
  static void Set(DWORD level) {
    RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsPath, "LoadLevel", REG_DWORD, &level, sizeof level);
  }
  static void Remove() { RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsPath, "LoadLevel"); }

 private:
  std::optional<DWORD> m_saved;
};
