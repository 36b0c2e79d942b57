#include "standins/subtitles/GdiFontSet.h"

#include <cstdlib>
#include <string>

#include "standins/subtitles/Cue.h"
#include "standins/subtitles/SystemText.h"

namespace {

constexpr wchar_t kFaceName[] = L"Arial";

}  // namespace

GdiFontSet::GdiFontSet() : m_dc(CreateCompatibleDC(nullptr)) {}

GdiFontSet::~GdiFontSet() {
  UseFont({}, 0, false);
  if (m_dc) DeleteDC(m_dc);
}

void GdiFontSet::UseFont(const std::string& face, int pixels, bool cellHeight) {
  const std::wstring wide = face.empty() ? std::wstring(kFaceName) : Utf8ToWide(face);
  const int height = cellHeight ? pixels : -pixels;
  if (wide == m_face && height == m_textHeight) return;
  if (m_dc) SelectObject(m_dc, GetStockObject(SYSTEM_FONT));
  for (HFONT& font : m_fonts) {
    if (font) DeleteObject(font);
    font = nullptr;
  }
  m_face = wide;
  m_textHeight = height;
}

HFONT GdiFontSet::FontFor(const TextStyle& style) const {
  HFONT& font = m_fonts[(style.bold ? 1 : 0) | (style.italic ? 2 : 0) | (style.underline ? 4 : 0)];
  if (font) return font;
  LOGFONTW description = {};
  description.lfHeight = m_textHeight;
  description.lfWeight = style.bold ? FW_BOLD : FW_NORMAL;
  description.lfItalic = style.italic;
  description.lfUnderline = style.underline;
  description.lfCharSet = DEFAULT_CHARSET;
  description.lfQuality = ANTIALIASED_QUALITY;
  description.lfOutPrecision = OUT_TT_PRECIS;
  lstrcpynW(description.lfFaceName, m_face.c_str(), LF_FACESIZE);
  font = CreateFontIndirectW(&description);
  return font;
}

void GdiFontSet::Select(const TextStyle& style) {
  if (HFONT font = FontFor(style)) SelectObject(m_dc, font);
}

int GdiFontSet::LineHeight() {
  Select(TextStyle());
  TEXTMETRICW metrics = {};
  if (!GetTextMetricsW(m_dc, &metrics)) return std::abs(m_textHeight);
  return metrics.tmHeight;
}

int GdiFontSet::Width(std::string_view text, const TextStyle& style) const {
  if (HFONT font = FontFor(style)) SelectObject(m_dc, font);
  const std::wstring wide = Utf8ToWide(text);
  SIZE size = {};
  if (!GetTextExtentPoint32W(m_dc, wide.c_str(), static_cast<int>(wide.size()), &size)) return 0;
  return size.cx;
}
