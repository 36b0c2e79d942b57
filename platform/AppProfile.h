#pragma once
// The application's per-user settings in the registry:
// HKEY_CURRENT_USER\Software\<company>\<application>\<section>, value <name>.
// Integers are DWORDs (a negative one stored as its two's complement), texts
// REG_SZ strings. An absent value, or one of another type, reads as the
// caller's default. Keys are created on the first write.

#include <windows.h>

#include <string>

class AppProfile {
 public:
  AppProfile(std::string company, std::string application);
  virtual ~AppProfile() = default;

  const std::string& Company() const { return m_company; }
  const std::string& Application() const { return m_application; }
  // "Software\<company>\<application>"
  std::string RootKeyPath() const;

  virtual int GetInt(const char* section, const char* name, int defaultValue) const;
  virtual bool WriteInt(const char* section, const char* name, int value) const;
  virtual std::string GetString(const char* section, const char* name,
                                const char* defaultValue) const;
  virtual bool WriteString(const char* section, const char* name, const char* value) const;

  // Removes the application's whole key (tests start from an empty registry).
  bool DeleteApplicationKey() const;

 private:
  std::string SectionKeyPath(const char* section) const;

  std::string m_company;
  std::string m_application;
};
