#include "support/ScratchProfile.h"

#include <windows.h>

#include "support/RawRegistry.h"

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
  std::optional<RawValue> value = ReadRawValue(RootKeyPath() + "\\" + section, name);
  if (!value) return false;
  type = value->type;
  data = std::move(value->data);
  return true;
}

bool ScratchProfile::WriteRaw(const char* section, const char* name, DWORD type, const void* data,
                              DWORD size) const {
  const BYTE* bytes = static_cast<const BYTE*>(data);
  return WriteRawValue(RootKeyPath() + "\\" + section, name,
                       {type, std::vector<BYTE>(bytes, bytes + size)});
}

bool ScratchProfile::HasValue(const char* section, const char* name) const {
  return ReadRawValue(RootKeyPath() + "\\" + section, name).has_value();
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
