#include "automation_win.h"

#include <exception>

namespace wordsim::com {

using qlora::com::Bstr;
using qlora::com::Variant;

namespace {

// Word's own errors travel as FACILITY_CONTROL codes; numbers that are HRESULTs already stay.
SCODE ScodeOf(int32_t number) { return static_cast<SCODE>(qlora::HresultOf(number)); }

void Store(Value value, VARIANT* out) {
    struct Visitor {
        VARIANT* out;
        void operator()(std::monostate) const {}
        void operator()(int32_t n) const {
            out->vt = VT_I4;
            out->lVal = n;
        }
        void operator()(bool b) const {
            out->vt = VT_BOOL;
            out->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        }
        void operator()(std::wstring& s) const {
            Bstr text(s);
            if (!text.get()) throw std::bad_alloc();
            out->vt = VT_BSTR;
            out->bstrVal = text.release();
        }
        void operator()(ComPtr<IDispatch>& d) const {
            out->vt = VT_DISPATCH;
            out->pdispVal = d.Detach();
        }
    };
    ::VariantInit(out);
    std::visit(Visitor{out}, value);
}

// What a sink hands back from an event: freed, as nobody reads it.
struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() {
        ::SysFreeString(bstrSource);
        ::SysFreeString(bstrDescription);
        ::SysFreeString(bstrHelpFile);
    }
};

class ConnectionPoint final : public IConnectionPoint, Counted {
public:
    ConnectionPoint(ComPtr<IConnectionPointContainer> container, const IID& events,
                    std::shared_ptr<Subscriptions> subscriptions, Context context)
        : Counted(std::move(context)),
          container_(std::move(container)),
          events_(events),
          subscriptions_(std::move(subscriptions)) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Answer(object, riid == IID_IUnknown || riid == IID_IConnectionPoint ? static_cast<IConnectionPoint*>(this) : nullptr);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return AddReference(); }
    ULONG STDMETHODCALLTYPE Release() override { return DropReference(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* events) override {
        if (!events) return E_POINTER;
        *events = events_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) override {
        if (!container) return E_POINTER;
        return container_.CopyTo(container);
    }
    // A sink must answer for the outgoing interface, as a connection point requires.
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override {
        if (!sink || !cookie) return E_POINTER;
        *cookie = 0;
        ComPtr<IDispatch> dispatch;
        if (FAILED(sink->QueryInterface(events_, reinterpret_cast<void**>(dispatch.GetAddressOf()))))
            return CONNECT_E_CANNOTCONNECT;
        try {
            *cookie = subscriptions_->Add(events_, std::move(dispatch));
            return S_OK;
        } catch (const qlora::Error& e) {
            return ToHresult(e.Info());
        } catch (const std::exception&) {
            return E_OUTOFMEMORY;
        }
    }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override {
        return subscriptions_->Remove(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
    }
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    ComPtr<IConnectionPointContainer> container_;
    IID events_;
    std::shared_ptr<Subscriptions> subscriptions_;
};

}  // namespace

Args::Args(const DISPPARAMS& params, bool put) {
    // DISPPARAMS holds the arguments last first; a put's value is the named argument, first.
    const UINT count = put ? std::min(params.cArgs, 1u) : params.cArgs;
    for (UINT i = 0; i < count; ++i) {
        const UINT place = put ? 0 : params.cArgs - 1 - i;
        values_.push_back(&params.rgvarg[place]);
        places_.push_back(place);
    }
}

UINT Args::Place(size_t i) const { return i < places_.size() ? places_[i] : 0; }

void Args::Refuse(size_t i) const { throw ArgumentError{DISP_E_TYPEMISMATCH, Place(i)}; }

bool Args::Given(size_t i, Variant& copy) const {
    if (i >= values_.size()) return false;
    // VariantCopyInd only reads its source, whatever its declaration says.
    if (FAILED(::VariantCopyInd(copy.put(), const_cast<VARIANT*>(values_[i])))) Refuse(i);
    return !((*copy).vt == VT_ERROR && (*copy).scode == DISP_E_PARAMNOTFOUND);
}

bool Args::Converted(size_t i, VARTYPE type, Variant& copy) const {
    if (!Given(i, copy)) return false;
    if (FAILED(::VariantChangeType(copy.get(), copy.get(), 0, type))) Refuse(i);
    return true;
}

void Args::Read(size_t i, std::optional<int32_t>& out) const {
    Variant v;
    if (Converted(i, VT_I4, v)) out = (*v).lVal;
}

void Args::Read(size_t i, std::optional<bool>& out) const {
    Variant v;
    if (Converted(i, VT_BOOL, v)) out = (*v).boolVal != VARIANT_FALSE;
}

void Args::Read(size_t i, std::optional<std::wstring>& out) const {
    Variant v;
    if (Converted(i, VT_BSTR, v)) out = Bstr::ToString((*v).bstrVal);
}

std::wstring Args::Name(size_t i) const {
    Variant v;
    if (!Given(i, v)) throw ArgumentError{DISP_E_PARAMNOTOPTIONAL, Place(i)};
    if ((*v).vt != VT_BSTR) Refuse(i);
    return Bstr::ToString((*v).bstrVal);
}

bool Args::IsText(size_t i) const {
    Variant v;
    return Given(i, v) && (*v).vt == VT_BSTR;
}

ComPtr<IDispatch> Args::Object(size_t i) const {
    Variant v;
    if (!Given(i, v) || (*v).vt == VT_EMPTY || (*v).vt == VT_NULL) return nullptr;
    if ((*v).vt != VT_DISPATCH && (*v).vt != VT_UNKNOWN) Refuse(i);
    ComPtr<IDispatch> object;
    if ((*v).punkVal && FAILED((*v).punkVal->QueryInterface(IID_PPV_ARGS(&object)))) Refuse(i);
    return object;
}

std::wstring ShownName(std::wstring_view typeName) {
    if (!typeName.empty() && typeName.front() == L'_') typeName.remove_prefix(1);
    return std::wstring(typeName);
}

HRESULT ToException(const qlora::ErrorInfo& error, EXCEPINFO* excep) noexcept {
    if (excep) {
        *excep = EXCEPINFO{};
        excep->scode = ScodeOf(error.number);
        excep->bstrSource = Bstr(error.source).release();
        excep->bstrDescription = Bstr(error.description).release();
        if (!error.helpFile.empty()) excep->bstrHelpFile = Bstr(error.helpFile).release();
        excep->dwHelpContext = static_cast<DWORD>(error.helpContext);
    }
    return DISP_E_EXCEPTION;
}

HRESULT ToHresult(const qlora::ErrorInfo& error) noexcept {
    ComPtr<ICreateErrorInfo> create;
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        const Bstr source(error.source);
        const Bstr description(error.description);
        create->SetSource(source.get());
        create->SetDescription(description.get());
        if (SUCCEEDED(create.As(&info))) ::SetErrorInfo(0, info.Get());
    }
    return ScodeOf(error.number);
}

