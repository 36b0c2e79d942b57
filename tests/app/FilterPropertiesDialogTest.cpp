// The filter properties dialog on Wine's rendered graph of a clip and on fake
// graphs, through its real template.

#include "app/FilterPropertiesDialog.h"

#include <gtest/gtest.h>

#include "fakes/FakeGraphBuilder.h"
#include "fakes/FakePropertyPages.h"
#include "i18n/LanguageTestSupport.h"
#include "res/resource.h"
#include "support/ClipFolder.h"
#include "support/ComApartment.h"
#include "support/ScriptedDialog.h"

namespace {

using Microsoft::WRL::ComPtr;
using Lines = std::vector<std::string>;

Lines ListLines(HWND dialog) {
  Lines lines;
  for (LRESULT i = 0; i < SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_GETCOUNT, 0, 0); ++i) {
    std::vector<char> text(SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_GETTEXTLEN, i, 0) + 1);
    SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_GETTEXT, i,
                        reinterpret_cast<LPARAM>(text.data()));
    lines.emplace_back(text.data());
  }
  return lines;
}

bool SettingsEnabled(HWND dialog) {
  return IsWindowEnabled(GetDlgItem(dialog, IDC_BUTTON_FILTER_SETTINGS)) != FALSE;
}

// Selects a line as the user does (the list tells its parent); true when
// Settings is enabled afterwards.
bool SelectLine(HWND dialog, int index) {
  SendDlgItemMessageA(dialog, IDC_LIST_FILTERS, LB_SETCURSEL, index, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_LIST_FILTERS, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_LIST_FILTERS)));
  return SettingsEnabled(dialog);
}

class FilterPropertiesTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(com.Entered()); }
  void TearDown() override {
    EXPECT_EQ(graph.RefCount(), 0u) << "the dialog keeps no reference";
    for (const auto& filter : filters) EXPECT_EQ(filter->RefCount(), 0u);
  }
  // A filter of the fake graph; with pages it has property pages.
  void Add(std::wstring name, FakePropertyPages* pages = nullptr, HRESULT infoFailure = S_OK) {
    filters.push_back(std::make_unique<FakeFilter>("filter", nullptr));
    filters.back()->infoName = std::move(name);
    filters.back()->infoGraph = &graph;
    filters.back()->infoFailure = infoFailure;
    if (pages) filters.back()->Offer(IID_ISpecifyPropertyPages, pages);
    graph.filters.push_back(filters.back().get());
  }

  ComApartment com;
  FakeGraphBuilder graph{"graph", nullptr};
  std::vector<std::unique_ptr<FakeFilter>> filters;
  FakePropertyPages pages{{}, nullptr};
};

TEST_F(FilterPropertiesTest, ListsARenderedGraphInItsEnumerationOrder) {
  ClipFolder clips;
  ComPtr<IGraphBuilder> rendered;
  ASSERT_EQ(
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&rendered)),
      S_OK);
  ASSERT_EQ(rendered->RenderFile(str::ToWide(clips.MakeAvi("clip.avi").c_str()).c_str(), nullptr),
            S_OK);
  Lines expected;
  ComPtr<IEnumFilters> each;
  ASSERT_EQ(rendered->EnumFilters(&each), S_OK);
  for (ComPtr<IBaseFilter> f; each->Next(1, f.ReleaseAndGetAddressOf(), nullptr) == S_OK;)
    expected.push_back(FilterName(f.Get()));
  ASSERT_GE(expected.size(), 4u) << "source, splitter and two renderers";

  FilterPropertiesDialog dialog(rendered.Get());
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_EQ(ListLines(hwnd), expected);
    EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_LIST_FILTERS, LB_GETCURSEL, 0, 0), 0);
    Click(hwnd, IDCANCEL);
  });
}

