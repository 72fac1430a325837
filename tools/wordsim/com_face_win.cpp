#include "com_face_win.h"

#include <stdexcept>

namespace wordsim::com {
namespace {

namespace port = qlora::word;
using enum Kind;

// Options is Word's, not the port's: it reads the model itself.
struct Options {};

[[noreturn]] void RaiseInvalidCall(std::wstring_view why) {
    throw qlora::Error(qlora::errnum::InvalidCall, L"Microsoft Office",
                       L"Invalid procedure call or argument: " + std::wstring(why));
}

Word& LiveWord(const Context& context) {
    const auto word = context->word.lock();
    if (!word) throw qlora::Error(RPC_E_DISCONNECTED, L"Microsoft Word", L"The object invoked has disconnected from its clients.");
    return *word;
}

ComPtr<IDispatch> Wrap(std::shared_ptr<port::Application> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Documents> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Document> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Selection> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Range> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Bookmarks> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Bookmark> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Variables> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Variable> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Template> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Window> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::View> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<Options> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBars> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBar> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBarControls> target, const Context& context);
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBarControl> target, const Context& context);

// Reads the arguments in order, one into each field.
template <class... Fields>
void ReadInOrder(const Args& args, Fields&... fields) {
    size_t i = 0;
    (args.Read(i++, fields), ...);
}

// ---- Word -----------------------------------------------------------------------------------

constexpr Member<port::Application> kApplicationMembers[] = {
    {L"Application", L"ActiveDocument", 1, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.ActiveDocument(), c.context); }},
    {L"Application", L"Selection", 2, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.Selection(), c.context); }},
    {L"Application", L"Documents", 3, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.Documents(), c.context); }},
    {L"Application", L"NormalTemplate", 4, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.NormalTemplate(), c.context); }},
    {L"Application", L"CommandBars", 5, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.CommandBars(), c.context); }},
    {L"Application", L"Version", 6, Get, [](auto& a, const Request&) -> Value { return a.Version(); }},
    {L"Application", L"Options", 7, Get, [](auto&, const Request& c) -> Value { return Wrap(std::make_shared<Options>(), c.context); }},
    {L"Application", L"ActiveWindow", 8, Get, [](auto& a, const Request& c) -> Value { return Wrap(a.ActiveWindow(), c.context); }},
};
constexpr IID kApplicationEvents[] = {kApplicationEvents2, kApplicationEvents3, kApplicationEvents4};

// DocumentChange is the same DISPID in every version of Word's application events.
qlora::EventConnection AdviseApplication(port::Application& application, const IID&, ComPtr<IDispatch> sink,
                                         const Context&) {
    return application.AdviseDocumentChange([sink] { RaiseEvent(sink.Get(), kDocumentChange); });
}

constexpr Automation<port::Application> kApplication{
    L"_Application", kApplicationMembers, {}, kApplicationEvents, AdviseApplication};
static_assert(Complete(kApplication));

constexpr Member<port::Documents> kDocumentsMembers[] = {
    {L"Documents", L"Count", 1, Get, [](auto& d, const Request&) -> Value { return d.Count(); }},
};
constexpr Automation<port::Documents> kDocuments{L"Documents", kDocumentsMembers};
static_assert(Complete(kDocuments));

constexpr Member<port::Document> kDocumentMembers[] = {
    {L"Document", L"Name", 1, Get, [](auto& d, const Request&) -> Value { return d.Name(); }},
    {L"Document", L"Path", 2, Get, [](auto& d, const Request&) -> Value { return d.Path(); }},
    {L"Document", L"FullName", 3, Get, [](auto& d, const Request&) -> Value { return d.FullName(); }},
    {L"Document", L"Bookmarks", 4, Get, [](auto& d, const Request& c) -> Value { return Wrap(d.Bookmarks(), c.context); }},
    {L"Document", L"Variables", 5, Get, [](auto& d, const Request& c) -> Value { return Wrap(d.Variables(), c.context); }},
    {L"Document", L"TrackRevisions", 10, Get,
     [](auto& d, const Request& c) -> Value { return LiveWord(c.context).TrackRevisions(d); }},
    {L"Document", L"TrackRevisions", 10, Put,
     [](auto& d, const Request& c) -> Value {
         LiveWord(c.context).SetTrackRevisions(d, c.args.Bool(0));
         return {};
     }},
    {L"Document", L"SaveAs", 6, Method,
     [](auto& d, const Request& c) -> Value {
         port::SaveAsArgs a;
         ReadInOrder(c.args, a.FileName, a.FileFormat, a.LockComments, a.Password, a.AddToRecentFiles,
                     a.WritePassword, a.ReadOnlyRecommended, a.EmbedTrueTypeFonts, a.SaveNativePictureFormat,
                     a.SaveFormsData, a.SaveAsAOCELetter);
         d.SaveAs(a);
         return {};
     }},
    // OriginalFormat and RouteDocument are taken but not used.
    {L"Document", L"Close", 7, Method,
     [](auto& d, const Request& c) -> Value {
         std::optional<bool> saveChanges;
         ReadInOrder(c.args, saveChanges);
         d.Close(saveChanges);
         return {};
     }},
    {L"Document", L"Content", 8, Get, [](auto& d, const Request& c) -> Value { return Wrap(d.Content(), c.context); }},
    // Range(Start, End): both omitted, the whole main text.
    {L"Document", L"Range", 9, Method,
     [](auto& d, const Request& c) -> Value {
         return Wrap(d.Range(c.args.OptLong(0).value_or(0), c.args.OptLong(1).value_or(INT32_MAX)), c.context);
     }},
};
constexpr Automation<port::Document> kDocument{L"_Document", kDocumentMembers};
static_assert(Complete(kDocument));

