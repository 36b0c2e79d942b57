#pragma once
// Repeatable pseudo-random values for tests: a linear congruential generator
// (Numerical Recipes' constants), the same sequence on every machine.

#include <cstddef>
#include <cstdint>
#include <string>

class TestNoise {
 public:
  explicit TestNoise(uint32_t seed) : m_state(seed) {}

  uint32_t Next() { return m_state = m_state * 1664525u + 1013904223u; }
  // The top bits, the generator's best.
  uint8_t NextByte() { return static_cast<uint8_t>(Next() >> 24); }
  std::string Bytes(size_t count) {
    std::string bytes(count, '\0');
    for (char& c : bytes) c = static_cast<char>(NextByte());
    return bytes;
  }

 private:
  uint32_t m_state;
};
