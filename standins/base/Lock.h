#pragma once
// A critical section and its scoped holder.

#include <windows.h>

namespace standin {

class CriticalSection {
 public:
  CriticalSection() { InitializeCriticalSection(&m_section); }
  ~CriticalSection() { DeleteCriticalSection(&m_section); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  void Enter() { EnterCriticalSection(&m_section); }
  void Leave() { LeaveCriticalSection(&m_section); }

 private:
  CRITICAL_SECTION m_section;
};

class AutoLock {
 public:
  explicit AutoLock(CriticalSection& section) : m_section(section) { m_section.Enter(); }
  ~AutoLock() { m_section.Leave(); }
  AutoLock(const AutoLock&) = delete;
  AutoLock& operator=(const AutoLock&) = delete;

 private:
  CriticalSection& m_section;
};

}  // namespace standin
