#pragma once
// What the benchmark drivers share: the performance counter's clock, and the
// "name value" lines they add to scripts/bench's results file.

#include <windows.h>

#include <cstdio>
#include <fstream>
#include <string>

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

// Appends each figure to the results file as it comes, and shows it.
class Results {
 public:
  explicit Results(const char* path) : m_file(path, std::ios::app) {}
  bool Ok() const { return m_file.good(); }
  void Put(const std::string& name, double value) {
    m_file << name << ' ' << value << '\n';
    m_file.flush();
    std::printf("%s %g\n", name.c_str(), value);
  }

 private:
  std::ofstream m_file;
};
