// COM objects served: reference counting with or without the DLL's object count (DllCanUnloadNow),
// IDispatch served from the add-in's embedded type library, class factories, connection points,
// and Serve, the one idiom that turns a failure into an HRESULT with error information at the COM
// boundary. The values objects pass (BSTR, VARIANT, EXCEPINFO) are com_values_win.h's.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <atomic>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

#include "base/error.h"
#include "base/event_connection.h"
#include "win/com_values_win.h"

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

// A failure at the COM boundary: IErrorInfo set from the error's source and description, and
// the HRESULT for its number (HresultOf). The objects that report through it answer
// ISupportErrorInfo for their interfaces (Dual, ConnectionPoint), so that callers trust it; the
// DLL's registration entry points set it too, for a caller that asks GetErrorInfo.
HRESULT ReportError(const ErrorInfo& error) noexcept;
// The current exception, inside a catch block, as ReportError reports it: a qlora::Error by its
// number, std::bad_alloc as E_OUTOFMEMORY, anything else as E_FAIL or E_UNEXPECTED.
HRESULT CurrentFailure() noexcept;

// Runs a method's body at the COM boundary: a failure becomes an HRESULT with error information,
// never an exception crossing into the caller. The body gives nothing (S_OK) or an HRESULT.
template <class Body>
HRESULT Serve(Body&& body) noexcept {
    try {
        if constexpr (std::is_void_v<std::invoke_result_t<Body>>) {
            std::forward<Body>(body)();
            return S_OK;
        } else {
            return std::forward<Body>(body)();
        }
    } catch (...) {
        return CurrentFailure();
    }
}

// One interface of an object: its IID and the object as that interface. The class templates below
// hand their interfaces to these functions as a list, so that each class adds only the list.
struct Face {
    const IID* iid;
    IUnknown* object;
};
// The object as the interface `riid` names, the first listed one standing for IUnknown too;
// nullptr when none is listed.
void* FindInterface(REFIID riid, std::initializer_list<Face> faces) noexcept;
// IDispatch from the type library over the listed interfaces, in order: a name's DISPID from the
// first interface that knows the names, a call served by the first that knows the DISPID.
HRESULT DispatchIdsOfNames(std::initializer_list<const IID*> iids, LPOLESTR* names, UINT count, DISPID* ids) noexcept;
HRESULT DispatchInvoke(std::initializer_list<Face> faces, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excep, UINT* argErr) noexcept;

// A COM object: reference counting and QueryInterface over the listed interfaces (the first one
// stands for IUnknown) plus what QueryMore adds. It does not hold the DLL (like ATL's NoLock):
// helpers that live only as long as something that does, and objects of programs that are no DLL.
template <class First, class... Rest>
class Unknown : public First, public Rest... {
public:
    Unknown() = default;
    virtual ~Unknown() = default;
    Unknown(const Unknown&) = delete;
    Unknown& operator=(const Unknown&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = FindInterface(riid, {Face{&__uuidof(First), static_cast<First*>(this)},
                                       Face{&__uuidof(Rest), static_cast<Rest*>(this)}...});
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

// A COM object of the DLL: an Unknown with a place in the DLL's object count, so that the DLL is
// not unloaded while a caller holds it.
template <class First, class... Rest>
class ServerObject : public Unknown<First, Rest...> {
public:
    ServerObject() noexcept { ObjectCreated(); }
    ~ServerObject() override { ObjectDestroyed(); }
};

// The add-in's dual objects: IDispatch served from the type library, one listed interface after
// the other by name and DISPID, and the class's own type information (IProvideClassInfo: script
// hosts name the object and find its events by it). Derived names its class with a static Clsid().
template <class Derived, class Default, class... Extra>
class Dual : public ServerObject<Default, Extra..., IProvideClassInfo, ISupportErrorInfo> {
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
        return DispatchIdsOfNames({&__uuidof(Default), &__uuidof(Extra)...}, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        return DispatchInvoke({Face{&__uuidof(Default), static_cast<Default*>(this)},
                               Face{&__uuidof(Extra), static_cast<Extra*>(this)}...},
                              id, flags, params, result, excep, argErr);
    }
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override {
        if (!info) return E_POINTER;
        return TypeInfoOf(Derived::Clsid(), info);
    }
    // Every method serves its failures through Serve, which sets IErrorInfo.
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == __uuidof(Default) || ((riid == __uuidof(Extra)) || ...) ? S_OK : S_FALSE;
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

// The event subscriptions of one object's connection points, by cookie: each advised sink, and
// what `advise` made of it (a subscription elsewhere) until it is unadvised or the object goes.
class Subscriptions {
public:
    using Advise = std::function<EventConnection(const IID& events, ComPtr<IDispatch> sink)>;
    explicit Subscriptions(Advise advise = {}) : advise_(std::move(advise)) {}
    DWORD Add(const IID& events, ComPtr<IDispatch> sink);  // advise's failures are qlora::Error
    bool Remove(DWORD cookie);
    // The sinks now, as a copy: a sink may unadvise while it is called.
    std::vector<ComPtr<IDispatch>> Sinks() const;

private:
    struct Entry {
        ComPtr<IDispatch> sink;
        EventConnection connection;
    };
    Advise advise_;
    std::map<DWORD, Entry> entries_;
    DWORD lastCookie_ = 0;
};

// Which sinks a connection point takes: those that answer for its outgoing interface, or any
// IDispatch (script hosts' sinks answer IDispatch alone).
enum class Sinks { OfTheInterface, AnyDispatch };

// Makes a connection point for one outgoing interface of `container`, over the container's
// subscriptions; it holds the container while a caller holds it. Nothing when memory is out.
ComPtr<IConnectionPoint> MakeConnectionPoint(ComPtr<IConnectionPointContainer> container, const IID& events,
                                             std::shared_ptr<Subscriptions> subscriptions, Sinks sinks);

}  // namespace qlora::com
