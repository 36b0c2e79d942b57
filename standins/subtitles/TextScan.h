#pragma once
// Small scanning helpers shared by the subtitle readers (ASCII rules only).

#include <cstdint>
#include <string_view>

namespace scan {

inline bool IsSpace(char c) { return c == ' ' || c == '\t'; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

inline char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

inline std::string_view Trim(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

inline bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

inline bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && EqualNoCase(s.substr(0, prefix.size()), prefix);
}

// Reads 1 to maxDigits decimal digits from the front of s.
inline bool Number(std::string_view& s, int maxDigits, int64_t& value) {
  value = 0;
  int count = 0;
  while (!s.empty() && IsDigit(s.front()) && count < maxDigits) {
    value = value * 10 + (s.front() - '0');
    s.remove_prefix(1);
    ++count;
  }
  return count > 0 && (s.empty() || !IsDigit(s.front()));
}

// Reads a decimal fraction's digits (after its separator) as 100 ns units;
// digits beyond the seventh are read and dropped.
inline bool Fraction(std::string_view& s, int64_t& units) {
  units = 0;
  int count = 0;
  int64_t scale = 1000000;
  while (!s.empty() && IsDigit(s.front())) {
    if (count < 7) units += (s.front() - '0') * scale;
    scale /= 10;
    s.remove_prefix(1);
    ++count;
  }
  return count > 0;
}

inline bool Skip(std::string_view& s, char c) {
  if (s.empty() || s.front() != c) return false;
  s.remove_prefix(1);
  return true;
}

// H:MM:SS followed by a fraction after one of the separators given; hours may
// have up to 6 digits. Gives 100 ns units.
inline bool Clock(std::string_view& s, std::string_view separators, int64_t& time) {
  int64_t hours = 0, minutes = 0, seconds = 0, fraction = 0;
  if (!Number(s, 6, hours) || !Skip(s, ':')) return false;
  if (!Number(s, 2, minutes) || minutes > 59 || !Skip(s, ':')) return false;
  if (!Number(s, 2, seconds) || seconds > 59) return false;
  if (s.empty() || separators.find(s.front()) == std::string_view::npos) return false;
  s.remove_prefix(1);
  if (!Fraction(s, fraction)) return false;
  time = ((hours * 60 + minutes) * 60 + seconds) * 10000000 + fraction;
  return true;
}

}  // namespace scan
