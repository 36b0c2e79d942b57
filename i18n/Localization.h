#pragma once
// Texts of the user interface by identifier: the current language's text, else
// the built-in English text of the program's string table, else empty. The
// current language is that of the registered LanguageManager; without one
// every text is the built-in one.
//
// A language text is data: it goes into formatted texts as an argument,
// never as the format.

#include <windows.h>

#include <string>

// The built-in string table's text, in the ANSI code page of the thread's locale.
std::string BuiltInString(UINT id);

// The language's STRING text for id, else the built-in one.
std::string GetLocalizedString(UINT id);
// The language's DIALOG text for id, else the built-in one.
std::string GetLocalizedDialogText(UINT id);
// The language's DIALOG or MENU text for id, or empty; no built-in fallback.
std::string FindDialogText(int id);
std::string FindMenuText(int id);
