// The SubRip and SSA readers and the text decoding in front of them.

#include <gtest/gtest.h>

#include <string>

#include "SubtitleTestSupport.h"
#include "standins/subtitles/CueList.h"
#include "standins/subtitles/SsaReader.h"
#include "standins/subtitles/SubRipReader.h"
#include "standins/subtitles/SubtitleText.h"

namespace {

struct ReaderCase {
  const char* name;
  std::string input;
  std::string expected;  // Describe() of the cues
};

class SubRipReading : public testing::TestWithParam<ReaderCase> {};

TEST_P(SubRipReading, GivesTheCuesThatParse) {
  EXPECT_EQ(Describe(ReadSubRip(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubRipReading,
    testing::Values(
        ReaderCase{"Basic",
                   "1\n00:00:01,000 --> 00:00:02,500\nHello\n\n2\n00:00:03,000 --> "
                   "00:00:04,000\nWorld\n",
                   "1000-2500: Hello[]\n3000-4000: World[]\n"},
        ReaderCase{"CrLfMultiLine", "1\r\n00:01:00,000 --> 00:01:01,000\r\nOne\r\nTwo\r\n\r\n",
                   "60000-61000: One[] / Two[]\n"},
        ReaderCase{"LoneCrLineEnds", "1\r00:00:01,000 --> 00:00:02,000\rA\rB\r\r",
                   "1000-2000: A[] / B[]\n"},
        ReaderCase{"BlocksWithoutBlankLine",
                   "1\n00:00:01,000 --> 00:00:02,000\nA\n2\n00:00:03,000 --> 00:00:04,000\nB\n",
                   "1000-2000: A[]\n3000-4000: B[]\n"},
        ReaderCase{"NumberAsText", "1\n00:00:01,000 --> 00:00:02,000\n42\n\n", "1000-2000: 42[]\n"},
        ReaderCase{"DotsLongHoursAndPosition", "00:00:01.5 --> 123:00:02.25  X1:10 X2:20\nA\n",
                   "1500-442802250: A[]\n"},
        ReaderCase{"BadTimeLineSkipped",
                   "1\n00:00:01;000 --> 00:00:02,000\nBad\n\n2\n00:00:03,000 --> "
                   "00:00:04,000\nGood\n",
                   "3000-4000: Good[]\n"},
        ReaderCase{"MinutesOutOfRangeSkipped",
                   "00:60:01,000 --> 00:61:02,000\nBad\n\n00:00:03,000 --> 00:00:04,000\nGood\n",
                   "3000-4000: Good[]\n"},
        ReaderCase{"EndBeforeStartSkipped",
                   "00:00:05,000 --> 00:00:04,000\nBackwards\n\n00:00:05,000 --> "
                   "00:00:05,000\nEmpty\n\n00:00:06,000 --> 00:00:07,000\nKept\n",
                   "6000-7000: Kept[]\n"},
        ReaderCase{"NoTextSkipped", "00:00:01,000 --> 00:00:02,000\n   \n\n", ""},
        ReaderCase{"OverlappingKept",
                   "00:00:01,000 --> 00:00:05,000\nLong\n\n00:00:02,000 --> 00:00:03,000\nShort\n",
                   "1000-5000: Long[]\n2000-3000: Short[]\n"},
        ReaderCase{"GarbageBetweenBlocks",
                   "junk\n\x01\x02\n00:00:01,000 --> 00:00:02,000\nA\n\nmore junk\n",
                   "1000-2000: A[]\n"}),
    [](const auto& info) { return info.param.name; });

struct MarkupCase {
  const char* name;
  const char* input;
  const char* expected;
};

class SubRipMarkup : public testing::TestWithParam<MarkupCase> {};

TEST_P(SubRipMarkup, StylesOrStripsTags) {
  EXPECT_EQ(Describe(ParseSubRipMarkup(GetParam().input)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubRipMarkup,
    testing::Values(
        MarkupCase{"Italic", "<i>Hi</i> there", "Hi[i] there[]"},
        MarkupCase{"NestedUpperCase", "<B><i>x</i></B>y", "x[bi]y[]"},
        MarkupCase{"Underline", "<u>u</u>", "u[u]"},
        MarkupCase{"StyleSpansLines", "<i>one\ntwo</i>", "one[i] / two[i]"},
        MarkupCase{"HexColour", "<font color=\"#FF0000\">red</font> w", "red[#ff0000] w[]"},
        MarkupCase{"NamedColour", "<font color=yellow>y</font>", "y[#ffff00]"},
        MarkupCase{"FaceOnlyKeepsColour", "<font color=red><font face=\"Arial\">a</font>b</font>c",
                   "ab[#ff0000]c[]"},
        MarkupCase{"BadColourKeepsColour", "<font color=\"#12\">a</font>", "a[]"},
        MarkupCase{"StrayClosingTag", "</i>stray", "stray[]"},
        MarkupCase{"LessThanIsText", "a < b and <3", "a < b and <3[]"},
        MarkupCase{"UnknownTagIsText", "x<unknown>y", "x<unknown>y[]"},
        MarkupCase{"TagCutByLineEnd", "<i\n>x", "<i[] / >x[]"},
        MarkupCase{"OverrideBlockDropped", "{\\an8}top", "top[]"},
        MarkupCase{"BraceIsText", "{not an override}", "{not an override}[]"},
        MarkupCase{"ControlsDroppedTabsSpaced",
                   "a\tb\x01\x7F"
                   "c",
                   "a bc[]"},
        MarkupCase{"BlankEdgeLinesDropped", "\n \nmid\n\nend\n ", "mid[] /  / end[]"}),
    [](const auto& info) { return info.param.name; });

class SsaReading : public testing::TestWithParam<ReaderCase> {};

TEST_P(SsaReading, GivesTheDialogueLines) {
  EXPECT_EQ(Describe(ReadSsa(GetParam().input)), GetParam().expected);
}

const std::string kAssHeader =
    "[Script Info]\nScriptType: v4.00+\nPlayResY: 720\n\n[V4+ Styles]\n"
    "Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic\n"
    "Style: Default,Arial,36,&H00FFFFFF,0,0\nStyle: Loud,Arial,72,&H00FFFFFF,-1,0\n\n"
    "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SsaReading,
    testing::Values(
        ReaderCase{"CommasOverridesAndBreaks",
                   kAssHeader +
                       "Dialogue: 0,0:00:01.00,0:00:02.50,Default,,0,0,0,,{\\pos(1,2)}Hello, "
                       "world\\Nline{\\i1}2\\nthree\\hfour\n",
                   "1000-2500: Hello, world[] / line2[] / three four[]\n"},
        ReaderCase{"ColumnsInAnyOrder",
                   "[Events]\nFormat: End, Start, Text\nDialogue: 0:00:02.00,0:00:01.00,a, b\n",
                   "1000-2000: a, b[]\n"},
        ReaderCase{"SsaWithoutFormatLine",
                   "[Events]\nDialogue: Marked=0,0:00:01.00,0:00:03.00,*Default,,0,0,0,,Old\n",
                   "1000-3000: Old[]\n"},
        ReaderCase{"BoldFromStyle",
                   kAssHeader + "Dialogue: 0,0:00:01.00,0:00:02.00,Loud,,0,0,0,,Shout\n",
                   "1000-2000: Shout[b]\n"},
        ReaderCase{"BadLinesSkipped",
                   kAssHeader + "Dialogue: 0,0:00:0x.00,0:00:02.00,Default,,0,0,0,,Bad\n"
                                "Dialogue: 0,0:00:03.00,0:00:02.00,Default,,0,0,0,,Back\n"
                                "Dialogue: too,few\n"
                                "Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,{\\b1}\n"
                                "Comment: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,Note\n"
                                "Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,Good\n",
                   "5000-6000: Good[]\n"},
        ReaderCase{"UnclosedBraceIsText",
                   "[Events]\nFormat: Start, End, Text\nDialogue: 0:00:01.00,0:00:02.00,a{b\n",
                   "1000-2000: a{b[]\n"},
        ReaderCase{"DialogueOutsideEventsIgnored",
                   "[Script Info]\nDialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,No\n", ""}),
    [](const auto& info) { return info.param.name; });

TEST(SsaReading, SizesTextByTheStyleAgainstPlayResY) {
  const std::vector<Cue> cues = ReadSsa(kAssHeader +
                                        "Dialogue: 0,0:00:01.00,0:00:02.00,Loud,,0,0,0,,a\n"
                                        "Dialogue: 0,0:00:01.00,0:00:02.00,Missing,,0,0,0,,b\n");
  ASSERT_EQ(cues.size(), 2u);
  EXPECT_DOUBLE_EQ(cues[0].heightScale, 72.0 / 720);
  EXPECT_DOUBLE_EQ(cues[1].heightScale, 36.0 / 720);  // an unknown style falls back to Default
  const std::vector<Cue> noPlayRes = ReadSsa(
      "[V4 Styles]\nFormat: Name, Fontsize\nStyle: Default, 18\n[Events]\n"
      "Dialogue: Marked=0,0:00:01.00,0:00:02.00,Default,,0,0,0,,c\n");
  ASSERT_EQ(noPlayRes.size(), 1u);
  EXPECT_DOUBLE_EQ(noPlayRes[0].heightScale, 18.0 / 288);
}

struct EncodingCase {
  const char* name;
  std::string bytes;
  SubtitleFormat format;
  std::string expected;
  bool ansi;  // whether the ANSI decoder is asked
};

class SubtitleEncodings : public testing::TestWithParam<EncodingCase> {};

TEST_P(SubtitleEncodings, ReadAsUtf8) {
  bool asked = false;
  const AnsiDecoder ansi = [&asked](std::string_view bytes) {
    asked = true;
    return std::string(bytes) == "00:00:01,000 --> 00:00:02,000\n\xE9t\xE9\n"
               ? std::string("00:00:01,000 --> 00:00:02,000\n\xC3\xA9t\xC3\xA9\n")
               : std::string();
  };
  const CueList cues = ReadSubtitleText(GetParam().bytes, GetParam().format, ansi);
  ASSERT_EQ(cues.Size(), 1u);
  EXPECT_EQ(Describe(cues[0].lines), GetParam().expected);
  EXPECT_EQ(asked, GetParam().ansi);
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

const std::u16string kUtf16Cue = u"00:00:01,000 --> 00:00:02,000\r\n\u00e9t\u00e9 \U0001F600\r\n";

INSTANTIATE_TEST_SUITE_P(
    Cases, SubtitleEncodings,
    testing::Values(
        EncodingCase{"Utf8", "00:00:01,000 --> 00:00:02,000\n\xC3\xA9t\xC3\xA9\n",
                     SubtitleFormat::kSubRip, "\xC3\xA9t\xC3\xA9[]", false},
        EncodingCase{"Utf8Bom",
                     "\xEF\xBB\xBF"
                     "00:00:01,000 --> 00:00:02,000\nA\n",
                     SubtitleFormat::kSubRip, "A[]", false},
        EncodingCase{"Utf16Le", Utf16(kUtf16Cue, false), SubtitleFormat::kSubRip,
                     "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80[]", false},
        EncodingCase{"Utf16BeWithOddLastByte", Utf16(kUtf16Cue, true) + "\x01",
                     SubtitleFormat::kSubRip, "\xC3\xA9t\xC3\xA9 \xF0\x9F\x98\x80[]", false},
        EncodingCase{
            "Utf16LoneSurrogate",
            Utf16(u"[Events]\nFormat: Start, End, Text\nDialogue: 0:00:01.00,0:00:02.00,", false) +
                std::string("\x00\xD8", 2),
            SubtitleFormat::kSsa, "\xEF\xBF\xBD[]", false},
        EncodingCase{"AnsiWhenNotUtf8", "00:00:01,000 --> 00:00:02,000\n\xE9t\xE9\n",
                     SubtitleFormat::kSubRip, "\xC3\xA9t\xC3\xA9[]", true}),
    [](const auto& info) { return info.param.name; });

TEST(SubtitleEncodings, WithoutAnAnsiDecoderBytesAreLatin1) {
  const CueList cues =
      ReadSubtitleText("00:00:01,000 --> 00:00:02,000\n\xE9\n", SubtitleFormat::kSubRip, {});
  ASSERT_EQ(cues.Size(), 1u);
  EXPECT_EQ(Describe(cues[0].lines), "\xC3\xA9[]");
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
  } kCases[] = {{-1, {}},          {0, {0}},      {10, {0, 10}}, {19, {0, 10, 15}},
                {20, {0, 15, 20}}, {25, {0, 20}}, {40, {0}},     {59, {0, 50}},
                {60, {0}},         {100, {}},     {1000, {}}};
  std::vector<size_t> indices;
  for (const auto& c : kCases) {
    cues.CoveringAt(c.time, indices);
    std::vector<int64_t> starts;
    for (size_t i : indices) starts.push_back(cues[i].start);
    EXPECT_EQ(starts, c.starts) << "at " << c.time;
  }
}

TEST(SubtitleFormats, FollowTheExtension) {
  EXPECT_EQ(FormatOfPath("C:\\v\\a.SRT"), SubtitleFormat::kSubRip);
  EXPECT_EQ(FormatOfPath("a.b.ass"), SubtitleFormat::kSsa);
  EXPECT_EQ(FormatOfPath("a.Ssa"), SubtitleFormat::kSsa);
  EXPECT_EQ(FormatOfPath("a.srt.txt"), std::nullopt);
  EXPECT_EQ(FormatOfPath("srt"), std::nullopt);
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
  std::string noise(1 << 20, '\0');
  uint32_t state = 12345;
  for (char& c : noise) {
    state = state * 1103515245 + 12345;
    c = static_cast<char>(state >> 24);
  }
  const std::string timeLine = "00:00:01,000 --> 00:00:02,000\n";
  for (const std::string& bytes :
       {noise, timeLine + std::string(1 << 20, '<'), timeLine + std::string(1 << 20, '{'),
        timeLine + "<font color=" + std::string(1 << 20, '#'), noise + timeLine + "end\n"}) {
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
