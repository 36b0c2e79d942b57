#include "settings/BatchOutputPath.h"

#include <gtest/gtest.h>

#include "fakes/ScriptedPrompts.h"
#include "support/TempFolder.h"

namespace {

// In a folder that holds film.mp4, film.avi, film (2).avi, a folder film.mkv,
// and a folder my.videos.
TEST(BatchOutputPath, NamesAfterTheSourceAndNumbersRatherThanReplace) {
  TempFolder temp;
  const std::string here = temp.Path() + "\\";
  for (const char* name : {"film.mp4", "film.avi", "film (2).avi", "my.videos\\clip"})
    temp.Write(name, "x");
  CreateDirectoryA((here + "film.mkv").c_str(), nullptr);
  CreateDirectoryA((here + "out").c_str(), nullptr);
  const struct {
    OutputFormat format;
    std::string source;
    std::string folder;
    std::string expected;
  } cases[] = {
      {OutputFormat::Wmv, here + "film.mp4", "", here + "film.wmv"},
      {OutputFormat::Avi, here + "film.mp4", "", here + "film (3).avi"},
      {OutputFormat::Mkv, here + "film.mp4", here, here + "film (2).mkv"},
      {OutputFormat::Avi, here + "film.mp4", here + "out", here + "out\\film.avi"},
      {OutputFormat::Asf, here + "my.videos\\clip", "", here + "my.videos\\clip.asf"},
      {OutputFormat::Avi, here + "film.avi", here + "out\\", here + "out\\film.avi"},
  };
  ScriptedPrompts prompts;
  for (const auto& c : cases) {
    std::string output = "unchanged";
    EXPECT_TRUE(BatchOutputPath(c.format, c.source.c_str(), c.folder, output)) << c.source;
    EXPECT_EQ(output, c.expected);
  }
  EXPECT_TRUE(prompts.Records().empty());
}

// The longest name is taken; its numbered form would not fit a path buffer.
TEST(BatchOutputPath, RefusesAFormatWithoutExtensionAndANumberedNameTooLong) {
  TempFolder temp;
  const std::string stem = std::string(259 - temp.Path().size() - 5, 'v');
  temp.Write(stem + ".avi", "x");
  const std::string source = temp.Path() + "\\" + stem + ".mp4";
  ScriptedPrompts prompts;
  std::string output = "unchanged";
  EXPECT_FALSE(BatchOutputPath(static_cast<OutputFormat>(4), "c:\\film.mp4", "", output));
  EXPECT_FALSE(BatchOutputPath(OutputFormat::Avi, source.c_str(), "", output));
  EXPECT_EQ(output, "unchanged");
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[0].text, "Does not support the video format");
  EXPECT_EQ(prompts.Messages()[1].text, kPathTooLong);
}

}  // namespace
