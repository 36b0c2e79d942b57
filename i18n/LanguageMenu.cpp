#include "i18n/LanguageMenu.h"

#include <commdlg.h>

#include <algorithm>

#include "i18n/Localization.h"
#include "i18n/Translation.h"
#include "platform/Prompts.h"
#include "platform/Str.h"
#include "res/resource.h"

void ShowLanguagePopupMenu(HWND mainWindow, POINT clientPoint, const LanguageManager& languages) {
  HMENU menuBar = LoadMenuA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MENU_LANGUAGE_POPUP));
  if (!menuBar) {
    Prompts::Current().ShowMessage(nullptr, "Can not find Language Menu!", "error", MB_OK);
    return;
  }
  HMENU popup = GetSubMenu(menuBar, 0);
  FillLanguageMenu(menuBar, popup, languages);
  ClientToScreen(mainWindow, &clientPoint);
  TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_LEFTBUTTON, clientPoint.x, clientPoint.y, 0, mainWindow,
                 nullptr);
  DestroyMenu(menuBar);  // and the popup with it
}

bool FillLanguageMenu(HMENU menuBar, HMENU popup, const LanguageManager& languages) {
  HMENU languageMenu = popup ? GetSubMenu(popup, 0) : nullptr;
  if (!languageMenu) return false;
  RemoveMenu(languageMenu, 0, MF_BYPOSITION);
  // Files beyond the commands' range are not listed: they could not be chosen.
  const size_t listed =
      std::min<size_t>(languages.LanguageCount(), kLastLanguageCommand - kFirstLanguageCommand + 1);
  for (size_t i = 0; i < listed; ++i) {
    const std::string& name = languages.LanguageName(i);
    UINT check = str::EqualNoCase(name.c_str(), languages.CurrentLanguage().c_str()) ? MF_CHECKED
                                                                                     : MF_UNCHECKED;
    AppendMenuA(languageMenu, MF_STRING | MF_ENABLED | check, kFirstLanguageCommand + i,
                name.c_str());
  }
  TranslateMenu(menuBar, IDR_MENU_LANGUAGE_POPUP);
  return true;
}

// A command beyond the language list (none of the menu's) changes nothing.
bool SwitchLanguage(HWND mainWindow, UINT commandId, LanguageManager& languages) {
  if (commandId < kFirstLanguageCommand || commandId > kLastLanguageCommand) return false;
  size_t index = commandId - kFirstLanguageCommand;
  if (index >= languages.LanguageCount()) return false;
  std::string name = languages.LanguageName(index);
  languages.SelectLanguage(name);
  TranslateDialog(mainWindow, IDD_MAIN_DIALOG);
  return true;
}

void ChooseInterfaceFont(HWND mainWindow, LanguageManager& languages) {
  LOGFONTA font = languages.InterfaceFontDescription();
  CHOOSEFONTA request = {sizeof request};
  request.hwndOwner = mainWindow;
  request.lpLogFont = &font;
  request.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  if (!Prompts::Current().AskFont(request)) return;
  languages.ReplaceInterfaceFont(font);
  TranslateDialog(mainWindow, IDD_MAIN_DIALOG);
}

void AskForRestart(HWND mainWindow) {
  // Looked up after the switch: the new language asks.
  Prompts::Current().ShowMessage(mainWindow,
                                 GetLocalizedString(IDS_MESSAGE_RESTART_PROGRAM).c_str(),
                                 GetLocalizedString(IDS_MESSAGE_WARNING).c_str(), MB_OK);
}
