#include "word/word_dispatch_win.h"

#include <windows.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <initializer_list>
#include <map>
#include <variant>
#include <vector>

#include "base/error.h"
#include "win/com_object_win.h"
#include "win/win32_win.h"

namespace qlora::word {
namespace {

using Microsoft::WRL::ComPtr;
using com::Bstr;
using com::Variant;

// Word's and Office's outgoing interfaces the add-in listens to.
constexpr IID kApplicationEvents2 = {0x000209FE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr IID kCommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr DISPID kDocumentChange = 3;
constexpr DISPID kClick = 1;

std::atomic<long> gNameLookups{0};

// Office's CommandBarButton and CommandBarPopup derive from CommandBarControl: what they inherit
// has the base's DISPID, so one lookup serves every kind of control.
std::wstring_view IdScope(std::wstring_view typeName, std::wstring_view member) {
    constexpr std::wstring_view kControls[] = {L"CommandBarButton", L"CommandBarPopup", L"CommandBarComboBox"};
    constexpr std::wstring_view kInherited[] = {L"Caption", L"Parameter", L"TooltipText", L"Tag",
                                                L"Enabled", L"Visible",   L"Move",        L"Delete"};
    const auto in = [](const auto& list, std::wstring_view name) {
        return std::find(std::begin(list), std::end(list), name) != std::end(list);
    };
    return in(kControls, typeName) && in(kInherited, member) ? L"CommandBarControl" : typeName;
}

[[noreturn]] void ThrowObjectRequired() {
    throw Error(errnum::ObjectRequired, kProjectName, L"Object required");
}

// An argument of a late-bound call; Missing is an omitted optional argument.
struct Missing {};
using Arg = std::variant<Missing, int32_t, bool, std::wstring, IDispatch*>;

void ToVariant(const Arg& arg, VARIANT* v) {
    struct Visitor {
        VARIANT* v;
        void operator()(Missing) const {
            v->vt = VT_ERROR;
            v->scode = DISP_E_PARAMNOTFOUND;
        }
        void operator()(int32_t n) const {
            v->vt = VT_I4;
            v->lVal = n;
        }
        void operator()(bool b) const {
            v->vt = VT_BOOL;
            v->boolVal = b ? VARIANT_TRUE : VARIANT_FALSE;
        }
        void operator()(const std::wstring& s) const {
            v->vt = VT_BSTR;
            v->bstrVal = Bstr(s).release();
        }
        void operator()(IDispatch* d) const {
            v->vt = VT_DISPATCH;
            v->pdispVal = d;
            if (d) d->AddRef();
        }
    };
    std::visit(Visitor{v}, arg);
}

// One late-bound object: names resolved once per object type, failures turned into errors
// carrying Word's number, source and description.
class Disp {
public:
    explicit Disp(ComPtr<IDispatch> d) : d_(std::move(d)) {
        if (!d_) ThrowObjectRequired();
        typeName_ = ReadTypeName();
    }

    IDispatch* get() const noexcept { return d_.Get(); }
    const std::wstring& TypeName() const noexcept { return typeName_; }

    void Get(std::wstring_view member, VARIANT* result, std::initializer_list<Arg> args = {}) const {
        Invoke(member, DISPATCH_PROPERTYGET | DISPATCH_METHOD, args, result);
    }
    void Call(std::wstring_view member, std::initializer_list<Arg> args = {}, VARIANT* result = nullptr) const {
        Invoke(member, DISPATCH_METHOD, args, result);
    }
    void Put(std::wstring_view member, const Arg& value) const {
        Invoke(member, DISPATCH_PROPERTYPUT, {value}, nullptr);
    }

    std::wstring GetString(std::wstring_view member) const {
        Variant v;
        Get(member, v.get());
        if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_BSTR))) Mismatch(member);
        return Bstr::ToString((*v).bstrVal);
    }
    int32_t GetLong(std::wstring_view member) const {
        Variant v;
        Get(member, v.get());
        if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_I4))) Mismatch(member);
        return (*v).lVal;
    }
    bool GetBool(std::wstring_view member) const {
        Variant v;
        Get(member, v.get());
        if (FAILED(::VariantChangeType(v.get(), v.get(), 0, VT_BOOL))) Mismatch(member);
        return (*v).boolVal != VARIANT_FALSE;
    }
    // An object property or method result; nullptr when Word returns none.
    ComPtr<IDispatch> GetObject(std::wstring_view member, std::initializer_list<Arg> args = {}) const {
        Variant v;
        Get(member, v.get(), args);
        return ObjectOf(*v, member);
    }
    ComPtr<IDispatch> CallObject(std::wstring_view member, std::initializer_list<Arg> args) const {
        Variant v;
        Call(member, args, v.get());
        return ObjectOf(*v, member);
    }

