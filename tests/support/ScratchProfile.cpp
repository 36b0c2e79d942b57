#include "support/ScratchProfile.h"

#include <windows.h>

namespace {

std::string ScratchName(const char* purpose) {
  return std::string("test-") + purpose + "-" + std::to_string(GetCurrentProcessId());
}

}  // namespace

ScratchProfile::ScratchProfile(const char* purpose)
    : AppProfile("BrimvaleStudio", ScratchName(purpose)) {
  DeleteApplicationKey();
}

ScratchProfile::~ScratchProfile() { DeleteApplicationKey(); }

bool ScratchProfile::ReadRaw(const char* section, const char* name, DWORD& type,
                             std::vector<BYTE>& data) const {
  std::string key = RootKeyPath() + "\\" + section;
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr,
                   &size) != ERROR_SUCCESS)
    return false;
  data.assign(size, 0);
  return RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &type,
                      data.data(), &size) == ERROR_SUCCESS;
}

bool ScratchProfile::WriteRaw(const char* section, const char* name, DWORD type, const void* data,
                              DWORD size) const {
  std::string key = RootKeyPath() + "\\" + section;
  return RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, type, data, size) == ERROR_SUCCESS;
}

bool ScratchProfile::HasValue(const char* section, const char* name) const {
  DWORD type = 0;
  std::vector<BYTE> data;
  return ReadRaw(section, name, type, data);
}

RecordingProfile::RecordingProfile(const AppProfile& target, std::vector<std::string>& log)
    : AppProfile(target.Company(), target.Application()), m_log(log) {}

bool RecordingProfile::WriteInt(const char* section, const char* name, int value) const {
  m_log.push_back(std::string(section) + "/" + name + "=" + std::to_string(value));
  return AppProfile::WriteInt(section, name, value);
}

bool RecordingProfile::WriteString(const char* section, const char* name, const char* value) const {
  m_log.push_back(std::string(section) + "/" + name + "=" + (value ? value : ""));
  return AppProfile::WriteString(section, name, value);
}
