#include "platform/Str.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(StrCopyAndAppend, KeepWithinTheBufferAndReportACut) {
  const struct {
    bool append;
    const char* start;
    const char* add;
    size_t size;
    const char* expected;
    bool fits;
  } cases[] = {
      // Copied into a buffer never written.
      {false, "", "abc", 4, "abc", true},
      {false, "", "abcd", 4, "abc", false},
      {false, "", "", 1, "", true},
      {false, "", "x", 1, "", false},
      // Appended to start.
      {true, "ab", "cd", 5, "abcd", true},
      {true, "ab", "cde", 5, "abcd", false},
      {true, "abcd", "e", 5, "abcd", false},
      {true, "", "", 1, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.start) + "+" + c.add);
    char buffer[16];
    memset(buffer, 'Z', sizeof buffer);
    if (c.append) strcpy(buffer, c.start);
    EXPECT_EQ(c.append ? str::Append(buffer, c.size, c.add) : str::Copy(buffer, c.size, c.add),
              c.fits);
    EXPECT_STREQ(buffer, c.expected);
    EXPECT_EQ(buffer[c.size], 'Z') << "wrote past the buffer";
  }
}

TEST(StrAppend, RepairsAnUnterminatedBuffer) {
  char buffer[4] = {'a', 'b', 'c', 'd'};
  EXPECT_FALSE(str::Append(buffer, sizeof buffer, "x"));
  EXPECT_STREQ(buffer, "abc");
}

TEST(StrFormat, ReportsTruncation) {
  char buffer[8];
  EXPECT_TRUE(str::Format(buffer, sizeof buffer, "%02d:%02d", 1, 2));
  EXPECT_STREQ(buffer, "01:02");
  EXPECT_FALSE(str::Format(buffer, sizeof buffer, "%s", "123456789"));
  EXPECT_STREQ(buffer, "1234567");
}

TEST(StrPrintf, TakesTextsAsArgumentsNotAsFormats) {
  // A text with conversions in it stays as it is.
  EXPECT_EQ(str::Printf("%s %s", "50%s", "%n%d"), "50%s %n%d");
  EXPECT_EQ(str::Printf("%s", std::string(3000, 'x').c_str()).size(), 3000u);
  EXPECT_EQ(str::Printf("%s", ""), "");
}

TEST(StrWide, RoundTripsTheAnsiCodePage) {
  const char* texts[] = {"", "c:\\video\\film.avi", "Caf\xe9 cr\xe8me"};
  for (const char* text : texts) {
    std::wstring wide = str::ToWide(text, 1252);
    EXPECT_EQ(str::ToAnsi(wide.c_str(), 1252), text);
  }
  EXPECT_EQ(str::ToWide("Caf\xe9", 1252), L"Caf\u00e9");
}

TEST(StrWide, FixedBufferCutsAndTerminates) {
  wchar_t buffer[5];
  wmemset(buffer, L'Z', 5);
  EXPECT_TRUE(str::ToWide("abcd", buffer, 5));
  EXPECT_STREQ(buffer, L"abcd");
  EXPECT_FALSE(str::ToWide("abcdef", buffer, 5));
  EXPECT_STREQ(buffer, L"abcd");
}

TEST(StrLower, LowersAnsiLetters) {
  EXPECT_EQ(str::ToLower("Microsoft ADPCM"), "microsoft adpcm");
  EXPECT_EQ(str::ToLower(""), "");
  EXPECT_TRUE(str::EqualNoCase("English", "ENGLISH"));
  EXPECT_FALSE(str::EqualNoCase("English", "Englis"));
}

}  // namespace
