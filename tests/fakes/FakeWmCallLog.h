#pragma once
// The call log that the fakes of the Windows Media runtime share, and the
// failures a test plans for them.

#include <windows.h>

#include <map>
#include <string>
#include <vector>

class FakeWmCallLog {
 public:
  // Notes "object.Method(args)" and answers the failure planned for it, else S_OK.
  HRESULT Call(const std::string& object, const std::string& method, const std::string& args = "");
  // The next calls that match fail with hr. A plan names "object.Method" (any
  // arguments) or "object.Method(args)".
  void FailOn(const std::string& call, HRESULT hr);

  const std::vector<std::string>& Entries() const { return m_entries; }
  // One object's entries, as "Method(args)".
  std::vector<std::string> Of(const std::string& object) const;
  void Clear() { m_entries.clear(); }

 private:
  std::vector<std::string> m_entries;
  std::map<std::string, HRESULT> m_failures;
};
