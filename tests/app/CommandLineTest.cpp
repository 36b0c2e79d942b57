// The command line: how it is split into arguments and what it asks for.

#include "app/CommandLine.h"

#include <windows.h>
#include <gtest/gtest.h>

#include "support/TempFolder.h"

namespace {

TEST(SplitArguments, FollowsTheRuntimesQuotingRules) {
  const struct {
    const char* line;
    std::vector<std::string> args;
  } cases[] = {
      {"", {}},
      {" \t a\tb  ", {"a", "b"}},
      {"\"C:\\My Videos\\a b.avi\" x", {"C:\\My Videos\\a b.avi", "x"}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"a\"\"b\"", {"a\"b"}},
      {"a\\\\\"b c\"", {"a\\b c"}},
      {"a\\\"b", {"a\"b"}},
      {"C:\\dir\\ x", {"C:\\dir\\", "x"}},
      {"\"\" x", {"", "x"}},
      {"\"unclosed quote", {"unclosed quote"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitArguments(c.line), c.args) << c.line;
}

// Relative paths against the current folder, which holds the folder "out".
TEST(ParseCommandLine, OpensOneVideoOrConvertsSeveralAndRefusesTheRest) {
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
    const char* outputFolder;  // relative to here; nullptr for none
    bool exitWhenDone;
    const char* refused;  // the argument at fault, or nullptr
  } cases[] = {
      {"", Action::None, {}, {}, nullptr, false, nullptr},
      {"\"my clip.avi\"", Action::Open, {"my clip.avi"}, {}, nullptr, false, nullptr},
      {"/convert a.avi b.mkv", Action::Convert, {"a.avi", "b.mkv"}, {}, nullptr, false, nullptr},
      {"a.avi /CONVERT /Format MKV /outdir out /exit",
       Action::Convert,
       {"a.avi"},
       OutputFormat::Mkv,
       "out",
       true,
       nullptr},
      {"a.avi b.avi", Action::None, {}, {}, nullptr, false, "b.avi"},
      {"/convert", Action::None, {}, {}, nullptr, false, "/convert"},
      {"/convert a.avi /format", Action::None, {}, {}, nullptr, false, "/format"},
      {"/convert a.avi /format mov", Action::None, {}, {}, nullptr, false, "mov"},
      {"/convert a.avi /format avi /format wmv", Action::None, {}, {}, nullptr, false, "/format"},
      {"/convert a.avi /outdir /exit", Action::None, {}, {}, nullptr, false, "/outdir"},
      {"/convert a.avi /outdir missing", Action::None, {}, {}, nullptr, false, "missing"},
      {"/convert a.avi /exit /exit", Action::None, {}, {}, nullptr, false, "/exit"},
      {"/convert /convert a.avi", Action::None, {}, {}, nullptr, false, "/convert"},
      {"/convert a.avi /fast", Action::None, {}, {}, nullptr, false, "/fast"},
      {"a.avi /exit", Action::None, {}, {}, nullptr, false, "/exit"},
      {"\"\"", Action::None, {}, {}, nullptr, false, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const StartRequest request = ParseCommandLine(c.line);
    EXPECT_EQ(request.refused, c.refused != nullptr);
    EXPECT_EQ(request.badArgument, c.refused ? c.refused : "");
    if (c.refused) continue;
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

TEST(UsageMessage, NamesTheArgumentAsItStandsBeforeTheUsage) {
  const std::string message = UsageMessage("100%s");
  EXPECT_EQ(message.rfind("This argument cannot be used: \"100%s\"\n\nUsage:\n  \"video\"\n", 0),
            0u)
      << message;
}

}  // namespace
