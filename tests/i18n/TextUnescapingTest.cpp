#include "i18n/TextUnescaping.h"

#include <gtest/gtest.h>

namespace {

// Shift-JIS's lead bytes.
LeadBytes ShiftJisLeadBytes() {
  LeadBytes lead;
  for (int byte = 0x81; byte <= 0xFC; ++byte) lead[byte] = byte <= 0x9F || byte >= 0xE0;
  return lead;
}

TEST(UnescapeLanguageText, MakesTabLineFeedAndCarriageReturnOnly) {
  const struct {
    const char* text;
    bool shiftJis;
    const char* expected;
  } cases[] = {
      {"two\\nlines", false, "two\nlines"},
      {"\\\\t", false, "\\\t"},  // no escape for the backslash itself
      {"a\\tb\\r\\nc\\t", false, "a\tb\r\nc\t"},
      {"\\x\\", false, "\\x\\"},
      {"%s\\n%d", false, "%s\n%d"},
      {"\\\\\\nn", false, "\\\\\nn"},
      {"\\", false, "\\"},
      // A double-byte character whose trail byte is a backslash stays whole;
      // a lead byte at the end is text.
      {"\x95\\n\\n", true, "\x95\\n\n"},
      {"\x95\\n\\n", false, "\x95\n\n"},
      {"a\\t\x95", true, "a\t\x95"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(UnescapeLanguageText(c.text, c.shiftJis ? ShiftJisLeadBytes() : LeadBytes()),
              c.expected)
        << c.text;
  }
}

}  // namespace
