// Open Video on the real main window, with the open-file dialog answered by
// script and the clips rendered by Wine's DirectShow.

#include <gtest/gtest.h>

#include <optional>

#include "app/MainDialog.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/Localization.h"
#include "settings/OutputFormat.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"
#include "support/MainDialogProbe.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

const std::string kNotOpened = BuiltInString(IDS_MESSAGE_NOT_OPEN_FILE);
const std::string kNoDuration = BuiltInString(IDS_MESSAGE_NO_DURATION);

class OpenVideoTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com.Entered()); }

  std::string OpenVideo(HWND hwnd, std::optional<std::string> answer) {
    prompts.PlanFileAnswer(std::move(answer));
    Click(hwnd, IDC_BUTTON_ADD_VIDEO);
    return ControlText(hwnd, IDC_STATIC_SOURCE_LINE);
  }

  // COM stays up around the window's own start and end, so that the slots
  // that closing leaves filled are released while it runs.
  ComApartment com;
  ScratchProfile profile{"openvideo"};
  ScriptedPrompts prompts;
  LanguageManager languages{profile};
  GraphHandles graph;
  ClipFolder clips;
};

void ExpectBox(const PromptRecord& r, HWND owner, const std::string& caption,
               const std::string& text) {
  EXPECT_EQ(r.kind, PromptRecord::Kind::Message);
  EXPECT_EQ(r.text, text);
  EXPECT_EQ(r.caption, caption);
  EXPECT_EQ(r.owner, owner);
  EXPECT_EQ(r.type, static_cast<UINT>(MB_OK));
}
void ExpectNotOpenedBox(const PromptRecord& r, HWND owner) {
  ExpectBox(r, owner, "Error IDS_MESSAGE_NOT_OPEN_FILE", kNotOpened);
}
void ExpectNoDurationBox(const PromptRecord& r, HWND owner) {
  ExpectBox(r, owner, "Error IDS_MESSAGE_NO_DURATION", kNoDuration + kNotOpened);
}

TEST_F(OpenVideoTest, OpensAClipShowsItsLengthAndRemembersItsFolder) {
  const std::string folder = clips.MakeFolder("films");
  const std::string path = clips.MakeAvi("films\\clip.avi");
  ASSERT_FALSE(path.empty());
  profile.WriteString("Option", "LastPhotoFolder", "c:\\start\\");
  MainDialog dialog(profile, languages, graph);
  std::string line;
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.Clear();
    line = OpenVideo(hwnd, path);
    EXPECT_NE(graph.graph, nullptr);
    EXPECT_NE(graph.mediaControl, nullptr);
    EXPECT_EQ(graph.mediaEvent, nullptr);
    ASSERT_FALSE(prompts.Records().empty());
    const PromptRecord& ask = prompts.Records()[0];
    EXPECT_EQ(ask.kind, PromptRecord::Kind::OpenFile);
    EXPECT_EQ(ask.owner, hwnd);
    EXPECT_EQ(ask.caption, BuiltInString(IDS_MESSAGE_OPEN_FILE));
    EXPECT_EQ(ask.filter, "Video Files (*.*)|*.*|");
    EXPECT_EQ(ask.filterIndex, 1u);
    EXPECT_EQ(ask.initialFolder, "c:\\start\\");
    EXPECT_EQ(ask.initialFile, "");
    EXPECT_EQ(ask.structSize, static_cast<DWORD>(OPENFILENAME_SIZE_VERSION_400A));
    EXPECT_EQ(ask.type, static_cast<UINT>(OFN_EXPLORER | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST |
                                          OFN_READONLY));
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(prompts.Records().size(), 1u) << "no message";
  EXPECT_EQ(line, "clip.avi: 00:00:02");
  EXPECT_EQ(profile.GetString("Option", "LastPhotoFolder", ""), folder);
  EXPECT_EQ(MainDialogProbe::SourcePath(dialog), path);
  EXPECT_EQ(MainDialogProbe::SourceReady(dialog), 1);
  EXPECT_EQ(MainDialogProbe::Source(dialog).width, 320);
  EXPECT_EQ(MainDialogProbe::Source(dialog).height, 240);
  EXPECT_NEAR(MainDialogProbe::Source(dialog).frameRate, 25.0, 0.0005);
  EXPECT_EQ(dialog.Settings().outputWidth, 320);
  EXPECT_EQ(dialog.Settings().outputHeight, 240);
}

