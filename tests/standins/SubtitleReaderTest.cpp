// The SubRip and SSA readers and the text decoding in front of them.

#include <gtest/gtest.h>

#include <string>

#include "SubtitleTestSupport.h"
#include "standins/subtitles/CueList.h"
#include "standins/subtitles/SsaReader.h"
#include "standins/subtitles/SubRipReader.h"
#include "standins/subtitles/SubtitleText.h"
#include "support/TestNoise.h"

namespace {

struct ReaderCase {
  std::string input;
  const char* expected;  // Describe() of the cues
};

TEST(SubRipReading, GivesTheCuesThatParse) {
  const ReaderCase kCases[] = {
      {"1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n00:00:03,000 --> 00:00:04,000\nWorld\n",
       "1000-2500: Hello[]\n3000-4000: World[]\n"},
      {"1\r\n00:01:00,000 --> 00:01:01,000\r\nOne\r\nTwo\r\n\r\n", "60000-61000: One[] / Two[]\n"},
      {"1\r00:00:01,000 --> 00:00:02,000\rA\rB\r\r", "1000-2000: A[] / B[]\n"},
      // Blocks run together; a number as the text.
      {"1\n00:00:01,000 --> 00:00:02,000\n42\n2\n00:00:03,000 --> 00:00:04,000\nB\n",
       "1000-2000: 42[]\n3000-4000: B[]\n"},
      {"00:00:01.5 --> 123:00:02.25  X1:10 X2:20\nA\n", "1500-442802250: A[]\n"},
      // Unreadable times, backwards or empty cues, no text, garbage: skipped.
      {"00:00:01;000 --> 00:00:02,000\nBad\n\n00:60:01,000 --> 00:61:02,000\nBad\n\n"
       "00:00:05,000 --> 00:00:04,000\nBack\n\n00:00:05,000 --> 00:00:05,000\nEmpty\n\n"
       "00:00:05,000 --> 00:00:06,000\n  \n\njunk\n\x01\x02\n00:00:06,000 --> 00:00:07,000\nKept\n",
       "6000-7000: Kept[]\n"},
      {"00:59:00,000 --> 00:60:00,000\nA\n\n00:00:59,000 --> 00:00:60,000\nB\n\n"
       "00:00:01,000 --> 00:00:02,000\nC\n",
       "1000-2000: C[]\n"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Describe(ReadSubRip(c.input)), c.expected) << c.input;
}

TEST(SubRipMarkup, StylesOrStripsTags) {
  const struct {
    const char* input;
    const char* expected;
  } kCases[] = {
      {"<B><i><u>x</u></i></B>y", "x[biu]y[]"},
      {"<i>one\ntwo</i>", "one[i] / two[i]"},
      {"<font color=\"#FF0000\">red</font> w", "red[#ff0000] w[]"},
      {"<font color=red><font face=\"Arial\">a</font>b</font>c", "ab[#ff0000]c[]"},
      {"<font color=\"#12\">a</font>", "a[]"},
      {"</i>stray <s>s</s>", "stray s[]"},
      {"a < b, <3, x<unknown>y, <i\n>", "a < b, <3, x<unknown>y, <i[] / >[]"},
      {"{\\an8}top {not an override}", "top {not an override}[]"},
      {"a\tb\x01\x7F"
       "c",
       "a bc[]"},
      {"\n \nmid\n\nend\n ", "mid[] /  / end[]"},
  };
  for (const auto& c : kCases)
    EXPECT_EQ(Describe(ParseSubRipMarkup(c.input)), c.expected) << c.input;
}

const std::string kAssHeader =
    "[Script Info]\nScriptType: v4.00+\nPlayResY: 720\n\n[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic\n"
    "Style: Default,Arial,36,&H00FFFFFF,0,0\nStyle: Loud,Arial,72,&H00FFFFFF,-1,0\n\n"
    "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

TEST(SsaReading, GivesTheDialogueLines) {
  const ReaderCase kCases[] = {
      {kAssHeader + "Dialogue: 0,0:00:01.00,0:00:02.50,Default,,0,0,0,,{\\pos(1,2)}Hello, "
                    "world\\Nline{\\i1}2\\nthree\\hfour{\n",
       "1000-2500: Hello, world[] / line[]2[i] / three four{[i] @0.050000 at 0.001 0.003 "
       "font Arial\n"},
      // The style's size and bold; an unknown style is Default's.
      {kAssHeader + "Dialogue: 0,0:00:01.00,0:00:02.00,Loud,,0,0,0,,a\n"
                    "Dialogue: 0,0:00:01.00,0:00:02.00,Missing,,0,0,0,,b\n",
       "1000-2000: a[b] @0.100000 font Arial\n1000-2000: b[] @0.050000 font Arial\n"},
      {"[Events]\nFormat: End, Start, Text\nDialogue: 0:00:02.00,0:00:01.00,a, b\n",
       "1000-2000: a, b[]\n"},
      // No Format line, no PlayResY: the SSA defaults.
      {"[V4 Styles]\nFormat: Name, Fontsize\nStyle: Default, 18\n[Events]\n"
       "Dialogue: Marked=0,0:00:01.00,0:00:03.00,*Default,,0,0,0,,Old\n",
       "1000-3000: Old[] @0.062500\n"},
      {kAssHeader + "Dialogue: 0,0:00:0x.00,0:00:02.00,Default,,0,0,0,,Bad\n"
                    "Dialogue: 0,0:00:03.00,0:00:02.00,Default,,0,0,0,,Back\n"
                    "Dialogue: too,few\n"
                    "Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,{\\b1}\n"
                    "Comment: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,Note\n"
                    "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,Good\n",
       "5000-6000: Good[] @0.050000 font Arial\n"},
      // Tags skipped whole, animated ones with what they animate; a drawing is no text.
      {kAssHeader + "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,{\\t(0,500,\\fs90\\an9)"
                    "\\move(1,2,3,4)\\fad(10,20)\\k20\\blur2\\clip(1,2,3,4)\\fscx50}plain{\\p1}"
                    "m 0 0 l 10 0{\\p0} end\n",
       "1000-2000: plain end[] @0.050000 font Arial\n"},
      {"[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,No\n", ""},
  };
  for (const auto& c : kCases) EXPECT_EQ(Describe(ReadSsa(c.input)), c.expected) << c.input;
}

const std::string kStyledHeader =
    "[Script Info]\nPlayResX: 640\nPlayResY: 480\n[V4+ Styles]\nFormat: Name, Fontname, "
    "Fontsize, PrimaryColour, SecondaryColour, OutlineColour, BackColour, Bold, Italic, "
    "Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, Shadow, "
    "Alignment, MarginL, MarginR, MarginV, Encoding\nStyle: Sign,Courier New,24,&H0000FFFF,"
    "&H000000FF,&H00FF0000,&H80102030,-1,-1,-1,0,100,100,0,0,1,4,2,8,32,64,48,1\n[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

// The styles' look and place, in the script's pixels made fractions of the
// picture, and the override tags that change them.
TEST(SsaReading, TakesStylesAndOverrides) {
  const ReaderCase kCases[] = {
      {kStyledHeader + "Dialogue: 0,0:00:01.00,0:00:02.00,Sign,,0,0,0,,Top\n",
       "1000-2000: Top[biu#ffff00] @0.050000 an8 margins 0.050 0.100 0.100 font Courier New "
       "outline 0.0083 shadow 0.0042 outline#0000ff shadow#302010\n"},
      // The first alignment and position count, the line's margins before the style's.
      {kStyledHeader + "Dialogue: 0,0:00:03.00,0:00:04.00,Sign,,16,0,24,,{\\an1\\an9\\pos(320,240)"
                       "\\pos(1,1)\\fnArial\\fs48\\bord0\\shad1\\3c&H00FF00&\\4c&HFF&\\b0}a"
                       "{\\i0\\c&H0000FF&}b{\\u0\\1c}c\n",
       "3000-4000: a[iu#ffff00]b[u#ff0000]c[#ffff00] @0.100000 an1 margins 0.025 0.100 0.050 "
       "at 0.500 0.500 font Arial outline 0.0000 shadow 0.0021 outline#00ff00 shadow#ff0000\n"},
      {kStyledHeader +
           "Dialogue: 0,0:00:05.00,0:00:06.00,Sign,,0,0,0,,{\\b0\\fs48\\fnArial}x{\\r}y\n",
       "5000-6000: x[iu#ffff00]y[biu#ffff00] @0.050000 an8 margins 0.050 0.100 0.100 font Courier "
       "New outline 0.0083 shadow 0.0042 outline#0000ff shadow#302010\n"},
      // SSA's own styles: decimal colours, the old alignment (6: top centre; 9: middle left).
      {"[V4 Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, "
       "TertiaryColour, BackColour, Bold, Italic, BorderStyle, Outline, Shadow, Alignment, "
       "MarginL, "
       "MarginR, MarginV, AlphaLevel, Encoding\nStyle: Default,Arial,18,65535,255,16711680,0,0,0,1,"
       "2,0,6,10,10,10,0,0\n[Events]\nDialogue: Marked=0,0:00:01.00,0:00:02.00,Default,,0000,0000,"
       "0000,,Up\nDialogue: Marked=0,0:00:02.00,0:00:03.00,Default,,0000,0000,0000,,{\\a9}Left\n",
       "1000-2000: Up[#ffff00] @0.062500 an8 margins 0.026 0.026 0.035 font Arial outline 0.0069 "
       "outline#0000ff\n2000-3000: Left[#ffff00] @0.062500 an4 margins 0.026 0.026 0.035 font "
       "Arial outline 0.0069 outline#0000ff\n"},
  };
  for (const auto& c : kCases) EXPECT_EQ(Describe(ReadSsa(c.input)), c.expected) << c.input;
}

std::string Utf16(const std::u16string& text, bool bigEndian) {
  std::string out = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
  for (char16_t unit : text) {
    const char high = static_cast<char>(unit >> 8), low = static_cast<char>(unit & 0xFF);
    out += bigEndian ? high : low;
    out += bigEndian ? low : high;
  }
  return out;
}

// Plain and BOM-led UTF-8 and the ANSI decoder's part are the text decoding
// fuzzer's checks; here the UTF-16 forms.
TEST(SubtitleEncodings, AreReadAsUtf8) {
  const std::u16string utf16 = u"00:00:01,000 --> 00:00:02,000\r\n\u00e9t\u00e9 \U0001F600\r\n";
  const char kUtf16Text[] = "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80[]";
  const struct {
    std::string bytes;
    SubtitleFormat format;
    const char* expected;
  } kCases[] = {
      {Utf16(utf16, false), SubtitleFormat::kSubRip, kUtf16Text},
      {Utf16(utf16, true) + "\x01", SubtitleFormat::kSubRip, kUtf16Text},  // odd length
      {Utf16(u"[Events]\nFormat: Start, End, Text\nDialogue: 0:00:01.00,0:00:02.00,", false) +
           std::string("\x00\xD8", 2),  // a lone surrogate
       SubtitleFormat::kSsa, "\xEF\xBF\xBD[]"},
  };
  for (const auto& c : kCases) {
    const CueList cues = ReadSubtitleText(c.bytes, c.format, {});
    ASSERT_EQ(cues.Size(), 1u) << c.expected;
    EXPECT_EQ(Describe(cues[0].lines), c.expected);
  }
  EXPECT_EQ(FormatOfPath("C:\\v\\a.SRT"), SubtitleFormat::kSubRip);
  EXPECT_EQ(FormatOfPath("a.b.ass"), SubtitleFormat::kSsa);
  EXPECT_EQ(FormatOfPath("a.srt.txt"), std::nullopt);
}

TEST(CueLists, AnswerWhichCuesCoverAnInstant) {
  auto cue = [](int64_t start, int64_t end) { return Cue{start, end, {}}; };
  // Unsorted, overlapping, one long early cue, one that never shows.
  const CueList cues(
      {cue(50, 60), cue(0, 100), cue(10, 20), cue(20, 30), cue(40, 40), cue(15, 25)});
  ASSERT_EQ(cues.Size(), 5u);
  const struct {
    int64_t time;
    std::vector<int64_t> starts;
  } kCases[] = {{-1, {}},      {0, {0}},  {10, {0, 10}}, {19, {0, 10, 15}}, {20, {0, 15, 20}},
                {25, {0, 20}}, {40, {0}}, {59, {0, 50}}, {60, {0}},         {100, {}}};
  std::vector<size_t> indices;
  for (const auto& c : kCases) {
    cues.CoveringAt(c.time, indices);
    std::vector<int64_t> starts;
    for (size_t i : indices) starts.push_back(cues[i].start);
    EXPECT_EQ(starts, c.starts) << "at " << c.time;
  }
}

// Every prefix of a file, as a truncated download leaves it: the cues read
// are the whole file's, except that the last one may have lost text.
TEST(TruncatedSubtitles, GiveTheWholeCuesBeforeTheCut) {
  const std::string srt =
      "1\r\n00:00:01,000 --> 00:00:02,000\r\n<i>First</i>\r\n\r\n2\r\n00:00:12,000 --> "
      "00:00:14,000\r\nSecond line\r\nmore\r\n\r\n3\r\n00:01:00,000 --> 00:01:02,000\r\nThird\r\n";
  const std::string ass = kAssHeader +
                          "Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,One\n"
                          "Dialogue: 0,0:00:12.00,0:00:14.00,Loud,,0,0,0,,Two\\Nlines\n";
  for (const bool isSrt : {true, false}) {
    const std::string& file = isSrt ? srt : ass;
    const std::vector<Cue> whole = isSrt ? ReadSubRip(file) : ReadSsa(file);
    ASSERT_FALSE(whole.empty());
    for (size_t cut = 0; cut < file.size(); ++cut) {
      const std::string prefix = file.substr(0, cut);
      const std::vector<Cue> cues = isSrt ? ReadSubRip(prefix) : ReadSsa(prefix);
      ASSERT_LE(cues.size(), whole.size()) << cut;
      for (size_t i = 0; i + 1 < cues.size(); ++i)
        EXPECT_EQ(Describe({cues[i]}), Describe({whole[i]})) << cut;
      if (cues.empty()) continue;
      EXPECT_EQ(cues.back().start, whole[cues.size() - 1].start) << cut;
    }
  }
}

// Binary and hostile files end with some cues or none, without a hang.
TEST(HostileSubtitles, AreReadToTheirEnd) {
  const std::string noise = TestNoise(12345).Bytes(1 << 20);
  const std::string timeLine = "00:00:01,000 --> 00:00:02,000\n";
  for (const std::string& bytes :
       {noise, timeLine + std::string(1 << 20, '<'), timeLine + std::string(1 << 20, '{'),
        timeLine + "<font color=" + std::string(1 << 20, '#')}) {
    for (SubtitleFormat format : {SubtitleFormat::kSubRip, SubtitleFormat::kSsa}) {
      const CueList cues = ReadSubtitleText(bytes, format, {});
      for (size_t i = 0; i < cues.Size(); ++i) EXPECT_LT(cues[i].start, cues[i].end);
    }
  }
  const CueList last =
      ReadSubtitleText(noise + "\n\n" + timeLine + "end\n", SubtitleFormat::kSubRip, {});
  ASSERT_GE(last.Size(), 1u);
  EXPECT_EQ(Describe(last[last.Size() - 1].lines), "end[]");
}

}  // namespace
