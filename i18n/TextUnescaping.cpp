#include "i18n/TextUnescaping.h"

#include <initializer_list>
#include <utility>

namespace {

std::string ReplaceEscape(std::string_view text, char letter, char control,
                          const LeadBytes& leadBytes) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (leadBytes[static_cast<unsigned char>(text[i])] && i + 1 < text.size()) {
      out += text[i];
      out += text[++i];
    } else if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == letter) {
      out += control;
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace

std::string UnescapeLanguageText(std::string_view text, const LeadBytes& leadBytes) {
  std::string out(text);
  // One pass per escape, in this order, as a text may rely on it.
  for (auto [letter, control] : {std::pair{'t', '\t'}, {'n', '\n'}, {'r', '\r'}})
    out = ReplaceEscape(out, letter, control, leadBytes);
  return out;
}
