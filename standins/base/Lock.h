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

// Holds a lock (anything with Enter and Leave) for its scope.
template <class Lockable>
class AutoLock {
 public:
  explicit AutoLock(Lockable& lock) : m_lock(lock) { m_lock.Enter(); }
  ~AutoLock() { m_lock.Leave(); }
  AutoLock(const AutoLock&) = delete;
  AutoLock& operator=(const AutoLock&) = delete;

 private:
  Lockable& m_lock;
};

}  // namespace standin
