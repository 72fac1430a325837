#include "win/class_views_win.h"

namespace qlora::win {

classes::View ThisProcessView() noexcept {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64 ? classes::View::Wow64 : classes::View::Native;
}

std::wstring UserClassPath(classes::View view, std::wstring_view key) {
    return L"Software\\Classes\\" + classes::KeyIn(view, key);
}

bool OpenUserClassKey(classes::View view, std::wstring_view key, REGSAM access, UniqueHKey& opened) {
    return ::RegOpenKeyExW(HKEY_CURRENT_USER, UserClassPath(view, key).c_str(), 0, access | kUserClassAccess,
                           opened.put()) == ERROR_SUCCESS;
}

}  // namespace qlora::win
