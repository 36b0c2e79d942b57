#include "i18n/Translation.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/GraphHandles.h"
#include "i18n/LanguageTestSupport.h"
#include "support/ScriptedDialog.h"
#include "res/resource.h"
#include "settings/OutputOptionsDialog.h"
#include "support/VersionResource.h"

namespace {

// A dialog from the program's templates that translates itself as it opens,
// as the program's dialogs do.
class TemplateDialog : public ModalDialog {
 public:
  TemplateDialog(int templateId, bool translateAtInit = true)
      : ModalDialog(templateId), m_translateAtInit(translateAtInit) {}
  HFONT templateFont = nullptr;

 protected:
  BOOL OnInitDialog() override {
    templateFont = reinterpret_cast<HFONT>(SendMessageA(Hwnd(), WM_GETFONT, 0, 0));
    if (m_translateAtInit) TranslateDialog(Hwnd(), TemplateId());
    return TRUE;
  }
  bool Route(UINT, WPARAM, LPARAM, INT_PTR&) override { return false; }

 private:
  bool m_translateAtInit;
};

HFONT FontOf(HWND window) {
  return reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
}

class TranslationTest : public LanguageTest {};

// Only keyed controls with a text change, and they take the interface font.
TEST_F(TranslationTest, EmptyOrMissingValuesKeepTheTemplateTextAndFont) {
  WriteLanguage("english", Ini({{"DIALOG",
                                 "IDC_BUTTON_EXIT=\r\nIDC_BUTTON_HELP=Assistance\r\n"
                                 "IDC_BUTTON_ABOUT=Info"}}));
  ASSERT_TRUE(Start("english"));
  ASSERT_NE(languages.InterfaceFontHandle(), nullptr);
  TemplateDialog dialog(IDD_MAIN_DIALOG);
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_EQ(Caption(hwnd), "RoroVozaririd");
    EXPECT_EQ(FontOf(hwnd), dialog.templateFont);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_EXIT), "Exit");
    EXPECT_EQ(FontOf(GetDlgItem(hwnd, IDC_BUTTON_EXIT)), dialog.templateFont);
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_HELP), "Assistance");
    EXPECT_EQ(FontOf(GetDlgItem(hwnd, IDC_BUTTON_HELP)), languages.InterfaceFontHandle());
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_ABOUT), "Info");
    // Unkeyed controls are never touched.
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_BUILD_FILTERS), "Build Filters");
  });
}

TEST_F(TranslationTest, AboutBoxGetsItsCaptionAndProductLineOnly) {
  WriteLanguage("english",
                Ini({{"DIALOG", "IDC_BUTTON_ABOUT=Info\r\nIDD_PROGRAM_CAPTION=Converter"},
                     {"STRING", "IDS_MESSAGE_ERROR=Trouble"}}));
  ASSERT_TRUE(Start("english"));
  TemplateDialog dialog(IDD_ABOUTBOX);
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_EQ(Caption(hwnd), "Info");
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_PRODUCT), "Converter");
    EXPECT_EQ(ControlText(hwnd, IDC_STATIC_VERSION), "Version 1.0 (" + ThisBuild() + ")");
    EXPECT_EQ(ControlText(hwnd, IDOK), "OK");
  });
}

struct ComboCase {
  const char* value;
  std::vector<std::string> items;
};

// The format list of the Output options template stands for a combo box
// whose identifier has a text: it takes the label's identifier.
TEST_F(TranslationTest, ComboBoxGetsOneItemPerLineAndKeepsItsFont) {
  const ComboCase cases[] = {
      {"AVI\\nWMV\\nMKV", {"AVI", "WMV", "MKV"}},
      {"AVI\\nWMV\\n", {"AVI", "WMV", ""}},
      {"Single", {"Single"}},
  };
  for (const ComboCase& c : cases) {
    TempFolder files;
    files.Write("language\\english.ini",
                Ini({{"DIALOG", std::string("IDC_STATIC_OUTPUT_FORMAT=") + c.value}}));
    ASSERT_TRUE(languages.Initialize(files.Path(), "english"));
    TemplateDialog dialog(IDD_OUTPUT_OPTIONS, false);
    RunScripted(dialog, [&](HWND hwnd) {
      HWND combo = GetDlgItem(hwnd, IDC_COMBO_OUTPUT_FORMAT);
      SetWindowLongPtrA(GetDlgItem(hwnd, IDC_STATIC_OUTPUT_FORMAT), GWLP_ID, 1999);
      SetWindowLongPtrA(combo, GWLP_ID, IDC_STATIC_OUTPUT_FORMAT);
      SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("stale"));
      HFONT comboFont = FontOf(combo);
      ASSERT_TRUE(TranslateDialog(hwnd, IDD_OUTPUT_OPTIONS));
      EXPECT_EQ(ComboTexts(combo), c.items) << c.value;
      EXPECT_EQ(FontOf(combo), comboFont);
    });
  }
}