TEST_F(OpenVideoTest, SecondOpenReleasesTheEarlierGraphBeforeProbing) {
  const std::string corrupt = clips.MakeFile("corrupt.avi", "not a video at all");
  std::vector<std::string> log;
  FakeMediaEvent event("event", &log);
  FakeMediaControl control("control", &log);
  FakeGraphBuilder earlier("graph", &log);
  size_t promptsAtRelease = 0;
  std::string pathAtRelease;
  MainDialog dialog(profile, languages, graph);
  earlier.OnLastRelease([&] {
    promptsAtRelease = prompts.Records().size();
    pathAtRelease = MainDialogProbe::SourcePath(dialog);
  });
  RunScripted(dialog, [&](HWND hwnd) {
    MainDialogProbe::SourcePath(dialog) = "c:\\earlier.avi";
    graph.graph = &earlier;
    graph.mediaControl = &control;
    graph.mediaEvent = &event;
    prompts.Clear();
    OpenVideo(hwnd, corrupt);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  const std::vector<std::string> order = {"event released", "control released", "graph released"};
  EXPECT_EQ(log, order);
  EXPECT_EQ(promptsAtRelease, 1u) << "only the open-file dialog came before";
  EXPECT_EQ(pathAtRelease, "c:\\earlier.avi");
  EXPECT_EQ(event.RefCount(), 0u);
  EXPECT_EQ(control.RefCount(), 0u);
  EXPECT_EQ(earlier.RefCount(), 0u);
  EXPECT_EQ(graph.graph, nullptr);
  EXPECT_EQ(graph.mediaControl, nullptr);
  EXPECT_EQ(graph.mediaEvent, nullptr);
  graph = GraphHandles();  // before the fakes go
}

TEST_F(OpenVideoTest, FailedProbeForgetsThePathButKeepsTheSourceLine) {
  const std::string good = clips.MakeAvi("clip.avi");
  const std::string otherFolder = clips.MakeFolder("other");
  const std::string corrupt = clips.MakeFile("other\\broken.avi", "not a video at all");
  ASSERT_FALSE(good.empty());
  MainDialog dialog(profile, languages, graph);
  std::string first, second;
  HWND window = nullptr;
  RunScripted(dialog, [&](HWND hwnd) {
    window = hwnd;
    first = OpenVideo(hwnd, good);
    prompts.Clear();
    second = OpenVideo(hwnd, corrupt);
    EXPECT_EQ(graph.graph, nullptr) << "the first graph went before the probe";
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(first, "clip.avi: 00:00:02");
  EXPECT_EQ(second, first);
  const std::vector<PromptRecord>& records = prompts.Records();
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].initialFolder, clips.Folder()) << "starts where the last video was";
  ExpectNotOpenedBox(records[1], window);
  ExpectNoDurationBox(records[2], window);
  EXPECT_EQ(MainDialogProbe::SourcePath(dialog), "");
  EXPECT_EQ(MainDialogProbe::SourceReady(dialog), 1) << "nothing sets it back";
  EXPECT_EQ(profile.GetString("Option", "LastPhotoFolder", ""), clips.Folder());
}

TEST_F(OpenVideoTest, SoundOnlyAndBrokenFilesMakeNoConversionGraph) {
  const std::string files[] = {clips.MakeWav("voice.wav", 2),
                               clips.MakeFile("broken.avi", "not a video at all")};
  for (const std::string& path : files) {
    SCOPED_TRACE(path);
    ASSERT_FALSE(path.empty());
    MainDialog dialog(profile, languages, graph);
    std::string line;
    HWND window = nullptr;
    prompts.Clear();
    RunScripted(dialog, [&](HWND hwnd) {
      window = hwnd;
      line = OpenVideo(hwnd, path);
      EXPECT_EQ(graph.graph, nullptr);
      EXPECT_EQ(graph.mediaControl, nullptr);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    std::vector<PromptRecord> messages = prompts.Messages();
    ASSERT_EQ(messages.size(), 2u);
    ExpectNoDurationBox(messages[1], window);
    EXPECT_EQ(line, "00:00:00");
    EXPECT_EQ(MainDialogProbe::SourcePath(dialog), "");
    EXPECT_EQ(MainDialogProbe::SourceReady(dialog), 0);
    EXPECT_FALSE(profile.HasValue("Option", "LastPhotoFolder"));
  }
}

// Also names that the ANSI code page could not hold, which the open-file
// dialog hands over with '?' in place of the characters.
TEST_F(OpenVideoTest, PathsOfMoreThan259CharactersAreRefusedBeforeAnythingChanges) {
  struct Case {
    std::optional<std::string> answer;
    bool probed;  // else refused, or cancelled when nothing shows
    size_t messages;
    std::string refusal = kPathTooLong;
  };
  auto pathOfLength = [](size_t n) { return "c:\\" + std::string(n - 7, 'a') + ".avi"; };
  const Case cases[] = {
      {std::nullopt, false, 0},
      {pathOfLength(259), true, 2},
      {pathOfLength(260), false, 1},
      {pathOfLength(300), false, 1},
      {"c:\\films\\??.avi", false, 1, BuiltInString(IDS_MESSAGE_UNUSABLE_NAME)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.answer ? c.answer->size() : 0);
    std::vector<std::string> log;
    FakeMediaControl control("control", &log);
    FakeGraphBuilder earlier("graph", &log);
    MainDialog dialog(profile, languages, graph);
    std::string line;
    std::vector<std::string> releasedByOpen;
    HWND window = nullptr;
    prompts.Clear();
    RunScripted(dialog, [&](HWND hwnd) {
      window = hwnd;
      SetDlgItemTextA(hwnd, IDC_STATIC_SOURCE_LINE, "earlier.avi: 00:00:05");
      MainDialogProbe::SourcePath(dialog) = "c:\\earlier.avi";
      graph.graph = &earlier;
      graph.mediaControl = &control;
      line = OpenVideo(hwnd, c.answer);
      releasedByOpen = log;
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    graph = GraphHandles();
    std::vector<PromptRecord> messages = prompts.Messages();
    ASSERT_EQ(messages.size(), c.messages);
    if (c.probed) ExpectNotOpenedBox(messages[0], window);
    if (!c.probed && c.messages > 0) {
      // The name is blamed, not the decoders.
      EXPECT_EQ(messages[0].text, c.refusal);
      EXPECT_EQ(messages[0].caption, "Error");
      EXPECT_EQ(messages[0].owner, window);
    }
    EXPECT_EQ(line, "earlier.avi: 00:00:05");
    EXPECT_EQ(MainDialogProbe::SourcePath(dialog), c.probed ? "" : "c:\\earlier.avi");
    // Only a path that is probed lets go of the earlier graph.
    if (c.probed) {
      ASSERT_FALSE(releasedByOpen.empty());
      EXPECT_EQ(releasedByOpen.front(), "control released");
    } else {
      EXPECT_TRUE(releasedByOpen.empty());
    }
  }
}

}  // namespace
