// Language file texts through their escapes. The first byte chooses the lead
// bytes: Shift-JIS's when it is odd, none otherwise.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

#include "i18n/TextUnescaping.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

// The format read plainly: each escape in turn, the first occurrence
// replaced and the search started again, until none is left.
std::string ReplaceEachInTurn(std::string text) {
  for (auto [escape, control] : {std::pair{"\\t", '\t'}, {"\\n", '\n'}, {"\\r", '\r'}})
    for (size_t at; (at = text.find(escape)) != std::string::npos;) text.replace(at, 2, 1, control);
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  LeadBytes leadBytes;
  if (data[0] & 1)
    for (int byte = 0x81; byte <= 0xFC; ++byte) leadBytes[byte] = byte <= 0x9F || byte >= 0xE0;
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::string out = UnescapeLanguageText(text, leadBytes);
  Require(out.size() <= text.size());
  bool ascii = true;
  for (char c : text) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (leadBytes.none() || ascii) Require(out == ReplaceEachInTurn(std::string(text)));
  return 0;
}