TEST_F(TranslationTest, EditBoxesAreLeftAlone) {
  WriteLanguage("english", Ini({{"DIALOG", "IDC_BUTTON_BROWSE=Look"}}));
  ASSERT_TRUE(Start("english"));
  TemplateDialog dialog(IDD_OUTPUT_OPTIONS, false);
  RunScripted(dialog, [&](HWND hwnd) {
    HWND edit = GetDlgItem(hwnd, IDC_EDIT_OUTPUT_FILE);
    SetWindowLongPtrA(GetDlgItem(hwnd, IDC_BUTTON_BROWSE), GWLP_ID, 1999);
    SetWindowLongPtrA(edit, GWLP_ID, IDC_BUTTON_BROWSE);
    SetWindowTextA(edit, "c:\\out.avi");
    ASSERT_TRUE(TranslateDialog(hwnd, IDD_OUTPUT_OPTIONS));
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_BROWSE), "c:\\out.avi");
    EXPECT_EQ(ControlText(hwnd, 1999), "Browse");
  });
}

TEST_F(TranslationTest, NothingChangesWithoutLanguageFiles) {
  EXPECT_FALSE(Start("english"));
  TemplateDialog dialog(IDD_MAIN_DIALOG);
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_FALSE(TranslateDialog(hwnd, IDD_MAIN_DIALOG));
    EXPECT_EQ(Caption(hwnd), "RoroVozaririd");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_EXIT), "Exit");
  });
  HMENU menu = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MENU_LANGUAGE_POPUP));
  EXPECT_FALSE(TranslateMenu(menu, IDR_MENU_LANGUAGE_POPUP));
  DestroyMenu(menu);
}

struct NestedMenu {
  HMENU bar = CreateMenu();
  HMENU first = CreatePopupMenu();
  HMENU outer = CreatePopupMenu();
  HMENU inner = CreatePopupMenu();
  HMENU second = CreatePopupMenu();
  HMENU later = CreatePopupMenu();

  // bar: Bar -> {separator, Outer -> {Inner -> {About}}}, Bar2 -> {Later -> {}}
  NestedMenu() {
    AppendMenuA(inner, MF_STRING, IDM_ABOUT, "About");
    AppendMenuA(outer, MF_POPUP, reinterpret_cast<UINT_PTR>(inner), "Inner");
    AppendMenuA(first, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(first, MF_POPUP, reinterpret_cast<UINT_PTR>(outer), "Outer");
    AppendMenuA(second, MF_POPUP, reinterpret_cast<UINT_PTR>(later), "Later");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(first), "Bar");
    AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(second), "Bar2");
  }
  ~NestedMenu() { DestroyMenu(bar); }
};

// Popup keys count from menuId * 65536 depth first; the bar's own items take
// none, so the first popup inside its first submenu has the Language key.
TEST_F(TranslationTest, MenuPopupsAreKeyedDepthFirst) {
  WriteLanguage("english", Ini({{"MENU", "IDM_SELECT_LANGUAGE=Tongue\r\nIDM_ABOUT=Info"}}));
  ASSERT_TRUE(Start("english"));
  NestedMenu menu;
  ASSERT_TRUE(TranslateMenu(menu.bar, IDR_MENU_LANGUAGE_POPUP));
  EXPECT_EQ(Items(menu.bar)[0].text, "Bar");
  EXPECT_EQ(Items(menu.first)[1].text, "Tongue");
  EXPECT_EQ(GetSubMenu(menu.first, 1), menu.outer);
  EXPECT_EQ(Items(menu.outer)[0].text, "Inner");
  EXPECT_EQ(Items(menu.inner)[0].text, "Info");
  EXPECT_EQ(GetMenuItemID(menu.inner, 0), static_cast<UINT>(IDM_ABOUT));
  EXPECT_EQ(Items(menu.second)[0].text, "Later");

  // Another menu resource has other popup keys; command keys stay.
  NestedMenu other;
  ASSERT_TRUE(TranslateMenu(other.bar, IDR_MENU_LANGUAGE_POPUP + 1));
  EXPECT_EQ(Items(other.first)[1].text, "Outer");
  EXPECT_EQ(Items(other.inner)[0].text, "Info");
}

TEST_F(TranslationTest, OutputOptionsOpenInTheCurrentLanguage) {
  WriteLanguage("French", Ini({{"DIALOG",
                                "IDD_DIALOG_OUTPUT_OPTIONS=Options de sortie\r\n"
                                "IDC_BUTTON_BROWSE=Parcourir\r\n"
                                "IDC_BUTTON_OPTIONS_CANCEL=Annuler"}}));
  ASSERT_TRUE(Start("French"));
  ConversionSettings settings;
  SourceInfo source;
  GraphHandles graph;
  VfwCodecState vfwState;
  OutputOptionsDialog dialog(settings, source, 0, profile, graph.Compressors(), vfwState);
  RunScripted(dialog, [&](HWND hwnd) {
    EXPECT_EQ(Caption(hwnd), "Options de sortie");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_BROWSE), "Parcourir");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_OPTIONS_CANCEL), "Annuler");
    EXPECT_EQ(ControlText(hwnd, IDC_BUTTON_OPTIONS_OK), "OK");
    Click(hwnd, IDC_BUTTON_OPTIONS_CANCEL);
  });
}

}  // namespace
