// The language files that ship with the program, read from the folder beside
// this test, where the build puts them as it does beside the program.

#include <gtest/gtest.h>

#include <map>

#include "i18n/LanguageTestSupport.h"
#include "i18n/Localization.h"
#include "i18n/TextKeyTable.h"
#include "i18n/Translation.h"
#include "platform/ModalDialog.h"
#include "platform/Path.h"
#include "res/resource.h"

namespace {

class ShippedLanguages : public LanguageTest {
 protected:
  bool StartShipped(const char* name) { return languages.Initialize(path::ModuleFolder(), name); }
};

// Reads every control's text, translating the dialog on the way if asked.
class TextsOfDialog : public ModalDialog {
 public:
  TextsOfDialog(int templateId, bool translate) : ModalDialog(templateId), m_translate(translate) {}
  std::map<int, std::string> texts;

 protected:
  BOOL OnInitDialog() override {
    if (m_translate) TranslateDialog(Hwnd(), TemplateId());
    for (HWND child = GetWindow(Hwnd(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      char text[512] = "";
      GetWindowTextA(child, text, sizeof text);
      texts[GetDlgCtrlID(child)] = text;
    }
    End(IDOK);
    return TRUE;
  }
  bool Route(UINT, WPARAM, LPARAM, INT_PTR&) override { return false; }

 private:
  bool m_translate;
};

TEST_F(ShippedLanguages, EveryFileGivesEveryKeyAndANameThatIsALocale) {
  for (const char* name : {"English", "French", "German"}) {
    ASSERT_TRUE(StartShipped(name)) << name;
    EXPECT_EQ(languages.CurrentLanguage(), name);
    for (const auto* list :
         {&languages.MenuTexts(), &languages.DialogTexts(), &languages.StringTexts()}) {
      for (const TextEntry& entry : *list)
        EXPECT_FALSE(entry.text.empty()) << name << " " << entry.id;
    }
    EXPECT_EQ(languages.MenuTexts().size() + languages.DialogTexts().size() +
                  languages.StringTexts().size(),
              kTextKeyTableSize);
  }
  EXPECT_TRUE(prompts.Records().empty());
}

TEST_F(ShippedLanguages, EnglishRestatesTheBuiltInTexts) {
  ASSERT_TRUE(StartShipped("English"));
  for (size_t i = 0; i < kTextKeyTableSize; ++i) {
    const TextKey& row = kTextKeyTable[i];
    if (std::string(SectionOfKey(row.key)) == "STRING") {
      EXPECT_EQ(GetLocalizedString(row.id), BuiltInString(row.id)) << row.key;
    }
    if (row.id == IDS_BUTTON_STOP || row.id == IDS_BUTTON_CONVERT) {
      EXPECT_EQ(GetLocalizedDialogText(row.id), BuiltInString(row.id)) << row.key;
    }
  }
  for (int templateId : {IDD_MAIN_DIALOG, IDD_OUTPUT_OPTIONS, IDD_ABOUTBOX}) {
    TextsOfDialog original(templateId, false), translated(templateId, true);
    original.Run(nullptr);
    translated.Run(nullptr);
    ASSERT_FALSE(original.texts.empty());
    // The About box's product line is the program's caption.
    if (templateId == IDD_ABOUTBOX) {
      EXPECT_EQ(translated.texts[IDC_STATIC_PRODUCT], "RoroVozaririd");
      translated.texts[IDC_STATIC_PRODUCT] = original.texts[IDC_STATIC_PRODUCT];
    }
    EXPECT_EQ(translated.texts, original.texts) << templateId;
  }
}

}  // namespace
