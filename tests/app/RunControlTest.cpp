// Convert and Stop on the real main window, with conversion steps that hand it
// a fake graph whose events come from another thread as the framework's do.

#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "app/ConversionSteps.h"
#include "app/MainDialog.h"
#include "fakes/FakeFilter.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakeMediaControl.h"
#include "fakes/FakeMediaEvent.h"
#include "i18n/LanguageTestSupport.h"
#include "support/ClipFolder.h"
#include "support/MainDialogProbe.h"
#include "support/ScriptedDialog.h"

namespace {

// Build hands the window the fake control and events, as the builder's last
// steps do; Open gives it the reopened graph. Every step goes into the log.
class ScriptedSteps final : public ConversionSteps {
 public:
  explicit ScriptedSteps(FakeWmCallLog& calls) : m_calls(calls) {
    control.calls = &calls;
    events.calls = &calls;
  }

  HRESULT Build(HWND window, GraphHandles& handles, ConversionSettings&, std::string&) override {
    HRESULT hr = m_calls.Call("steps", "Build");
    if (onBuild) onBuild();
    handles.mediaControl = &control;
    handles.mediaEvent = &events;
    events.SetNotifyWindow(reinterpret_cast<OAHWND>(window), kGraphNotifyMessage, 0);
    return hr;
  }
  HRESULT BuildFilters(HWND, GraphHandles&, ConversionSettings&, std::string&) override {
    return m_calls.Call("steps", "BuildFilters");
  }
  void TearDown(GraphHandles& handles, const char* sourcePath, const ConversionSettings&) override {
    m_calls.Call("steps", "TearDown", handles.graph ? sourcePath : "no graph");
  }
  HRESULT Open(const char* sourcePath, GraphHandles& handles) override {
    m_calls.Call("steps", "Open", sourcePath);
    handles.graph = &reopenedGraph;
    handles.mediaControl = &reopenedControl;
    return 1;
  }

  FakeMediaControl control{"control", nullptr};
  FakeMediaEvent events{"events", nullptr};
  FakeGraphBuilder reopenedGraph{"reopened graph", nullptr};
  FakeMediaControl reopenedControl{"reopened control", nullptr};
  std::function<void()> onBuild;

 private:
  FakeWmCallLog& m_calls;
};

// One window's graph: the opened source and the steps of its conversions.
struct Rig {
  FakeWmCallLog calls;
  FakeGraphBuilder sourceGraph{"source graph", nullptr};
  FakeMediaControl sourceControl{"source control", nullptr};
  ScriptedSteps steps{calls};
  GraphHandles graph;  // after the fakes: released before them
};

class RunControlTest : public LanguageTest {
 protected:
  // The source opened and rendered, a 640 by 480 output beside it.
  void OpenSource(MainDialog& dialog, Rig& rig) {
    MainDialogProbe::SourcePath(dialog) = source;
    ConversionSettings& settings = MainDialogProbe::Settings(dialog);
    settings.outputPath = output;
    settings.outputWidth = 640;
    settings.outputHeight = 480;
    rig.graph.graph = &rig.sourceGraph;
    rig.graph.mediaControl = &rig.sourceControl;
    rig.calls.Clear();
    prompts.Clear();
  }
  // The graph's event, raised on a thread of its own and handled; true when
  // it ended the conversion.
  static bool RaiseFromGraphThread(MainDialog& dialog, Rig& rig, LONG code, LONG_PTR param1 = 0) {
    const int freed = rig.steps.events.freedEvents;
    std::thread graphThread([&] { rig.steps.events.Raise(code, param1); });
    graphThread.join();
    EXPECT_TRUE(PumpUntil([&] { return rig.steps.events.freedEvents > freed; }, 5000));
    return MainDialogProbe::Converting(dialog) == 0;
  }
  static bool Enabled(HWND hwnd, int id) { return IsWindowEnabled(GetDlgItem(hwnd, id)) != FALSE; }
  std::string FinishLine(const char* outcome) const {
    return std::string(outcome) + ". Output file: " + output + "     Resolution: 640*480";
  }
  std::vector<std::string> MessageTexts() const {
    std::vector<std::string> texts;
    for (const PromptRecord& r : prompts.Messages()) texts.push_back(r.text);
    return texts;
  }

