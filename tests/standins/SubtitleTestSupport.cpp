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
           Describe(cue.lines);
    if (cue.heightScale != 0) out += " @" + std::to_string(cue.heightScale);
    out += "\n";
  }
  return out;
}

PixelRect PixelsOfByte(const FrameLayout& layout, size_t offset) {
  const size_t luma = static_cast<size_t>(layout.stride) * layout.height;
  const int row = static_cast<int>(offset / layout.stride);
  const int column = static_cast<int>(offset % layout.stride);
  switch (layout.format) {
    case PixelFormat::kYv12:
    case PixelFormat::kI420: {
      if (offset < luma) return {column, column + 1, row, row + 1};
      const size_t inPlane = (offset - luma) % (luma / 4);
      const int cy = static_cast<int>(inPlane / (layout.stride / 2));
      const int cx = static_cast<int>(inPlane % (layout.stride / 2));
      return {cx * 2, cx * 2 + 2, cy * 2, cy * 2 + 2};
    }
    case PixelFormat::kYuy2:
      return column % 2 == 0 ? PixelRect{column / 2, column / 2 + 1, row, row + 1}
                             : PixelRect{column / 4 * 2, column / 4 * 2 + 2, row, row + 1};
    default: {
      const int bytesPerPixel = layout.format == PixelFormat::kRgb24 ? 3 : 4;
      const int y = layout.bottomUp ? layout.height - 1 - row : row;
      return {column / bytesPerPixel, column / bytesPerPixel + 1, y, y + 1};
    }
  }
}
