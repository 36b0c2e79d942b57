// The program's templates, menu and string table, loaded as the program
// loads them: the controls the program reaches are there, inside their
// window, and behave as a user expects (which button Enter presses, where Tab
// starts, lists that only choose). Their texts are the language files' and
// are checked with them (the i18n tests, the start-up end to end).

#include <gtest/gtest.h>

#include <string>

#include "i18n/Localization.h"
#include "res/resource.h"
#include "support/VersionResource.h"

namespace {

INT_PTR CALLBACK PassiveProc(HWND, UINT msg, WPARAM, LPARAM) { return msg == WM_INITDIALOG; }

// A template instantiated without running it.
class TemplateWindow {
 public:
  explicit TemplateWindow(int id)
      : m_hwnd(CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id), nullptr,
                                  &PassiveProc, 0)) {}
  ~TemplateWindow() {
    if (m_hwnd) DestroyWindow(m_hwnd);
  }
  HWND Get() const { return m_hwnd; }

  LONG Style(int id) const { return GetWindowLongA(GetDlgItem(m_hwnd, id), GWL_STYLE); }
  // The control's place in the window's client coordinates.
  RECT Actual(int id) const {
    RECT r;
    GetWindowRect(GetDlgItem(m_hwnd, id), &r);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

 private:
  HWND m_hwnd;
};

// Every control the program reaches is in the template and inside the
// window's client area, where a user can see and reach it.
void ExpectControlsInside(const TemplateWindow& window, std::initializer_list<int> ids) {
  RECT client;
  GetClientRect(window.Get(), &client);
  for (int id : ids) {
    SCOPED_TRACE("control " + std::to_string(id));
    ASSERT_NE(GetDlgItem(window.Get(), id), nullptr);
    const RECT r = window.Actual(id);
    EXPECT_GE(r.left, client.left);
    EXPECT_GE(r.top, client.top);
    EXPECT_LE(r.right, client.right);
    EXPECT_LE(r.bottom, client.bottom);
  }
}

// Without a language file the built-in English texts serve, the dialog's too.
TEST(Resources, BuiltInTextsServeWithoutALanguage) {
  for (UINT id : {IDS_MESSAGE_ERROR, IDS_BUTTON_STOP, IDS_BUTTON_CONVERT}) {
    EXPECT_NE(BuiltInString(id), "") << id;
    EXPECT_EQ(GetLocalizedString(id), BuiltInString(id)) << id;
    EXPECT_EQ(GetLocalizedDialogText(id), BuiltInString(id)) << id;
  }
  EXPECT_EQ(GetLocalizedString(1002), "") << "an identifier without a text";
}