  ClipFolder clips;
  const std::string source = clips.MakeFile("source clip.avi", "the source");
  std::string output = clips.PathOf("converted.avi");
};

TEST_F(RunControlTest, ConvertsUntilTheGraphCompletesAndStartsAfreshEachTime) {
  Rig rig;
  MainDialog dialog(profile, languages, rig.graph, rig.steps);
  RunScripted(dialog, [&](HWND hwnd) {
    OpenSource(dialog, rig);
    Click(hwnd, IDC_BUTTON_CONVERT);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Stop");
    EXPECT_FALSE(Enabled(hwnd, IDC_BUTTON_ADD_VIDEO));
    EXPECT_FALSE(Enabled(hwnd, IDC_BUTTON_OUTPUT_SETTINGS));
    for (int id : {IDC_BUTTON_HELP, IDC_BUTTON_HOMEPAGE, IDC_BUTTON_ABOUT, IDC_BUTTON_EXIT})
      EXPECT_TRUE(Enabled(hwnd, id)) << id;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(dialog.Ending()) << "closing is refused while converting";
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{"Please first stop converting"});

    for (int tick = 0; tick < 3725; ++tick) SendMessageA(hwnd, WM_TIMER, kProgressTimer, 0);
    SendMessageA(hwnd, WM_TIMER, kProgressTimer + 1, 0);  // not the progress timer
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), "Please wait... Used Time: 01:02:05");

    ASSERT_TRUE(RaiseFromGraphThread(dialog, rig, EC_COMPLETE));
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_CONVERT), "Convert");
    EXPECT_TRUE(Enabled(hwnd, IDC_BUTTON_ADD_VIDEO));
    EXPECT_TRUE(Enabled(hwnd, IDC_BUTTON_OUTPUT_SETTINGS));
    const std::vector<std::string> sequence = {"steps.Build()",
                                               "events.SetNotifyWindow(window)",
                                               "control.Run()",
                                               "control.Stop()",
                                               "events.SetNotifyWindow(none)",
                                               "steps.TearDown(" + source + ")",
                                               "steps.Open(" + source + ")"};
    EXPECT_EQ(rig.calls.Entries(), sequence);
    EXPECT_EQ(rig.steps.events.freedEvents, 1);
    EXPECT_EQ(rig.graph.graph.Get(), &rig.steps.reopenedGraph);
    EXPECT_EQ(rig.graph.mediaEvent, nullptr);
    EXPECT_EQ(rig.sourceGraph.RefCount(), 0u);
    EXPECT_EQ(rig.steps.control.RefCount(), 0u);
    EXPECT_EQ(rig.steps.events.RefCount(), 0u);

    // The next conversion counts from the start; Stop ends it with "Done" too.
    Click(hwnd, IDC_BUTTON_CONVERT);
    SendMessageA(hwnd, WM_TIMER, kProgressTimer, 0);
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), "Please wait... Used Time: 00:00:01");
    rig.calls.Clear();
    Click(hwnd, IDC_BUTTON_CONVERT);
    EXPECT_EQ(MainDialogProbe::Converting(dialog), 0);
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Done"));
    EXPECT_EQ(rig.calls.Entries().front(), "control.Stop()");
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(dialog.Ending());
  });
}

TEST_F(RunControlTest, AFailedBuildRunOrGraphEndsWithTheFailureLine) {
  const HRESULT diskFull = HRESULT_FROM_WIN32(ERROR_DISK_FULL);
  struct Case {
    const char* failOn;  // the step that fails, or nullptr
    LONG event;          // raised while running, or 0
    LONG_PTR eventCode;
    std::vector<std::string> messages;
  };
  const Case cases[] = {
      {"steps.Build", 0, 0, {}},
      {"control.Run", 0, 0, {"can not pControl->Run()!!!", FrameworkErrorText(E_FAIL)}},
      {nullptr, EC_ERRORABORT, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, EC_STREAM_ERROR_STOPPED, diskFull, {FrameworkErrorText(diskFull)}},
      {nullptr, EC_USERABORT, 0, {FrameworkErrorText(E_ABORT)}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failOn ? c.failOn : std::to_string(c.event));
    Rig rig;
    MainDialog dialog(profile, languages, rig.graph, rig.steps);
    RunScripted(dialog, [&](HWND hwnd) {
      OpenSource(dialog, rig);
      if (c.failOn) rig.calls.FailOn(c.failOn, E_FAIL);
      Click(hwnd, IDC_BUTTON_CONVERT);
      if (c.event) {
        EXPECT_FALSE(RaiseFromGraphThread(dialog, rig, EC_CLOCK_CHANGED)) << "ignored";
        EXPECT_TRUE(RaiseFromGraphThread(dialog, rig, c.event, c.eventCode));
      }
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 0);
      EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), FinishLine("Conversion failed"));
      EXPECT_EQ(rig.calls.Entries().back(), "steps.Open(" + source + ")");
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_EQ(MessageTexts(), c.messages);
  }
}

