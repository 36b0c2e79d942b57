#include "platform/AppProfile.h"

#include <vector>

namespace {

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (m_key) RegCloseKey(m_key);
  }
  HKEY Get() const { return m_key; }

  bool Open(const std::string& path) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_key) == ERROR_SUCCESS;
  }
  bool Create(const std::string& path) {
    return RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                           &m_key, nullptr) == ERROR_SUCCESS;
  }

 private:
  HKEY m_key = nullptr;
};

}  // namespace

AppProfile::AppProfile(std::string company, std::string application)
    : m_company(std::move(company)), m_application(std::move(application)) {}

std::string AppProfile::RootKeyPath() const {
  return "Software\\" + m_company + "\\" + m_application;
}

std::string AppProfile::SectionKeyPath(const char* section) const {
  return RootKeyPath() + "\\" + section;
}

int AppProfile::GetInt(const char* section, const char* name, int defaultValue) const {
  RegKey key;
  if (!key.Open(SectionKeyPath(section))) return defaultValue;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof value)
    return defaultValue;
  return static_cast<int>(value);
}

bool AppProfile::WriteInt(const char* section, const char* name, int value) const {
  RegKey key;
  if (!key.Create(SectionKeyPath(section))) return false;
  DWORD data = static_cast<DWORD>(value);
  return RegSetValueExA(key.Get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                        sizeof data) == ERROR_SUCCESS;
}

std::string AppProfile::GetString(const char* section, const char* name,
                                  const char* defaultValue) const {
  std::string fallback = defaultValue ? defaultValue : "";
  RegKey key;
  if (!key.Open(SectionKeyPath(section))) return fallback;
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
      type != REG_SZ)
    return fallback;
  std::vector<char> data(size + 1, '\0');
  if (RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS)
    return fallback;
  return std::string(data.data());
}

bool AppProfile::WriteString(const char* section, const char* name, const char* value) const {
  RegKey key;
  if (!key.Create(SectionKeyPath(section))) return false;
  const char* text = value ? value : "";
  return RegSetValueExA(key.Get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                        static_cast<DWORD>(strlen(text) + 1)) == ERROR_SUCCESS;
}

bool AppProfile::DeleteApplicationKey() const {
  LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, RootKeyPath().c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