HRESULT Guarded(const std::function<Value()>& run, VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept {
    try {
        Value value = run();
        if (result) Store(std::move(value), result);
        return S_OK;
    } catch (const ArgumentError& e) {
        if (argErr) *argErr = e.place;
        return e.hr;
    } catch (const qlora::Error& e) {
        return ToException(e.Info(), excep);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const std::exception& e) {
        return ToException({E_UNEXPECTED, L"wordsim", qlora::text::FromUtf8(e.what())}, excep);
    } catch (...) {
        return ToException({E_UNEXPECTED, L"wordsim", L"unexpected failure"}, excep);
    }
}

void RaiseEvent(IDispatch* sink, DISPID id, std::span<VARIANT> reversed) noexcept {
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ExcepInfo excep;
    Variant result;
    UINT argErr = 0;
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), &excep, &argErr);
}

DWORD Subscriptions::Add(const IID& events, ComPtr<IDispatch> sink) {
    auto connection = advise_(events, std::move(sink));
    connections_.emplace(++lastCookie_, std::move(connection));
    return lastCookie_;
}

bool Subscriptions::Remove(DWORD cookie) {
    const auto found = connections_.find(cookie);
    if (found == connections_.end()) return false;
    // The subscription ends once the map no longer holds it: ending it releases the sink, which
    // may call back.
    auto connection = std::move(found->second);
    connections_.erase(found);
    return true;
}

ComPtr<IConnectionPoint> MakeConnectionPoint(ComPtr<IConnectionPointContainer> container, const IID& events,
                                             std::shared_ptr<Subscriptions> subscriptions, Context context) {
    return Adopt<IConnectionPoint>(
        new (std::nothrow) ConnectionPoint(std::move(container), events, std::move(subscriptions), std::move(context)));
}

}  // namespace wordsim::com
