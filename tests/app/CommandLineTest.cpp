// The command line: how it is split into arguments and what it asks for.

#include "app/CommandLine.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

// Relative paths against the current folder, which holds the folder "out".
TEST(ParseCommandLine, OpensOneVideoOrConvertsSeveral) {
  TempFolder folder;
  CreateDirectoryA((folder.Path() + "\\out").c_str(), nullptr);
  char previous[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, previous);
  ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().c_str()));
  const std::string here = folder.Path() + "\\";
  using Action = StartRequest::Action;
  const struct {
    const char* line;
    Action action;
    std::vector<std::string> videos;  // relative to here
    std::optional<OutputFormat> format;
    const char* outputFolder;  // relative to here
    bool exitWhenDone;
  } cases[] = {
      {"", Action::None, {}, {}, nullptr, false},
      {"\"my clip.avi\"", Action::Open, {"my clip.avi"}, {}, nullptr, false},
      {"/convert a.avi b.mkv", Action::Convert, {"a.avi", "b.mkv"}, {}, nullptr, false},
      {"a.avi /CONVERT /Format MKV /outdir out /exit",
       Action::Convert,
       {"a.avi"},
       OutputFormat::Mkv,
       "out",
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const StartRequest request = ParseCommandLine(c.line);
    EXPECT_FALSE(request.refused);
    EXPECT_EQ(request.action, c.action);
    std::vector<std::string> videos;
    for (const std::string& video : c.videos) videos.push_back(here + video);
    EXPECT_EQ(request.videos, videos);
    EXPECT_EQ(request.format, c.format);
    EXPECT_EQ(request.outputFolder, c.outputFolder ? here + c.outputFolder : "");
    EXPECT_EQ(request.exitWhenDone, c.exitWhenDone);
  }
  SetCurrentDirectoryA(previous);
}

TEST(ParseCommandLine, RefusesTheFirstArgumentItCannotUse) {
  const std::pair<const char*, const char*> cases[] = {
      {"a.avi b.avi", "b.avi"},
      // Quoting as the runtime splits: "" in quotes, 2n and 2n+1 backslashes before a quote.
      {"\"a b\" \"x\"\"y\"", "x\"y"},
      {"a b\\\\\"c d\"", "b\\c d"},
      {"a b\\\"c", "b\"c"},
      {"/convert", "/convert"},
      {"/convert a.avi /format", "/format"},
      {"/convert a.avi /format mov", "mov"},
      {"/convert a.avi /format avi /format wmv", "/format"},
      {"/convert a.avi /outdir /exit", "/outdir"},
      {"/convert a.avi /outdir \"no such folder\"", "no such folder"},
      {"/convert a.avi /exit /exit", "/exit"},
      {"/convert a.avi /fast", "/fast"},
      {"a.avi /exit", "/exit"},
      {"\"\"", ""},
  };
  for (const auto& [line, bad] : cases) {
    const StartRequest request = ParseCommandLine(line);
    EXPECT_TRUE(request.refused) << line;
    EXPECT_EQ(request.badArgument, bad) << line;
  }
}

}  // namespace
