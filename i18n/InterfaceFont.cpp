#include "i18n/InterfaceFont.h"

#include <cstring>

#include "platform/Prompts.h"

namespace {

struct FontValue {
  const char* name;
  int defaultValue;
};

// Read and written in this order; the face name comes last.
constexpr FontValue kValues[] = {
    {"lfHeight", -11},     {"lfWidth", 0},          {"lfEscapement", 0},
    {"lfOrientation", 0},  {"lfWeight", FW_NORMAL}, {"lfItalic", 0},
    {"lfUnderline", 0},    {"lfStrikeOut", 0},      {"lfCharSet", DEFAULT_CHARSET},
    {"lfOutPrecision", 0}, {"lfClipPrecision", 0},  {"lfPitchAndFamily", 0},
};
constexpr size_t kValueCount = sizeof kValues / sizeof kValues[0];
constexpr char kFaceName[] = "lfFaceName";
constexpr char kDefaultFace[] = "Microsoft Sans Serif";

// Byte fields go out as their unsigned value.
void ToValues(const LOGFONTA& f, int (&v)[kValueCount]) {
  const int values[kValueCount] = {f.lfHeight,       f.lfWidth,         f.lfEscapement,
                                   f.lfOrientation,  f.lfWeight,        f.lfItalic,
                                   f.lfUnderline,    f.lfStrikeOut,     f.lfCharSet,
                                   f.lfOutPrecision, f.lfClipPrecision, f.lfPitchAndFamily};
  memcpy(v, values, sizeof values);
}

// The quality is never stored: a font built from values has the default one.
LOGFONTA FromValues(const int (&v)[kValueCount], const char* faceName) {
  LOGFONTA f = {};
  f.lfHeight = v[0];
  f.lfWidth = v[1];
  f.lfEscapement = v[2];
  f.lfOrientation = v[3];
  f.lfWeight = v[4];
  f.lfItalic = static_cast<BYTE>(v[5]);
  f.lfUnderline = static_cast<BYTE>(v[6]);
  f.lfStrikeOut = static_cast<BYTE>(v[7]);
  f.lfCharSet = static_cast<BYTE>(v[8]);
  f.lfOutPrecision = static_cast<BYTE>(v[9]);
  f.lfClipPrecision = static_cast<BYTE>(v[10]);
  f.lfPitchAndFamily = static_cast<BYTE>(v[11]);
  // Registry texts arrive in the system's ANSI code page.
  CopyWholeCharacters(f.lfFaceName, sizeof f.lfFaceName, faceName, CP_ACP);
  return f;
}

}  // namespace

bool CopyWholeCharacters(char* dst, size_t size, const char* src, UINT codePage) {
  if (!dst || size == 0) return false;
  if (!src) src = "";
  size_t used = 0;
  while (src[used]) {
    size_t width =
        IsDBCSLeadByteEx(codePage, static_cast<BYTE>(src[used])) && src[used + 1] ? 2 : 1;
    if (used + width >= size) break;
    used += width;
  }
  memcpy(dst, src, used);
  dst[used] = '\0';
  return src[used] == '\0';
}

InterfaceFont::~InterfaceFont() {
  Retire();
  for (HFONT font : m_retired) DeleteObject(font);
}

bool InterfaceFont::Load(const AppProfile& profile, const std::string& language) {
  int values[kValueCount] = {};
  for (size_t i = 0; i < kValueCount; ++i)
    values[i] = profile.GetInt(language.c_str(), kValues[i].name, kValues[i].defaultValue);
  std::string face = profile.GetString(language.c_str(), kFaceName, kDefaultFace);
  if (Replace(FromValues(values, face.c_str()))) return true;
  ErrorBox(nullptr, "Failed to create font");
  return false;
}

bool InterfaceFont::Replace(const LOGFONTA& font) {
  Retire();
  m_font = CreateFontIndirectA(&font);
  return m_font != nullptr;
}

bool InterfaceFont::Save(const AppProfile& profile, const std::string& language, HFONT font) {
  LOGFONTA description = {};
  if (!font || GetObjectA(font, sizeof description, &description) != sizeof description)
    return false;
  int values[kValueCount] = {};
  ToValues(description, values);
  for (size_t i = 0; i < kValueCount; ++i)
    profile.WriteInt(language.c_str(), kValues[i].name, values[i]);
  profile.WriteString(language.c_str(), kFaceName, description.lfFaceName);
  return true;
}

LOGFONTA InterfaceFont::Description() const {
  LOGFONTA description = {};
  if (m_font && GetObjectA(m_font, sizeof description, &description) == sizeof description)
    return description;
  return Defaults();
}

LOGFONTA InterfaceFont::Defaults() {
  int values[kValueCount] = {};
  for (size_t i = 0; i < kValueCount; ++i) values[i] = kValues[i].defaultValue;
  return FromValues(values, kDefaultFace);
}

void InterfaceFont::Retire() {
  if (m_font) m_retired.push_back(m_font);
  m_font = nullptr;
}
