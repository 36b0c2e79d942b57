#pragma once
// Puts the registered language's texts on a dialog and its controls, and on
// a menu. Only the texts that the language gives are written: what it leaves
// empty keeps the text the window or menu shows at that moment.

#include <windows.h>

// The caption (with the interface font) and every keyed control except edit
// boxes, list views and spin controls; a combo box gets one list item per
// line of its text. False, changing nothing, without language files.
bool TranslateDialog(HWND dialog, int dialogId);

// The items of every submenu of menuBar (not the bar's own items). Popup
// items are keyed menuId * 65536 + n, n counting the popups met depth first.
bool TranslateMenu(HMENU menuBar, int menuId);
