#include "fakes/FakeWmCallLog.h"

HRESULT FakeWmCallLog::Call(const std::string& object, const std::string& method,
                            const std::string& args) {
  const std::string name = object + "." + method;
  const std::string entry = name + "(" + args + ")";
  m_entries.push_back(entry);
  auto planned = m_failures.find(entry);
  if (planned == m_failures.end()) planned = m_failures.find(name);
  return planned == m_failures.end() ? S_OK : planned->second;
}

void FakeWmCallLog::FailOn(const std::string& call, HRESULT hr) { m_failures[call] = hr; }

std::vector<std::string> FakeWmCallLog::Of(const std::string& object) const {
  const std::string prefix = object + ".";
  std::vector<std::string> entries;
  for (const std::string& entry : m_entries)
    if (entry.compare(0, prefix.size(), prefix) == 0)
      entries.push_back(entry.substr(prefix.size()));
  return entries;
}
