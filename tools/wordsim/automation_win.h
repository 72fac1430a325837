// Automation objects over declarative member tables: what gives the Word model its COM face.
// One object type is a type name, its members (name -> DISPID -> get, put or method -> handler)
// and the outgoing interfaces it raises through connection points. A handler works on the
// object's target (a port object of the model); a qlora::Error it throws reaches the caller as
// DISP_E_EXCEPTION with Word's number (0x800A0000 | number), source and description.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <new>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "com_calls.h"
#include "win/com_object_win.h"
#include "word/word_host.h"
#include "word/word_members.h"
#include "word_model.h"

namespace wordsim::com {

using Microsoft::WRL::ComPtr;

using qlora::com::Adopt;
using qlora::com::RaiseEvent;

// What all objects of one face share.
struct FaceState {
    std::weak_ptr<Word> word;  // for what the port does not reach (Options)
    ComCalls calls;
    long liveObjects = 0;  // objects and type information alive now (a connection point holds its object)
};
using Context = std::shared_ptr<FaceState>;

// What a member gives back; an empty pointer is Nothing.
using Value = std::variant<std::monostate, int32_t, bool, std::wstring, ComPtr<IDispatch>>;

// A call Invoke refuses before or while reading its arguments: the HRESULT it returns and, for
// one argument, that argument's place in rgvarg.
struct ArgumentError {
    HRESULT hr;
    UINT place;
};

// The arguments of one call in the caller's order (a put: the value alone). Omitted optional
// arguments (VT_ERROR DISP_E_PARAMNOTFOUND) read as nothing; a value of another type is converted
// as Automation converts, or fails with DISP_E_TYPEMISMATCH.
class Args {
public:
    Args(const DISPPARAMS& params, bool put);

    void Read(size_t i, std::optional<int32_t>& out) const;
    void Read(size_t i, std::optional<bool>& out) const;
    void Read(size_t i, std::optional<std::wstring>& out) const;

    std::optional<int32_t> OptLong(size_t i) const { return Optional<int32_t>(i); }
    std::optional<bool> OptBool(size_t i) const { return Optional<bool>(i); }
    std::optional<std::wstring> OptText(size_t i) const { return Optional<std::wstring>(i); }
    int32_t Long(size_t i) const { return Required<int32_t>(i); }
    bool Bool(size_t i) const { return Required<bool>(i); }
    std::wstring Text(size_t i) const { return Required<std::wstring>(i); }
    // A required text that must be given as text: bars and controls are found by name only.
    std::wstring Name(size_t i) const;
    // Whether the argument is given as text (by value or by reference), as an index-or-name is read.
    bool IsText(size_t i) const;
    // An object argument; nullptr when omitted or Nothing.
    ComPtr<IDispatch> Object(size_t i) const;
    // Fails with DISP_E_TYPEMISMATCH for the argument: given, but not what the member can take.
    [[noreturn]] void Refuse(size_t i) const;

private:
    template <class T>
    std::optional<T> Optional(size_t i) const {
        std::optional<T> value;
        Read(i, value);
        return value;
    }
    template <class T>
    T Required(size_t i) const {
        auto value = Optional<T>(i);
        if (!value) throw ArgumentError{DISP_E_PARAMNOTOPTIONAL, Place(i)};
        return *std::move(value);
    }
    // The argument by value (references followed), or false when it is omitted.
    bool Given(size_t i, qlora::com::Variant& copy) const;
    bool Converted(size_t i, VARTYPE type, qlora::com::Variant& copy) const;
    UINT Place(size_t i) const;

    std::vector<const VARIANT*> values_;
    std::vector<UINT> places_;
};

// What a handler gets besides its target.
struct Request {
    const Args& args;
    const Context& context;
};

using qlora::word::Kind;

// A member of Word's table (word/word_members.h) as the face serves it: its DISPID and handler.
template <class Target>
struct Member {
    consteval Member(std::wstring_view object, std::wstring_view name, DISPID id, Kind kind,
                     Value (*run)(Target& target, const Request& call))
        : name(name), kind(kind), arguments(qlora::word::MemberOf(object, name, kind).arguments), object(object),
          id(id), run(run) {}

