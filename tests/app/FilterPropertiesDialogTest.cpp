// The filter properties dialog on Wine's rendered graph of a clip and on fake
// graphs, driven through its real template.

#include "app/FilterPropertiesDialog.h"

#include <gtest/gtest.h>

#include "fakes/FakeFilter.h"
#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakePropertyPages.h"
#include "i18n/LanguageTestSupport.h"
#include "platform/Str.h"
#include "res/resource.h"
#include "support/ClipFolder.h"
#include "support/ScriptedDialog.h"

namespace {

using Microsoft::WRL::ComPtr;

std::vector<std::string> ListLines(HWND dialog) {
  std::vector<std::string> lines;
  HWND list = GetDlgItem(dialog, IDC_LIST_FILTERS);
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    std::vector<char> text(SendMessageA(list, LB_GETTEXTLEN, i, 0) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    lines.emplace_back(text.data());
  }
  return lines;
}

int Selected(HWND dialog) {
  return static_cast<int>(SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_GETCURSEL, 0, 0));
}

// Selects a line as the user does: the list tells its parent.
void SelectLine(HWND dialog, int index) {
  SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_FILTERS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LIST_FILTERS)));
}

bool SettingsEnabled(HWND dialog) {
  return IsWindowEnabled(GetDlgItem(dialog, IDC_BUTTON_FILTER_SETTINGS)) != FALSE;
}

class FilterPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
  void TearDown() override { CoUninitialize(); }

  // A named fake filter of the graph; pages (not owned) may be null.
  FakeFilter& AddFilter(const std::wstring& name, FakePropertyPages* pages,
                        HRESULT infoFailure = S_OK) {
    filters.push_back(std::make_unique<FakeFilter>("filter", nullptr));
    FakeFilter& filter = *filters.back();
    filter.infoName = name;
    filter.infoGraph = &graph;
    filter.infoFailure = infoFailure;
    if (pages) filter.Offer(IID_ISpecifyPropertyPages, pages);
    graph.filters.push_back(&filter);
    return filter;
  }
  void ExpectEverythingReleased() const {
    EXPECT_EQ(graph.RefCount(), 0u);
    for (const auto& filter : filters) EXPECT_EQ(filter->RefCount(), 0u);
  }

  FakeGraphBuilder graph{"graph", nullptr};
  std::vector<std::unique_ptr<FakeFilter>> filters;
};

TEST_F(FilterPropertiesTest, ListsARenderedGraphInItsEnumerationOrder) {
  ClipFolder clips;
  const std::string clip = clips.MakeAvi("clip.avi");
  ComPtr<IGraphBuilder> rendered;
  ASSERT_EQ(
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&rendered)),
      S_OK);
  ASSERT_TRUE(SUCCEEDED(rendered->RenderFile(str::ToWide(clip.c_str()).c_str(), nullptr)));
  std::vector<std::string> expected;
  bool firstHasPages = false;
  ComPtr<IEnumFilters> each;
  ASSERT_EQ(rendered->EnumFilters(&each), S_OK);
  ComPtr<IBaseFilter> filter;
  while (each->Next(1, filter.ReleaseAndGetAddressOf(), nullptr) == S_OK) {
    FILTER_INFO info = {};
    ASSERT_EQ(filter->QueryFilterInfo(&info), S_OK);
    if (info.pGraph) info.pGraph->Release();
    expected.push_back(str::ToAnsi(info.achName));
    ComPtr<ISpecifyPropertyPages> pages;
    if (expected.size() == 1) firstHasPages = SUCCEEDED(filter.As(&pages));
  }
  ASSERT_GE(expected.size(), 3u) << "source, splitter and renderers";

  FilterPropertiesDialog dialog(rendered.Get());
  INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
    char caption[64] = "";
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(caption, "Set Filter's Properties");
    EXPECT_EQ(ListLines(hwnd), expected);
    EXPECT_EQ(Selected(hwnd), 0);
    EXPECT_EQ(SettingsEnabled(hwnd), firstHasPages);
    Click(hwnd, IDCANCEL);  // Continue
  });
  EXPECT_EQ(result, IDCANCEL);
}

TEST_F(FilterPropertiesTest, SettingsFollowsTheFirstFilterOfTheSelectedName) {
  FakePropertyPages decoderPages({}, nullptr);
  FakePropertyPages secondPages({}, nullptr);
  AddFilter(L"Source", nullptr);
  AddFilter(L"Decoder", &decoderPages);
  AddFilter(L"Decoder", nullptr);
  AddFilter(L"Renderer", nullptr);
  const struct {
    int line;
    bool enabled;
  } selections[] = {{3, false}, {2, true}, {0, false}, {1, true}, {3, false}, {2, true}};

  FilterPropertiesDialog dialog(&graph);
  RunScripted(dialog, [&](HWND hwnd) {
    const std::vector<std::string> lines = {"Source", "Decoder", "Decoder", "Renderer"};
    EXPECT_EQ(ListLines(hwnd), lines);
    EXPECT_FALSE(SettingsEnabled(hwnd)) << "the first line has no pages";
    for (const auto& s : selections) {
      SelectLine(hwnd, s.line);
      EXPECT_EQ(SettingsEnabled(hwnd), s.enabled) << s.line;
    }
    Click(hwnd, IDCANCEL);
  });
  ExpectEverythingReleased();
  EXPECT_EQ(decoderPages.RefCount(), 0u);
}

