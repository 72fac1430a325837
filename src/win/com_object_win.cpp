#include "win/com_object_win.h"

#include <olectl.h>

#include <exception>

#include "base/text.h"

namespace qlora::com {

HRESULT ReportError(const ErrorInfo& error) noexcept {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        create->SetSource(const_cast<LPOLESTR>(error.source.c_str()));
        create->SetDescription(const_cast<LPOLESTR>(error.description.c_str()));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info))) ::SetErrorInfo(0, info.Get());
    }
    return static_cast<HRESULT>(HresultOf(error.number));
}

HRESULT CurrentFailure() noexcept {
    try {
        throw;
    } catch (const Error& e) {
        return ReportError(e.Info());
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        try {
            ReportError({E_FAIL, kProjectName, text::FromUtf8(e.what())});
        } catch (...) {  // no memory left to describe it: the code alone
        }
        return E_FAIL;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

void* FindInterface(REFIID riid, std::initializer_list<Face> faces) noexcept {
    if (riid == IID_IUnknown) return faces.begin()->object;
    for (const Face& face : faces)
        if (riid == *face.iid) return face.object;
    return nullptr;
}

HRESULT DispatchIdsOfNames(std::initializer_list<const IID*> iids, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    HRESULT hr = DISP_E_UNKNOWNNAME;
    for (const IID* iid : iids) {
        ComPtr<ITypeInfo> info;
        if (SUCCEEDED(TypeInfoOf(*iid, &info))) hr = ::DispGetIDsOfNames(info.Get(), names, count, ids);
        if (SUCCEEDED(hr)) break;
    }
    return hr;
}

HRESULT DispatchInvoke(std::initializer_list<Face> faces, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excep, UINT* argErr) noexcept {
    HRESULT hr = DISP_E_MEMBERNOTFOUND;
    for (const Face& face : faces) {
        ComPtr<ITypeInfo> info;
        if (FAILED(TypeInfoOf(*face.iid, &info))) continue;
        hr = ::DispInvoke(face.object, info.Get(), id, flags, params, result, excep, argErr);
        if (hr != DISP_E_MEMBERNOTFOUND) break;
    }
    return hr;
}

DWORD Subscriptions::Add(const IID& events, ComPtr<IDispatch> sink) {
    EventConnection connection = advise_ ? advise_(events, sink) : EventConnection();
    entries_.emplace(++lastCookie_, Entry{std::move(sink), std::move(connection)});
    return lastCookie_;
}

bool Subscriptions::Remove(DWORD cookie) {
    const auto found = entries_.find(cookie);
    if (found == entries_.end()) return false;
    // The subscription ends once the map no longer holds it: ending it releases the sink, which
    // may call back.
    Entry ending = std::move(found->second);
    entries_.erase(found);
    return true;
}

std::vector<ComPtr<IDispatch>> Subscriptions::Sinks() const {
    std::vector<ComPtr<IDispatch>> sinks;
    for (const auto& [cookie, entry] : entries_) sinks.push_back(entry.sink);
    return sinks;
}

namespace {

class ConnectionPoint final : public Unknown<IConnectionPoint, ISupportErrorInfo> {
public:
    ConnectionPoint(ComPtr<IConnectionPointContainer> container, const IID& events,
                    std::shared_ptr<Subscriptions> subscriptions, Sinks sinks)
        : container_(std::move(container)), events_(events), subscriptions_(std::move(subscriptions)), sinks_(sinks) {}

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* events) override {
        if (!events) return E_POINTER;
        *events = events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        return container_.CopyTo(container);
    }
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))) &&
            (sinks_ == Sinks::OfTheInterface || FAILED(sink->QueryInterface(IID_PPV_ARGS(&dispatch)))))
            return CONNECT_E_CANNOTCONNECT;
        return Serve([&] { *cookie = subscriptions_->Add(events_, std::move(dispatch)); });
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return subscriptions_->Remove(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InterfaceSupportsErrorInfo(REFIID riid) override {
        return riid == IID_IConnectionPoint ? S_OK : S_FALSE;
    }

private:
    ComPtr<IConnectionPointContainer> container_;
    IID events_;
    std::shared_ptr<Subscriptions> subscriptions_;
    Sinks sinks_;
};

}  // namespace

ComPtr<IConnectionPoint> MakeConnectionPoint(ComPtr<IConnectionPointContainer> container, const IID& events,
                                             std::shared_ptr<Subscriptions> subscriptions, Sinks sinks) {
    return Adopt<IConnectionPoint>(
        new (std::nothrow) ConnectionPoint(std::move(container), events, std::move(subscriptions), sinks));
}

}  // namespace qlora::com
