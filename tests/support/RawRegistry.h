#pragma once
// Values of the current user's registry as they are stored, type and bytes:
// for keys outside a test's own profile (other components', Wine's) and to look
// behind a profile's conversions.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

struct RawValue {
  DWORD type = 0;
  std::vector<BYTE> data;
  bool operator==(const RawValue&) const = default;
};

// A number in 4 bytes, stored with type; a text with its terminator.
RawValue DwordValue(DWORD number, DWORD type = REG_DWORD);
RawValue TextValue(const std::string& text);

// key is a path under HKEY_CURRENT_USER. Writing creates the key.
std::optional<RawValue> ReadRawValue(const std::string& key, const char* name);
bool WriteRawValue(const std::string& key, const char* name, const RawValue& value);
bool RemoveRawValue(const std::string& key, const char* name);
bool RawKeyExists(const std::string& key);

// A value as a test found it, put back (or removed again) when the guard
// goes; with takeAway, removed for the test's time.
class KeptRawValue {
 public:
  KeptRawValue(std::string key, const char* name, bool takeAway = false);
  ~KeptRawValue();
  KeptRawValue(const KeptRawValue&) = delete;
  KeptRawValue& operator=(const KeptRawValue&) = delete;

 private:
  std::string m_key;
  std::string m_name;
  std::optional<RawValue> m_saved;
};
