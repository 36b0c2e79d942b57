#pragma once
// The keys that the language loader reads, in reading order. A key that
// serves two identifiers has two rows and is read twice.

#include <cstddef>

struct TextKey {
  const char* key;
  int id;  // control, dialog, menu command or string identifier
};

extern const TextKey kTextKeyTable[];
extern const size_t kTextKeyTableSize;

// The file section a key lives in, told by its first three letters: "STRING"
// for IDS, "MENU" for IDM and IDR, "DIALOG" for IDD and IDC; nullptr for any
// other key.
const char* SectionOfKey(const char* key);

namespace language_sections {
inline constexpr char kMenu[] = "MENU";
inline constexpr char kDialog[] = "DIALOG";
inline constexpr char kString[] = "STRING";
}  // namespace language_sections
