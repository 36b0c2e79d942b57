#include "engine/RegistryAdjustments.h"

#include "platform/RegKey.h"

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kFeedbackBufferSize = 260;  // bytes

}  // namespace

void ForceSubtitleLoadLevel(DWORD& savedLoadLevel, int& loadLevelChanged) {
  RegKey key;
  if (!key.Open(kSubtitleFilterKey, kAccess)) return;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!key.Read(kLoadLevelValue, type, &value, size)) return;
  savedLoadLevel = value;
  if (savedLoadLevel == 1) return;
  // As long as the value was: a shorter one of another type (a string, a
  // byte) is put back whole at close.
  const DWORD one = 1;
  key.Write(kLoadLevelValue, type, &one, size);
  loadLevelChanged = 1;
}

void RestoreSubtitleLoadLevel(DWORD savedLoadLevel, int& loadLevelChanged) {
  if (loadLevelChanged != 1) return;
  loadLevelChanged = 0;
  RegKey key;
  if (!key.Open(kSubtitleFilterKey, kAccess)) return;
  DWORD type = 0;
  DWORD current = 0;
  DWORD size = sizeof current;
  if (key.Read(kLoadLevelValue, type, &current, size))
    key.Write(kLoadLevelValue, type, &savedLoadLevel, size);
}

void DisableEncoderFeedback() {
  RegKey key;
  if (!key.Open(kEncoderKey, kAccess)) return;
  BYTE data[kFeedbackBufferSize] = {};
  DWORD type = 0;
  DWORD size = sizeof data;
  if (!key.Read(kDisableFeedbackValue, type, data, size)) return;
  data[0] = 1;
  key.Write(kDisableFeedbackValue, type, data, size);
}
