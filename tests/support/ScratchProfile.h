#pragma once
// Registry profiles for tests.

#include <string>
#include <vector>

#include "platform/AppProfile.h"

// An application key of its own under Software\BrimvaleStudio, empty at
// construction and deleted at destruction.
class ScratchProfile : public AppProfile {
 public:
  explicit ScratchProfile(const char* purpose);
  ~ScratchProfile() override;

  // Raw registry access, to look behind the profile's conversions.
  bool ReadRaw(const char* section, const char* name, DWORD& type, std::vector<BYTE>& data) const;
  bool WriteRaw(const char* section, const char* name, DWORD type, const void* data,
                DWORD size) const;
  bool HasValue(const char* section, const char* name) const;
};

// A profile that logs every write ("Section/Name=value") before making it.
class RecordingProfile : public AppProfile {
 public:
  RecordingProfile(const AppProfile& target, std::vector<std::string>& log);

  bool WriteInt(const char* section, const char* name, int value) const override;
  bool WriteString(const char* section, const char* name, const char* value) const override;

 private:
  std::vector<std::string>& m_log;
};
