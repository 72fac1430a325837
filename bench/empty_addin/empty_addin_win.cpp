// EmptyAddIn.Connect: a COM add-in that does nothing, the floor `make measure` holds the add-in's
// load against. It connects as any add-in must (class factory, IDTExtensibility2, DllCanUnloadNow)
// and imports the same system DLLs as QloraWordAddIn.dll, so that both pay the same to be loaded
// (scripts/measure.sh compares the two lists).
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <winnetwk.h>

#include <atomic>

#include "extensibility_win.h"

namespace {

// {8402BF9E-622F-440F-BE1C-F5D01D83F3E9}, as scripts/measure.sh registers it.
constexpr CLSID kClsid = {0x8402BF9E, 0x622F, 0x440F, {0xBE, 0x1C, 0xF5, 0xD0, 0x1D, 0x83, 0xF3, 0xE9}};

std::atomic<long> gLive{0};  // objects and server locks

// One function of each system DLL the add-in imports; referenced, never called.
[[gnu::used]] const void* const kSameImports[] = {
    reinterpret_cast<const void*>(&::RegCloseKey),              // advapi32
    reinterpret_cast<const void*>(&::GetDeviceCaps),            // gdi32
    reinterpret_cast<const void*>(&::WNetGetConnectionW),       // mpr
    reinterpret_cast<const void*>(&::CoTaskMemFree),            // ole32
    reinterpret_cast<const void*>(&::SysFreeString),            // oleaut32
    reinterpret_cast<const void*>(&::SHGetFolderPathW),         // shell32
    reinterpret_cast<const void*>(&::PathFileExistsW),          // shlwapi
    reinterpret_cast<const void*>(&::DestroyWindow),            // user32
    reinterpret_cast<const void*>(&::GetFileVersionInfoSizeW),  // version
};

// The COM object's reference count; the object goes with the last reference.
template <class Self>
class RefCounted {
protected:
    RefCounted() { ++gLive; }
    ~RefCounted() { --gLive; }
    ULONG AddRefOnce() { return ++refs_; }
    ULONG ReleaseOnce() {
        const ULONG left = --refs_;
        if (left == 0) delete static_cast<Self*>(this);
        return left;
    }

private:
    std::atomic<ULONG> refs_{1};
};

class EmptyAddIn final : public wordsim::IDTExtensibility2, public RefCounted<EmptyAddIn> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IDispatch && riid != wordsim::kIDTExtensibility2) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<wordsim::IDTExtensibility2*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefOnce(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseOnce(); }

    // No type information: Word calls the connection interface through its table.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return count ? S_OK : E_POINTER;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, LONG, IDispatch*, SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnDisconnection(LONG, SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }
};

class Factory final : public IClassFactory, public RefCounted<Factory> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddRefOnce(); }
    ULONG STDMETHODCALLTYPE Release() override { return ReleaseOnce(); }

    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        auto* addIn = new (std::nothrow) EmptyAddIn;
        if (!addIn) return E_OUTOFMEMORY;
        const HRESULT hr = addIn->QueryInterface(riid, object);
        addIn->Release();
        return hr;
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        lock ? ++gLive : --gLive;
        return S_OK;
    }
};

}  // namespace

extern "C" {

HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* object) {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (clsid != kClsid) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new (std::nothrow) Factory;
    if (!factory) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, object);
    factory->Release();
    return hr;
}

HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gLive == 0 ? S_OK : S_FALSE; }

}  // extern "C"
