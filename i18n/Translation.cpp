#include "i18n/Translation.h"

#include <string>

#include "i18n/LanguageManager.h"
#include "i18n/Localization.h"
#include "platform/Str.h"

namespace {

bool HasLanguages() {
  const LanguageManager* languages = LanguageManager::Registered();
  return languages && languages->LanguageCount() > 0;
}

HFONT CurrentFont() { return LanguageManager::Registered()->InterfaceFontHandle(); }

void SetFont(HWND window, HFONT font) {
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

bool IsClass(const char* className, const char* name) { return str::EqualNoCase(className, name); }

// Lines are cut at line feeds; the piece after the last one counts, empty or not.
void FillComboBox(HWND combo, const std::string& lines) {
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  size_t start = 0;
  for (;;) {
    size_t end = lines.find('\n', start);
    std::string item =
        lines.substr(start, end == std::string::npos ? std::string::npos : end - start);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

void TranslateControl(HWND dialog, HWND control) {
  char className[64] = "";
  GetClassNameA(control, className, sizeof className);
  if (IsClass(className, "Edit") || IsClass(className, "SysListView32") ||
      IsClass(className, "msctls_updown32"))
    return;
  int id = static_cast<short>(GetDlgCtrlID(control));
  if (id <= 0) return;
  std::string text = id >= 100 ? FindDialogText(id) : GetLocalizedString(static_cast<UINT>(id));
  if (text.empty()) return;
  if (IsClass(className, "ComboBox")) {
    FillComboBox(control, text);
    return;
  }
  SetDlgItemTextA(dialog, id, text.c_str());
  SetFont(control, CurrentFont());
}

void TranslateSubmenu(HMENU menu, UINT& popupCounter) {
  int count = GetMenuItemCount(menu);
  for (int position = 0; position < count; ++position) {
    MENUITEMINFOA item = {sizeof item};
    item.fMask = MIIM_ID | MIIM_SUBMENU;
    if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &item)) continue;
    if (!item.hSubMenu && item.wID == 0) continue;  // separators, placeholders
    std::string text = FindMenuText(static_cast<int>(item.hSubMenu ? popupCounter++ : item.wID));
    if (!text.empty()) {
      MENUITEMINFOA rename = {sizeof rename};
      rename.fMask = MIIM_STRING;
      rename.dwTypeData = text.data();
      SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &rename);
    }
    if (item.hSubMenu) TranslateSubmenu(item.hSubMenu, popupCounter);
  }
}

}  // namespace

bool TranslateDialog(HWND dialog, int dialogId) {
  if (!HasLanguages()) return false;
  std::string caption = FindDialogText(dialogId);
  if (!caption.empty()) {
    SetFont(dialog, CurrentFont());
    SetWindowTextA(dialog, caption.c_str());
  }
  HWND first = GetWindow(dialog, GW_CHILD);
  for (HWND child = first; child;) {
    TranslateControl(dialog, child);
    child = GetWindow(child, GW_HWNDNEXT);
    if (child == first) break;
  }
  return true;
}

bool TranslateMenu(HMENU menuBar, int menuId) {
  if (!HasLanguages()) return false;
  UINT popupCounter = static_cast<UINT>(menuId) * 65536u;
  int count = GetMenuItemCount(menuBar);
  for (int position = 0; position < count; ++position) {
    HMENU submenu = GetSubMenu(menuBar, position);
    if (submenu) TranslateSubmenu(submenu, popupCounter);
  }
  return true;
}