private:
    std::wstring ReadTypeName() const {
        UINT count = 0;
        ComPtr<ITypeInfo> info;
        Bstr name;
        if (FAILED(d_->GetTypeInfoCount(&count)) || count == 0 || FAILED(d_->GetTypeInfo(0, 0, &info)) ||
            FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)))
            return {};
        std::wstring text = name.str();
        // An object's default interface is "_Name" for the class "Name".
        if (text.size() > 1 && text[0] == L'_') text.erase(0, 1);
        return text;
    }

    DISPID IdOf(std::wstring_view member) const {
        // Ids are the same for every object of a type: look each name up once per type.
        static std::map<std::wstring, DISPID> cache;
        const std::wstring key = std::wstring(IdScope(typeName_, member)) + L"." + std::wstring(member);
        if (!typeName_.empty())
            if (const auto it = cache.find(key); it != cache.end()) return it->second;
        std::wstring name(member);
        LPOLESTR names[] = {name.data()};
        DISPID id = DISPID_UNKNOWN;
        ++gNameLookups;
        if (FAILED(d_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
            throw Error(errnum::NotSupported, kProjectName, L"Object doesn't support this property or method: " + key);
        if (!typeName_.empty()) cache.emplace(key, id);
        return id;
    }

    void Invoke(std::wstring_view member, WORD flags, std::initializer_list<Arg> args, VARIANT* result) const {
        const DISPID id = IdOf(member);
        // Trailing omitted arguments are left out; omitted ones in the middle stay as placeholders.
        std::vector<Arg> given(args);
        while (!given.empty() && std::holds_alternative<Missing>(given.back())) given.pop_back();
        std::vector<VARIANT> values(given.size());
        for (size_t i = 0; i < given.size(); ++i) {
            ::VariantInit(&values[i]);
            ToVariant(given[given.size() - 1 - i], &values[i]);  // DISPPARAMS holds them in reverse
        }
        DISPID named = DISPID_PROPERTYPUT;
        DISPPARAMS params{values.data(), nullptr, static_cast<UINT>(values.size()), 0};
        if (flags == DISPATCH_PROPERTYPUT) {
            params.rgdispidNamedArgs = &named;
            params.cNamedArgs = 1;
        }
        EXCEPINFO excep{};
        UINT argError = 0;
        const HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &excep, &argError);
        for (auto& v : values) ::VariantClear(&v);
        if (hr == DISP_E_EXCEPTION) ThrowException(excep, hr);
        win::ThrowIfFailed(hr, typeName_ + L"." + std::wstring(member));
    }

    [[noreturn]] static void ThrowException(EXCEPINFO& excep, HRESULT callResult) {
        if (excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
        const Bstr description(Bstr::ToString(excep.bstrDescription));
        const Bstr source(Bstr::ToString(excep.bstrSource));
        ::SysFreeString(excep.bstrDescription);
        ::SysFreeString(excep.bstrSource);
        ::SysFreeString(excep.bstrHelpFile);
        int32_t number = excep.scode ? static_cast<int32_t>(excep.scode) : excep.wCode;
        // Word's own errors come as FACILITY_CONTROL codes: shown by their number, as in Word.
        if ((static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u) number &= 0xFFFF;
        // A server that names no code (or a deferred fill-in that leaves none) still failed.
        if (number == 0) number = static_cast<int32_t>(callResult);
        throw Error(ErrorInfo{number, source.str(), description.str(), {}, static_cast<int32_t>(excep.dwHelpContext)});
    }

    [[noreturn]] void Mismatch(std::wstring_view member) const {
        throw Error(13, kProjectName, L"Type mismatch: " + typeName_ + L"." + std::wstring(member));
    }

    ComPtr<IDispatch> ObjectOf(const VARIANT& v, std::wstring_view member) const {
        if (v.vt == VT_EMPTY || v.vt == VT_NULL) return nullptr;
        if ((v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) && !v.punkVal) return nullptr;
        ComPtr<IDispatch> d;
        if ((v.vt != VT_DISPATCH && v.vt != VT_UNKNOWN) || FAILED(v.punkVal->QueryInterface(IID_PPV_ARGS(&d))))
            Mismatch(member);
        return d;
    }

    ComPtr<IDispatch> d_;
    std::wstring typeName_;
};

// An event sink: an IDispatch that answers for one outgoing interface and hands each call on.
class EventSink final : public com::Unknown<IDispatch> {
public:
    using Handler = std::function<void(DISPID, DISPPARAMS*)>;

    EventSink(const IID& iid, Handler handler) : iid_(iid), handler_(std::move(handler)) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (count) *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        // The handlers report their own failures; nothing may travel back into Word.
        try {
            handler_(id, params);
        } catch (...) {
        }
        return S_OK;
    }

protected:
    // The outgoing interface the sink stands for.
    void* QueryMore(REFIID riid) noexcept override { return riid == iid_ ? static_cast<IDispatch*>(this) : nullptr; }

private:
    IID iid_;
    Handler handler_;
};

EventConnection Advise(IDispatch* source, const IID& iid, EventSink::Handler handler) {
    ComPtr<IConnectionPointContainer> container;
    ComPtr<IConnectionPoint> point;
    win::ThrowIfFailed(source->QueryInterface(IID_PPV_ARGS(&container)), L"IConnectionPointContainer");
    win::ThrowIfFailed(container->FindConnectionPoint(iid, &point), L"FindConnectionPoint");
    const auto sink = com::Adopt(new EventSink(iid, std::move(handler)));
    DWORD cookie = 0;
    win::ThrowIfFailed(point->Advise(sink.Get(), &cookie), L"IConnectionPoint.Advise");
    return EventConnection([point, cookie] { point->Unadvise(cookie); });
}

// Lets a port object made here give back the IDispatch it stands for.
class DispatchHolder {
public:
    virtual ~DispatchHolder() = default;
    virtual IDispatch* Raw() const noexcept = 0;
};

// What every port object made here shares: its IDispatch and type name.
template <class Port>
class Dispatched : public Port, public DispatchHolder {
public:
    explicit Dispatched(ComPtr<IDispatch> d) : disp_(std::move(d)) {}
    std::wstring TypeName() const override { return disp_.TypeName(); }
    IDispatch* Raw() const noexcept override { return disp_.get(); }

protected:
    Disp disp_;
};

// Wraps an object, or gives nullptr when Word gave none.
template <class T>
std::shared_ptr<T> Wrap(ComPtr<IDispatch> d) {
    return d ? std::make_shared<T>(std::move(d)) : nullptr;
}

class RangeImpl final : public Dispatched<Range> {
public:
    using Dispatched::Dispatched;
    int32_t Start() override { return disp_.GetLong(L"Start"); }
    int32_t End() override { return disp_.GetLong(L"End"); }
    std::wstring Text() override { return disp_.GetString(L"Text"); }
    void Select() override { disp_.Call(L"Select"); }
};

class BookmarkImpl final : public Dispatched<Bookmark> {
public:
    using Dispatched::Dispatched;
    std::wstring Name() override { return disp_.GetString(L"Name"); }
    int32_t Start() override { return disp_.GetLong(L"Start"); }
    int32_t End() override { return disp_.GetLong(L"End"); }
    void Delete() override { disp_.Call(L"Delete"); }
};

IDispatch* RequireDispatch(const Object* object) {
    IDispatch* d = object ? DispatchOf(*object) : nullptr;
    if (!d) ThrowObjectRequired();
    return d;
}

class BookmarksImpl final : public Dispatched<Bookmarks> {
public:
    using Dispatched::Dispatched;
    int32_t Count() override { return disp_.GetLong(L"Count"); }
    std::shared_ptr<Bookmark> Item(int32_t index) override {
        return Wrap<BookmarkImpl>(disp_.GetObject(L"Item", {index}));
    }
    std::shared_ptr<Bookmark> Item(const std::wstring& name) override {
        return Wrap<BookmarkImpl>(disp_.GetObject(L"Item", {name}));
    }
    bool Exists(const std::wstring& name) override {
        Variant v;
        disp_.Call(L"Exists", {name}, v.get());
        ::VariantChangeType(v.get(), v.get(), 0, VT_BOOL);
        return (*v).vt == VT_BOOL && (*v).boolVal != VARIANT_FALSE;
    }
    std::shared_ptr<Bookmark> Add(const std::wstring& name, const std::shared_ptr<Range>& range) override {
        return Wrap<BookmarkImpl>(disp_.CallObject(L"Add", {name, RequireDispatch(range.get())}));
    }
};

class VariableImpl final : public Dispatched<Variable> {
public:
    using Dispatched::Dispatched;
    std::wstring Value() override { return disp_.GetString(L"Value"); }
    void SetValue(const std::wstring& value) override { disp_.Put(L"Value", value); }
    void Delete() override { disp_.Call(L"Delete"); }
};

class VariablesImpl final : public Dispatched<Variables> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<Variable> Item(const std::wstring& name) override {
        return Wrap<VariableImpl>(disp_.GetObject(L"Item", {name}));
    }
    std::shared_ptr<Variable> Add(const std::wstring& name, const std::wstring& value) override {
        return Wrap<VariableImpl>(disp_.CallObject(L"Add", {name, value}));
    }
};

