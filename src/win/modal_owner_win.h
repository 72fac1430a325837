// Which window the add-in's modal dialogs and message boxes belong to.
#pragma once

#include <windows.h>

namespace qlora::win {

// The window the add-in's modal windows belong to, disabled while they are open: the add-in's
// own modal dialog open now (a message asked from inside it), else Word's main window. Word's
// main window is the thread's active window when it is Word's ("OpusApp", in Word 2013 and later
// the active document's window), else this process's first top-level "OpusApp" window; nullptr
// outside Word.
HWND ModalOwner();

// The add-in's modal dialog, from the moment it exists until it is destroyed: messages asked
// meanwhile belong to it.
void PushModalDialog(HWND dialog);
void PopModalDialog(HWND dialog);

}  // namespace qlora::win