TEST_F(FilterPropertiesTest, SettingsFollowsTheFirstFilterOfTheSelectedName) {
  // Each case's dialog is ended another way: Continue, the close box, Escape.
  const std::function<void(HWND)> endings[] = {
      [](HWND hwnd) { Click(hwnd, IDCANCEL); },
      [](HWND hwnd) { SendMessageA(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0); },
      [](HWND hwnd) {
        MSG escape = {GetDlgItem(hwnd, IDC_LIST_FILTERS), WM_KEYDOWN, VK_ESCAPE, 0};
        IsDialogMessageA(hwnd, &escape);
      },
  };
  const struct {
    std::function<void()> makeGraph;
    Lines lines;
    std::vector<bool> settingsPerLine;  // after selecting lines first to last
  } cases[] = {
      {[&] { Add(L"Source"), Add(L"Decoder", &pages), Add(L"Decoder"), Add(L"Renderer"); },
       {"Source", "Decoder", "Decoder", "Renderer"},
       {false, true, true, false}},
      // The search ends at a filter it cannot name: Settings keeps its state.
      {[&] { Add(L"Source", &pages), Add(L"", nullptr, E_FAIL), Add(L"Decoder"); },
       {"Source", "<ERROR>", "Decoder"},
       {true, true, true}},
      {[&] { graph.enumFailure = E_OUTOFMEMORY; }, {"<ERROR>"}, {false}},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SCOPED_TRACE(i);
    graph.filters.clear();
    cases[i].makeGraph();
    FilterPropertiesDialog dialog(&graph);
    INT_PTR result = RunScripted(dialog, [&](HWND hwnd) {
      EXPECT_EQ(ListLines(hwnd), cases[i].lines);
      EXPECT_EQ(SendDlgItemMessageA(hwnd, IDC_LIST_FILTERS, LB_GETCURSEL, 0, 0), 0);
      EXPECT_EQ(SettingsEnabled(hwnd), cases[i].settingsPerLine[0]);
      std::vector<bool> settings;
      for (int line = 0; line < static_cast<int>(cases[i].lines.size()); ++line)
        settings.push_back(SelectLine(hwnd, line));
      EXPECT_EQ(settings, cases[i].settingsPerLine);
      endings[i](hwnd);
      // The close box's request comes back as a posted cancel command.
      EXPECT_TRUE(PumpUntil([&] { return dialog.Ending(); }, 5000));
    });
    EXPECT_EQ(result, IDCANCEL);
  }
}

TEST_F(FilterPropertiesTest, SettingsShowsTheFirstFiltersPagesInAPropertyFrame) {
  const CLSID noSuchPage = {
      0x6e1c4c1a, 0x2f0b, 0x4b43, {0x9a, 0x51, 0xd, 0x7e, 0x2c, 0x11, 0x42, 0x90}};
  FakePropertyPages firstPages({noSuchPage}, nullptr), secondPages({noSuchPage}, nullptr);
  Add(L"Decoder", &firstPages);
  Add(L"Decoder", &secondPages);
  FilterPropertiesDialog dialog(&graph);
  std::string frameCaption;  // Wine's frame takes no owner window: the caption tells
  RunScripted(dialog, [&](HWND hwnd) {
    SelectLine(hwnd, 1);
    EXPECT_TRUE(DriveNested([&] { Click(hwnd, IDC_BUTTON_FILTER_SETTINGS); }, IDOK,
                            [&](HWND frame) {
                              char caption[256] = "";
                              GetWindowTextA(frame, caption, sizeof caption);
                              frameCaption = caption;
                              // Without a page it could create, it ignores Cancel.
                              DestroyWindow(frame);
                            }));
    Click(hwnd, IDCANCEL);
  });
  EXPECT_NE(frameCaption.find("Decoder"), std::string::npos) << frameCaption;
  EXPECT_EQ(firstPages.GetPagesCalls(), 1);
  EXPECT_EQ(secondPages.GetPagesCalls(), 0);
  EXPECT_EQ(firstPages.RefCount(), 0u);
}

TEST_F(FilterPropertiesTest, LongMultiByteNamesAreReadBackWhole) {
  LocaleGuard locale;
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT), SORT_DEFAULT)));
  // 127 characters, 253 bytes in code page 932; the two differ in the last.
  const std::wstring common(126, L'\x65e5');
  Add(common + L"A");
  Add(common + L"B", &pages);
  FilterPropertiesDialog dialog(&graph);
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_EQ(ListLines(hwnd).at(1).size(), 253u);
    EXPECT_TRUE(SelectLine(hwnd, 1)) << "the second filter is found by its whole name";
    EXPECT_FALSE(SelectLine(hwnd, 0));
    Click(hwnd, IDCANCEL);
  });
}

}  // namespace