Arg Optional(const std::optional<std::wstring>& v) { return v ? Arg(*v) : Arg(Missing{}); }
Arg Optional(const std::optional<int32_t>& v) { return v ? Arg(*v) : Arg(Missing{}); }
Arg Optional(const std::optional<bool>& v) { return v ? Arg(*v) : Arg(Missing{}); }

class DocumentImpl final : public Dispatched<Document> {
public:
    using Dispatched::Dispatched;
    std::wstring Name() override { return disp_.GetString(L"Name"); }
    std::wstring Path() override { return disp_.GetString(L"Path"); }
    std::wstring FullName() override { return disp_.GetString(L"FullName"); }
    std::shared_ptr<word::Bookmarks> Bookmarks() override {
        return Wrap<BookmarksImpl>(disp_.GetObject(L"Bookmarks"));
    }
    std::shared_ptr<word::Variables> Variables() override {
        return Wrap<VariablesImpl>(disp_.GetObject(L"Variables"));
    }
    std::shared_ptr<word::Range> Content() override { return Wrap<RangeImpl>(disp_.GetObject(L"Content")); }
    std::shared_ptr<word::Range> Range(int32_t start, int32_t end) override {
        return Wrap<RangeImpl>(disp_.CallObject(L"Range", {start, end}));
    }
    void SaveAs(const SaveAsArgs& a) override {
        disp_.Call(L"SaveAs", {Optional(a.FileName), Optional(a.FileFormat), Optional(a.LockComments),
                               Optional(a.Password), Optional(a.AddToRecentFiles), Optional(a.WritePassword),
                               Optional(a.ReadOnlyRecommended), Optional(a.EmbedTrueTypeFonts),
                               Optional(a.SaveNativePictureFormat), Optional(a.SaveFormsData),
                               Optional(a.SaveAsAOCELetter)});
    }
    void Close(std::optional<bool> SaveChanges) override { disp_.Call(L"Close", {Optional(SaveChanges)}); }
};

