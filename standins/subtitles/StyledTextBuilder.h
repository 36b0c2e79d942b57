#pragma once
// Collects cue text into lines of runs while markup switches styles on and
// off. Control characters are dropped, tabs become spaces.

#include <cstdint>
#include <optional>
#include <vector>

#include "standins/subtitles/Cue.h"

class StyledTextBuilder {
 public:
  explicit StyledTextBuilder(const TextStyle& base = {}) : m_base(base) { m_lines.emplace_back(); }

  void Append(char c);
  void BreakLine() { m_lines.emplace_back(); }
  // which: 'b', 'i' or 'u'. Nested switches count; a stray "off" is ignored.
  void Toggle(char which, bool on);
  // An unreadable colour keeps the current one, so that its closing tag still pairs.
  void PushColor(std::optional<uint32_t> rgb);
  void PopColor();
  // The style of the text from here on, beneath the switches and colours.
  void SetBase(const TextStyle& base) { m_base = base; }

  // The lines without blank ones at the start and end; empty when no text shows.
  std::vector<TextLine> Finish();

 private:
  TextStyle Current() const;

  TextStyle m_base;
  int m_bold = 0;
  int m_italic = 0;
  int m_underline = 0;
  std::vector<uint32_t> m_colors;
  std::vector<TextLine> m_lines;
};
