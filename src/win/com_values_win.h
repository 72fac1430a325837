// Automation's values and late-bound calls, owned: BSTR, VARIANT and EXCEPINFO owners, a value
// made into a VARIANT, an object's class name, and one IDispatch call by name or DISPID. Both
// sides use them: the add-in calling Word, and wordsim and the tests calling the add-in.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <cstdint>
#include <new>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace qlora::com {

using Microsoft::WRL::ComPtr;

// BSTR owner. A text that cannot be allocated is std::bad_alloc, never a silent null; code that
// may not throw copies text out with ReturnString instead.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view text) : b_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
        if (!b_) throw std::bad_alloc();
    }
    Bstr(Bstr&& other) noexcept : b_(std::exchange(other.b_, nullptr)) {}
    Bstr& operator=(Bstr&& other) noexcept {
        if (this != &other) ::SysFreeString(std::exchange(b_, std::exchange(other.b_, nullptr)));
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

// Copies text out through an [out, retval] BSTR*: E_POINTER, E_OUTOFMEMORY or S_OK.
HRESULT ReturnString(std::wstring_view text, BSTR* result) noexcept;

// VARIANT owner.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&v_); }
    Variant(Variant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }
    Variant& operator=(Variant&& other) noexcept {
        if (this != &other) {
            ::VariantClear(&v_);
            v_ = other.v_;
            ::VariantInit(&other.v_);
        }
        return *this;
    }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { ::VariantClear(&v_); }

    VARIANT* get() noexcept { return &v_; }
    const VARIANT& operator*() const noexcept { return v_; }
    VARIANT* put() noexcept {
        ::VariantClear(&v_);
        return &v_;
    }
    // Takes over a value the caller owned.
    static Variant Adopt(const VARIANT& v) noexcept {
        Variant owner;
        owner.v_ = v;
        return owner;
    }
    // Hands the value over to `out`, which the caller has not initialised.
    void Detach(VARIANT* out) noexcept {
        *out = v_;
        ::VariantInit(&v_);
    }

private:
    VARIANT v_;
};

// An omitted optional argument (VT_ERROR DISP_E_PARAMNOTFOUND).
struct Missing {};

Variant ToVariant(Missing) noexcept;
Variant ToVariant(int32_t n) noexcept;
Variant ToVariant(bool b) noexcept;
Variant ToVariant(std::wstring_view text);
inline Variant ToVariant(const wchar_t* text) { return ToVariant(std::wstring_view(text)); }  // not as a bool
Variant ToVariant(IDispatch* object) noexcept;  // a reference of its own
Variant ToVariant(ComPtr<IDispatch> object) noexcept;

// Whether a VARIANT is an omitted optional argument.
bool IsMissing(const VARIANT& v) noexcept;

// The class an object's type name stands for: "_Document" is the class Document.
std::wstring ClassName(std::wstring_view typeName);
// An object's class name from its type information; empty when it gives none.
std::wstring ClassNameOf(IDispatch* object);

// EXCEPINFO owner: what a server describes a failure with, its deferred part filled in.
class ExcepInfo {
public:
    ExcepInfo() noexcept : e_{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() { Clear(); }

    EXCEPINFO* get() noexcept { return &e_; }
    const EXCEPINFO& operator*() const noexcept { return e_; }
    // Runs the server's deferred fill-in, if it left one.
    void FillIn() noexcept;
    std::wstring Source() const { return Bstr::ToString(e_.bstrSource); }
    std::wstring Description() const { return Bstr::ToString(e_.bstrDescription); }

private:
    void Clear() noexcept;
    EXCEPINFO e_;
};

// A member's DISPID by name: the HRESULT of GetIDsOfNames.
HRESULT DispIdOf(IDispatch* object, std::wstring_view name, DISPID* id) noexcept;

// One late-bound call. The arguments come in the caller's order (DISPPARAMS holds them last
// first); a put's value is named DISPID_PROPERTYPUT. On DISP_E_EXCEPTION `excep` holds what the
// server said, filled in.
HRESULT InvokeDispId(IDispatch* object, DISPID id, WORD flags, std::span<const Variant> args = {},
                     VARIANT* result = nullptr, ExcepInfo* excep = nullptr, UINT* argErr = nullptr) noexcept;
HRESULT InvokeByName(IDispatch* object, std::wstring_view name, WORD flags, std::span<const Variant> args = {},
                     VARIANT* result = nullptr, ExcepInfo* excep = nullptr, UINT* argErr = nullptr) noexcept;

// A property read by name as text, converted as Automation converts: the HRESULT of the call or
// of the conversion; `text` is set only on success.
HRESULT GetText(IDispatch* object, std::wstring_view name, std::wstring& text);

// Calls an event in a sink, as a connection point raises it: what the sink makes of it is its own
// business, failures included. `reversed` holds the arguments last first, as DISPPARAMS does.
void RaiseEvent(IDispatch* sink, DISPID id, std::span<VARIANT> reversed = {}) noexcept;

}  // namespace qlora::com
