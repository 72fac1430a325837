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
#include "word/word_members.h"

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

// Office's CommandBarButton and CommandBarPopup derive from CommandBarControl, which declares
// what they inherit.
constexpr std::wstring_view kControlBase = L"CommandBarControl";

// The objects as Word's table names them.
constexpr wchar_t kApplication[] = L"Application";
constexpr wchar_t kBookmark[] = L"Bookmark";
constexpr wchar_t kBookmarks[] = L"Bookmarks";
constexpr wchar_t kCommandBar[] = L"CommandBar";
constexpr wchar_t kCommandBarButton[] = L"CommandBarButton";
constexpr wchar_t kCommandBarControl[] = L"CommandBarControl";
constexpr wchar_t kCommandBarControls[] = L"CommandBarControls";
constexpr wchar_t kCommandBarPopup[] = L"CommandBarPopup";
constexpr wchar_t kCommandBars[] = L"CommandBars";
constexpr wchar_t kDocument[] = L"Document";
constexpr wchar_t kDocuments[] = L"Documents";
constexpr wchar_t kRange[] = L"Range";
constexpr wchar_t kSelection[] = L"Selection";
constexpr wchar_t kTemplate[] = L"Template";
constexpr wchar_t kVariable[] = L"Variable";
constexpr wchar_t kVariables[] = L"Variables";
constexpr wchar_t kView[] = L"View";
constexpr wchar_t kWindow[] = L"Window";

// An argument of a late-bound call; Missing is an omitted optional argument.
using com::Missing;
using Arg = std::variant<Missing, int32_t, bool, std::wstring, IDispatch*>;

// One late-bound object: names resolved once per object type, failures turned into errors
// carrying Word's number, source and description.
class Disp {
public:
    explicit Disp(ComPtr<IDispatch> d) : d_(std::move(d)) {
        if (!d_) throw Raised(kObjectRequired);
        typeName_ = com::ClassNameOf(d_.Get());
    }

    IDispatch* get() const noexcept { return d_.Get(); }
    const std::wstring& TypeName() const noexcept { return typeName_; }

    // A method called for its effect, or for a result when `result` is given.
    void Method(const Member& member, std::initializer_list<Arg> args = {}, VARIANT* result = nullptr) const {
        Invoke(member, args, result);
    }
    void Put(const Member& member, const Arg& value) const { Invoke(member, {value}, nullptr); }

    // The result as `type`, converted as Automation converts; one that does not convert is a type
    // mismatch.
    Variant Result(const Member& member, VARTYPE type, std::initializer_list<Arg> args = {}) const {
        Variant v;
        Invoke(member, args, v.get());
        if (FAILED(::VariantChangeType(v.get(), v.get(), 0, type))) Mismatch(member);
        return v;
    }
    std::wstring GetString(const Member& member) const { return Bstr::ToString((*Result(member, VT_BSTR)).bstrVal); }
    int32_t GetLong(const Member& member) const { return (*Result(member, VT_I4)).lVal; }
    bool GetBool(const Member& member) const { return (*Result(member, VT_BOOL)).boolVal != VARIANT_FALSE; }
    // An object property or method result; nullptr when Word returns none.
    ComPtr<IDispatch> GetObject(const Member& member, std::initializer_list<Arg> args = {}) const {
        Variant v;
        Invoke(member, args, v.get());
        return ObjectOf(*v, member);
    }

private:
    DISPID IdOf(const Member& member) const {
        // Ids are the same for every object of a type: look each name up once per type. What a
        // control inherits has the base's DISPID, so one lookup serves every kind of control.
        static std::map<std::wstring, DISPID> cache;
        const std::wstring_view scope = member.object == kControlBase ? kControlBase : std::wstring_view(typeName_);
        const std::wstring key = std::wstring(scope) + L"." + std::wstring(member.name);
        if (!typeName_.empty())
            if (const auto it = cache.find(key); it != cache.end()) return it->second;
        DISPID id = DISPID_UNKNOWN;
        ++gNameLookups;
        if (FAILED(com::DispIdOf(d_.Get(), member.name, &id)))
            throw Error(errnum::NotSupported, kProjectName, L"Object doesn't support this property or method: " + key);
        if (!typeName_.empty()) cache.emplace(key, id);
        return id;
    }

