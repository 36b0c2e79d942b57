#include "app/MainDialog.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include "fakes/FakeFilter.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "fakes/FakeTaskbarList.h"
#include "fakes/ScriptedPrompts.h"
#include "i18n/Localization.h"
#include "support/ComApartment.h"
#include "support/MainDialogProbe.h"
#include "support/ScratchProfile.h"
#include "support/ScriptedDialog.h"

namespace {

using Microsoft::WRL::ComPtr;

std::string MyVideoFolder() {
  char folder[MAX_PATH] = "";
  EXPECT_EQ(SHGetFolderPathA(nullptr, CSIDL_MYVIDEO, nullptr, 0, folder), S_OK);
  return folder;
}

class MainDialogTest : public ::testing::Test {
 protected:
  // Opens the window, reads its summary line and closes it again.
  static std::string SummaryAtStart(MainDialog& dialog) {
    std::string summary;
    RunScripted(dialog, [&](HWND hwnd) {
      summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    return summary;
  }

  ScratchProfile profile{"main"};
  ScriptedPrompts prompts;
  LanguageManager languages{profile};
  GraphHandles graph;
};

TEST_F(MainDialogTest, FirstStartShowsTheMyVideoOutputAndOriginalSize) {
  MainDialog dialog(profile, languages, graph);
  std::string caption, source, summary;
  bool buildFiltersVisible = true;
  INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
    char text[256] = "";
    GetWindowTextA(hwnd, text, sizeof text);
    caption = text;
    source = ControlText(hwnd, IDC_STATIC_SOURCE_LINE);
    summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
    buildFiltersVisible = IsWindowVisible(GetDlgItem(hwnd, IDC_BUTTON_BUILD_FILTERS));
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(caption, "RoroVozaririd");
  EXPECT_EQ(source, "00:00:00");
  const std::string output = MyVideoFolder() + "\\output.wmv";
  EXPECT_EQ(summary, "Output file: " + output + "     Resolution: Original size");
  EXPECT_FALSE(buildFiltersVisible);
  EXPECT_TRUE(prompts.Records().empty());

  const ConversionSettings& s = dialog.Settings();
  EXPECT_EQ(s.outputPath, output);
  EXPECT_EQ(s.outputFormat, OutputFormat::Wmv);
  EXPECT_EQ(s.videoBitrate, 798720);
  EXPECT_EQ(s.audioBitrate, 128000);
  EXPECT_EQ(profile.GetString("Option", "CurrentLanguage", ""), "english");
}

TEST_F(MainDialogTest, StoredOutputSizeDoesNotReachTheSummary) {
  profile.WriteInt("Settings", "OutputWidth", 640);
  profile.WriteInt("Settings", "OutputHigh", 480);
  profile.WriteString("Settings", "OutputName", "d:\\out\\talk.avi");
  MainDialog dialog(profile, languages, graph);
  EXPECT_EQ(SummaryAtStart(dialog), "Output file: d:\\out\\talk.wmv     Resolution: Original size");
  EXPECT_EQ(dialog.Settings().outputWidth, 640);
  EXPECT_EQ(dialog.Settings().outputHeight, 480);
}

TEST_F(MainDialogTest, UnknownStoredFormatShowsAnEmptyPath) {
  profile.WriteInt("Settings", "nOuptputFormat", 9);
  MainDialog dialog(profile, languages, graph);
  EXPECT_EQ(SummaryAtStart(dialog), "Output file:      Resolution: Original size");
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text, "Does not support the video format");
}

TEST_F(MainDialogTest, EveryCloseRequestIsRefusedWhileConverting) {
  MainDialog dialog(profile, languages, graph);
  bool stillOpen = false;
  INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
    MainDialogProbe::Converting(dialog) = 1;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    Click(hwnd, IDCANCEL);  // the Escape key
    Click(hwnd, IDOK);      // Enter without a focused push button
    Click(hwnd, IDC_BUTTON_EXIT);
    stillOpen = !dialog.Ending();
    ASSERT_EQ(prompts.Messages().size(), 4u);
    for (const PromptRecord& r : prompts.Messages()) {
      EXPECT_EQ(r.text, BuiltInString(IDS_MESSAGE_STOP_CONVERT));
      EXPECT_EQ(r.caption, "Warning");
      EXPECT_EQ(r.owner, hwnd);
      EXPECT_EQ(r.type, static_cast<UINT>(MB_OK));
    }
    EXPECT_FALSE(profile.HasValue("Option", "CurrentLanguage"));
    // After the conversion the same request ends the window, through the
    // close handling.
    MainDialogProbe::Converting(dialog) = 0;
    Click(hwnd, IDOK);
  });
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(result, IDCANCEL);
  EXPECT_EQ(profile.GetString("Option", "CurrentLanguage", ""), "english");
}

