// The COM plumbing of the add-in's public classes: reference and object counting for
// DllCanUnloadNow, IDispatch served from the embedded type library, class factories, BSTR and
// VARIANT owners, and the one idiom that turns a failure into an HRESULT at the COM boundary.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <string>
#include <string_view>

#include "base/error.h"
#include "win/win32_win.h"

namespace qlora::com {

using Microsoft::WRL::ComPtr;

// Takes over the one reference a new object starts with. (mingw-w64's ComPtr::Attach adds a
// reference of its own, which would keep the object alive for ever.)
template <class Interface>
ComPtr<Interface> Adopt(Interface* created) noexcept {
    ComPtr<Interface> owner;
    *owner.ReleaseAndGetAddressOf() = created;
    return owner;
}

// Live objects and server locks of the DLL: it may unload when both are zero.
void ObjectCreated() noexcept;
void ObjectDestroyed() noexcept;
void LockServer(bool lock) noexcept;
long LiveObjects() noexcept;
bool CanUnloadNow() noexcept;

// The type information of an interface in the add-in's own type library (TYPELIB 1 of the module).
HRESULT TypeInfoOf(REFGUID guid, ITypeInfo** info) noexcept;

// BSTR owner.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) {
            ::SysFreeString(b_);
            b_ = std::exchange(other.b_, nullptr);
        }
        return *this;
    }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    ~Bstr() { ::SysFreeString(b_); }

    BSTR get() const noexcept { return b_; }
    BSTR* put() noexcept {
        ::SysFreeString(std::exchange(b_, nullptr));
        return &b_;
    }
    BSTR release() noexcept { return std::exchange(b_, nullptr); }
    std::wstring str() const { return ToString(b_); }

    static std::wstring ToString(BSTR b) { return b ? std::wstring(b, ::SysStringLen(b)) : std::wstring(); }

private:
    BSTR b_ = nullptr;
};

// VARIANT owner.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }
    VARIANT* get() noexcept { return &v_; }
    const VARIANT& operator*() const noexcept { return v_; }
    VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }

private:
    VARIANT v_;
};

// Copies text out through an [out, retval] BSTR*.
HRESULT ReturnString(std::wstring_view text, BSTR* result) noexcept;

// Runs a method body at the COM boundary: a failure becomes an HRESULT with error information
// (description and source), never an exception crossing into the caller.
HRESULT Call(const std::function<void()>& body) noexcept;

// A COM object of the DLL: reference counting, QueryInterface over the listed interfaces (the
// first one stands for IUnknown) plus what QueryMore adds, and a place in the DLL's object count.
template <class First, class... Rest>
class Unknown : public First, public Rest... {
public:
    Unknown() noexcept { ObjectCreated(); }
    virtual ~Unknown() { ObjectDestroyed(); }
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || riid == __uuidof(First))
            *object = static_cast<First*>(this);
        else
            (void)((riid == __uuidof(Rest) && (*object = static_cast<Rest*>(this))) || ...);
        if (!*object) *object = QueryMore(riid);
        if (!*object) return E_NOINTERFACE;
        static_cast<IUnknown*>(*object)->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    // Interfaces answered beyond the listed ones; none by default.
    virtual void* QueryMore(REFIID) noexcept { return nullptr; }

private:
    std::atomic<ULONG> refs_{1};
};

// The add-in's dual objects: IDispatch served from the type library, one listed interface after
// the other by name and DISPID, and the class's own type information (IProvideClassInfo: script
// hosts name the object and find its events by it). Derived names its class with a static Clsid().
template <class Derived, class Default, class... Extra>
class Dual : public Unknown<Default, Extra..., IProvideClassInfo> {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        return index == 0 ? TypeInfoOf(__uuidof(Default), info) : DISP_E_BADINDEX;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        HRESULT hr = DISP_E_UNKNOWNNAME;
        const auto tryOne = [&](REFGUID iid) {
            ComPtr<ITypeInfo> info;
            if (SUCCEEDED(TypeInfoOf(iid, &info))) hr = ::DispGetIDsOfNames(info.Get(), names, count, ids);
            return SUCCEEDED(hr);
        };
        (void)(tryOne(__uuidof(Default)) || (tryOne(__uuidof(Extra)) || ...));
        return hr;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        HRESULT hr = DISP_E_MEMBERNOTFOUND;
        const auto tryOne = [&](auto* itf, REFGUID iid) {
            ComPtr<ITypeInfo> info;
            if (FAILED(TypeInfoOf(iid, &info))) return false;
            hr = ::DispInvoke(itf, info.Get(), id, flags, params, result, excep, argErr);
            return hr != DISP_E_MEMBERNOTFOUND;
        };
        (void)(tryOne(static_cast<Default*>(this), __uuidof(Default)) ||
               (tryOne(static_cast<Extra*>(this), __uuidof(Extra)) || ...));
        return hr;
    }
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        if (!info) return E_POINTER;
        return TypeInfoOf(Derived::Clsid(), info);
    }

protected:
    void* QueryMore(REFIID riid) noexcept override {
        return riid == IID_IDispatch ? static_cast<Default*>(this) : nullptr;
    }
};

// Makes an object of a class and hands out the requested interface.
template <class T>
HRESULT CreateObject(REFIID riid, void** object) noexcept {
    if (!object) return E_POINTER;
    *object = nullptr;
    T* created = new (std::nothrow) T();
    if (!created) return E_OUTOFMEMORY;
    const HRESULT hr = created->QueryInterface(riid, object);
    created->Release();
    return hr;
}

}  // namespace qlora::com