    // A put names its value; whatever gives a result is asked for as VBA asks, as a method or a
    // property get, which is what a member with arguments may be in Office (CommandBars.Item).
    static WORD FlagsOf(const Member& member, const VARIANT* result) {
        if (member.kind == Kind::Put) return DISPATCH_PROPERTYPUT;
        return result ? DISPATCH_METHOD | DISPATCH_PROPERTYGET : DISPATCH_METHOD;
    }

    void Invoke(const Member& member, std::initializer_list<Arg> args, VARIANT* result) const {
        const DISPID id = IdOf(member);
        // Trailing omitted arguments are left out; omitted ones in the middle stay as placeholders.
        std::vector<Arg> given(args);
        while (!given.empty() && std::holds_alternative<Missing>(given.back())) given.pop_back();
        std::vector<Variant> values;
        for (const Arg& arg : given) values.push_back(std::visit([](const auto& a) { return com::ToVariant(a); }, arg));
        com::ExcepInfo excep;
        const HRESULT hr = com::InvokeDispId(d_.Get(), id, FlagsOf(member, result), values, result, &excep);
        if (hr == DISP_E_EXCEPTION) throw Error(ErrorOf(excep, hr));
        win::ThrowIfFailed(hr, typeName_ + L"." + std::wstring(member.name));
    }

    // Word's failure as the error it raises: its number is scode, else wCode, else the call's own
    // HRESULT, since a failure always has one. Word's own errors come as FACILITY_CONTROL codes and
    // are shown by their number, as in Word.
    static ErrorInfo ErrorOf(const com::ExcepInfo& excep, HRESULT callResult) {
        int32_t number = (*excep).scode ? static_cast<int32_t>((*excep).scode) : (*excep).wCode;
        if ((static_cast<uint32_t>(number) & 0xFFFF0000u) == 0x800A0000u) number &= 0xFFFF;
        if (number == 0) number = static_cast<int32_t>(callResult);
        return {number, excep.Source(), excep.Description(), {}, static_cast<int32_t>((*excep).dwHelpContext)};
    }

    [[noreturn]] void Mismatch(const Member& member) const {
        throw Raised(kTypeMismatch, typeName_ + L"." + std::wstring(member.name));
    }

