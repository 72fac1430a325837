// The per-user classes (HKEY_CURRENT_USER\Software\Classes) in the view of a given bitness. Windows
// redirects a 32-bit program's per-user CLSID and Interface keys to Wow6432Node; Wine 8 does not,
// until a Wow6432Node key exists, and then redirects all of them, ProgIDs too. Both find each key
// at the path of its view when it is opened in the 64-bit registry, where no redirector moves it.
#pragma once

#include <windows.h>

#include <string_view>

#include "base/class_views.h"
#include "win/win32_win.h"

namespace qlora::win {

// The view this process sees: the 32-bit one when it runs as a 32-bit program on 64-bit Windows.
classes::View ThisProcessView() noexcept;

// The full path below HKEY_CURRENT_USER of `key` (below Software\Classes) in `view`.
std::wstring UserClassPath(classes::View view, std::wstring_view key);

// Added to the access of every opening of such a path: the path alone chooses the view.
inline constexpr REGSAM kUserClassAccess = KEY_WOW64_64KEY;

// Opens `key` of the per-user classes in `view` for `access`; false when it is not there.
bool OpenUserClassKey(classes::View view, std::wstring_view key, REGSAM access, UniqueHKey& opened);

}  // namespace qlora::win