    std::wstring_view name;
    Kind kind;
    UINT arguments;  // a method's most positional arguments; a get takes none, a put its value
    std::wstring_view object;
    DISPID id;
    Value (*run)(Target& target, const Request& call);
};

template <class Target>
struct Automation {
    std::wstring_view typeName;  // as the type information names it ("_Document")
    std::span<const Member<Target>> members;
    std::span<const Member<Target>> more = {};  // a second table: what a button adds to every control
    std::span<const IID> events = {};           // outgoing interfaces, one connection point each
    qlora::EventConnection (*advise)(Target& target, const IID& events, ComPtr<IDispatch> sink,
                                     const Context& context) = nullptr;
};

// True when no DISPID of a table stands for two names: GetIDsOfNames would hand a caller the id
// of another member (a property get and its put share one).
template <class Target>
constexpr bool OneNamePerId(std::span<const Member<Target>> members) {
    for (const auto& a : members)
        for (const auto& b : members)
            if (a.id == b.id && a.name != b.name) return false;
    return true;
}

// True when each table of a type serves every member Word's table (word/word_members.h) declares
// for the table's object, and no DISPID stands for two names.
template <class Target>
constexpr bool Complete(const Automation<Target>& type) {
    for (const auto table : {type.members, type.more}) {
        if (table.empty()) continue;
        for (const auto& declared : qlora::word::kMembers) {
            if (declared.object != table.front().object) continue;
            bool served = false;
            for (const auto& m : table) served = served || (m.name == declared.name && m.kind == declared.kind);
            if (!served) return false;
        }
    }
    return OneNamePerId(type.members);
}

// A failure as Automation reports it.
HRESULT ToException(const qlora::ErrorInfo& error, EXCEPINFO* excep) noexcept;
// Runs a member: a failure becomes DISP_E_EXCEPTION (or the argument's HRESULT), never a throw.
HRESULT Guarded(const std::function<Value()>& run, VARIANT* result, EXCEPINFO* excep, UINT* argErr) noexcept;

// An object's place in the face's count of live objects, for as long as the object lives.
class LiveCount {
public:
    explicit LiveCount(Context context) : context_(std::move(context)) { ++context_->liveObjects; }
    LiveCount(const LiveCount&) = delete;
    LiveCount& operator=(const LiveCount&) = delete;
    ~LiveCount() { --context_->liveObjects; }
    const Context& context() const noexcept { return context_; }

private:
    Context context_;
};

// The interface by which the face finds its own objects among those a caller passes in.
class FaceObject : public IDispatch {
public:
    // The model's port object behind this object; nullptr when it stands for none.
    virtual std::shared_ptr<qlora::word::Object> Port() const = 0;
};

}  // namespace wordsim::com

__CRT_UUID_DECL(wordsim::com::FaceObject, 0x5d0c7a3e, 0x41b9, 0x4f6a, 0x9e, 0x21, 0x7c, 0x3d, 0x18, 0xa2, 0x6b, 0x90)

namespace wordsim::com {

// The port object behind one of the face's objects, or nullptr for any other object.
template <class Port>
std::shared_ptr<Port> PortOf(IUnknown* object) {
    ComPtr<FaceObject> face;
    if (!object || FAILED(object->QueryInterface(IID_PPV_ARGS(&face))))
        return nullptr;
    return std::dynamic_pointer_cast<Port>(face->Port());
}

template <class Target>
const Member<Target>* FindMember(const Automation<Target>& type, const auto& match) {
    for (const auto table : {type.members, type.more})
        for (const auto& member : table)
            if (match(member)) return &member;
    return nullptr;
}

// Whether a call with these invoke flags reaches a member of this kind, as Word's type information
// decides: a property get needs DISPATCH_PROPERTYGET, a method DISPATCH_METHOD (late-bound
// callers pass both), a put DISPATCH_PROPERTYPUT. Anything else is DISP_E_MEMBERNOTFOUND.
inline bool Invokable(Kind kind, WORD flags) {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return kind == Kind::Put;
    if (kind == Kind::Get) return (flags & DISPATCH_PROPERTYGET) != 0;
    return kind == Kind::Method && (flags & DISPATCH_METHOD) != 0;
}

template <class Target>
HRESULT IdsOfNames(const Automation<Target>& type, LPOLESTR* names, UINT count, DISPID* ids) noexcept {
    if (!names || !ids) return E_POINTER;
    if (count == 0) return S_OK;
    std::fill(ids, ids + count, DISPID_UNKNOWN);
    const std::wstring_view name = names[0] ? names[0] : L"";
    const auto* member = FindMember(type, [name](const auto& m) { return qlora::text::EqualsNoCase(m.name, name); });
    if (!member) return DISP_E_UNKNOWNNAME;
    ids[0] = member->id;
    return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;  // members have no named parameters
}

// The type information of an object type: its name and its members' names, which is what
// late-bound callers ask of it.
template <class Target>
class TypeInfo final : public qlora::com::Unknown<ITypeInfo> {
public:
    TypeInfo(const Automation<Target>& type, Context context) : live_(std::move(context)), type_(type) {}