constexpr Member<port::Window> kWindowMembers[] = {
    {L"Window", L"View", 1, Get, [](auto& w, const Request& c) -> Value { return Wrap(w.View(), c.context); }},
};
constexpr Automation<port::Window> kWindow{L"Window", kWindowMembers};
static_assert(Complete(kWindow));

constexpr Member<port::View> kViewMembers[] = {
    {L"View", L"ShowBookmarks", 1, Get, [](auto& v, const Request&) -> Value { return v.ShowBookmarks(); }},
    {L"View", L"ShowBookmarks", 1, Put, [](auto& v, const Request& c) -> Value { v.SetShowBookmarks(c.args.Bool(0)); return {}; }},
};
constexpr Automation<port::View> kView{L"View", kViewMembers};
static_assert(Complete(kView));

constexpr Member<port::Selection> kSelectionMembers[] = {
    {L"Selection", L"Start", 1, Get, [](auto& s, const Request&) -> Value { return s.Start(); }},
    {L"Selection", L"Range", 2, Get, [](auto& s, const Request& c) -> Value { return Wrap(s.Range(), c.context); }},
    {L"Selection", L"TypeText", 3, Method, [](auto& s, const Request& c) -> Value { s.TypeText(c.args.Text(0)); return {}; }},
    {L"Selection", L"SetRange", 4, Method,
     [](auto& s, const Request& c) -> Value { s.SetRange(c.args.Long(0), c.args.Long(1)); return {}; }},
};
constexpr Automation<port::Selection> kSelection{L"Selection", kSelectionMembers};
static_assert(Complete(kSelection));

constexpr Member<port::Range> kRangeMembers[] = {
    {L"Range", L"Start", 1, Get, [](auto& r, const Request&) -> Value { return r.Start(); }},
    {L"Range", L"End", 2, Get, [](auto& r, const Request&) -> Value { return r.End(); }},
    {L"Range", L"Text", DISPID_VALUE, Get, [](auto& r, const Request&) -> Value { return r.Text(); }},
    {L"Range", L"Select", 3, Method, [](auto& r, const Request&) -> Value { r.Select(); return {}; }},
};
constexpr Automation<port::Range> kRange{L"Range", kRangeMembers};
static_assert(Complete(kRange));

constexpr Member<port::Bookmarks> kBookmarksMembers[] = {
    // Item(Index): a name or a 1-based number.
    {L"Bookmarks", L"Item", DISPID_VALUE, Method,
     [](auto& b, const Request& c) -> Value {
         return Wrap(c.args.IsText(0) ? b.Item(c.args.Text(0)) : b.Item(c.args.Long(0)), c.context);
     }},
    {L"Bookmarks", L"Count", 1, Get, [](auto& b, const Request&) -> Value { return b.Count(); }},
    {L"Bookmarks", L"Exists", 2, Method, [](auto& b, const Request& c) -> Value { return b.Exists(c.args.Text(0)); }},
    // Without a range Word marks the selection; a range must be one of this Word's.
    {L"Bookmarks", L"Add", 3, Method,
     [](auto& b, const Request& c) -> Value {
         const auto given = c.args.Object(1);
         auto range = PortOf<port::Range>(given.Get());
         if (given && !range) c.args.Refuse(1);
         return Wrap(b.Add(c.args.Text(0), range), c.context);
     }},
};
constexpr Automation<port::Bookmarks> kBookmarks{L"Bookmarks", kBookmarksMembers};
static_assert(Complete(kBookmarks));