TEST_F(RunControlTest, AnExistingOutputIsReplacedOnlyOnYes) {
  // Neither the path nor the language's text is a format.
  WriteLanguage("English", Ini({{"STRING", "IDS_MESSAGE_FILE_EXIST=exists (100%s %d%n)."}}));
  ASSERT_TRUE(Start("English"));
  output = clips.MakeFile("50%s %n%d.avi", "an earlier output");
  const struct {
    int answer;
    bool converts;
  } cases[] = {{IDNO, false}, {IDCANCEL, false}, {IDYES, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    Rig rig;
    bool existedAtBuild = true;
    rig.steps.onBuild = [&] { existedAtBuild = LanguageManager::FileExists(output); };
    MainDialog dialog(profile, languages, rig.graph, rig.steps);
    HWND window = nullptr;
    std::string summary;
    RunScripted(dialog, [&](HWND hwnd) {
      window = hwnd;
      OpenSource(dialog, rig);
      summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
      prompts.PlanMessageAnswer(c.answer);
      Click(hwnd, IDC_BUTTON_CONVERT);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), c.converts ? 1 : 0);
      if (c.converts) {
        Click(hwnd, IDC_BUTTON_CONVERT);
      } else {
        EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), summary);
      }
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    ASSERT_FALSE(prompts.Messages().empty());
    const PromptRecord question = prompts.Messages()[0];
    EXPECT_EQ(question.text, output + " exists (100%s %d%n).");
    EXPECT_EQ(question.caption, "Warning");
    EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(question.owner, window);
    EXPECT_EQ(rig.calls.Of("steps").empty(), !c.converts);
    EXPECT_EQ(LanguageManager::FileExists(output), !c.converts);
    EXPECT_EQ(existedAtBuild, !c.converts) << "deleted before the build";
  }
}

TEST_F(RunControlTest, NoSourceOrAnOutputThatIsTheSourceIsRefusedBeforeAnything) {
  char shortSource[MAX_PATH] = "";
  ASSERT_GT(GetShortPathNameA(source.c_str(), shortSource, sizeof shortSource), 0u);
  std::string upperSource = source;
  CharUpperBuffA(upperSource.data(), static_cast<DWORD>(upperSource.size()));
  const std::string refused =
      "The output file is the video being converted. Please choose another output file in "
      "Options.";
  const struct {
    std::string output;
    bool opened;
    std::string message;
    const char* caption;
  } cases[] = {
      {upperSource, true, refused, "Error"},
      {shortSource, true, refused, "Error"},
      {source, false, "Please open an media file fisrt!", AppTitle()},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.output);
    Rig rig;
    MainDialog dialog(profile, languages, rig.graph, rig.steps);
    std::string summary;
    RunScripted(dialog, [&](HWND hwnd) {
      OpenSource(dialog, rig);
      MainDialogProbe::Settings(dialog).outputPath = c.output;
      if (!c.opened) rig.graph.mediaControl.Reset();
      summary = ControlText(hwnd, IDC_STATIC_SUMMARY_LINE);
      Click(hwnd, IDC_BUTTON_CONVERT);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 0);
      EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE), summary);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    ASSERT_EQ(prompts.Messages().size(), 1u) << "no overwrite question";
    EXPECT_EQ(prompts.Messages()[0].text, c.message);
    EXPECT_EQ(prompts.Messages()[0].caption, c.caption);
    EXPECT_TRUE(rig.calls.Entries().empty());
    EXPECT_TRUE(LanguageManager::FileExists(source));
  }
}