    HRESULT STDMETHODCALLTYPE GetDocumentation(MEMBERID id, BSTR* name, BSTR* doc, DWORD* helpContext,
                                               BSTR* helpFile) override {
        std::wstring_view text = type_.typeName;
        if (id != MEMBERID_NIL) {
            const auto* member = FindMember(type_, [id](const auto& m) { return m.id == id; });
            if (!member) return TYPE_E_ELEMENTNOTFOUND;
            text = member->name;
        }
        if (name && FAILED(qlora::com::ReturnString(text, name))) return E_OUTOFMEMORY;
        if (doc) *doc = nullptr;
        if (helpContext) *helpContext = 0;
        if (helpFile) *helpFile = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(LPOLESTR* names, UINT count, MEMBERID* ids) override {
        return IdsOfNames(type_, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE GetNames(MEMBERID id, BSTR* names, UINT most, UINT* count) override {
        if (!names || !count) return E_POINTER;
        *count = 0;
        const auto* member = FindMember(type_, [id](const auto& m) { return m.id == id; });
        if (!member) return TYPE_E_ELEMENTNOTFOUND;
        if (most == 0) return S_OK;
        if (FAILED(qlora::com::ReturnString(member->name, &names[0]))) return E_OUTOFMEMORY;
        *count = 1;
        return S_OK;
    }

    // Descriptions of functions and variables, binding and instances: callers by name need none.
    HRESULT STDMETHODCALLTYPE GetTypeAttr(TYPEATTR**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
    void STDMETHODCALLTYPE ReleaseTypeAttr(TYPEATTR*) override {}
    void STDMETHODCALLTYPE ReleaseFuncDesc(FUNCDESC*) override {}
    void STDMETHODCALLTYPE ReleaseVarDesc(VARDESC*) override {}

private:
    LiveCount live_;
    const Automation<Target>& type_;
};

// One automation object: a target and its type's members; a connection point container when the
// type raises events.
template <class Target>
class AutomationObject final : public qlora::com::Unknown<FaceObject>, public IConnectionPointContainer {
public:
    AutomationObject(const Automation<Target>& type, std::shared_ptr<Target> target, Context context)
        : live_(std::move(context)), context_(live_.context()), type_(type), target_(std::move(target)) {
        if (type_.advise)
            subscriptions_ = std::make_shared<qlora::com::Subscriptions>(
                [advise = type_.advise, target = target_, context = context_](const IID& events, ComPtr<IDispatch> sink) {
                    return advise(*target, events, std::move(sink), context);
                });
    }

    // IConnectionPointContainer's IUnknown is the object's own.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        return Unknown::QueryInterface(riid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return Unknown::AddRef(); }
    ULONG STDMETHODCALLTYPE Release() override { return Unknown::Release(); }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
        if (!info) return E_POINTER;
        *info = nullptr;
        if (index != 0) return DISP_E_BADINDEX;
        *info = new (std::nothrow) TypeInfo<Target>(type_, context_);
        return *info ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        ++context_->calls.nameLookups;
        return IdsOfNames(type_, names, count, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* excep, UINT* argErr) override {
        ++context_->calls.invokes;
        if (riid != IID_NULL) return DISP_E_UNKNOWNINTERFACE;
        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        const auto* member = FindMember(type_, [&](const auto& m) { return m.id == id && Invokable(m.kind, flags); });
        if (!member) return DISP_E_MEMBERNOTFOUND;
        const DISPPARAMS none{};
        const DISPPARAMS& given = params ? *params : none;
        if ((given.cArgs > 0 && !given.rgvarg) || (given.cNamedArgs > 0 && !given.rgdispidNamedArgs)) return E_INVALIDARG;
        return Guarded(
            [&] {
                ++context_->calls.invokesByMember[qlora::com::ClassName(type_.typeName) + L"." + std::wstring(member->name)];
                if (put && !(given.cNamedArgs == 1 && given.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT))
                    throw ArgumentError{DISP_E_PARAMNOTOPTIONAL, 0};
                if (!put && given.cNamedArgs != 0) throw ArgumentError{DISP_E_NONAMEDARGS, 0};
                if (given.cArgs > (put ? 1u : member->arguments)) throw ArgumentError{DISP_E_BADPARAMCOUNT, 0};
                const Args args(given, put);
                return member->run(*target_, Request{args, context_});
            },
            result, excep, argErr);
    }

    std::shared_ptr<qlora::word::Object> Port() const override {
        if constexpr (std::is_base_of_v<qlora::word::Object, Target>) return target_;
        else return nullptr;
    }

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** point) override {
        if (!point) return E_POINTER;
        *point = nullptr;
        for (const IID& events : type_.events)
            if (riid == events) {
                *point = qlora::com::MakeConnectionPoint(this, events, subscriptions_,
                                                         qlora::com::Sinks::OfTheInterface)
                             .Detach();
                return *point ? S_OK : E_OUTOFMEMORY;
            }
        return CONNECT_E_NOCONNECTION;
    }

protected:
    void* QueryMore(REFIID riid) noexcept override {
        if (riid == IID_IDispatch) return static_cast<FaceObject*>(this);
        return riid == IID_IConnectionPointContainer && subscriptions_ ? static_cast<IConnectionPointContainer*>(this)
                                                                        : nullptr;
    }

private:
    LiveCount live_;
    const Context& context_;
    const Automation<Target>& type_;
    std::shared_ptr<Target> target_;
    std::shared_ptr<qlora::com::Subscriptions> subscriptions_;
};

// The face's object for a target; Nothing for none.
template <class Target>
ComPtr<IDispatch> MakeObject(const Automation<Target>& type, std::shared_ptr<Target> target, const Context& context) {
    if (!target) return nullptr;
    return Adopt<IDispatch>(new AutomationObject<Target>(type, std::move(target), context));
}

}  // namespace wordsim::com
