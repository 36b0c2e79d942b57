#pragma once
// A slim reader/writer lock taken exclusively, with waiting on a condition
// variable under it, and its scoped holder. Neither takes a trip through the
// system while nobody waits; a kernel event (which mingw-w64's std::mutex and
// std::condition_variable of the posix thread model are built on) takes one
// per use.

#include <windows.h>

#include "Lock.h"

namespace standin {

class SlimLock {
 public:
  SlimLock() = default;
  SlimLock(const SlimLock&) = delete;
  SlimLock& operator=(const SlimLock&) = delete;

  void Enter() { AcquireSRWLockExclusive(&m_lock); }
  void Leave() { ReleaseSRWLockExclusive(&m_lock); }
  // Held: leaves the lock until wake is woken, then holds it again.
  void Wait(CONDITION_VARIABLE& wake) { SleepConditionVariableSRW(&wake, &m_lock, INFINITE, 0); }

 private:
  SRWLOCK m_lock = SRWLOCK_INIT;
};

using SlimAutoLock = AutoLock<SlimLock>;

}  // namespace standin