TEST_F(RunControlTest, FormatFourShowsTheFilterPropertiesBeforeRun) {
  const struct {
    int format;
    bool shown;
  } cases[] = {{4, true}, {0, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.format);
    Rig rig;
    FakeFilter sourceFilter("Source", nullptr);
    rig.sourceGraph.filters.push_back(&sourceFilter);
    MainDialog dialog(profile, languages, rig.graph, rig.steps);
    std::vector<std::string> callsWhileShown;
    std::string firstLine;
    RunScripted(dialog, [&](HWND hwnd) {
      OpenSource(dialog, rig);
      MainDialogProbe::Settings(dialog).outputFormat = static_cast<OutputFormat>(c.format);
      bool shown = DriveNested([&] { Click(hwnd, IDC_BUTTON_CONVERT); }, IDC_LIST_FILTERS,
                               [&](HWND properties) {
                                 callsWhileShown = rig.calls.Entries();
                                 char line[64] = "";
                                 SendDlgItemMessageA(properties, IDC_LIST_FILTERS, LB_GETTEXT, 0,
                                                     reinterpret_cast<LPARAM>(line));
                                 firstLine = line;
                                 // An event of the graph that has not run yet
                                 // ends nothing.
                                 RaiseFromGraphThread(dialog, rig, EC_ERRORABORT, E_FAIL);
                                 Click(properties, IDCANCEL);  // Continue
                               });
      EXPECT_EQ(shown, c.shown);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 1);
      EXPECT_EQ(rig.calls.Of("control"), std::vector<std::string>{"Run()"});
      Click(hwnd, IDC_BUTTON_CONVERT);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    if (!c.shown) continue;
    EXPECT_EQ(firstLine, "Source") << "the built graph's filters";
    EXPECT_EQ(callsWhileShown.back(), "events.SetNotifyWindow(window)") << "built, not run";
  }
}

TEST_F(RunControlTest, BuildFiltersStopsTheGraphAndBuildsItAsItIs) {
  const struct {
    const char* failOn;
    size_t messages;
  } cases[] = {{nullptr, 0}, {"steps.BuildFilters", 1}};
  for (const auto& c : cases) {
    Rig rig;
    rig.sourceControl.calls = &rig.calls;
    MainDialog dialog(profile, languages, rig.graph, rig.steps);
    HWND window = nullptr;
    RunScripted(dialog, [&](HWND hwnd) {
      window = hwnd;
      OpenSource(dialog, rig);
      if (c.failOn) rig.calls.FailOn(c.failOn, E_FAIL);
      Click(hwnd, IDC_BUTTON_BUILD_FILTERS);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    const std::vector<std::string> sequence = {"source control.Stop()", "steps.BuildFilters()"};
    EXPECT_EQ(rig.calls.Entries(), sequence);
    const std::vector<PromptRecord> messages = prompts.Messages();
    ASSERT_EQ(messages.size(), c.messages);
    if (messages.empty()) continue;
    EXPECT_EQ(messages[0].text,
              "Cannot open the file. You need to install appropriate decoders.\nOr the file is "
              "corrupt.");
    EXPECT_EQ(messages[0].caption, "Error");
    EXPECT_EQ(messages[0].owner, window);
  }
}

// The framework's own steps on Wine's graph of a clip: with the format that
// keeps the default renderers, the clip plays to its end and the graph's own
// completion ends the conversion.
TEST_F(RunControlTest, AGraphOfTheFrameworkRunsToItsCompletion) {
  ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
  ClipShape shape;
  shape.frames = 25;  // one second
  const std::string clip = clips.MakeAvi("clip.avi", shape);
  ASSERT_FALSE(clip.empty());
  GraphHandles graph;
  {
    MainDialog dialog(profile, languages, graph);
    std::vector<std::string> listed;
    RunScripted(dialog, [&](HWND hwnd) {
      prompts.PlanFileAnswer(clip);
      Click(hwnd, IDC_BUTTON_ADD_VIDEO);
      ASSERT_NE(graph.mediaControl, nullptr);
      MainDialogProbe::Settings(dialog).outputPath = output;
      MainDialogProbe::Settings(dialog).outputFormat = static_cast<OutputFormat>(4);
      prompts.Clear();
      bool shown = DriveNested([&] { Click(hwnd, IDC_BUTTON_CONVERT); }, IDC_LIST_FILTERS,
                               [&](HWND properties) {
                                 HWND list = GetDlgItem(properties, IDC_LIST_FILTERS);
                                 listed.resize(SendMessageA(list, LB_GETCOUNT, 0, 0));
                                 Click(properties, IDCANCEL);
                               });
      EXPECT_TRUE(shown);
      EXPECT_EQ(MainDialogProbe::Converting(dialog), 1);
      EXPECT_TRUE(PumpUntil([&] { return MainDialogProbe::Converting(dialog) == 0; }, 30000));
      EXPECT_EQ(ControlText(hwnd, IDC_STATIC_SUMMARY_LINE),
                "Done. Output file: " + output + "     Resolution: 320*240");
      EXPECT_NE(graph.mediaControl, nullptr) << "the source is rendered again";
      EXPECT_EQ(graph.mediaEvent, nullptr);
      SendMessageA(hwnd, WM_CLOSE, 0, 0);
    });
    EXPECT_GE(listed.size(), 3u) << "the built graph's filters";
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages()[0].text;
  }
  graph = GraphHandles();
  CoUninitialize();
}

}  // namespace
