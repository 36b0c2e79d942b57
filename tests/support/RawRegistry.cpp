#include "support/RawRegistry.h"

#include <utility>

RawValue DwordValue(DWORD number, DWORD type) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&number);
  return {type, std::vector<BYTE>(bytes, bytes + sizeof number)};
}

RawValue TextValue(const std::string& text) {
  return {REG_SZ, std::vector<BYTE>(text.c_str(), text.c_str() + text.size() + 1)};
}

std::optional<RawValue> ReadRawValue(const std::string& key, const char* name) {
  RawValue value;
  DWORD size = 0;
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                   nullptr, &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  if (RegGetValueA(HKEY_CURRENT_USER, key.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                   value.data.data(), &size) != ERROR_SUCCESS)
    return std::nullopt;
  value.data.resize(size);
  return value;
}

bool WriteRawValue(const std::string& key, const char* name, const RawValue& value) {
  return RegSetKeyValueA(HKEY_CURRENT_USER, key.c_str(), name, value.type, value.data.data(),
                         static_cast<DWORD>(value.data.size())) == ERROR_SUCCESS;
}

bool RemoveRawValue(const std::string& key, const char* name) {
  return RegDeleteKeyValueA(HKEY_CURRENT_USER, key.c_str(), name) == ERROR_SUCCESS;
}

bool RawKeyExists(const std::string& key) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS)
    return false;
  RegCloseKey(handle);
  return true;
}

KeptRawValue::KeptRawValue(std::string key, const char* name, bool takeAway)
    : m_key(std::move(key)), m_name(name), m_saved(ReadRawValue(m_key, name)) {
  if (takeAway) RemoveRawValue(m_key, name);
}

KeptRawValue::~KeptRawValue() {
  if (m_saved)
    WriteRawValue(m_key, m_name.c_str(), *m_saved);
  else
    RemoveRawValue(m_key, m_name.c_str());
}