class DocumentsImpl final : public Dispatched<Documents> {
public:
    using Dispatched::Dispatched;
    int32_t Count() override { return disp_.GetLong(L"Count"); }
};

class SelectionImpl final : public Dispatched<Selection> {
public:
    using Dispatched::Dispatched;
    int32_t Start() override { return disp_.GetLong(L"Start"); }
    std::shared_ptr<word::Range> Range() override { return Wrap<RangeImpl>(disp_.GetObject(L"Range")); }
    void TypeText(const std::wstring& text) override { disp_.Call(L"TypeText", {text}); }
    void SetRange(int32_t start, int32_t end) override { disp_.Call(L"SetRange", {start, end}); }
};

class ViewImpl final : public Dispatched<View> {
public:
    using Dispatched::Dispatched;
    bool ShowBookmarks() override { return disp_.GetBool(L"ShowBookmarks"); }
    void SetShowBookmarks(bool show) override { disp_.Put(L"ShowBookmarks", show); }
};

class WindowImpl final : public Dispatched<Window> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<word::View> View() override { return Wrap<ViewImpl>(disp_.GetObject(L"View")); }
};

class TemplateImpl final : public Dispatched<Template> {
public:
    using Dispatched::Dispatched;
    bool Saved() override { return disp_.GetBool(L"Saved"); }
    void SetSaved(bool saved) override { disp_.Put(L"Saved", saved); }
};