    ComPtr<IDispatch> ObjectOf(const VARIANT& v, const Member& member) const {
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
class EventSink final : public com::ServerObject<IDispatch> {
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

// What every port object made here shares: its IDispatch and type name, and the members of its
// object in Word's table.
template <class Port, const wchar_t* ObjectName>
class Dispatched : public Port, public DispatchHolder {
public:
    explicit Dispatched(ComPtr<IDispatch> d) : disp_(std::move(d)) {}
    static consteval Member M(std::wstring_view name, Kind kind = Kind::Get) { return MemberOf(ObjectName, name, kind); }
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

class RangeImpl final : public Dispatched<Range, kRange> {
public:
    using Dispatched::Dispatched;
    int32_t Start() override { return disp_.GetLong(M(L"Start")); }
    int32_t End() override { return disp_.GetLong(M(L"End")); }
    std::wstring Text() override { return disp_.GetString(M(L"Text")); }
    void Select() override { disp_.Method(M(L"Select", Kind::Method)); }
};

class BookmarkImpl final : public Dispatched<Bookmark, kBookmark> {
public:
    using Dispatched::Dispatched;
    std::wstring Name() override { return disp_.GetString(M(L"Name")); }
    int32_t Start() override { return disp_.GetLong(M(L"Start")); }
    int32_t End() override { return disp_.GetLong(M(L"End")); }
    void Delete() override { disp_.Method(M(L"Delete", Kind::Method)); }
};

IDispatch* RequireDispatch(const Object* object) {
    IDispatch* d = object ? DispatchOf(*object) : nullptr;
    if (!d) throw Raised(kObjectRequired);
    return d;
}

class BookmarksImpl final : public Dispatched<Bookmarks, kBookmarks> {
public:
    using Dispatched::Dispatched;
    int32_t Count() override { return disp_.GetLong(M(L"Count")); }
    std::shared_ptr<Bookmark> Item(int32_t index) override {
        return Wrap<BookmarkImpl>(disp_.GetObject(M(L"Item", Kind::Method), {index}));
    }
    std::shared_ptr<Bookmark> Item(const std::wstring& name) override {
        return Wrap<BookmarkImpl>(disp_.GetObject(M(L"Item", Kind::Method), {name}));
    }
    bool Exists(const std::wstring& name) override {
        return (*disp_.Result(M(L"Exists", Kind::Method), VT_BOOL, {name})).boolVal != VARIANT_FALSE;
    }
    std::shared_ptr<Bookmark> Add(const std::wstring& name, const std::shared_ptr<Range>& range) override {
        return Wrap<BookmarkImpl>(disp_.GetObject(M(L"Add", Kind::Method), {name, RequireDispatch(range.get())}));
    }
};

class VariableImpl final : public Dispatched<Variable, kVariable> {
public:
    using Dispatched::Dispatched;
    std::wstring Value() override { return disp_.GetString(M(L"Value")); }
    void SetValue(const std::wstring& value) override { disp_.Put(M(L"Value", Kind::Put), value); }
    void Delete() override { disp_.Method(M(L"Delete", Kind::Method)); }
};

class VariablesImpl final : public Dispatched<Variables, kVariables> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<Variable> Item(const std::wstring& name) override {
        return Wrap<VariableImpl>(disp_.GetObject(M(L"Item", Kind::Method), {name}));
    }
    std::shared_ptr<Variable> Add(const std::wstring& name, const std::wstring& value) override {
        return Wrap<VariableImpl>(disp_.GetObject(M(L"Add", Kind::Method), {name, value}));
    }
};

Arg Optional(const std::optional<std::wstring>& v) { return v ? Arg(*v) : Arg(Missing{}); }
Arg Optional(const std::optional<int32_t>& v) { return v ? Arg(*v) : Arg(Missing{}); }
Arg Optional(const std::optional<bool>& v) { return v ? Arg(*v) : Arg(Missing{}); }

class DocumentImpl final : public Dispatched<Document, kDocument> {
public:
    using Dispatched::Dispatched;
    std::wstring Name() override { return disp_.GetString(M(L"Name")); }
    std::wstring Path() override { return disp_.GetString(M(L"Path")); }
    std::wstring FullName() override { return disp_.GetString(M(L"FullName")); }
    std::shared_ptr<word::Bookmarks> Bookmarks() override {
        return Wrap<BookmarksImpl>(disp_.GetObject(M(L"Bookmarks")));
    }
    std::shared_ptr<word::Variables> Variables() override {
        return Wrap<VariablesImpl>(disp_.GetObject(M(L"Variables")));
    }
    std::shared_ptr<word::Range> Content() override { return Wrap<RangeImpl>(disp_.GetObject(M(L"Content"))); }
    std::shared_ptr<word::Range> Range(int32_t start, int32_t end) override {
        return Wrap<RangeImpl>(disp_.GetObject(M(L"Range", Kind::Method), {start, end}));
    }
    void SaveAs(const SaveAsArgs& a) override {
        disp_.Method(M(L"SaveAs", Kind::Method), {Optional(a.FileName), Optional(a.FileFormat), Optional(a.LockComments),
                               Optional(a.Password), Optional(a.AddToRecentFiles), Optional(a.WritePassword),
                               Optional(a.ReadOnlyRecommended), Optional(a.EmbedTrueTypeFonts),
                               Optional(a.SaveNativePictureFormat), Optional(a.SaveFormsData),
                               Optional(a.SaveAsAOCELetter)});
    }
    void Close(std::optional<bool> SaveChanges) override { disp_.Method(M(L"Close", Kind::Method), {Optional(SaveChanges)}); }
};

class DocumentsImpl final : public Dispatched<Documents, kDocuments> {
public:
    using Dispatched::Dispatched;
    int32_t Count() override { return disp_.GetLong(M(L"Count")); }
};

class SelectionImpl final : public Dispatched<Selection, kSelection> {
public:
    using Dispatched::Dispatched;
    int32_t Start() override { return disp_.GetLong(M(L"Start")); }
    std::shared_ptr<word::Range> Range() override { return Wrap<RangeImpl>(disp_.GetObject(M(L"Range"))); }
    void TypeText(const std::wstring& text) override { disp_.Method(M(L"TypeText", Kind::Method), {text}); }
    void SetRange(int32_t start, int32_t end) override { disp_.Method(M(L"SetRange", Kind::Method), {start, end}); }
};

class ViewImpl final : public Dispatched<View, kView> {
public:
    using Dispatched::Dispatched;
    bool ShowBookmarks() override { return disp_.GetBool(M(L"ShowBookmarks")); }
    void SetShowBookmarks(bool show) override { disp_.Put(M(L"ShowBookmarks", Kind::Put), show); }
};

class WindowImpl final : public Dispatched<Window, kWindow> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<word::View> View() override { return Wrap<ViewImpl>(disp_.GetObject(M(L"View"))); }
};

class TemplateImpl final : public Dispatched<Template, kTemplate> {
public:
    using Dispatched::Dispatched;
    bool Saved() override { return disp_.GetBool(M(L"Saved")); }
    void SetSaved(bool saved) override { disp_.Put(M(L"Saved", Kind::Put), saved); }
};

std::shared_ptr<CommandBarControl> WrapControl(ComPtr<IDispatch> d);

// The members every kind of control has.
template <class Port, const wchar_t* ObjectName>
class ControlImpl : public Dispatched<Port, ObjectName> {
public:
    using Dispatched<Port, ObjectName>::Dispatched;
    // What every kind of control inherits from CommandBarControl.
    static consteval Member Inherited(std::wstring_view name, Kind kind = Kind::Get) {
        return MemberOf(kControlBase, name, kind);
    }
    std::wstring Caption() override { return this->disp_.GetString(Inherited(L"Caption")); }
    void SetCaption(const std::wstring& v) override { this->disp_.Put(Inherited(L"Caption", Kind::Put), v); }
    std::wstring Parameter() override { return this->disp_.GetString(Inherited(L"Parameter")); }
    void SetParameter(const std::wstring& v) override { this->disp_.Put(Inherited(L"Parameter", Kind::Put), v); }
    void SetTooltipText(const std::wstring& v) override { this->disp_.Put(Inherited(L"TooltipText", Kind::Put), v); }
    void SetTag(const std::wstring& v) override { this->disp_.Put(Inherited(L"Tag", Kind::Put), v); }
    void SetEnabled(bool v) override { this->disp_.Put(Inherited(L"Enabled", Kind::Put), v); }
    void SetVisible(bool v) override { this->disp_.Put(Inherited(L"Visible", Kind::Put), v); }
    void Move(std::optional<int32_t> before) override { this->disp_.Method(Inherited(L"Move", Kind::Method), {Missing{}, Optional(before)}); }
    void Delete() override { this->disp_.Method(Inherited(L"Delete", Kind::Method)); }
};

class ControlsImpl final : public Dispatched<CommandBarControls, kCommandBarControls> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<CommandBarControl> Item(const std::wstring& caption) override {
        return WrapControl(disp_.GetObject(M(L"Item", Kind::Method), {caption}));
    }
    std::shared_ptr<CommandBarControl> Add(int32_t type, bool temporary) override {
        return WrapControl(disp_.GetObject(M(L"Add", Kind::Method), {type, Missing{}, Missing{}, Missing{}, temporary}));
    }
};

class PlainControlImpl final : public ControlImpl<CommandBarControl, kCommandBarControl> {
public:
    using ControlImpl::ControlImpl;
};

class ButtonImpl final : public ControlImpl<CommandBarButton, kCommandBarButton> {
public:
    using ControlImpl::ControlImpl;
    void SetStyle(int32_t style) override { disp_.Put(M(L"Style", Kind::Put), style); }
    void SetFaceId(int32_t faceId) override { disp_.Put(M(L"FaceId", Kind::Put), faceId); }
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

class PopupImpl final : public ControlImpl<CommandBarPopup, kCommandBarPopup> {
public:
    using ControlImpl::ControlImpl;
    std::shared_ptr<CommandBarControls> Controls() override {
        return Wrap<ControlsImpl>(disp_.GetObject(M(L"Controls")));
    }
};

std::shared_ptr<CommandBarControl> WrapControl(ComPtr<IDispatch> d) {
    if (!d) return nullptr;
    const Disp probe(d);
    // Every control has Type; the table declares it with the kinds the add-in makes.
    switch (probe.GetLong(MemberOf(L"CommandBarButton", L"Type", Kind::Get))) {
        case mso::ControlButton: return std::make_shared<ButtonImpl>(std::move(d));
        case mso::ControlPopup: return std::make_shared<PopupImpl>(std::move(d));
        default: return std::make_shared<PlainControlImpl>(std::move(d));
    }
}

class CommandBarImpl final : public Dispatched<CommandBar, kCommandBar> {
public:
    using Dispatched::Dispatched;
    int32_t Left() override { return disp_.GetLong(M(L"Left")); }
    void SetLeft(int32_t v) override { disp_.Put(M(L"Left", Kind::Put), v); }
    int32_t Top() override { return disp_.GetLong(M(L"Top")); }
    void SetTop(int32_t v) override { disp_.Put(M(L"Top", Kind::Put), v); }
    int32_t Position() override { return disp_.GetLong(M(L"Position")); }
    void SetPosition(int32_t v) override { disp_.Put(M(L"Position", Kind::Put), v); }
    int32_t RowIndex() override { return disp_.GetLong(M(L"RowIndex")); }
    void SetRowIndex(int32_t v) override { disp_.Put(M(L"RowIndex", Kind::Put), v); }
    bool Visible() override { return disp_.GetBool(M(L"Visible")); }
    void SetVisible(bool v) override { disp_.Put(M(L"Visible", Kind::Put), v); }
    std::shared_ptr<CommandBarControls> Controls() override {
        return Wrap<ControlsImpl>(disp_.GetObject(M(L"Controls")));
    }
    void Delete() override { disp_.Method(M(L"Delete", Kind::Method)); }
};

class CommandBarsImpl final : public Dispatched<CommandBars, kCommandBars> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<CommandBar> Item(const std::wstring& name) override {
        return Wrap<CommandBarImpl>(disp_.GetObject(M(L"Item", Kind::Method), {name}));
    }
    std::shared_ptr<CommandBar> Add(const std::wstring& name, bool temporary) override {
        return Wrap<CommandBarImpl>(disp_.GetObject(M(L"Add", Kind::Method), {name, Missing{}, Missing{}, temporary}));
    }
};

class ApplicationImpl final : public Dispatched<Application, kApplication> {
public:
    using Dispatched::Dispatched;
    std::shared_ptr<Document> ActiveDocument() override {
        return Wrap<DocumentImpl>(disp_.GetObject(M(L"ActiveDocument")));
    }
    std::shared_ptr<Window> ActiveWindow() override { return Wrap<WindowImpl>(disp_.GetObject(M(L"ActiveWindow"))); }
    std::shared_ptr<word::Selection> Selection() override {
        return Wrap<SelectionImpl>(disp_.GetObject(M(L"Selection")));
    }
    std::shared_ptr<word::Documents> Documents() override {
        return Wrap<DocumentsImpl>(disp_.GetObject(M(L"Documents")));
    }
    std::shared_ptr<Template> NormalTemplate() override {
        return Wrap<TemplateImpl>(disp_.GetObject(M(L"NormalTemplate")));
    }
    std::shared_ptr<word::CommandBars> CommandBars() override {
        return Wrap<CommandBarsImpl>(disp_.GetObject(M(L"CommandBars")));
    }
    std::wstring Version() override { return disp_.GetString(M(L"Version")); }
    EventConnection AdviseDocumentChange(std::function<void()> handler) override {
        return Advise(disp_.get(), kApplicationEvents2, [handler = std::move(handler)](DISPID id, DISPPARAMS*) {
            if (id == kDocumentChange) handler();
        });
    }
};

template <class T>
std::shared_ptr<T> FromCaller(IDispatch* d) {
    if (!d) throw Raised(kObjectRequired);
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
