#include "platform/AppProfile.h"

#include <vector>

#include "platform/RegKey.h"

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
  if (!key.Open(SectionKeyPath(section).c_str(), KEY_READ)) return defaultValue;
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  if (!key.Read(name, type, &value, size) || type != REG_DWORD || size != sizeof value)
    return defaultValue;
  return static_cast<int>(value);
}

bool AppProfile::WriteInt(const char* section, const char* name, int value) const {
  RegKey key;
  if (!key.Create(SectionKeyPath(section).c_str(), KEY_WRITE)) return false;
  DWORD data = static_cast<DWORD>(value);
  return key.Write(name, REG_DWORD, &data, sizeof data);
}

std::string AppProfile::GetString(const char* section, const char* name,
                                  const char* defaultValue) const {
  std::string fallback = defaultValue ? defaultValue : "";
  RegKey key;
  if (!key.Open(SectionKeyPath(section).c_str(), KEY_READ)) return fallback;
  DWORD type = 0;
  DWORD size = 0;
  if (!key.Read(name, type, nullptr, size) || type != REG_SZ) return fallback;
  // One more byte: a stored string need not end in a terminator.
  std::vector<char> data(size + 1, '\0');
  if (!key.Read(name, type, data.data(), size)) return fallback;
  return std::string(data.data());
}

bool AppProfile::WriteString(const char* section, const char* name, const char* value) const {
  RegKey key;
  if (!key.Create(SectionKeyPath(section).c_str(), KEY_WRITE)) return false;
  const char* text = value ? value : "";
  return key.Write(name, REG_SZ, text, static_cast<DWORD>(strlen(text) + 1));
}

bool AppProfile::DeleteApplicationKey() const {
  LSTATUS status = RegDeleteTreeA(HKEY_CURRENT_USER, RootKeyPath().c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}
