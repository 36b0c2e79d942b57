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

namespace {

// A cue's place and look, where they are not a SubRip cue's.
std::string Styling(const Cue& cue) {
  const CuePlacement& p = cue.placement;
  const CueLook& look = cue.look;
  std::string out;
  auto add = [&out](bool when, const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    if (when) out += text;
  };
  add(p.alignment != 2, " an%d", p.alignment);
  add(p.marginLeft != 0.05 || p.marginRight != 0.05 || p.marginVertical != 0.04,
      " margins %.3f %.3f %.3f", p.marginLeft, p.marginRight, p.marginVertical);
  add(p.positioned, " at %.3f %.3f", p.x, p.y);
  add(!look.fontName.empty(), " font %s", look.fontName.c_str());
  add(look.outline >= 0, " outline %.4f", look.outline);
  add(look.shadow > 0, " shadow %.4f", look.shadow);
  add(look.outlineColor != 0, " outline#%06x", static_cast<unsigned>(look.outlineColor));
  add(look.shadowColor != 0, " shadow#%06x", static_cast<unsigned>(look.shadowColor));
  return out;
}

}  // namespace

std::string Describe(const std::vector<Cue>& cues) {
  std::string out;
  for (const Cue& cue : cues) {
    out += std::to_string(cue.start / 10000) + "-" + std::to_string(cue.end / 10000) + ": " +
           Describe(cue.lines);
    if (cue.heightScale != 0) out += " @" + std::to_string(cue.heightScale);
    out += Styling(cue) + "\n";
  }
  return out;
}

BytePlace PlaceOfByte(const PictureLayout& layout, size_t offset) {
  for (int i = layout.planeCount - 1; i >= 0; --i) {
    const PicturePlane& plane = layout.planes[i];
    if (offset < plane.offset) continue;
    const size_t row = (offset - plane.offset) / plane.stride;
    const size_t column = (offset - plane.offset) % plane.stride;
    if (row >= static_cast<size_t>(plane.rows) || column >= plane.rowBytes) break;
    return {i, static_cast<int>(row), column};
  }
  return {-1, 0, 0};
}

PixelRect PixelsOfByte(const PictureLayout& layout, size_t offset) {
  const BytePlace place = PlaceOfByte(layout, offset);
  const int row = place.row;
  const int column = static_cast<int>(place.column);
  if (place.plane < 0) return {0, 0, 0, 0};
  switch (layout.format) {
    case PixelFormat::kYv12:
    case PixelFormat::kI420:
      if (place.plane == 0) return {column, column + 1, row, row + 1};
      return {column * 2, column * 2 + 2, row * 2, row * 2 + 2};
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
