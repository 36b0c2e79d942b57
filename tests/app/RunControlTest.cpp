// Convert and Stop on the real main window: with conversion steps that hand it
// fake graph objects whose events come from another thread, as the
// framework's do, and with the framework's own steps on a clip.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <thread>
#include <utility>

#include "app/MainDialog.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "fakes/FakeMediaSeeking.h"
#include "i18n/LanguageMenu.h"
#include "i18n/LanguageTestSupport.h"
#include "i18n/Localization.h"
#include "platform/Path.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"
#include "support/MainDialogProbe.h"
#include "support/ScriptedDialog.h"

namespace {

// Whether the summary line was painted since its text last changed.
WNDPROC g_summaryProc = nullptr;
bool g_summaryPainted = true;
LRESULT CALLBACK WatchSummary(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_SETTEXT || msg == WM_PAINT) g_summaryPainted = msg == WM_PAINT;
  return CallWindowProcA(g_summaryProc, window, msg, wp, lp);
}

// The graph of an opened source. Build hands the window a fake control,
// event source and position, as the builder's last steps do, leaving the sound
// out when told; Open renders the source again. Steps, Run and Stop go into
// one call log.
struct ScriptedSteps final : ConversionSteps {
  ScriptedSteps() { control.calls = events.calls = &calls; }

  HRESULT Build(HWND window, GraphHandles& handles, const ConversionSettings&,
                std::string&) override {
    if (onBuild) onBuild();
    handles.mediaControl = &control;
    handles.mediaEvent = &events;
    handles.progress = &position;
    handles.soundLeftOut = soundLeftOut;
    events.SetNotifyWindow(reinterpret_cast<OAHWND>(window), kGraphNotifyMessage, 0);
    return calls.Call("steps", "Build");
  }
  HRESULT BuildFilters(HWND, GraphHandles&, const ConversionSettings&, std::string&) override {
    return E_NOTIMPL;
  }
  void TearDown(HWND, GraphHandles& handles, const char* sourcePath,
                const ConversionSettings&) override {
    calls.Call("steps", "TearDown", handles.graph ? sourcePath : "no graph");
    if (const auto once = std::exchange(onTearDown, nullptr)) once();
  }
  HRESULT Open(HWND window, const char* sourcePath, GraphHandles& handles) override {
    calls.Call("steps", "Open", sourcePath);
    unpaintedAtOpen += window && !g_summaryPainted;
    handles.graph = &sourceGraph;
    handles.mediaControl = &sourceControl;
    return S_OK;
  }

  FakeWmCallLog calls;
  FakeGraphBuilder sourceGraph{"source graph", nullptr};
  FakeMediaControl sourceControl{"source control", nullptr};
  FakeMediaControl control{"control", nullptr};
  FakeMediaEvent events{"events", nullptr};
  FakeMediaSeeking position{"position", nullptr};
  std::function<void()> onBuild, onTearDown;  // onTearDown: the next one only
  bool soundLeftOut = false;
  int unpaintedAtOpen = 0;  // renderings begun before the summary line was painted
  GraphHandles graph;       // after the fakes: released before them
};

class RunControlTest : public LanguageTest {
 protected:
  // The source opened and rendered, a 640 by 480 output.
  void OpenSource(MainDialog& dialog, ScriptedSteps& steps) {
    HWND summary = GetDlgItem(dialog.Hwnd(), IDC_STATIC_SUMMARY_LINE);
    g_summaryProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(summary, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WatchSummary)));
    MainDialogProbe::SourcePath(dialog) = source;
    ConversionSettings& settings = MainDialogProbe::Settings(dialog);
    settings.outputPath = output;
    settings.outputWidth = 640;
    settings.outputHeight = 480;
    steps.Open(nullptr, source.c_str(), steps.graph);
    steps.calls.Clear();
    prompts.Clear();
  }
  // The graph's event, raised on a thread of its own and handled; true when
  // it ended the conversion.
  static bool Raise(MainDialog& dialog, ScriptedSteps& steps, LONG code, LONG_PTR param1 = 0) {
    const int freed = steps.events.freedEvents;
    std::thread([&] { steps.events.Raise(code, param1); }).join();
    EXPECT_TRUE(PumpUntil([&] { return steps.events.freedEvents > freed; }, 5000));
    return MainDialogProbe::Converting(dialog) == 0;
  }
  static bool Enabled(HWND hwnd, int id) { return IsWindowEnabled(GetDlgItem(hwnd, id)) != FALSE; }
  std::string FinishLine(const char* outcome) const {
    return std::string(outcome) + ". Output file: " + output + "     Resolution: 640*480";
  }
  // The texts of the boxes shown, each of which must be owned by owner.
  std::vector<std::string> MessageTexts(HWND owner) const {
    std::vector<std::string> texts;
    for (const PromptRecord& r : prompts.Messages()) {
      EXPECT_EQ(r.owner, owner) << r.text;
      texts.push_back(r.text);
    }
    return texts;
  }

  ClipFolder clips;
  const std::string source = clips.MakeFile("source clip.avi", "the source");
  std::string output = clips.PathOf("converted.avi");
};