constexpr Member<port::Bookmark> kBookmarkMembers[] = {
    {L"Bookmark", L"Name", DISPID_VALUE, Get, [](auto& b, const Request&) -> Value { return b.Name(); }},
    {L"Bookmark", L"Start", 1, Get, [](auto& b, const Request&) -> Value { return b.Start(); }},
    {L"Bookmark", L"End", 2, Get, [](auto& b, const Request&) -> Value { return b.End(); }},
    {L"Bookmark", L"Delete", 3, Method, [](auto& b, const Request&) -> Value { b.Delete(); return {}; }},
};
constexpr Automation<port::Bookmark> kBookmark{L"Bookmark", kBookmarkMembers};
static_assert(Complete(kBookmark));

constexpr Member<port::Variables> kVariablesMembers[] = {
    {L"Variables", L"Item", DISPID_VALUE, Method, [](auto& v, const Request& c) -> Value { return Wrap(v.Item(c.args.Text(0)), c.context); }},
    {L"Variables", L"Add", 1, Method,
     [](auto& v, const Request& c) -> Value { return Wrap(v.Add(c.args.Text(0), c.args.OptText(1).value_or(L"")), c.context); }},
};
constexpr Automation<port::Variables> kVariables{L"Variables", kVariablesMembers};
static_assert(Complete(kVariables));

constexpr Member<port::Variable> kVariableMembers[] = {
    {L"Variable", L"Value", DISPID_VALUE, Get, [](auto& v, const Request&) -> Value { return v.Value(); }},
    {L"Variable", L"Value", DISPID_VALUE, Put, [](auto& v, const Request& c) -> Value { v.SetValue(c.args.Text(0)); return {}; }},
    {L"Variable", L"Delete", 1, Method, [](auto& v, const Request&) -> Value { v.Delete(); return {}; }},
};
constexpr Automation<port::Variable> kVariable{L"Variable", kVariableMembers};
static_assert(Complete(kVariable));

constexpr Member<port::Template> kTemplateMembers[] = {
    {L"Template", L"Saved", 1, Get, [](auto& t, const Request&) -> Value { return t.Saved(); }},
    {L"Template", L"Saved", 1, Put, [](auto& t, const Request& c) -> Value { t.SetSaved(c.args.Bool(0)); return {}; }},
};
constexpr Automation<port::Template> kTemplate{L"Template", kTemplateMembers};
static_assert(Complete(kTemplate));

constexpr Member<Options> kOptionsMembers[] = {
    {L"Options", L"ReplaceSelection", 1, Get, [](auto&, const Request& c) -> Value { return LiveWord(c.context).ReplaceSelection(); }},
    {L"Options", L"ReplaceSelection", 1, Put,
     [](auto&, const Request& c) -> Value { LiveWord(c.context).SetReplaceSelection(c.args.Bool(0)); return {}; }},
};
constexpr Automation<Options> kOptions{L"Options", kOptionsMembers};
static_assert(Complete(kOptions));

// ---- Office command bars --------------------------------------------------------------------

constexpr Member<port::CommandBars> kCommandBarsMembers[] = {
    {L"CommandBars", L"Item", DISPID_VALUE, Method, [](auto& b, const Request& c) -> Value { return Wrap(b.Item(c.args.Name(0)), c.context); }},
    // Add(Name, Position, MenuBar, Temporary): a position given is put on the new bar.
    {L"CommandBars", L"Add", 1, Method,
     [](auto& b, const Request& c) -> Value {
         if (c.args.OptBool(2).value_or(false)) RaiseInvalidCall(L"wordsim makes no menu bars");
         const auto position = c.args.OptLong(1);
         auto bar = b.Add(c.args.OptText(0).value_or(L""), c.args.OptBool(3).value_or(false));
         if (position) bar->SetPosition(*position);
         return Wrap(bar, c.context);
     }},
};
constexpr Automation<port::CommandBars> kCommandBars{L"_CommandBars", kCommandBarsMembers};
static_assert(Complete(kCommandBars));