std::shared_ptr<CommandBarControl> WrapControl(ComPtr<IDispatch> d);

// The members every kind of control has.
template <class Port>
class ControlImpl : public Dispatched<Port> {
public:
    using Dispatched<Port>::Dispatched;
    std::wstring Caption() override { return this->disp_.GetString(L"Caption"); }
    void SetCaption(const std::wstring& v) override { this->disp_.Put(L"Caption", v); }
    std::wstring Parameter() override { return this->disp_.GetString(L"Parameter"); }
    void SetParameter(const std::wstring& v) override { this->disp_.Put(L"Parameter", v); }
    void SetTooltipText(const std::wstring& v) override { this->disp_.Put(L"TooltipText", v); }
    void SetTag(const std::wstring& v) override { this->disp_.Put(L"Tag", v); }
    void SetEnabled(bool v) override { this->disp_.Put(L"Enabled", v); }
    void SetVisible(bool v) override { this->disp_.Put(L"Visible", v); }
    void Move(std::optional<int32_t> before) override { this->disp_.Call(L"Move", {Missing{}, Optional(before)}); }
    void Delete() override { this->disp_.Call(L"Delete"); }
};

class ControlsImpl final : public Dispatched<CommandBarControls> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<CommandBarControl> Item(const std::wstring& caption) override {
        return WrapControl(disp_.GetObject(L"Item", {caption}));
    }
    std::shared_ptr<CommandBarControl> Add(int32_t type, bool temporary) override {
        return WrapControl(disp_.CallObject(L"Add", {type, Missing{}, Missing{}, Missing{}, temporary}));
    }
};

class PlainControlImpl final : public ControlImpl<CommandBarControl> {
public:
    using ControlImpl::ControlImpl;
};

class ButtonImpl final : public ControlImpl<CommandBarButton> {
public:
    using ControlImpl::ControlImpl;
    void SetStyle(int32_t style) override { disp_.Put(L"Style", style); }
    void SetFaceId(int32_t faceId) override { disp_.Put(L"FaceId", faceId); }
    EventConnection AdviseClick(ClickHandler handler) override {
        return Advise(disp_.get(), kCommandBarButtonEvents, [handler = std::move(handler)](DISPID id, DISPPARAMS* p) {
            // Click(Ctrl, CancelDefault): the arguments arrive last first.
            if (id != kClick || !p || p->cArgs < 2) return;
            const VARIANT& ctrl = p->rgvarg[1];
            VARIANT& cancel = p->rgvarg[0];
            IDispatch* clicked = ctrl.vt == VT_DISPATCH ? ctrl.pdispVal : nullptr;
            bool cancelDefault = cancel.vt == (VT_BOOL | VT_BYREF) && cancel.pboolVal && *cancel.pboolVal;
            handler(ButtonFromDispatch(clicked), cancelDefault);
            if (cancel.vt == (VT_BOOL | VT_BYREF) && cancel.pboolVal)
                *cancel.pboolVal = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
        });
    }
};

class PopupImpl final : public ControlImpl<CommandBarPopup> {
public:
    using ControlImpl::ControlImpl;
    std::shared_ptr<CommandBarControls> Controls() override {
        return Wrap<ControlsImpl>(disp_.GetObject(L"Controls"));
    }
};

