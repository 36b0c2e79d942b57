#include "engine/RegistryAdjustments.h"

#include "platform/RegKey.h"

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kFeedbackBufferSize = 260;  // bytes

}  // namespace

void ForceSubtitleLoadLevel(SavedLoadLevel& saved) {
  RegKey key;
  if (!key.Open(kSubtitleFilterKey, kAccess)) return;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!key.Read(kLoadLevelValue, type, &value, size)) return;
  saved.value = value;
  if (value == 1) return;
  // As long as the value was: a shorter one of another type (a string, a
  // byte) is put back whole at close.
  const DWORD one = 1;
  key.Write(kLoadLevelValue, type, &one, size);
  saved.changed = true;
}

void RestoreSubtitleLoadLevel(SavedLoadLevel& saved) {
  if (!saved.changed) return;
  saved.changed = false;
  RegKey key;
  if (!key.Open(kSubtitleFilterKey, kAccess)) return;
  DWORD type = 0;
  DWORD current = 0;
  DWORD size = sizeof current;
  if (key.Read(kLoadLevelValue, type, &current, size))
    key.Write(kLoadLevelValue, type, &saved.value, size);
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
