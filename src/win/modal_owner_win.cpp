#include "win/modal_owner_win.h"

#include <algorithm>
#include <cwchar>
#include <vector>

namespace qlora::win {
namespace {

// The add-in's modal dialogs open now, the latest last.
std::vector<HWND>& OpenModalDialogs() {
    static std::vector<HWND> open;
    return open;
}

bool IsWordWindow(HWND window) {
    wchar_t name[16] = {};
    return ::GetClassNameW(window, name, 16) > 0 && std::wcscmp(name, L"OpusApp") == 0;
}

// Window enumeration callbacks are stdcall on x86, which a lambda cannot be.
BOOL CALLBACK FindWordWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() || !IsWordWindow(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND WordMainWindow() {
    if (const HWND active = ::GetActiveWindow(); active && IsWordWindow(active)) return active;
    HWND found = nullptr;
    ::EnumWindows(&FindWordWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

HWND ModalOwner() {
    const auto& open = OpenModalDialogs();
    return open.empty() ? WordMainWindow() : open.back();
}

void PushModalDialog(HWND dialog) { OpenModalDialogs().push_back(dialog); }

void PopModalDialog(HWND dialog) { std::erase(OpenModalDialogs(), dialog); }

}  // namespace qlora::win
