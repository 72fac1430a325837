// The in-process COM server: the class factory over the add-in's classes (com_classes_win.h),
// and registration per machine or per user (HKEY_CURRENT_USER\Software\Classes).
#pragma once

#include <windows.h>

#include <string>

namespace qlora::com {

inline constexpr wchar_t kLibraryName[] = L"QloraWordAddIn";

// Where class registrations go: the machine's classes or the current user's.
enum class Scope { Machine, User };

HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** object) noexcept;
HRESULT Register(Scope scope) noexcept;
HRESULT Unregister(Scope scope) noexcept;
// regsvr32 /i:"user" installs per user; any other command line per machine.
HRESULT Install(bool install, const wchar_t* commandLine) noexcept;

}  // namespace qlora::com
