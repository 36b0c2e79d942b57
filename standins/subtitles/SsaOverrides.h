#pragma once
// SubStation Alpha's override tags ("{\b1\an8}") as far as the subtitle
// filter draws them: each run's bold, italic, underline and primary colour;
// for the whole line its alignment (\an, \a: the first counts), position
// (\pos: the first counts), font name and size (\fn, \fs), outline and shadow
// widths (\bord, \shad) and colours (\3c, \4c), the last of each counting;
// \r goes back to the line's style; \p starts and ends a drawing, whose
// commands are not text. Animated tags (\t, \move, \fad, karaoke) and the
// others are skipped. Nothing here needs Windows.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "standins/subtitles/Cue.h"

// A line's style as its style line gives it and its tags change it. Sizes and
// places in the script's pixels (PlayResX x PlayResY).
struct SsaLineStyle {
  TextStyle text;  // of the runs from here on
  std::string fontName;
  double fontSize = 0;  // 0: none given
  double outline = -1;  // negative: none given
  double shadow = 0;
  uint32_t outlineColor = 0x000000;  // 0xRRGGBB
  uint32_t shadowColor = 0x000000;   // 0xRRGGBB
  int alignment = 2;                 // numeric keypad
  bool aligned = false;              // by a tag
  bool positioned = false;
  double x = 0, y = 0;
  bool drawing = false;  // text from here on is a drawing's commands
};

// Applies the tags of one override block (what lies between '{' and '}');
// line is the line's style, which \r and empty arguments go back to.
void ApplySsaOverrides(std::string_view block, const SsaLineStyle& line, SsaLineStyle& style);

// A decimal number, spaces around it allowed; nothing for other text and for
// infinities and NaN.
std::optional<double> ParseSsaNumber(std::string_view text);

// "&HBBGGRR&", "&HAABBGGRR" or a decimal BGR number as 0xRRGGBB (the alpha dropped).
std::optional<uint32_t> ParseSsaColor(std::string_view text);

// An alignment on the numeric keypad (\an, [V4+ Styles]), or where legacy
// SSA's (1-3 at the bottom, plus 4 for the top, plus 8 for the middle; \a,
// [V4 Styles]), as the keypad's; 2 for others.
int SsaAlignment(double value, bool legacy);
