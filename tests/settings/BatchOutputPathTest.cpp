#include "settings/BatchOutputPath.h"

#include <gtest/gtest.h>

#include "fakes/ScriptedPrompts.h"
#include "support/TempFolder.h"

namespace {

// Beside film.mp4 lie film.avi, film (2).avi, a folder film.mkv, the folder
// my.videos and a file whose name fills a path buffer.
TEST(BatchOutputPath, NamesAfterTheSourceAndNumbersRatherThanReplace) {
  TempFolder temp;
  const std::string here = temp.Path() + "\\";
  const std::string longest = std::string(259 - here.size() - 4, 'v');
  for (std::string name : {"film.avi", "film (2).avi", "film.mkv\\x", "my.videos\\clip"})
    temp.Write(name, "x");
  temp.Write(longest + ".avi", "x");
  const struct {
    OutputFormat format;
    std::string source;
    std::string folder;
    const char* expected;  // relative to here; nullptr: refused
  } cases[] = {
      {OutputFormat::Avi, here + "film.mp4", "", "film (3).avi"},
      {OutputFormat::Mkv, here + "film.mp4", here, "film (2).mkv"},
      {OutputFormat::Asf, here + "film.mp4", here + "my.videos", "my.videos\\film.asf"},
      {static_cast<OutputFormat>(4), here + "film.mp4", "", nullptr},
      {OutputFormat::Avi, here + longest + ".mp4", "", nullptr},
  };
  ScriptedPrompts prompts;
  for (const auto& c : cases) {
    std::string output = "unchanged";
    EXPECT_EQ(BatchOutputPath(c.format, c.source.c_str(), c.folder, output), c.expected != nullptr);
    EXPECT_EQ(output, c.expected ? here + c.expected : "unchanged") << c.source;
  }
  ASSERT_EQ(prompts.Messages().size(), 2u);
  EXPECT_EQ(prompts.Messages()[0].text, "Does not support the video format");
  EXPECT_EQ(prompts.Messages()[1].text, kPathTooLong);
}

}  // namespace
