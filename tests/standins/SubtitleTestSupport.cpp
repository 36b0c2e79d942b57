#include "SubtitleTestSupport.h"

#include <cstdio>

std::string Describe(const std::vector<TextLine>& lines) {
  std::string out;
  for (const TextLine& line : lines) {
    if (!out.empty()) out += " / ";
    for (const TextRun& run : line) {
      out += run.text + "[";
      if (run.style.bold) out += "b";
      if (run.style.italic) out += "i";
      if (run.style.underline) out += "u";
      if (run.style.color != 0xFFFFFF) {
        char color[16];
        std::snprintf(color, sizeof color, "#%06x", static_cast<unsigned>(run.style.color));
        out += color;
      }
      out += "]";
    }
  }
  return out;
}

std::string Describe(const std::vector<Cue>& cues) {
  std::string out;
  for (const Cue& cue : cues) {
    out += std::to_string(cue.start / 10000) + "-" + std::to_string(cue.end / 10000) + ": " +
           Describe(cue.lines) + "\n";
  }
  return out;
}
