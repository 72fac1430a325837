#include "win/prompt_win.h"

#include <windows.h>

#include "base/error.h"
#include "win/modal_owner_win.h"

namespace qlora {

MsgAnswer WinMessagePrompt::Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) {
    static constexpr UINT kButtons[] = {MB_OK, MB_OKCANCEL, MB_YESNO, MB_YESNOCANCEL};
    static constexpr UINT kIcons[] = {0, MB_ICONERROR, MB_ICONQUESTION, MB_ICONWARNING, MB_ICONINFORMATION};
    const std::wstring caption = title.empty() ? std::wstring(kProjectName) : std::wstring(title);
    // Modal to Word (or to the add-in's dialog it comes from); outside Word, to the whole thread.
    const HWND owner = win::ModalOwner();
    const int answer = ::MessageBoxW(owner, std::wstring(text).c_str(), caption.c_str(),
                                     kButtons[static_cast<int>(buttons)] | kIcons[static_cast<int>(icon)] |
                                         (owner ? MB_APPLMODAL : MB_TASKMODAL) | MB_SETFOREGROUND);
    switch (answer) {
        case IDYES: return MsgAnswer::Yes;
        case IDNO: return MsgAnswer::No;
        case IDCANCEL: return MsgAnswer::Cancel;
        default: return MsgAnswer::Ok;
    }
}

}  // namespace qlora