constexpr Member<port::CommandBar> kCommandBarMembers[] = {
    {L"CommandBar", L"Left", 1, Get, [](auto& b, const Request&) -> Value { return b.Left(); }},
    {L"CommandBar", L"Left", 1, Put, [](auto& b, const Request& c) -> Value { b.SetLeft(c.args.Long(0)); return {}; }},
    {L"CommandBar", L"Top", 2, Get, [](auto& b, const Request&) -> Value { return b.Top(); }},
    {L"CommandBar", L"Top", 2, Put, [](auto& b, const Request& c) -> Value { b.SetTop(c.args.Long(0)); return {}; }},
    {L"CommandBar", L"Position", 3, Get, [](auto& b, const Request&) -> Value { return b.Position(); }},
    {L"CommandBar", L"Position", 3, Put, [](auto& b, const Request& c) -> Value { b.SetPosition(c.args.Long(0)); return {}; }},
    {L"CommandBar", L"RowIndex", 4, Get, [](auto& b, const Request&) -> Value { return b.RowIndex(); }},
    {L"CommandBar", L"RowIndex", 4, Put, [](auto& b, const Request& c) -> Value { b.SetRowIndex(c.args.Long(0)); return {}; }},
    {L"CommandBar", L"Visible", 5, Get, [](auto& b, const Request&) -> Value { return b.Visible(); }},
    {L"CommandBar", L"Visible", 5, Put, [](auto& b, const Request& c) -> Value { b.SetVisible(c.args.Bool(0)); return {}; }},
    {L"CommandBar", L"Controls", 6, Get, [](auto& b, const Request& c) -> Value { return Wrap(b.Controls(), c.context); }},
    {L"CommandBar", L"Delete", 7, Method, [](auto& b, const Request&) -> Value { b.Delete(); return {}; }},
};
constexpr Automation<port::CommandBar> kCommandBar{L"CommandBar", kCommandBarMembers};
static_assert(Complete(kCommandBar));

constexpr int32_t kCustomControl = 1;  // the Id of a control the caller makes itself

constexpr Member<port::CommandBarControls> kControlsMembers[] = {
    {L"CommandBarControls", L"Item", DISPID_VALUE, Method, [](auto& s, const Request& c) -> Value { return Wrap(s.Item(c.args.Name(0)), c.context); }},
    // Add(Type, Id, Parameter, Before, Temporary): Office's built-in controls are not in wordsim;
    // a control that cannot go where Before says is not added.
    {L"CommandBarControls", L"Add", 1, Method,
     [](auto& s, const Request& c) -> Value {
         if (c.args.OptLong(1).value_or(kCustomControl) != kCustomControl) RaiseInvalidCall(L"wordsim has no built-in controls");
         const auto parameter = c.args.OptText(2);
         const auto before = c.args.OptLong(3);
         auto control = s.Add(c.args.OptLong(0).value_or(port::mso::ControlButton), c.args.OptBool(4).value_or(false));
         if (parameter) control->SetParameter(*parameter);
         if (before) {
             try {
                 control->Move(*before);
             } catch (...) {
                 control->Delete();
                 throw;
             }
         }
         return Wrap(control, c.context);
     }},
};
constexpr Automation<port::CommandBarControls> kControls{L"CommandBarControls", kControlsMembers};
static_assert(Complete(kControls));

// What buttons and pop-ups share.
constexpr Member<port::CommandBarControl> kControlMembers[] = {
    {L"CommandBarControl", L"Caption", 1, Get, [](auto& c, const Request&) -> Value { return c.Caption(); }},
    {L"CommandBarControl", L"Caption", 1, Put, [](auto& c, const Request& a) -> Value { c.SetCaption(a.args.Text(0)); return {}; }},
    {L"CommandBarControl", L"Parameter", 2, Get, [](auto& c, const Request&) -> Value { return c.Parameter(); }},
    {L"CommandBarControl", L"Parameter", 2, Put, [](auto& c, const Request& a) -> Value { c.SetParameter(a.args.Text(0)); return {}; }},
    {L"CommandBarControl", L"TooltipText", 3, Put, [](auto& c, const Request& a) -> Value { c.SetTooltipText(a.args.Text(0)); return {}; }},
    {L"CommandBarControl", L"Tag", 4, Put, [](auto& c, const Request& a) -> Value { c.SetTag(a.args.Text(0)); return {}; }},
    {L"CommandBarControl", L"Enabled", 5, Put, [](auto& c, const Request& a) -> Value { c.SetEnabled(a.args.Bool(0)); return {}; }},
    {L"CommandBarControl", L"Visible", 6, Put, [](auto& c, const Request& a) -> Value { c.SetVisible(a.args.Bool(0)); return {}; }},
    // Move(Bar, Before): within the control's own bar.
    {L"CommandBarControl", L"Move", 7, Method,
     [](auto& c, const Request& a) -> Value {
         if (a.args.Object(0)) RaiseInvalidCall(L"wordsim moves controls within their bar only");
         c.Move(a.args.OptLong(1));
         return {};
     }},
    // Delete(Temporary): a deletion lasts as long as the model either way, but Temporary must be a Boolean.
    {L"CommandBarControl", L"Delete", 8, Method, [](auto& c, const Request& a) -> Value { (void)a.args.OptBool(0); c.Delete(); return {}; }},
};

