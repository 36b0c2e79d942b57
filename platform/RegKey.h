#pragma once
// An open key of the current user's registry, closed at the end of its scope.

#include <windows.h>

class RegKey {
 public:
  RegKey() = default;
  ~RegKey() {
    if (m_key) RegCloseKey(m_key);
  }
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;

  // An existing key of HKEY_CURRENT_USER; nothing is created.
  bool Open(const char* path, REGSAM access) {
    return RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, access, &m_key) == ERROR_SUCCESS;
  }
  // The key, created with the folders on the way when absent.
  bool Create(const char* path, REGSAM access) {
    return RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, &m_key,
                           nullptr) == ERROR_SUCCESS;
  }

  // Reads a value into data of size bytes (data may be null to learn the
  // size); size becomes the value's length.
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
