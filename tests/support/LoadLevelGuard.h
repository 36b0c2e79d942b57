#pragma once
// The subtitle filter's "LoadLevel" in the current user's registry, where the
// filter and the program look for it: as a test found it, put back at its end.
// Tests that change it hold the global-registry resource lock.

#include "support/RawRegistry.h"

class LoadLevelGuard {
 public:
  static constexpr char kSettingsPath[] = "Software\\Tovrick\\VSFilter\\General";

  // Creates the key when it is missing.
  static void Set(DWORD level) { WriteRawValue(kSettingsPath, "LoadLevel", DwordValue(level)); }
  static void Remove() { RemoveRawValue(kSettingsPath, "LoadLevel"); }

 private:
  KeptRawValue m_kept{kSettingsPath, "LoadLevel"};
};
