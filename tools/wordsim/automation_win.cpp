#include "automation_win.h"

#include <exception>

namespace wordsim::com {

using qlora::com::Bstr;
using qlora::com::Variant;

namespace {

// Word's own errors travel as FACILITY_CONTROL codes; numbers that are HRESULTs already stay.
SCODE ScodeOf(int32_t number) { return static_cast<SCODE>(qlora::HresultOf(number)); }

void Store(Value value, VARIANT* out) {
    Variant stored = std::visit(
        [](auto&& v) {
            if constexpr (std::is_same_v<std::decay_t<decltype(v)>, std::monostate>) return Variant();
            else return qlora::com::ToVariant(std::move(v));
        },
        std::move(value));
    stored.Detach(out);
}

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

HRESULT ToException(const qlora::ErrorInfo& error, EXCEPINFO* excep) noexcept {
    if (excep) {
        *excep = EXCEPINFO{};
        excep->scode = ScodeOf(error.number);
        // What cannot be allocated stays out: the code still says what failed.
        (void)qlora::com::ReturnString(error.source, &excep->bstrSource);
        (void)qlora::com::ReturnString(error.description, &excep->bstrDescription);
        if (!error.helpFile.empty()) (void)qlora::com::ReturnString(error.helpFile, &excep->bstrHelpFile);
        excep->dwHelpContext = static_cast<DWORD>(error.helpContext);
    }
    return DISP_E_EXCEPTION;
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

}  // namespace wordsim::com
