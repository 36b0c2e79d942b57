// The program's templates, menu and string table, loaded as the program
// loads them.

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

  std::string Caption() const {
    char text[256] = "";
    GetWindowTextA(m_hwnd, text, sizeof text);
    return text;
  }
  std::string Text(int id) const {
    char text[512] = "";
    GetDlgItemTextA(m_hwnd, id, text, sizeof text);
    return text;
  }
  LONG Style(int id) const { return GetWindowLongA(GetDlgItem(m_hwnd, id), GWL_STYLE); }
  std::string ClassOf(int id) const {
    char name[64] = "";
    GetClassNameA(GetDlgItem(m_hwnd, id), name, sizeof name);
    return name;
  }
  // The control's place in dialog units, mapped as the template maps it.
  // The dialog manager maps the position and the size each on their own.
  RECT Expected(int x, int y, int w, int h) const {
    RECT r = {x, y, w, h};
    MapDialogRect(m_hwnd, &r);
    return {r.left, r.top, r.left + r.right, r.top + r.bottom};
  }
  RECT Actual(int id) const {
    RECT r;
    GetWindowRect(GetDlgItem(m_hwnd, id), &r);
    MapWindowPoints(nullptr, m_hwnd, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }

 private:
  HWND m_hwnd;
};

struct Control {
  int id;
  int x, y, w, h;
  const char* text;  // nullptr: not checked
  bool visible;
};

void ExpectControls(const TemplateWindow& window, const Control* controls, size_t count) {
  for (size_t i = 0; i < count; ++i) {
    const Control& c = controls[i];
    SCOPED_TRACE("control " + std::to_string(c.id));
    ASSERT_NE(GetDlgItem(window.Get(), c.id), nullptr);
    RECT expected = window.Expected(c.x, c.y, c.w, c.h);
    RECT actual = window.Actual(c.id);
    EXPECT_EQ(actual.left, expected.left);
    EXPECT_EQ(actual.top, expected.top);
    EXPECT_EQ(actual.right, expected.right);
    // A drop-down list's height in the template is its open list's.
    if (window.ClassOf(c.id) != "ComboBox") {
      EXPECT_EQ(actual.bottom, expected.bottom);
    }
    if (c.text) {
      EXPECT_EQ(window.Text(c.id), c.text);
    }
    EXPECT_EQ((window.Style(c.id) & WS_VISIBLE) != 0, c.visible);
  }
}

void ExpectClientSize(const TemplateWindow& window, int w, int h) {
  RECT expected = window.Expected(0, 0, w, h);
  RECT client;
  GetClientRect(window.Get(), &client);
  EXPECT_EQ(client.right, expected.right);
  EXPECT_EQ(client.bottom, expected.bottom);
}

// Without a language file the built-in English texts serve, the dialog's too.
TEST(Resources, BuiltInTextsServeWithoutALanguage) {
  EXPECT_EQ(BuiltInString(105), "Error");
  EXPECT_EQ(GetLocalizedString(105), "Error");
  EXPECT_EQ(GetLocalizedDialogText(124), "Stop");
  EXPECT_EQ(GetLocalizedDialogText(125), "Convert");
  EXPECT_EQ(GetLocalizedString(1002), "") << "an identifier without a text";
}

