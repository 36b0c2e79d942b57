#pragma once
// Texts of the user interface by identifier: the current language's text, else
// the built-in English text of the program's string table, else empty.

#include <windows.h>

#include <string>

// The built-in string table's text, in the ANSI code page of the thread's locale.
std::string BuiltInString(UINT id);

std::string GetLocalizedString(UINT id);
std::string GetLocalizedDialogText(UINT id);