TEST_F(FilterPropertiesTest, UnreadableFiltersListAsErrorAndEndTheSearch) {
  FakePropertyPages pages({}, nullptr);
  AddFilter(L"Source", &pages);
  AddFilter(L"", nullptr, E_FAIL);
  AddFilter(L"Decoder", &pages);
  FilterPropertiesDialog dialog(&graph);
  RunScripted(dialog, [&](HWND hwnd) {
    const std::vector<std::string> lines = {"Source", "<ERROR>", "Decoder"};
    EXPECT_EQ(ListLines(hwnd), lines);
    EXPECT_TRUE(SettingsEnabled(hwnd));
    SelectLine(hwnd, 1);
    EXPECT_TRUE(SettingsEnabled(hwnd)) << "nothing found: the button keeps its state";
    SelectLine(hwnd, 2);
    EXPECT_TRUE(SettingsEnabled(hwnd));
    Click(hwnd, IDCANCEL);
  });
  ExpectEverythingReleased();
}

TEST_F(FilterPropertiesTest, AGraphThatCannotEnumerateShowsOneErrorLine) {
  struct Case {
    bool failEnumeration;
    std::vector<std::string> lines;
    int selected;
  };
  const Case cases[] = {{true, {"<ERROR>"}, 0}, {false, {}, LB_ERR}};
  for (const Case& c : cases) {
    graph.enumFailure = c.failEnumeration ? E_OUTOFMEMORY : S_OK;
    FilterPropertiesDialog dialog(&graph);
    RunScripted(dialog, [&](HWND hwnd) {
      EXPECT_EQ(ListLines(hwnd), c.lines);
      EXPECT_EQ(Selected(hwnd), c.selected);
      EXPECT_FALSE(SettingsEnabled(hwnd));
      Click(hwnd, IDCANCEL);
    });
  }
  ExpectEverythingReleased();
}

TEST_F(FilterPropertiesTest, ContinueTheCloseBoxAndEscapeEndIt) {
  AddFilter(L"Source", nullptr);
  const std::function<void(HWND)> endings[] = {
      [](HWND hwnd) { Click(hwnd, IDCANCEL); },
      [](HWND hwnd) { SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND hwnd) {
        MSG escape = {GetDlgItem(hwnd, IDC_LIST_FILTERS), WM_KEYDOWN, VK_ESCAPE, 0};
        IsDialogMessageA(hwnd, &escape);
      },
  };
  for (const auto& end : endings) {
    FilterPropertiesDialog dialog(&graph);
    bool ended = false;
    INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
      end(hwnd);
      // The close box's request comes back as a posted cancel command.
      ended = PumpUntil([&] { return dialog.Ending(); }, 5000);
    });
    EXPECT_TRUE(ended);
    EXPECT_EQ(result, IDCANCEL);
  }
  ExpectEverythingReleased();
}

TEST_F(FilterPropertiesTest, SettingsShowsTheFirstFiltersPagesInAPropertyFrame) {
  const CLSID noSuchPage = {
      0x6e1c4c1a, 0x2f0b, 0x4b43, {0x9a, 0x51, 0x0d, 0x7e, 0x2c, 0x11, 0x42, 0x90}};
  FakePropertyPages firstPages({noSuchPage}, nullptr);
  FakePropertyPages secondPages({noSuchPage}, nullptr);
  AddFilter(L"Decoder", &firstPages);
  AddFilter(L"Decoder", &secondPages);
  FilterPropertiesDialog dialog(&graph);
  // Wine's frame takes no owner window, whatever it is given: only its
  // caption tells which filter it shows.
  std::string frameCaption;
  RunScripted(dialog, [&](HWND hwnd) {
    SelectLine(hwnd, 1);
    bool shown = DriveNested([&] { Click(hwnd, IDC_BUTTON_FILTER_SETTINGS); }, IDOK,
                             [&](HWND frame) {
                               char caption[256] = "";
                               GetWindowTextA(frame, caption, sizeof caption);
                               frameCaption = caption;
                               // Without a page it could create, the frame
                               // ignores Cancel: take it down.
                               DestroyWindow(frame);
                             });
    EXPECT_TRUE(shown);
    Click(hwnd, IDCANCEL);
  });
  EXPECT_NE(frameCaption.find("Decoder"), std::string::npos) << frameCaption;
  EXPECT_EQ(firstPages.GetPagesCalls(), 1);
  EXPECT_EQ(secondPages.GetPagesCalls(), 0);
  EXPECT_EQ(firstPages.RefCount(), 0u);
  ExpectEverythingReleased();
}

TEST_F(FilterPropertiesTest, LongMultiByteNamesAreReadBackWhole) {
  LocaleGuard locale;
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT)));
  ASSERT_EQ(str::ThreadAnsiCodePage(), 932u);
  // 127 characters, 253 bytes in code page 932; the two differ in the last.
  const std::wstring common(126, L'\x65e5');
  FakePropertyPages pages({}, nullptr);
  AddFilter(common + L"A", nullptr);
  AddFilter(common + L"B", &pages);
  FilterPropertiesDialog dialog(&graph);
  RunScripted(dialog, [&](HWND hwnd) {
    const std::vector<std::string> lines = ListLines(hwnd);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].size(), 253u);
    EXPECT_FALSE(SettingsEnabled(hwnd));
    SelectLine(hwnd, 1);
    EXPECT_TRUE(SettingsEnabled(hwnd)) << "the second filter was found by its whole name";
    SelectLine(hwnd, 0);
    EXPECT_FALSE(SettingsEnabled(hwnd));
    Click(hwnd, IDCANCEL);
  });
  ExpectEverythingReleased();
}

}  // namespace
