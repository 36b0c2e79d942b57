#include "engine/RegistryAdjustments.h"

namespace {

constexpr REGSAM kAccess = KEY_READ | KEY_WRITE;
constexpr DWORD kFeedbackBufferSize = 260;  // bytes

// An open key of another component, closed at the end of the scope.
class ForeignKey {
 public:
  explicit ForeignKey(const char* path) {
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, kAccess, &m_key) != ERROR_SUCCESS)
      m_key = nullptr;
  }
  ~ForeignKey() {
    if (m_key) RegCloseKey(m_key);
  }
  ForeignKey(const ForeignKey&) = delete;
  ForeignKey& operator=(const ForeignKey&) = delete;

  explicit operator bool() const { return m_key != nullptr; }
  // Reads a value of at most size bytes; size becomes its length.
  bool Read(const char* name, DWORD& type, void* data, DWORD& size) const {
    return RegQueryValueExA(m_key, name, nullptr, &type, static_cast<BYTE*>(data), &size) ==
           ERROR_SUCCESS;
  }
  bool Write(const char* name, DWORD type, const void* data, DWORD size) const {
    return RegSetValueExA(m_key, name, 0, type, static_cast<const BYTE*>(data), size) ==
           ERROR_SUCCESS;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

void ForceSubtitleLoadLevel(DWORD& savedLoadLevel, int& loadLevelChanged) {
  ForeignKey key(kSubtitleFilterKey);
  if (!key) return;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!key.Read(kLoadLevelValue, type, &value, size)) return;
  savedLoadLevel = value;
  if (savedLoadLevel == 1) return;
  const DWORD one = 1;
  key.Write(kLoadLevelValue, type, &one, sizeof one);
  loadLevelChanged = 1;
}

void RestoreSubtitleLoadLevel(DWORD savedLoadLevel, int& loadLevelChanged) {
  if (loadLevelChanged != 1) return;
  loadLevelChanged = 0;
  ForeignKey key(kSubtitleFilterKey);
  if (!key) return;
  DWORD type = 0;
  DWORD current = 0;
  DWORD size = sizeof current;
  if (key.Read(kLoadLevelValue, type, &current, size))
    key.Write(kLoadLevelValue, type, &savedLoadLevel, sizeof savedLoadLevel);
}

void DisableEncoderFeedback() {
  ForeignKey key(kEncoderKey);
  if (!key) return;
  BYTE data[kFeedbackBufferSize] = {};
  DWORD type = 0;
  DWORD size = sizeof data;
  if (!key.Read(kDisableFeedbackValue, type, data, size)) return;
  data[0] = 1;
  key.Write(kDisableFeedbackValue, type, data, size);
}