std::shared_ptr<CommandBarControl> WrapControl(ComPtr<IDispatch> d) {
    if (!d) return nullptr;
    const Disp probe(d);
    switch (probe.GetLong(L"Type")) {
        case mso::ControlButton: return std::make_shared<ButtonImpl>(std::move(d));
        case mso::ControlPopup: return std::make_shared<PopupImpl>(std::move(d));
        default: return std::make_shared<PlainControlImpl>(std::move(d));
    }
}

class CommandBarImpl final : public Dispatched<CommandBar> {
public:
    using Dispatched::Dispatched;
    int32_t Left() override { return disp_.GetLong(L"Left"); }
    void SetLeft(int32_t v) override { disp_.Put(L"Left", v); }
    int32_t Top() override { return disp_.GetLong(L"Top"); }
    void SetTop(int32_t v) override { disp_.Put(L"Top", v); }
    int32_t Position() override { return disp_.GetLong(L"Position"); }
    void SetPosition(int32_t v) override { disp_.Put(L"Position", v); }
    int32_t RowIndex() override { return disp_.GetLong(L"RowIndex"); }
    void SetRowIndex(int32_t v) override { disp_.Put(L"RowIndex", v); }
    bool Visible() override { return disp_.GetBool(L"Visible"); }
    void SetVisible(bool v) override { disp_.Put(L"Visible", v); }
    std::shared_ptr<CommandBarControls> Controls() override {
        return Wrap<ControlsImpl>(disp_.GetObject(L"Controls"));
    }
    void Delete() override { disp_.Call(L"Delete"); }
};

class CommandBarsImpl final : public Dispatched<CommandBars> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<CommandBar> Item(const std::wstring& name) override {
        return Wrap<CommandBarImpl>(disp_.GetObject(L"Item", {name}));
    }
    std::shared_ptr<CommandBar> Add(const std::wstring& name, bool temporary) override {
        return Wrap<CommandBarImpl>(disp_.CallObject(L"Add", {name, Missing{}, Missing{}, temporary}));
    }
};

class ApplicationImpl final : public Dispatched<Application> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<Document> ActiveDocument() override {
        return Wrap<DocumentImpl>(disp_.GetObject(L"ActiveDocument"));
    }
    std::shared_ptr<Window> ActiveWindow() override { return Wrap<WindowImpl>(disp_.GetObject(L"ActiveWindow")); }
    std::shared_ptr<word::Selection> Selection() override {
        return Wrap<SelectionImpl>(disp_.GetObject(L"Selection"));
    }
    std::shared_ptr<word::Documents> Documents() override {
        return Wrap<DocumentsImpl>(disp_.GetObject(L"Documents"));
    }
    std::shared_ptr<Template> NormalTemplate() override {
        return Wrap<TemplateImpl>(disp_.GetObject(L"NormalTemplate"));
    }
    std::shared_ptr<word::CommandBars> CommandBars() override {
        return Wrap<CommandBarsImpl>(disp_.GetObject(L"CommandBars"));
    }
    std::wstring Version() override { return disp_.GetString(L"Version"); }
    EventConnection AdviseDocumentChange(std::function<void()> handler) override {
        return Advise(disp_.get(), kApplicationEvents2, [handler = std::move(handler)](DISPID id, DISPPARAMS*) {
            if (id == kDocumentChange) handler();
        });
    }
};

template <class T>
std::shared_ptr<T> FromCaller(IDispatch* d) {
    if (!d) ThrowObjectRequired();
    return std::make_shared<T>(ComPtr<IDispatch>(d));
}

}  // namespace

std::shared_ptr<Application> ApplicationFromDispatch(IDispatch* application) {
    return FromCaller<ApplicationImpl>(application);
}

std::shared_ptr<Document> DocumentFromDispatch(IDispatch* document) { return FromCaller<DocumentImpl>(document); }

std::shared_ptr<CommandBarButton> ButtonFromDispatch(IDispatch* button) { return FromCaller<ButtonImpl>(button); }

IDispatch* DispatchOf(const Object& object) noexcept {
    const auto* holder = dynamic_cast<const DispatchHolder*>(&object);
    return holder ? holder->Raw() : nullptr;
}

long NameLookups() noexcept { return gNameLookups; }

}  // namespace qlora::word
