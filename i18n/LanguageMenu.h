#pragma once
// The main window's right-click menu (menu 131): the Language submenu with one
// item per language file, Font and About; and the commands of the language
// items and of Font. `languages` is the registered manager, not owned.

#include <windows.h>

#include "i18n/LanguageManager.h"

// The command of language item i is kFirstLanguageCommand + i.
constexpr UINT kFirstLanguageCommand = 45400;
constexpr UINT kLastLanguageCommand = 46399;

// Opens the menu with its top-left corner at clientPoint of mainWindow; the
// chosen item comes back to mainWindow as a command.
void ShowLanguagePopupMenu(HWND mainWindow, POINT clientPoint, const LanguageManager& languages);
// Puts the language items into popup's Language submenu, the current one
// checked, and translates menuBar. False when popup has no Language submenu.
bool FillLanguageMenu(HMENU menuBar, HMENU popup, const LanguageManager& languages);
// Acts on language item commands only: loads the language of the item and
// translates the main window again; false for any other command.
bool SwitchLanguage(HWND mainWindow, UINT commandId, LanguageManager& languages);
// The warning, in the current language, that the new language shows whole
// only after a restart.
void AskForRestart(HWND mainWindow);
// The Font command: the font dialog; a chosen font becomes the current
// language's interface font, is stored and given to the main window.
void ChooseInterfaceFont(HWND mainWindow, LanguageManager& languages);
