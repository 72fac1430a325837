// The DLL's entry points: the in-process COM server contract.
#include <windows.h>
#include <objbase.h>

#include "addin/com_server_win.h"
#include "addin/windows_ports_win.h"
#include "win/com_object_win.h"

#include <cstdlib>

// The C++ runtime's default terminate handler writes the pending exception's demangled type to
// the console, which brings the whole demangler into the DLL. Word has no console, and the add-in
// lets no exception reach the runtime: ending the process is all that is left to do.
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        qlora::InstallWindowsPorts();
    }
    return TRUE;
}

// Exported under their plain names by QloraWordAddIn.def.
extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    return qlora::com::GetClassObject(clsid, riid, object);
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return qlora::com::CanUnloadNow() ? S_OK : S_FALSE;
}

HRESULT STDAPICALLTYPE DllRegisterServer() {
    return qlora::com::Register(qlora::com::Scope::Machine);
}

HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return qlora::com::Unregister(qlora::com::Scope::Machine);
}

HRESULT STDAPICALLTYPE DllInstall(BOOL install, LPCWSTR commandLine) {
    return qlora::com::Install(install != FALSE, commandLine);
}

}  // extern "C"
