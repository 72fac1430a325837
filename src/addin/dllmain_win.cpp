// The DLL's entry points: the in-process COM server contract.
#include <windows.h>
#include <objbase.h>

#include "addin/global.h"
#include "addin/global_win.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        ::DisableThreadLibraryCalls(instance);
        qlora::InstallWindowsPorts();
    }
    return TRUE;
}

extern "C" {

__declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    // The first object of the DLL is about to be made: the start routine runs before it.
    qlora::basGlobal::EnsureStarted();
    return CLASS_E_CLASSNOTAVAILABLE;
}

__declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return S_OK; }

__declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterServer() { return E_NOTIMPL; }

__declspec(dllexport) HRESULT STDAPICALLTYPE DllUnregisterServer() { return E_NOTIMPL; }

}  // extern "C"
