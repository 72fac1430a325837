#include "win/com_values_win.h"

namespace qlora::com {

HRESULT ReturnString(std::wstring_view text, BSTR* result) noexcept {
    if (!result) return E_POINTER;
    *result = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *result || text.empty() ? S_OK : E_OUTOFMEMORY;
}

Variant ToVariant(Missing) noexcept {
    Variant v;
    v.get()->vt = VT_ERROR;
    v.get()->scode = DISP_E_PARAMNOTFOUND;
    return v;
}

Variant ToVariant(int32_t n) noexcept {
    Variant v;
    v.get()->vt = VT_I4;
    v.get()->lVal = n;
    return v;
}

Variant ToVariant(bool b) noexcept {
    Variant v;
    v.get()->vt = VT_BOOL;
    v.get()->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
    return v;
}

Variant ToVariant(std::wstring_view text) {
    Bstr owned(text);
    Variant v;
    v.get()->vt = VT_BSTR;
    v.get()->bstrVal = owned.release();
    return v;
}

Variant ToVariant(ComPtr<IDispatch> object) noexcept {
    Variant v;
    v.get()->vt = VT_DISPATCH;
    v.get()->pdispVal = object.Detach();
    return v;
}

Variant ToVariant(IDispatch* object) noexcept { return ToVariant(ComPtr<IDispatch>(object)); }

bool IsMissing(const VARIANT& v) noexcept { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

std::wstring ClassName(std::wstring_view typeName) {
    if (typeName.size() > 1 && typeName.front() == L'_') typeName.remove_prefix(1);
    return std::wstring(typeName);
}

std::wstring ClassNameOf(IDispatch* object) {
    UINT count = 0;
    ComPtr<ITypeInfo> info;
    Bstr name;
    if (!object || FAILED(object->GetTypeInfoCount(&count)) || count == 0 ||
        FAILED(object->GetTypeInfo(0, 0, &info)) || !info ||
        FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)))
        return {};
    return ClassName(name.str());
}

void ExcepInfo::FillIn() noexcept {
    if (e_.pfnDeferredFillIn) e_.pfnDeferredFillIn(&e_);
}

void ExcepInfo::Clear() noexcept {
    ::SysFreeString(e_.bstrSource);
    ::SysFreeString(e_.bstrDescription);
    ::SysFreeString(e_.bstrHelpFile);
    e_ = EXCEPINFO{};
}

HRESULT DispIdOf(IDispatch* object, std::wstring_view name, DISPID* id) noexcept {
    if (!object || !id) return E_POINTER;
    wchar_t buffer[256] = {};  // longer than any member name
    if (name.size() >= std::size(buffer)) return DISP_E_UNKNOWNNAME;
    name.copy(buffer, name.size());
    LPOLESTR names[] = {buffer};
    *id = DISPID_UNKNOWN;
    return object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, id);
}

HRESULT InvokeDispId(IDispatch* object, DISPID id, WORD flags, std::span<const Variant> args, VARIANT* result,
                     ExcepInfo* excep, UINT* argErr) noexcept {
    if (!object) return E_POINTER;
    // The callee only reads its arguments: shallow copies, last first, stay owned by `args`.
    VARIANTARG reversed[16];  // more than any member takes
    if (args.size() > std::size(reversed)) return DISP_E_BADPARAMCOUNT;
    for (size_t i = 0; i < args.size(); ++i) reversed[i] = *args[args.size() - 1 - i];
    DISPID named = DISPID_PROPERTYPUT;
    const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
    DISPPARAMS params{reversed, put ? &named : nullptr, static_cast<UINT>(args.size()), put ? 1u : 0u};
    ExcepInfo ignored;
    ExcepInfo& info = excep ? *excep : ignored;
    UINT ignoredArg = 0;
    const HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, info.get(),
                                      argErr ? argErr : &ignoredArg);
    if (hr == DISP_E_EXCEPTION) info.FillIn();
    return hr;
}

HRESULT InvokeByName(IDispatch* object, std::wstring_view name, WORD flags, std::span<const Variant> args,
                     VARIANT* result, ExcepInfo* excep, UINT* argErr) noexcept {
    DISPID id = DISPID_UNKNOWN;
    const HRESULT hr = DispIdOf(object, name, &id);
    return FAILED(hr) ? hr : InvokeDispId(object, id, flags, args, result, excep, argErr);
}

HRESULT GetText(IDispatch* object, std::wstring_view name, std::wstring& text) {
    Variant value;
    HRESULT hr = InvokeByName(object, name, DISPATCH_PROPERTYGET, {}, value.get());
    if (SUCCEEDED(hr)) hr = ::VariantChangeType(value.get(), value.get(), 0, VT_BSTR);
    if (SUCCEEDED(hr)) text = Bstr::ToString((*value).bstrVal);
    return hr;
}

void RaiseEvent(IDispatch* sink, DISPID id, std::span<VARIANT> reversed) noexcept {
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    ExcepInfo excep;
    Variant result;
    UINT argErr = 0;
    sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(), excep.get(), &argErr);
}

}  // namespace qlora::com