TEST_F(RunControlTest, ConvertsUntilTheGraphCompletesAndStartsAfreshEachTime) {
  WriteLanguage("English", Ini({{"DIALOG", "IDC_BUTTON_EXIT=Exit"}}));
  WriteLanguage("German",
                Ini({{"DIALOG", "IDC_BUTTON_STOP=Anhalten\r\nIDC_BUTTON_CONVERT=Konvertieren"}}));
  ASSERT_TRUE(Start("English"));
  ScriptedSteps steps;
  MainDialog dialog(profile, languages, steps.graph, steps);
  RunScripted(dialog, [&](HWND hwnd) {
    OpenSource(dialog, steps);
    Click(hwnd, IDC_BUTTON_CONVERT);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Stop");
    for (int id : {IDC_BUTTON_ADD_VIDEO, IDC_BUTTON_OUTPUT_SETTINGS, IDC_BUTTON_HELP,
                   IDC_BUTTON_HOMEPAGE, IDC_BUTTON_ABOUT, IDC_BUTTON_EXIT})
      EXPECT_EQ(Enabled(hwnd, id), id != IDC_BUTTON_ADD_VIDEO && id != IDC_BUTTON_OUTPUT_SETTINGS);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.Ending());
    EXPECT_EQ(MessageTexts(hwnd), std::vector{BuiltInString(IDS_MESSAGE_STOP_CONVERT)});

    for (int tick = 0; tick < 3725; ++tick) SendMessageA(hwnd, WM_TIMER, kProgressTimer, 0);
    SendMessageA(hwnd, WM_TIMER, kProgressTimer + 1, 0);  // not the progress timer
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), "Please wait... Used Time: 01:02:05");

    EXPECT_FALSE(Raise(dialog, steps, EC_CLOCK_CHANGED));
    ASSERT_TRUE(Raise(dialog, steps, EC_COMPLETE));
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Convert");
    EXPECT_TRUE(Enabled(hwnd, IDC_BUTTON_ADD_VIDEO) && Enabled(hwnd, IDC_BUTTON_OUTPUT_SETTINGS));
    // Stopped before the teardown, no longer notifying, and the source open again.
    const std::vector<std::string>& calls = steps.calls.Entries();
    const auto teardown = std::find(calls.begin(), calls.end(), "steps.TearDown(" + source + ")");
    EXPECT_NE(teardown, calls.end());
    EXPECT_NE(std::find(calls.begin(), teardown, "control.Stop()"), teardown);
    EXPECT_EQ(steps.events.notifyWindow, 0);
    EXPECT_EQ(calls.back(), "steps.Open(" + source + ")");
    EXPECT_EQ(steps.unpaintedAtOpen, 0) << "the finish line shows before the source renders";
    EXPECT_EQ(steps.graph.mediaEvent, nullptr);
    EXPECT_EQ(steps.control.RefCount() + steps.events.RefCount(), 0u);
    // A tick that was queued before the end changes nothing.
    SendMessageA(hwnd, WM_TIMER, kProgressTimer, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));

    // The next conversion counts from the start; Stop ends it with "Done" too.
    Click(hwnd, IDC_BUTTON_CONVERT);
    SendMessageA(hwnd, WM_TIMER, kProgressTimer, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), "Please wait... Used Time: 00:00:01");
    // Another language or font meanwhile: the button still stops, in that language.
    SendMessageA(hwnd, WM_COMMAND, kFirstLanguageCommand + 1, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Anhalten");
    prompts.PlanFontAnswer(languages.InterfaceFontDescription());
    SendMessageA(hwnd, WM_COMMAND, IDM_POPUPMENU_FONT, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Anhalten");
    // A box of the teardown nests a message loop: a completion queued before
    // the notifications ended and a second Stop leave the graph to it.
    steps.onTearDown = [&] {
      const int freed = steps.events.freedEvents;
      steps.events.Raise(EC_COMPLETE);
      PostMessageA(hwnd, kGraphNotifyMessage, 0, 0);
      Click(hwnd, IDC_BUTTON_CONVERT);
      PumpUntil([&] { return steps.events.freedEvents > freed; }, 5000);
    };
    steps.calls.Clear();
    Click(hwnd, IDC_BUTTON_CONVERT);
    EXPECT_EQ(steps.calls.Of("steps"),
              (std::vector<std::string>{"TearDown(" + source + ")", "Open(" + source + ")"}));
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Konvertieren");
    // Idle, a language without the button's key leaves its text as it is.
    SendMessageA(hwnd, WM_COMMAND, kFirstLanguageCommand, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Konvertieren");
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog.Ending());
  });
}

