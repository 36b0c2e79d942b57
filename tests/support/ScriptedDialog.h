#pragma once
// Runs a real modal dialog and drives it from inside its own modal loop.

#include <functional>

#include "platform/ModalDialog.h"

// Runs dialog modally; once its loop runs, script is called with the dialog
// window. A dialog that the script leaves open is ended with kLeftOpen.
constexpr INT_PTR kLeftOpen = -7;
INT_PTR RunScripted(ModalDialog& dialog, const std::function<void(HWND)>& script);

// Clicks id on dialog; script is called with the modal dialog that the click
// opens (the first window of this thread that has a control markerId) from
// inside that dialog's loop. The script must end that dialog.
void ClickAndDrive(HWND dialog, int id, int markerId, const std::function<void(HWND)>& script);
// The same for the modal dialog that open (any call) shows.
void DriveDialogOpenedBy(const std::function<void()>& open, int markerId,
                         const std::function<void(HWND)>& script);

// Text of a dialog control.
std::string ControlText(HWND dialog, int id);
// A click on a button, as the dialog manager sends it.
void Click(HWND dialog, int id);