TEST(Resources, MainWindowTemplate) {
  TemplateWindow window(IDD_MAIN_DIALOG);
  ASSERT_NE(window.Get(), nullptr);
  EXPECT_EQ(window.Caption(), "RoroVozaririd");
  ExpectClientSize(window, 287, 140);
  LONG style = GetWindowLongA(window.Get(), GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_TRUE(GetWindowLongA(window.Get(), GWL_EXSTYLE) & WS_EX_APPWINDOW);

  const Control controls[] = {
      {1022, 214, 106, 66, 26, "Exit", true},       {1001, 8, 41, 273, 16, "", true},
      {1000, 7, 7, 66, 26, "Open Video", true},     {1002, 145, 7, 66, 26, "Convert", true},
      {1003, 7, 55, 28, 14, "Build Filters", true}, {1004, 7, 68, 273, 28, "", true},
      {1006, 76, 7, 66, 25, "Options", true},       {1043, 214, 7, 66, 26, "Help", true},
      {1026, 76, 106, 66, 26, "Homepage", true},    {1027, 145, 106, 66, 26, "About", true},
  };
  ExpectControls(window, controls, std::size(controls));
  EXPECT_TRUE(window.Style(1001) & SS_SUNKEN);
  EXPECT_EQ(window.Style(1001) & SS_TYPEMASK, SS_CENTER);
  EXPECT_TRUE(window.Style(1001) & SS_CENTERIMAGE);
  EXPECT_TRUE(window.Style(1004) & SS_SUNKEN);
  EXPECT_EQ(window.Style(1004) & SS_TYPEMASK, SS_LEFT);
  // No default button, and the first stop of the tab order is Exit.
  for (int id : {1000, 1002, 1003, 1006, 1022, 1026, 1027, 1043})
    EXPECT_EQ(window.Style(id) & BS_TYPEMASK, BS_PUSHBUTTON) << id;
  EXPECT_EQ(GetNextDlgTabItem(window.Get(), nullptr, FALSE), GetDlgItem(window.Get(), 1022));
}

TEST(Resources, OutputOptionsTemplate) {
  TemplateWindow window(IDD_OUTPUT_OPTIONS);
  ASSERT_NE(window.Get(), nullptr);
  EXPECT_EQ(window.Caption(), "Output options");
  ExpectClientSize(window, 278, 143);

  const Control controls[] = {
      {1056, 7, 7, 66, 14, "Output Format:", true},
      {1046, 80, 7, 86, 177, nullptr, true},
      {1020, 7, 27, 66, 14, "Output file:", true},
      {1009, 80, 27, 126, 14, "", true},
      {1021, 206, 27, 65, 14, "Browse", true},
      {1038, 7, 49, 66, 14, "Video compressor:", true},
      {1007, 80, 49, 126, 115, nullptr, true},
      {1016, 205, 48, 66, 14, "Settings", true},
      {1039, 7, 69, 66, 14, "Audio compressor:", true},
      {1008, 80, 69, 126, 138, nullptr, true},
      {1040, 7, 91, 264, 29,
       "Note: some video and audio compressors may not work properly. For more detail, please "
       "read help.",
       true},
      {1047, 7, 48, 100, 14, "Video encoding bitrate:", true},
      {1049, 114, 48, 89, 14, "", true},
      {1051, 213, 47, 53, 14, "Kbps", true},
      {1048, 7, 68, 100, 14, "Audio encoding bitrate:", true},
      {1050, 114, 69, 90, 159, nullptr, true},
      {1052, 214, 69, 53, 14, "Kbps", true},
      {1041, 16, 122, 66, 14, "OK", true},
      {1014, 105, 122, 66, 14, "Default", true},
      {1042, 194, 122, 66, 14, "Cancel", true},
      {1011, 7, 49, 66, 14, "Resolution:", false},
      {1010, 80, 49, 126, 137, nullptr, false},
      {1012, 214, 49, 20, 14, "", false},
      {1013, 248, 49, 22, 14, "", false},
      {1036, 7, 69, 66, 14, "Frame rate:", false},
      {1017, 80, 69, 126, 90, nullptr, false},
      {1018, 214, 69, 36, 12, "", false},
      {1037, 7, 89, 66, 14, "Resize mode:", false},
      {1019, 80, 89, 126, 35, nullptr, false},
      {1015, 80, 49, 126, 137, nullptr, false},
      {1053, 221, 92, 40, 14, "", false},
  };
  ExpectControls(window, controls, std::size(controls));
  for (int id : {1046, 1007, 1008, 1050, 1010, 1017, 1019, 1015}) {
    EXPECT_EQ(window.Style(id) & 0x3, CBS_DROPDOWNLIST) << id;
    EXPECT_FALSE(window.Style(id) & CBS_SORT) << id;
  }
  EXPECT_TRUE(window.Style(1009) & ES_AUTOHSCROLL);
  EXPECT_EQ(window.Style(1041) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
}

TEST(Resources, FilterPropertiesTemplate) {
  TemplateWindow window(IDD_FILTER_PROPERTIES);
  ASSERT_NE(window.Get(), nullptr);
  EXPECT_EQ(window.Caption(), "Set Filter's Properties");
  ExpectClientSize(window, 187, 196);
  const Control controls[] = {
      {IDCANCEL, 103, 175, 66, 14, "&Continue", true},
      {1054, 7, 7, 173, 159, nullptr, true},
      {1055, 13, 175, 66, 14, "&Settings", true},
  };
  ExpectControls(window, controls, std::size(controls));
  LONG list = window.Style(1054);
  EXPECT_TRUE(list & LBS_NOTIFY);
  EXPECT_FALSE(list & LBS_SORT);
  EXPECT_TRUE(list & LBS_NOINTEGRALHEIGHT);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(window.Get(), 1055)));
}

// The About box and the version resource name the build: 64-bit or 32-bit.
TEST(Resources, AboutTemplate) {
  TemplateWindow window(IDD_ABOUTBOX);
  ASSERT_NE(window.Get(), nullptr);
  EXPECT_EQ(window.Caption(), "About");
  ExpectClientSize(window, 236, 153);
  const std::string versionLine = "Version 1.0 (" + ThisBuild() + ")";
  const Control controls[] = {
      {1045, 56, 10, 173, 17, "Lumaweave", true},
      {1044, 56, 31, 173, 14, versionLine.c_str(), true},
      {IDOK, 92, 132, 50, 14, "OK", true},
  };
  ExpectControls(window, controls, std::size(controls));
}

TEST(Resources, VersionResourceNamesTheBuild) {
  char self[MAX_PATH] = "";
  ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
  EXPECT_EQ(VersionString(self, "FileDescription"),
            "Lumaweave video converter (" + ThisBuild() + ")");
}

TEST(Resources, PopupMenuTemplate) {
  HMENU bar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MENU_LANGUAGE_POPUP));
  ASSERT_NE(bar, nullptr);
  char text[64] = "";
  GetMenuStringA(bar, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "PopupMenu");
  HMENU popup = GetSubMenu(bar, 0);
  ASSERT_NE(popup, nullptr);
  ASSERT_EQ(GetMenuItemCount(popup), 3);

  GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Language");
  HMENU languages = GetSubMenu(popup, 0);
  ASSERT_NE(languages, nullptr);
  ASSERT_EQ(GetMenuItemCount(languages), 1);
  EXPECT_EQ(GetMenuItemID(languages, 0), 0u);

  GetMenuStringA(popup, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Font");
  EXPECT_EQ(GetMenuItemID(popup, 1), 32772u);
  GetMenuStringA(popup, 2, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "About");
  EXPECT_EQ(GetMenuItemID(popup, 2), 32771u);
  DestroyMenu(bar);
}

TEST(Resources, ApplicationIcon) {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME));
  EXPECT_NE(icon, nullptr);
}

}  // namespace