TEST_F(RunControlTest, AFailedBuildRunOrGraphEndsWithTheFailureLine) {
  const HRESULT diskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
  const struct {
    const char* failOn;  // the step that fails, or nullptr
    HRESULT result;      // what it answers
    LONG event;          // raised while running, or 0
    LONG_PTR eventCode;
    std::vector<std::string> messages;
  } cases[] = {
      {"steps.Build", E_FAIL, 0, 0, {}},
      // Stopped half-way: the graph has no multiplexer and would never end.
      {"steps.Build", S_FALSE, 0, 0, {}},
      {"control.Run", E_FAIL, 0, 0, {"can not pControl->Run()!!!", FrameworkErrorText(E_FAIL)}},
      {nullptr, S_OK, EC_ERRORABORT, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, S_OK, EC_ERRORABORTEX, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, S_OK, EC_COMPLETE, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, S_OK, EC_STREAM_ERROR_STOPPED, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, S_OK, EC_USERABORT, 0, {FrameworkErrorText(E_ABORT)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failOn ? c.failOn + std::to_string(c.result) : std::to_string(c.event));
    ScriptedSteps steps;
    MainDialog dialog(profile, languages, steps.graph, steps);
    HWND window = nullptr;
    RunScripted(dialog, [&](HWND hwnd) {
      window = hwnd;
      OpenSource(dialog, steps);
      if (c.failOn) steps.calls.FailOn(c.failOn, c.result);
      Click(hwnd, IDC_BUTTON_CONVERT);
      if (c.event) {
        EXPECT_TRUE(Raise(dialog, steps, c.event, c.eventCode));
      }
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 0);
      EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Conversion failed"));
      EXPECT_EQ(steps.calls.Entries().back(), "steps.Open(" + source + ")");
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(MessageTexts(window), c.messages);
    const std::vector<std::string> control = steps.calls.Of("control");
    const bool built = !c.failOn || strcmp(c.failOn, "steps.Build") != 0;
    EXPECT_EQ(std::count(control.begin(), control.end(), "Run()"), built ? 1 : 0);
  }
}

TEST_F(RunControlTest, AskBeforeLeavingOutTheSoundOrReplacingAnOutputAndRefuseTheSource) {
  // Neither the path nor the language's text is a format.
  WriteLanguage("English", Ini({{"STRING", "IDS_MESSAGE_FILE_EXIST=exists (100%s %d%n)."}}));
  ASSERT_TRUE(Start("English"));
  const std::string existing = clips.MakeFile("50%s %n%d.avi", "an earlier output");
  char shortSource[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(source.c_str(), shortSource, sizeof shortSource), 0u);
  std::string upperSource = source;
  CharUpperBuffA(upperSource.data(), static_cast<DWORD>(upperSource.size()));
  const std::string question = existing + " exists (100%s %d%n).";
  const std::string refused = BuiltInString(IDS_MESSAGE_OUTPUT_IS_SOURCE);
  const std::string noSound = BuiltInString(IDS_MESSAGE_NO_SOUND);
  const struct {
    std::string output;
    int answer;
    std::string message;  // the only one
    const char* caption;
    UINT type;
    bool converts;
    bool soundLeftOut = false;
  } cases[] = {
      {existing, IDNO, question, "Warning", MB_YESNO | MB_ICONEXCLAMATION, false},
      {existing, IDYES, question, "Warning", MB_YESNO | MB_ICONEXCLAMATION, true},
      {upperSource, IDYES, refused, "Error", MB_OK | MB_ICONEXCLAMATION, false},
      {shortSource, IDYES, refused, "Error", MB_OK | MB_ICONEXCLAMATION, false},
      {output, IDNO, noSound, "Warning", MB_YESNO | MB_ICONEXCLAMATION, false, true},
      {output, IDYES, noSound, "Warning", MB_YESNO | MB_ICONEXCLAMATION, true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output + " " + std::to_string(c.answer));
    ScriptedSteps steps;
    steps.soundLeftOut = c.soundLeftOut;
    bool existedAtBuild = false;
    steps.onBuild = [&] { existedAtBuild = path::FileExists(c.output.c_str()); };
    MainDialog dialog(profile, languages, steps.graph, steps);
    RunScripted(dialog, [&](HWND hwnd) {
      OpenSource(dialog, steps);
      MainDialogProbe::Settings(dialog).outputPath = c.output;
      prompts.PlanMessageAnswer(c.answer);
      Click(hwnd, IDC_BUTTON_CONVERT);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), c.converts ? 1 : 0);
      EXPECT_TRUE(prompts.ShowedOneMessage(c.message, c.caption, hwnd, c.type));
      if (c.converts) Click(hwnd, IDC_BUTTON_CONVERT);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    const std::vector<std::string> control = steps.calls.Of("control");
    EXPECT_EQ(std::count(control.begin(), control.end(), "Run()"), c.converts ? 1 : 0);
    EXPECT_FALSE(existedAtBuild) << "deleted before the build";
    // What was there stays unless it was replaced.
    EXPECT_EQ(path::FileExists(c.output.c_str()), c.output != output && !c.converts);
  }
}

// A conversion whose output seems to end early says so in a box once its
// finish line shows; one whose position never moved, or reached the end, says
// nothing.
TEST_F(RunControlTest, AnOutputThatEndsEarlyIsToldOnceTheFinishLineShows) {
  constexpr LONGLONG kSecond = 10000000;
  ScriptedSteps steps;
  steps.onBuild = [&] { steps.position.current = 0; };
  MainDialog dialog(profile, languages, steps.graph, steps);
  RunScripted(dialog, [&](HWND hwnd) {
    OpenSource(dialog, steps);
    const struct {
      LONGLONG reached;
      bool told;
    } rows[] = {{kSecond, true}, {0, false}, {2 * kSecond, false}};
    for (const auto& row : rows) {
      SCOPED_TRACE(row.reached);
      MainDialogProbe::SourceDuration(dialog) = 2 * kSecond;
      prompts.Clear();
      Click(hwnd, IDC_BUTTON_CONVERT);
      steps.position.current = row.reached;
      ASSERT_TRUE(Raise(dialog, steps, EC_COMPLETE));
      EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));
      const std::vector<std::string> told = MessageTexts(hwnd);
      ASSERT_EQ(told.size(), row.told ? 1u : 0u);
      if (row.told) {
        EXPECT_EQ(told[0].rfind(BuiltInString(IDS_MESSAGE_OUTPUT_ENDS_EARLY), 0), 0u) << told[0];
        EXPECT_NE(told[0].find("00:00:01.0 / 00:00:02.0"), std::string::npos) << told[0];
      }
    }
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
}

// Each video of a batch is rendered once, the last one again at the end. The
// picture without the sound that the graph leaves out is not counted whole;
// an output that seems to end early is noted but counted.
TEST_F(RunControlTest, ABatchRendersEachVideoOnceAndCountsWhatIsWhole) {
  constexpr LONGLONG kSecond = 10000000;
  const std::vector<std::string> videos = {clips.MakeAvi("no sound.avi"),
                                           clips.MakeAvi("early.avi"), clips.MakeAvi("whole.avi")};
  ScriptedSteps steps;
  steps.onBuild = [&] {
    steps.soundLeftOut = steps.calls.Of("steps").size() == 1;
    steps.position.current = 0;
  };
  MainDialog dialog(profile, languages, steps.graph, steps);
  dialog.SetStartRequest({StartRequest::Action::Convert, videos});
  RunScripted(dialog, [&](HWND hwnd) {
    for (LONGLONG reached : {2 * kSecond, kSecond, 2 * kSecond}) {
      ASSERT_TRUE(PumpUntil([&] { return MainDialogProbe::Converting(dialog) == 1; }, 10000));
      steps.position.current = reached;
      ASSERT_TRUE(Raise(dialog, steps, EC_COMPLETE));
    }
    PumpUntil([&] { return !prompts.Messages().empty(); }, 10000);
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  std::vector<std::string> rendered;
  for (const std::string& video : videos)
    for (const char* step : {"Open(", "Build(", "TearDown("})
      rendered.push_back(step + (std::string(step) == "Build(" ? "" : video) + ")");
  rendered.push_back("Open(" + videos.back() + ")");
  EXPECT_EQ(steps.calls.Of("steps"), rendered);
  ASSERT_EQ(prompts.Messages().size(), 1u);
  EXPECT_EQ(prompts.Messages()[0].text,
            "These videos were not converted:\n\n" + videos[0] +
                ": The sound of this video cannot be decoded on this computer (there is no "
                "decoder for it): the output file will have no sound. Convert the picture "
                "alone?\n\nThese videos were converted, with a remark:\n\n" +
                videos[1] +
                ": The converted file ends before the video does: the video's decoders gave "
                "nothing after this point.\n00:00:01.0 / 00:00:02.0\n");
  EXPECT_EQ(dialog.ExitCode(), 1);
}

TEST_F(RunControlTest, FormatFourShowsTheBuiltGraphsFiltersBeforeRun) {
  for (int format : {4, 0}) {
    SCOPED_TRACE(format);
    ScriptedSteps steps;
    FakeFilter filter("Source", nullptr);
    steps.sourceGraph.filters.push_back(&filter);
    MainDialog dialog(profile, languages, steps.graph, steps);
    std::vector<std::string> callsWhileShown;
    RunScripted(dialog, [&](HWND hwnd) {
      OpenSource(dialog, steps);
      MainDialogProbe::Settings(dialog).outputFormat = static_cast<OutputFormat>(format);
      bool shown = DriveNested([&] { Click(hwnd, IDC_BUTTON_CONVERT); }, IDC_LIST_FILTERS,
                               [&](HWND properties) {
                                 callsWhileShown = steps.calls.Entries();
                                 char line[16] = "";
                                 SendDlgItemMessageA(properties, IDC_LIST_FILTERS, LB_GETTEXT, 0,
                                                     reinterpret_cast<LPARAM>(line));
                                 EXPECT_STREQ(line, "Source");
                                 // An event of a graph that has not run ends nothing.
                                 Raise(dialog, steps, EC_ERRORABORT, E_FAIL);
                                 Click(properties, IDCANCEL);  // Continue
                               });
      EXPECT_EQ(shown, format == 4);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 1);
      Click(hwnd, IDC_BUTTON_CONVERT);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    if (format == 4) {
      EXPECT_EQ(callsWhileShown.back(), "steps.Build()") << "built, not run";
    }
  }
}

// The framework's own steps on Wine's graph of a one-second clip: with the
// format that keeps the default renderers, the clip plays to its end and the
// graph's own completion ends the conversion.
TEST_F(RunControlTest, AGraphOfTheFrameworkRunsToItsCompletion) {
  ComApartment com;
  ASSERT_TRUE(com.Entered());
  const std::string clip = clips.MakeAvi("clip.avi", ClipShape{320, 240, 25, 25, true});
  GraphHandles graph;
  MainDialog dialog(profile, languages, graph);
  RunScripted(dialog, [&](HWND hwnd) {
    prompts.PlanFileAnswer(clip);
    Click(hwnd, IDC_BUTTON_ADD_VIDEO);
    MainDialogProbe::Settings(dialog).outputPath = output;
    MainDialogProbe::Settings(dialog).outputFormat = static_cast<OutputFormat>(4);
    prompts.Clear();
    EXPECT_TRUE(DriveNested([&] { Click(hwnd, IDC_BUTTON_CONVERT); }, IDC_LIST_FILTERS,
                            [](HWND properties) { Click(properties, IDCANCEL); }));
    EXPECT_EQ(MainDialogProbe::Converting(dialog), 1);
    EXPECT_TRUE(PumpUntil([&] { return MainDialogProbe::Converting(dialog) == 0; }, 30000));
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE),
              "Done. Output file: " + output + "     Resolution: 320*240");
    EXPECT_NE(graph.mediaControl, nullptr) << "the source is rendered again";
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(MessageTexts(nullptr), std::vector<std::string>{});
}

}  // namespace
