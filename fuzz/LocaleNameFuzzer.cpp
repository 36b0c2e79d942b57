// Language file names matched against the locale table. The first byte
// chooses the encoding the name claims.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "i18n/LocaleTable.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  const auto encoding = static_cast<LanguageFileEncoding>(data[0] % 3);
  std::string lower(reinterpret_cast<const char*>(data + 1), size - 1);
  for (char& c : lower) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
  const std::string_view key = LocaleKeyOf(lower, encoding);
  Require(lower.compare(0, key.size(), key) == 0);
  const LocaleMatch match = MatchLocaleKey(key);
  if (!match.found) return 0;
  Require(match.runtimeLocale == "english" || match.runtimeLocale.size() == 3);
  Require(match.primaryLanguage > 0 && match.primaryLanguage <= 0x3FF && match.subLanguage < 64);
  return 0;
}
