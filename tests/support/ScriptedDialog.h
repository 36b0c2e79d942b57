#pragma once
// Runs a real modal dialog and drives it from inside its own modal loop.

#include <functional>
#include <string>
#include <vector>

#include "platform/ModalDialog.h"

// Runs dialog modally; once its loop runs, script is called with the dialog
// window. A dialog that the script leaves open is ended with kLeftOpen.
constexpr INT_PTR kLeftOpen = -7;
INT_PTR RunScripted(ModalDialog& dialog, const std::function<void(HWND)>& script);

// Clicks id on dialog; script is called with the modal dialog that the click
// opens (the first window of this thread that has a control markerId) from
// inside that dialog's loop. The script must end that dialog.
void ClickAndDrive(HWND dialog, int id, int markerId, const std::function<void(HWND)>& script);
// The same for any action: true when a dialog with markerId opened during it
// and script ran.
bool DriveNested(const std::function<void()>& action, int markerId,
                 const std::function<void(HWND)>& script);

// Dispatches this thread's messages until done() holds or timeoutMs passed;
// gives done() at the end.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);

// Text of a dialog control.
std::string ControlText(HWND dialog, int id);
// The items of a combo box, in order.
std::vector<std::string> ComboTexts(HWND combo);
// A click on a button, as the dialog manager sends it.
void Click(HWND dialog, int id);
