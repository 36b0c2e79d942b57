#pragma once
// Fails fast what would otherwise hang a test run: unless the watch is gone
// within its time, its thread reports what hung and ends the test process
// with exit code 1. For calls that can fail to return, such as RenderFile on
// a broken file, which Wine's GStreamer parser sometimes never answers
// (bench/render_file_hangs measures how often).

#include <windows.h>

#include <cstdio>
#include <string>

class HangWatch {
 public:
  HangWatch(std::string what, DWORD limitMs)
      : m_what(std::move(what)),
        m_limitMs(limitMs),
        m_done(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        m_thread(CreateThread(nullptr, 0, &HangWatch::Watch, this, 0, nullptr)) {}
  ~HangWatch() {
    SetEvent(m_done);
    WaitForSingleObject(m_thread, INFINITE);
    CloseHandle(m_thread);
    CloseHandle(m_done);
  }
  HangWatch(const HangWatch&) = delete;
  HangWatch& operator=(const HangWatch&) = delete;

 private:
  static DWORD WINAPI Watch(void* parameter) {
    auto* self = static_cast<HangWatch*>(parameter);
    if (WaitForSingleObject(self->m_done, self->m_limitMs) == WAIT_OBJECT_0) return 0;
    fprintf(stderr, "FAILED: %s did not end within %lu ms\n", self->m_what.c_str(),
            static_cast<unsigned long>(self->m_limitMs));
    fflush(stderr);
    fflush(stdout);
    TerminateProcess(GetCurrentProcess(), 1);
    return 1;
  }

  std::string m_what;
  DWORD m_limitMs;
  HANDLE m_done;
  HANDLE m_thread;
};