TEST_F(MainDialogTest, CloseReleasesTheGraphTaskbarAndCompressorsBeforeComEnds) {
  ComApartment com;
  ASSERT_TRUE(com.Entered());
  std::vector<std::string> log;
  RecordingProfile recording(profile, log);
  FakeFilter video("video", &log);
  FakeFilter audio("audio", &log);
  FakeMediaControl control("control", &log);
  FakeMediaEvent events("events", &log);
  FakeTaskbarList taskbar("taskbar", &log);
  ComPtr<IGraphBuilder> keptGraph;
  ASSERT_EQ(
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&keptGraph)),
      S_OK);
  {
    MainDialog dialog(recording, languages, graph);
    INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
      graph.graph = keptGraph;
      graph.mediaControl = &control;
      graph.mediaEvent = &events;
      graph.videoCompressor = &video;
      graph.audioCompressor = &audio;
      MainDialogProbe::Taskbar(dialog).Attach(hwnd, &taskbar);
      log.clear();
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(result, IDCANCEL);
  }
  const std::vector<std::string> expected = {"events released",  "control released",
                                             "taskbar released", "video released",
                                             "audio released",   "Option/CurrentLanguage=english"};
  EXPECT_EQ(log, expected);
  EXPECT_EQ(graph.graph, nullptr);
  EXPECT_EQ(graph.mediaControl, nullptr);
  EXPECT_EQ(graph.mediaEvent, nullptr);
  EXPECT_EQ(graph.videoCompressor, nullptr);
  EXPECT_EQ(graph.audioCompressor, nullptr);
  EXPECT_EQ(video.RefCount(), 0u);
  EXPECT_EQ(audio.RefCount(), 0u);
  EXPECT_EQ(taskbar.RefCount(), 0u);
  keptGraph.Get()->AddRef();
  EXPECT_EQ(keptGraph.Get()->Release(), 1u) << "the slot's reference to the graph is gone";
}

TEST_F(MainDialogTest, SystemMenuEndsWithAboutAndDraggingShowsTheIcon) {
  MainDialog dialog(profile, languages, graph);
  std::string lastText;
  UINT lastId = 0;
  UINT separatorState = 0;
  LRESULT dragIcon = 0, bigIcon = 0;
  RunScripted(dialog, [&](HWND hwnd) {
    dragIcon = SendMessageA(hwnd, WM_QUERYDRAGICON, 0, 0);
    bigIcon = SendMessageA(hwnd, WM_GETICON, ICON_BIG, 0);
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    int count = GetMenuItemCount(menu);
    char text[64] = "";
    GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    lastText = text;
    lastId = GetMenuItemID(menu, count - 1);
    separatorState = GetMenuState(menu, count - 2, MF_BYPOSITION);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(lastText, "&About");
  EXPECT_EQ(lastId, 0x10u);
  EXPECT_TRUE(separatorState & MF_SEPARATOR);
  EXPECT_NE(dragIcon, 0);
  EXPECT_EQ(dragIcon, bigIcon) << "dragging shows the application icon";
}

TEST_F(MainDialogTest, MyVideoDefaultFallsBackToTheBuiltInPath) {
  MainDialog dialog(profile, languages, graph);
  std::string folderDefault, noBackslash, failed, oldWindows, stored;
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.Clear();
    folderDefault = MainDialogProbe::MyVideoDefault(dialog, "c:\\output.avi", CSIDL_MYVIDEO);
    noBackslash = MainDialogProbe::MyVideoDefault(dialog, "output.avi", CSIDL_MYVIDEO);
    EXPECT_TRUE(prompts.Records().empty());

    failed = MainDialogProbe::MyVideoDefault(dialog, "c:\\output.avi", 0x7F);  // no such folder
    EXPECT_TRUE(prompts.ShowedOneMessage("Can not get My Video directory!", "Error", hwnd));

    // A stored name wins, but the lookup and its message still happen.
    profile.WriteString("Settings", "OutputName", "e:\\mine.avi");
    stored = MainDialogProbe::MyVideoDefault(dialog, "c:\\output.avi", 0x7F);
    EXPECT_EQ(prompts.Messages().size(), 2u);

    profile.DeleteApplicationKey();
    MainDialogProbe::Version(dialog).dwMajorVersion = 5;
    oldWindows = MainDialogProbe::MyVideoDefault(dialog, "c:\\output.avi", 0x7F);
    EXPECT_EQ(prompts.Messages().size(), 2u) << "no lookup before Windows 6";
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(folderDefault, MyVideoFolder() + "\\output.avi");
  EXPECT_EQ(noBackslash, MyVideoFolder());
  EXPECT_EQ(failed, "c:\\output.avi");
  EXPECT_EQ(stored, "e:\\mine.avi");
  EXPECT_EQ(oldWindows, "c:\\output.avi");
}

}  // namespace
