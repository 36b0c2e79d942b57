#pragma once
// The interface font of a language: built from the logical-font values stored
// in the registry under a key named after the language, and replaced (never
// changed) when the user picks another one.

#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

#include "platform/AppProfile.h"

class InterfaceFont {
 public:
  InterfaceFont() = default;
  ~InterfaceFont();
  InterfaceFont(const InterfaceFont&) = delete;
  InterfaceFont& operator=(const InterfaceFont&) = delete;

  // nullptr until a font has been made. Owned here.
  HFONT Handle() const { return m_font; }

  // Rebuilds the font from the values stored under `language` (absent values
  // take the defaults). False, after an "Error" box, when it cannot be made.
  bool Load(const AppProfile& profile, const std::string& language);
  // Replaces the font with one made from `font`; false when none could be made.
  bool Replace(const LOGFONTA& font);
  // Stores the description of `font` under `language`; false when it has none.
  static bool Save(const AppProfile& profile, const std::string& language, HFONT font);

  // The current font's description, or the defaults without a font.
  LOGFONTA Description() const;
  // Microsoft Sans Serif, height -11, weight 400, the default character set.
  static LOGFONTA Defaults();

 private:
  void Retire();

  HFONT m_font = nullptr;
  // Replaced fonts: controls that no later translation reached still draw
  // with them, so they live as long as this object.
  std::vector<HFONT> m_retired;
};

// Copies src into dst (size in bytes, terminator included), cut before the
// first character that does not fit whole: a double-byte character of
// codePage is never split. False when it was cut.
bool CopyWholeCharacters(char* dst, size_t size, const char* src, UINT codePage);