constexpr Member<port::CommandBarControl> kButtonMembers[] = {
    {L"CommandBarButton", L"Type", 101, Get, [](auto&, const Request&) -> Value { return port::mso::ControlButton; }},
    {L"CommandBarButton", L"Style", 102, Put,
     [](auto& c, const Request& a) -> Value { dynamic_cast<port::CommandBarButton&>(c).SetStyle(a.args.Long(0)); return {}; }},
    {L"CommandBarButton", L"FaceId", 103, Put,
     [](auto& c, const Request& a) -> Value { dynamic_cast<port::CommandBarButton&>(c).SetFaceId(a.args.Long(0)); return {}; }},
};
constexpr IID kButtonEvents[] = {kCommandBarButtonEvents};

// Click(Ctrl, CancelDefault): what one sink sets in CancelDefault the next one sees.
qlora::EventConnection AdviseButton(port::CommandBarControl& control, const IID&, ComPtr<IDispatch> sink,
                                    const Context& context) {
    return dynamic_cast<port::CommandBarButton&>(control).AdviseClick(
        [sink, context](const std::shared_ptr<port::CommandBarButton>& ctrl, bool& cancelDefault) {
            const ComPtr<IDispatch> clicked = Wrap(std::shared_ptr<port::CommandBarControl>(ctrl), context);
            VARIANT_BOOL cancel = cancelDefault ? VARIANT_TRUE : VARIANT_FALSE;
            VARIANT reversed[2];
            reversed[0].vt = VT_BOOL | VT_BYREF;
            reversed[0].pboolVal = &cancel;
            reversed[1].vt = VT_DISPATCH;
            reversed[1].pdispVal = clicked.Get();
            RaiseEvent(sink.Get(), kClick, reversed);
            cancelDefault = cancel != VARIANT_FALSE;
        });
}

constexpr Automation<port::CommandBarControl> kButton{
    L"_CommandBarButton", kControlMembers, kButtonMembers, kButtonEvents, AdviseButton};
static_assert(Complete(kButton));

constexpr Member<port::CommandBarControl> kPopupMembers[] = {
    {L"CommandBarPopup", L"Type", 101, Get, [](auto&, const Request&) -> Value { return port::mso::ControlPopup; }},
    {L"CommandBarPopup", L"Controls", 102, Get,
     [](auto& c, const Request& a) -> Value { return Wrap(dynamic_cast<port::CommandBarPopup&>(c).Controls(), a.context); }},
};
constexpr Automation<port::CommandBarControl> kPopup{L"CommandBarPopup", kControlMembers, kPopupMembers};
static_assert(Complete(kPopup));

ComPtr<IDispatch> Wrap(std::shared_ptr<port::Application> t, const Context& c) { return MakeObject(kApplication, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Documents> t, const Context& c) { return MakeObject(kDocuments, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Document> t, const Context& c) { return MakeObject(kDocument, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Selection> t, const Context& c) { return MakeObject(kSelection, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Range> t, const Context& c) { return MakeObject(kRange, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Bookmarks> t, const Context& c) { return MakeObject(kBookmarks, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Bookmark> t, const Context& c) { return MakeObject(kBookmark, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Variables> t, const Context& c) { return MakeObject(kVariables, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Variable> t, const Context& c) { return MakeObject(kVariable, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Template> t, const Context& c) { return MakeObject(kTemplate, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<Options> t, const Context& c) { return MakeObject(kOptions, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::Window> t, const Context& c) { return MakeObject(kWindow, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::View> t, const Context& c) { return MakeObject(kView, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBars> t, const Context& c) { return MakeObject(kCommandBars, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBar> t, const Context& c) { return MakeObject(kCommandBar, std::move(t), c); }
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBarControls> t, const Context& c) { return MakeObject(kControls, std::move(t), c); }

// The model makes buttons and pop-ups; each is its own type, as in Office.
ComPtr<IDispatch> Wrap(std::shared_ptr<port::CommandBarControl> t, const Context& c) {
    if (port::AsPopup(t)) return MakeObject(kPopup, std::move(t), c);
    if (port::AsButton(t)) return MakeObject(kButton, std::move(t), c);
    if (!t) return nullptr;
    throw std::logic_error("wordsim: a control that is neither a button nor a pop-up");
}

}  // namespace

Face::Face(std::shared_ptr<Word> word) : context_(std::make_shared<FaceState>()) { context_->word = word; }

ComPtr<IDispatch> Face::Application() const { return Wrap(LiveWord(context_).Application(), context_); }

}  // namespace wordsim::com
