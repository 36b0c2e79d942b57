#include "engine/RegistryAdjustments.h"

#include "platform/RegKey.h"

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kFeedbackBufferSize = 260;  // bytes

// What the instances holding the level share, in a section of the session
// that lives while one of them has it open.
struct SharedHold {
  LONG holders;
  DWORD value;
  BOOL changed;
};
constexpr char kHoldName[] = "Local\\Tovrick.VSFilter.LoadLevel.Hold";
constexpr char kHoldLockName[] = "Local\\Tovrick.VSFilter.LoadLevel.Lock";

// The instances take turns with the hold and the value. An abandoned lock (a
// holder that died) is taken over as it is.
class HoldLock {
 public:
  HoldLock() : m_mutex(CreateMutexA(nullptr, FALSE, kHoldLockName)) {
    if (m_mutex) WaitForSingleObject(m_mutex, INFINITE);
  }
  ~HoldLock() {
    if (!m_mutex) return;
    ReleaseMutex(m_mutex);
    CloseHandle(m_mutex);
  }
  HoldLock(const HoldLock&) = delete;
  HoldLock& operator=(const HoldLock&) = delete;

 private:
  HANDLE m_mutex;
};

SharedHold* MapHold(HANDLE hold) {
  return hold ? static_cast<SharedHold*>(
                    MapViewOfFile(hold, FILE_MAP_WRITE, 0, 0, sizeof(SharedHold)))
              : nullptr;
}

// Lets go of this instance's part of the hold; true when no other instance
// holds it (or there was no hold to share).
bool LeaveHold(HANDLE hold) {
  SharedHold* shared = MapHold(hold);
  const bool last = !shared || --shared->holders <= 0;
  if (shared) UnmapViewOfFile(shared);
  if (hold) CloseHandle(hold);
  return last;
}

void ForceLevel(SavedLoadLevel& saved) {
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

}  // namespace

void ForceSubtitleLoadLevel(SavedLoadLevel& saved) {
  HoldLock lock;
  saved.hold = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                  sizeof(SharedHold), kHoldName);
  SharedHold* shared = MapHold(saved.hold);
  if (shared && shared->holders > 0) {
    // Another instance holds it at 1: the user's value is what that one found.
    saved.value = shared->value;
    saved.changed = shared->changed != FALSE;
  } else {
    ForceLevel(saved);
    if (shared) *shared = {0, saved.value, saved.changed ? TRUE : FALSE};
  }
  if (!shared) return;
  ++shared->holders;
  UnmapViewOfFile(shared);
}

void RestoreSubtitleLoadLevel(SavedLoadLevel& saved) {
  HoldLock lock;
  const bool last = LeaveHold(saved.hold);
  saved.hold = nullptr;
  if (!saved.changed) return;
  saved.changed = false;
  if (!last) return;
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
