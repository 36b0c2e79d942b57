#pragma once
// The benchmarks' clock: the performance counter, in milliseconds.

#include <windows.h>

inline double Milliseconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

inline double Seconds() { return Milliseconds() / 1000.0; }
