#include "i18n/InterfaceFont.h"

#include <cstring>
#include <type_traits>

#include "platform/Prompts.h"

namespace {

// One stored value of the font: its registry name, its default and the
// LOGFONTA field it stands for. Byte fields go out as their unsigned value.
struct FontValue {
  const char* name;
  int defaultValue;
  int (*get)(const LOGFONTA& font);
  void (*set)(LOGFONTA& font, int value);
};

template <auto Field>
int GetField(const LOGFONTA& font) {
  return font.*Field;
}

template <auto Field>
void SetField(LOGFONTA& font, int value) {
  font.*Field = static_cast<std::remove_reference_t<decltype(font.*Field)>>(value);
}

template <auto Field>
constexpr FontValue Value(const char* name, int defaultValue) {
  return {name, defaultValue, &GetField<Field>, &SetField<Field>};
}

// Read and written in this order; the face name comes last. The quality is
// never stored: a font built from values has the default one.
constexpr FontValue kValues[] = {
    Value<&LOGFONTA::lfHeight>("lfHeight", -11),
    Value<&LOGFONTA::lfWidth>("lfWidth", 0),
    Value<&LOGFONTA::lfEscapement>("lfEscapement", 0),
    Value<&LOGFONTA::lfOrientation>("lfOrientation", 0),
    Value<&LOGFONTA::lfWeight>("lfWeight", FW_NORMAL),
    Value<&LOGFONTA::lfItalic>("lfItalic", 0),
    Value<&LOGFONTA::lfUnderline>("lfUnderline", 0),
    Value<&LOGFONTA::lfStrikeOut>("lfStrikeOut", 0),
    Value<&LOGFONTA::lfCharSet>("lfCharSet", DEFAULT_CHARSET),
    Value<&LOGFONTA::lfOutPrecision>("lfOutPrecision", 0),
    Value<&LOGFONTA::lfClipPrecision>("lfClipPrecision", 0),
    Value<&LOGFONTA::lfPitchAndFamily>("lfPitchAndFamily", 0),
};
constexpr char kFaceName[] = "lfFaceName";
constexpr char kDefaultFace[] = "Microsoft Sans Serif";

// A font whose values valueOf gives, with faceName in the system's ANSI code
// page (as registry texts arrive).
template <typename ValueOf>
LOGFONTA FontFrom(const ValueOf& valueOf, const char* faceName) {
  LOGFONTA font = {};
  for (const FontValue& value : kValues) value.set(font, valueOf(value));
  CopyWholeCharacters(font.lfFaceName, sizeof font.lfFaceName, faceName, CP_ACP);
  return font;
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
  const auto stored = [&](const FontValue& value) {
    return profile.GetInt(language.c_str(), value.name, value.defaultValue);
  };
  const std::string face = profile.GetString(language.c_str(), kFaceName, kDefaultFace);
  if (Replace(FontFrom(stored, face.c_str()))) return true;
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
  for (const FontValue& value : kValues)
    profile.WriteInt(language.c_str(), value.name, value.get(description));
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
  return FontFrom([](const FontValue& value) { return value.defaultValue; }, kDefaultFace);
}

void InterfaceFont::Retire() {
  if (m_font) m_retired.push_back(m_font);
  m_font = nullptr;
}
