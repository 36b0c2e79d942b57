#include "settings/OutputFormat.h"

#include <gtest/gtest.h>

#include "fakes/ScriptedPrompts.h"
#include "i18n/Localization.h"
#include "res/resource.h"

namespace {

constexpr OutputFormat kAvi = OutputFormat::Avi;
constexpr OutputFormat kWmv = OutputFormat::Wmv;
constexpr OutputFormat kMkv = OutputFormat::Mkv;
constexpr OutputFormat kAsf = OutputFormat::Asf;

TEST(ApplyFormatExtension, ReplacesTheExtensionOfTheFileNameOnly) {
  const struct {
    OutputFormat format;
    const char* path;
    const char* expected;
  } cases[] = {
      {kWmv, "c:\\video\\film.avi", "c:\\video\\film.wmv"},
      {kWmv, "c:\\video\\film", "c:\\video\\film.wmv"},
      {kWmv, "c:\\video\\film.part1.avi", "c:\\video\\film.part1.wmv"},
      {kAvi, "c:\\a.AVI", "c:\\a.avi"},
      {kAsf, "c:\\output.avi", "c:\\output.asf"},
      {kAvi, "c:\\output.asf", "c:\\output.avi"},
      {kMkv, "d:\\clips\\talk.avi", "d:\\clips\\talk.mkv"},
      {kWmv, "", ".wmv"},
      {kWmv, "film.", "film.wmv"},
      {kAvi, "c:\\dir\\.hidden", "c:\\dir\\.avi"},
      // Dots in folder names stay.
      {kWmv, "c:\\my.videos\\film", "c:\\my.videos\\film.wmv"},
      {kWmv, "c:\\my.videos\\film.avi", "c:\\my.videos\\film.wmv"},
      {kWmv, "c:/my.videos/film", "c:/my.videos/film.wmv"},
      {kWmv, "\\\\server.lan\\share\\film", "\\\\server.lan\\share\\film.wmv"},
  };
  for (const auto& c : cases) {
    std::string out = "unchanged";
    EXPECT_TRUE(ApplyFormatExtension(c.format, c.path, out)) << c.path;
    EXPECT_EQ(out, c.expected) << c.path;
  }
}

TEST(ApplyFormatExtension, RefusesAnUnknownFormatWithItsMessage) {
  for (int value : {-1, 4, 99}) {
    ScriptedPrompts prompts;
    std::string out = "c:\\keep.wmv";
    EXPECT_FALSE(ApplyFormatExtension(static_cast<OutputFormat>(value), "c:\\film.avi", out));
    EXPECT_EQ(out, "c:\\keep.wmv");
    EXPECT_TRUE(
        prompts.ShowedOneMessage("Does not support the video format", "Error", nullptr, MB_OK));
  }
}

TEST(ApplyFormatExtension, RefusesAResultLongerThan259Characters) {
  ScriptedPrompts prompts;
  std::string longest = "c:\\" + std::string(252, 'a');  // 255 + ".wmv" = 259
  std::string out = "keep";
  EXPECT_TRUE(ApplyFormatExtension(kWmv, (longest + ".avi").c_str(), out));
  EXPECT_EQ(out.size(), 259u);
  EXPECT_TRUE(prompts.Messages().empty());

  out = "keep";
  EXPECT_FALSE(ApplyFormatExtension(kWmv, (longest + "b").c_str(), out));
  EXPECT_EQ(out, "keep");
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].caption, "Error");
  EXPECT_NE(prompts.Messages()[0].text.find("259"), std::string::npos);

  // A long folder part is no reason to cut anywhere else.
  std::string deep = "c:\\" + std::string(600, 'd') + "\\film.avi";
  EXPECT_FALSE(ApplyFormatExtension(kWmv, deep.c_str(), out));
  EXPECT_EQ(out, "keep");
}

// A literal with embedded NULs, without its own terminator.
template <size_t N>
std::string Bytes(const char (&literal)[N]) {
  return std::string(literal, N - 1);
}

TEST(FormatFilter, GivesDescriptionAndPattern) {
  const struct {
    OutputFormat format;
    std::string expected;
  } cases[] = {
      {kAvi, Bytes("Audio Video Interleave file(*.avi)\0*.avi\0\0")},
      {kWmv, Bytes("Windows Media Video file (*.wmv)\0*.wmv\0\0")},
      {kMkv, Bytes("Matroska video file(*.mkv)\0*.mkv\0\0")},
      {kAsf, Bytes("Advanced Systems Format file(*.asf)\0*.asf\0\0")},
      {static_cast<OutputFormat>(5), Bytes("\0\0")},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatFilter(c.format), c.expected);
}

TEST(BrowseOutputPath, OffersTheFormatsFilesInTheOpenedFolder) {
  ScriptedPrompts prompts;
  prompts.PlanFileAnswer(std::string("e:\\out\\clip.avi"));
  std::string field = "typed by hand.avi";
  EXPECT_TRUE(BrowseOutputPath(nullptr, kMkv, "c:\\videos\\first.wmv", field));
  EXPECT_EQ(field, "e:\\out\\clip.mkv");

  ASSERT_EQ(prompts.Records().size(), 1u);
  const PromptRecord& r = prompts.Records()[0];
  EXPECT_EQ(r.kind, PromptRecord::Kind::SaveFile);
  EXPECT_EQ(r.caption, BuiltInString(IDS_MESSAGE_BROWSE_CAPTION));
  EXPECT_EQ(r.filter, "Matroska video file(*.mkv)|*.mkv|");
  EXPECT_EQ(r.filterIndex, 1u);
  EXPECT_EQ(r.initialFolder, "c:\\videos");
  EXPECT_EQ(r.initialFile, "*.*");
  EXPECT_EQ(r.type, static_cast<UINT>(OFN_HIDEREADONLY));
}

TEST(BrowseOutputPath, BareFileNameOpensInTheCurrentFolder) {
  ScriptedPrompts prompts;
  std::string field = "output.wmv";
  EXPECT_FALSE(BrowseOutputPath(nullptr, kWmv, "output.wmv", field));
  ASSERT_EQ(prompts.Records().size(), 1u);
  EXPECT_EQ(prompts.Records()[0].initialFolder, ".");
  EXPECT_EQ(field, "output.wmv") << "a cancelled dialog changes nothing";
}

TEST(BrowseOutputPath, UnknownFormatWarnsTwiceAndChangesNothing) {
  ScriptedPrompts prompts;
  prompts.PlanFileAnswer(std::string("c:\\clip.avi"));
  std::string field = "c:\\keep.avi";
  HWND owner = GetDesktopWindow();
  EXPECT_FALSE(BrowseOutputPath(owner, static_cast<OutputFormat>(4), "c:\\a.avi", field));
  EXPECT_EQ(field, "c:\\keep.avi");
  const std::vector<PromptRecord>& r = prompts.Records();
  ASSERT_EQ(r.size(), 3u);
  EXPECT_EQ(r[0].text, "Does not support the video format");
  EXPECT_EQ(r[0].owner, owner);
  EXPECT_EQ(r[1].kind, PromptRecord::Kind::SaveFile);
  EXPECT_EQ(r[1].filter, "");
  EXPECT_EQ(r[2].text, "Does not support the video format");
  EXPECT_EQ(r[2].owner, nullptr);
}

}  // namespace
