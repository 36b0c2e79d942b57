#pragma once
// The fonts of one face and text height in a memory device context: one per
// combination of bold, italic and underline, made on first use.

#include <windows.h>

#include <array>
#include <string>

#include "standins/subtitles/TextMeasurer.h"

class GdiFontSet : public TextMeasurer {
 public:
  GdiFontSet();
  ~GdiFontSet() override;
  GdiFontSet(const GdiFontSet&) = delete;
  GdiFontSet& operator=(const GdiFontSet&) = delete;

  HDC Dc() const { return m_dc; }
  // Drops the fonts of another face or height. face: UTF-8, empty for the
  // default; pixels: the em height, or where cellHeight the ascent plus descent.
  void UseFont(const std::string& face, int pixels, bool cellHeight);
  // Selects the style's font into the context.
  void Select(const TextStyle& style);
  // From one line's top to the next, pixels.
  int LineHeight();

  int Width(std::string_view text, const TextStyle& style) const override;

 private:
  HFONT FontFor(const TextStyle& style) const;

  HDC m_dc = nullptr;
  std::wstring m_face;
  int m_textHeight = 0;  // pixels; negative: the em height, as LOGFONT's lfHeight
  mutable std::array<HFONT, 8> m_fonts = {};  // by bold | italic << 1 | underline << 2
};