TEST(Resources, MainWindowTemplate) {
  TemplateWindow window(IDD_MAIN_DIALOG);
  ASSERT_NE(window.Get(), nullptr);
  LONG style = GetWindowLongA(window.Get(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongA(window.Get(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

  ExpectControlsInside(
      window, {IDC_BUTTON_EXIT, IDC_STATIC_SOURCE_LINE, IDC_BUTTON_ADD_VIDEO, IDC_BUTTON_CONVERT,
               IDC_BUTTON_BUILD_FILTERS, IDC_STATIC_SUMMARY_LINE, IDC_BUTTON_OUTPUT_SETTINGS,
               IDC_BUTTON_HELP, IDC_BUTTON_HOMEPAGE, IDC_BUTTON_ABOUT});
  // No default button, and the first stop of the tab order is Exit.
  for (int id : {IDC_BUTTON_ADD_VIDEO, IDC_BUTTON_CONVERT, IDC_BUTTON_BUILD_FILTERS,
                 IDC_BUTTON_OUTPUT_SETTINGS, IDC_BUTTON_EXIT, IDC_BUTTON_HOMEPAGE, IDC_BUTTON_ABOUT,
                 IDC_BUTTON_HELP})
    EXPECT_EQ(window.Style(id) & BS_TYPEMASK, BS_PUSHBUTTON) << id;
  EXPECT_EQ(GetNextDlgTabItem(window.Get(), nullptr, FALSE),
            GetDlgItem(window.Get(), IDC_BUTTON_EXIT));
}

TEST(Resources, OutputOptionsTemplate) {
  TemplateWindow window(IDD_OUTPUT_OPTIONS);
  ASSERT_NE(window.Get(), nullptr);

  ExpectControlsInside(window, {IDC_STATIC_OUTPUT_FORMAT,
                                IDC_COMBO_OUTPUT_FORMAT,
                                IDC_STATIC_OUTPUT_FILE,
                                IDC_EDIT_OUTPUT_FILE,
                                IDC_BUTTON_BROWSE,
                                IDC_STATIC_VIDEO_COMPRESSOR,
                                IDC_COMBO_VIDEO_COMPRESSOR,
                                IDC_BUTTON_VIDEO_CODEC_SETTINGS,
                                IDC_STATIC_AUDIO_COMPRESSOR,
                                IDC_COMBO_AUDIO_COMPRESSOR,
                                IDC_STATIC_OPTIONS_NOTE,
                                IDC_STATIC_VIDEO_COMPRESSOR_BITRATE,
                                IDC_EDIT_VIDEO_BITRATE,
                                IDC_STATIC_VIDEO_KBPS,
                                IDC_STATIC_AUDIO_COMPRESSOR_BITRATE,
                                IDC_COMBO_AUDIO_BITRATE,
                                IDC_STATIC_AUDIO_KBPS,
                                IDC_BUTTON_OPTIONS_OK,
                                IDC_BUTTON_OUTPUT_DEAULT,
                                IDC_BUTTON_OPTIONS_CANCEL,
                                IDC_STATIC_RESOLUTION,
                                IDC_COMBO_RESOLUTION,
                                IDC_EDIT_WIDTH,
                                IDC_EDIT_HEIGHT,
                                IDC_STATIC_FRAME_RATE,
                                IDC_COMBO_FRAME_RATE,
                                IDC_EDIT_FRAME_RATE,
                                IDC_STATIC_RESIZE_MODE,
                                IDC_COMBO_RESIZE_MODE,
                                IDC_COMBO_VFW_CODECS,
                                IDC_EDIT_AUDIO_BITRATE});
  for (int id : {IDC_COMBO_OUTPUT_FORMAT, IDC_COMBO_VIDEO_COMPRESSOR, IDC_COMBO_AUDIO_COMPRESSOR,
                 IDC_COMBO_AUDIO_BITRATE, IDC_COMBO_RESOLUTION, IDC_COMBO_FRAME_RATE,
                 IDC_COMBO_RESIZE_MODE, IDC_COMBO_VFW_CODECS}) {
    EXPECT_EQ(window.Style(id) & 0x3, CBS_DROPDOWNLIST) << id;
    EXPECT_FALSE(window.Style(id) & CBS_SORT) << id;
  }
  EXPECT_EQ(window.Style(IDC_BUTTON_OPTIONS_OK) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST(Resources, FilterPropertiesTemplate) {
  TemplateWindow window(IDD_FILTER_PROPERTIES);
  ASSERT_NE(window.Get(), nullptr);
  ExpectControlsInside(window, {IDCANCEL, IDC_LIST_FILTERS, IDC_BUTTON_FILTER_SETTINGS});
  LONG list = window.Style(IDC_LIST_FILTERS);
  EXPECT_TRUE(list & LBS_NOTIFY);
  EXPECT_FALSE(list & LBS_SORT);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window.Get(), IDC_BUTTON_FILTER_SETTINGS)));
}

// The About box and the version resource name the build: 64-bit or 32-bit.
TEST(Resources, AboutTemplate) {
  TemplateWindow window(IDD_ABOUTBOX);
  ASSERT_NE(window.Get(), nullptr);
  ExpectControlsInside(window, {IDC_STATIC_PRODUCT, IDC_STATIC_VERSION, IDOK});
  char version[100] = "";
  GetDlgItemTextA(window.Get(), IDC_STATIC_VERSION, version, sizeof version);
  EXPECT_EQ(std::string(version), "Version 1.0 (" + ThisBuild() + ")");
}

TEST(Resources, VersionResourceNamesTheBuild) {
  char self[MAX_PATH] = "";
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  EXPECT_EQ(VersionString(self, "FileDescription"),
            "Lumaweave video converter (" + ThisBuild() + ")");
}

}  // namespace
