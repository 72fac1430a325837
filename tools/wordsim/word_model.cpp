#include "word_model.h"

#include <algorithm>
#include <map>
#include <sstream>
#include <stdexcept>
#include <utility>

#include "base/text.h"

namespace wordsim {

namespace port = qlora::word;
using qlora::text::Decimal;
using qlora::text::EqualsNoCase;
using qlora::text::Fold;

namespace {

// ---- What Word and Office answer when a call fails ----------------------------------------

constexpr wchar_t kWordSource[] = L"Microsoft Word";
constexpr wchar_t kOfficeSource[] = L"Microsoft Office";

struct HostError {
    int32_t number;
    const wchar_t* source;
    const wchar_t* description;
};

constexpr HostError kNoDocument{4248, kWordSource, L"This command is not available because no document is open."};
constexpr HostError kObjectDeleted{5825, kWordSource, L"Object has been deleted."};
constexpr HostError kBadBookmarkName{5828, kWordSource, L"Bad bookmark name."};
constexpr HostError kVariableExists{5903, kWordSource, L"The variable name already exists."};
constexpr HostError kNoSuchMember{5941, kWordSource, L"The requested member of the collection does not exist."};
constexpr HostError kValueOutOfRange{4608, kWordSource, L"Value out of range."};
constexpr HostError kInvalidCall{5, kOfficeSource, L"Invalid procedure call or argument"};
constexpr HostError kControlDeleted{-2147467259, kOfficeSource, L"The control has been deleted."};
constexpr HostError kDisconnected{-2147417848, kWordSource, L"The object invoked has disconnected from its clients."};

[[noreturn]] void Raise(const HostError& e) { throw qlora::Error(e.number, e.source, e.description); }

qlora::ErrorInfo CommandFailed(std::wstring_view member) {
    return qlora::Error(4198, kWordSource, L"Command failed: wordsim refuses " + std::wstring(member)).Info();
}

// ---- Names ----------------------------------------------------------------------------------

constexpr size_t kMaxBookmarkName = 40;

// ASCII letters, and Latin-1's letters and everything above them: Word takes names in any script.
bool IsLetter(wchar_t c) {
    return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}

bool ValidBookmarkName(std::wstring_view name) {
    const auto allowed = [](wchar_t c) { return IsLetter(c) || (c >= L'0' && c <= L'9') || c == L'_'; };
    return !name.empty() && name.size() <= kMaxBookmarkName && IsLetter(name.front()) &&
           std::all_of(name.begin(), name.end(), allowed);
}

// Office finds "&File" by "File": accelerator marks do not count, "&&" is a literal ampersand.
std::wstring PlainCaption(std::wstring_view caption) {
    std::wstring plain;
    for (size_t i = 0; i < caption.size(); ++i) {
        if (caption[i] != L'&') plain += caption[i];
        else if (i + 1 < caption.size() && caption[i + 1] == L'&') plain += caption[++i];
    }
    return plain;
}

bool SameCaption(std::wstring_view a, std::wstring_view b) { return EqualsNoCase(PlainCaption(a), PlainCaption(b)); }

// Bookmarks and variables are found by name ignoring case.
template <class Items>
auto FindNamed(Items& items, std::wstring_view name) {
    return std::find_if(items.begin(), items.end(), [name](const auto& item) { return EqualsNoCase(item.name, name); });
}

// Word's Path is the folder without a trailing separator.
std::pair<std::wstring, std::wstring> SplitPath(std::wstring_view fullName) {
    const auto cut = fullName.find_last_of(L"\\/");
    if (cut == std::wstring_view::npos) return {L"", std::wstring(fullName)};
    return {std::wstring(fullName.substr(0, cut)), std::wstring(fullName.substr(cut + 1))};
}

// ---- Text and the spans that follow it ------------------------------------------------------

// Where a span lands when [from, to) is replaced by `inserted` characters (see Span).
Span Adjusted(Span span, int32_t from, int32_t to, int32_t inserted) {
    const auto afterDelete = [&](int32_t p) { return p <= from ? p : std::max(from, p - (to - from)); };
    span = {afterDelete(span.start), afterDelete(span.end)};
    const int32_t start = span.start >= from ? span.start + inserted : span.start;
    const int32_t end = span.end > from ? span.end + inserted : span.end;
    return {start, std::max(start, end)};
}

void SortBookmarks(Document& doc) {
    std::stable_sort(doc.bookmarks.begin(), doc.bookmarks.end(), [](const Bookmark& a, const Bookmark& b) {
        if (a.span.start != b.span.start) return a.span.start < b.span.start;
        return Fold(a.name) < Fold(b.name);
    });
}

// Every change of a document's text goes through here, so everything anchored in it moves alike.
void Edit(Document& doc, Span replaced, std::wstring_view text) {
    doc.text.replace(static_cast<size_t>(replaced.start), static_cast<size_t>(replaced.end - replaced.start), text);
    const auto move = [&](Span& span) {
        span = Adjusted(span, replaced.start, replaced.end, static_cast<int32_t>(text.size()));
    };
    for (auto& bookmark : doc.bookmarks) move(bookmark.span);
    for (auto& span : doc.deletions) move(span);
    for (auto& span : doc.comments) move(span);
    move(doc.selection);
    std::erase_if(doc.ranges, [](const std::weak_ptr<Span>& range) { return range.expired(); });
    for (const auto& range : doc.ranges) move(*range.lock());
    SortBookmarks(doc);
}

// Word clamps positions to the story and collapses a range whose start is past its end at the start.
Span Clamped(const Document& doc, int32_t start, int32_t end) {
    const auto length = static_cast<int32_t>(doc.text.size());
    start = std::clamp(start, 0, length);
    return {start, std::clamp(end, start, length)};
}

bool Overlaps(Span a, Span b) { return a.start < b.end && b.start < a.end; }

// Typing replaces the selection only when Options.ReplaceSelection is on, and even then a
// selection holding a comment stays (the text goes at its end), and with track changes on the
// selection stays as a tracked deletion with the text after it. The caret ends after the text.
void TypeInto(Document& doc, std::wstring_view text, bool replaceSelection) {
    const Span selection = doc.selection;
    Span replaced{selection.start, selection.start};
    if (replaceSelection && selection.end > selection.start) {
        const bool holdsComment =
            std::any_of(doc.comments.begin(), doc.comments.end(), [&](Span c) { return Overlaps(c, selection); });
        if (holdsComment || doc.trackRevisions) replaced = {selection.end, selection.end};
        else replaced = selection;
        if (doc.trackRevisions && !holdsComment) doc.deletions.push_back(selection);
    }
    Edit(doc, replaced, text);
    const auto caret = replaced.start + static_cast<int32_t>(text.size());
    doc.selection = {caret, caret};
}

// Adding a bookmark under an existing name moves that bookmark.
void SetBookmark(Document& doc, std::wstring_view name, Span span) {
    std::erase_if(doc.bookmarks, [name](const Bookmark& b) { return EqualsNoCase(b.name, name); });
    doc.bookmarks.push_back({std::wstring(name), span});
    SortBookmarks(doc);
}

bool DropBookmark(Document& doc, std::wstring_view name) {
    return std::erase_if(doc.bookmarks, [name](const Bookmark& b) { return EqualsNoCase(b.name, name); }) > 0;
}

// Word keeps no empty document variable: setting one to "" deletes it.
void SetVariable(Document& doc, std::wstring_view name, std::wstring_view value) {
    const auto found = FindNamed(doc.variables, name);
    if (value.empty()) {
        if (found != doc.variables.end()) doc.variables.erase(found);
    } else if (found != doc.variables.end()) {
        found->value = value;
    } else {
        doc.variables.push_back({std::wstring(name), std::wstring(value)});
    }
}

// ---- Command bar rules ----------------------------------------------------------------------

constexpr int32_t kLastBarPosition = 5;                          // msoBarPopup
constexpr int32_t kButtonStyles[] = {0, 1, 2, 3, 4, 7, 11, 14, 15};  // MsoButtonStyle

bool IsBarPosition(int32_t position) { return position >= port::mso::BarLeft && position <= kLastBarPosition; }

int32_t CheckedPosition(int32_t position) {
    if (!IsBarPosition(position)) Raise(kInvalidCall);
    return position;
}

int32_t CheckedStyle(int32_t style) {
    if (std::find(std::begin(kButtonStyles), std::end(kButtonStyles), style) == std::end(kButtonStyles))
        Raise(kInvalidCall);
    return style;
}

ControlType CheckedControlType(int32_t type) {
    if (type != port::mso::ControlButton && type != port::mso::ControlPopup) Raise(kInvalidCall);
    return static_cast<ControlType>(type);
}

std::shared_ptr<Control> FindByCaption(const ControlHost& host, std::wstring_view caption) {
    const auto found = std::find_if(host.controls.begin(), host.controls.end(),
                                    [caption](const auto& c) { return SameCaption(c->caption, caption); });
    return found == host.controls.end() ? nullptr : *found;
}

// Where a control sits: its bar, the pop-ups down to it (itself last), and its parent.
struct Placement {
    std::shared_ptr<Bar> bar;
    std::vector<std::shared_ptr<Control>> path;
    ControlHost* parent = nullptr;
    size_t index = 0;
};

bool Clickable(const Placement& place) {
    return place.bar->visible && place.bar->enabled &&
           std::all_of(place.path.begin(), place.path.end(), [](const auto& c) { return c->enabled && c->visible; });
}

// ---- Event subscriptions --------------------------------------------------------------------

template <class Sink>
class SinkList {
public:
    uint64_t Add(Sink sink) {
        sinks_.emplace_back(++lastId_, std::move(sink));
        return lastId_;
    }
    void Remove(uint64_t id) {
        std::erase_if(sinks_, [id](const auto& entry) { return entry.first == id; });
    }
    // A copy, so that handlers may connect and disconnect while an event is raised.
    std::vector<Sink> Snapshot() const {
        std::vector<Sink> sinks;
        for (const auto& entry : sinks_) sinks.push_back(entry.second);
        return sinks;
    }

private:
    std::vector<std::pair<uint64_t, Sink>> sinks_;
    uint64_t lastId_ = 0;
};

// Handlers stay with the button even when it is deleted; the Tag decides who hears a click.
struct ClickSink {
    std::weak_ptr<Control> button;
    port::CommandBarButton::ClickHandler handler;
};

}  // namespace

// ---- The state behind a Word and all its port objects ---------------------------------------

// What the user copied: the text and the bookmarks wholly inside it, relative to its start.
struct Clipboard {
    std::wstring text;
    std::vector<Bookmark> bookmarks;
};

struct State {
    std::vector<std::shared_ptr<Document>> documents;  // opening order
    std::vector<std::shared_ptr<Document>> recent;     // activation order, the active one last
    int32_t documentsCreated = 0;
    std::vector<std::shared_ptr<Bar>> bars;
    int32_t barsUnnamed = 0;
    bool normalTemplateSaved = true;
    bool replaceSelection = true;
    bool showBookmarks = false;  // View.ShowBookmarks: one setting for every window, as Word keeps it
    Clipboard clipboard;
    std::wstring version = L"16.0";
    SinkList<std::function<void()>> documentChange;
    SinkList<ClickSink> clicks;
    std::map<std::wstring, int64_t, std::less<>> calls;
    int64_t totalCalls = 0;
    std::map<std::wstring, Refusal, std::less<>> refusals;
    std::function<void(const Document&)> saveAsHook;

    State() {
        for (const auto member : kMembers) calls.emplace(member, 0);
    }

    int64_t& Counter(std::wstring_view member) {
        const auto found = calls.find(member);
        if (found == calls.end())
            throw std::invalid_argument("wordsim: no such member: " + qlora::text::ToUtf8(member));
        return found->second;
    }

    // Every call through the port starts here.
    void Call(std::wstring_view member) {
        ++Counter(member);
        ++totalCalls;
        const auto refused = refusals.find(member);
        if (refused == refusals.end()) return;
        if (refused->second.letThrough > 0) {
            --refused->second.letThrough;
            return;
        }
        throw qlora::Error(refused->second.error.value_or(CommandFailed(member)));
    }

    std::shared_ptr<Document> Active() const { return recent.empty() ? nullptr : recent.back(); }

    // The document a user action works on: the model's driver opens one first.
    std::shared_ptr<Document> UserDocument() const {
        if (recent.empty()) throw std::logic_error("wordsim: no document is open");
        return recent.back();
    }

    std::shared_ptr<Document> ActiveOrFail() const {
        if (recent.empty()) Raise(kNoDocument);
        return recent.back();
    }

    std::shared_ptr<Document> At(int32_t index) const {
        if (index < 1 || index > static_cast<int32_t>(documents.size()))
            throw std::out_of_range("wordsim: no document " + std::to_string(index));
        return documents[static_cast<size_t>(index - 1)];
    }

    void Show(std::shared_ptr<Document> doc, bool raiseDocumentChange = true) {
        documents.push_back(doc);
        recent.push_back(std::move(doc));
        if (raiseDocumentChange) RaiseDocumentChange();
    }

    void Activate(std::shared_ptr<Document> doc) {
        if (Active() == doc) return;
        std::erase(recent, doc);
        recent.push_back(std::move(doc));
        RaiseDocumentChange();
    }

    void Close(std::shared_ptr<Document> doc) {
        std::erase(documents, doc);
        std::erase(recent, doc);
        RaiseDocumentChange();
    }

    void RaiseDocumentChange() const {
        for (const auto& handler : documentChange.Snapshot()) handler();
    }

    std::shared_ptr<Bar> FindBar(std::wstring_view name) const {
        const auto found = std::find_if(bars.begin(), bars.end(), [name](const auto& b) { return EqualsNoCase(b->name, name); });
        return found == bars.end() ? nullptr : *found;
    }

    // The first control on any bar, depth first in display order, that matches.
    std::optional<Placement> Find(const std::function<bool(const Control&)>& match) const {
        Placement place;
        const std::function<bool(ControlHost&)> search = [&](ControlHost& host) {
            for (size_t i = 0; i < host.controls.size(); ++i) {
                place.path.push_back(host.controls[i]);
                if (match(*host.controls[i])) {
                    place.parent = &host;
                    place.index = i;
                    return true;
                }
                if (search(*host.controls[i])) return true;
                place.path.pop_back();
            }
            return false;
        };
        for (const auto& bar : bars) {
            place.bar = bar;
            if (search(*bar)) return place;
        }
        return std::nullopt;
    }

    // Nothing for a control that was deleted, or that sits in a deleted pop-up.
    std::optional<Placement> Locate(const Control* control) const {
        return Find([control](const Control& c) { return &c == control; });
    }

    bool Attached(const ControlHost* host) const {
        return std::any_of(bars.begin(), bars.end(), [host](const auto& b) { return b.get() == host; }) ||
               Find([host](const Control& c) { return static_cast<const ControlHost*>(&c) == host; });
    }

    void ToolbarChanged() { normalTemplateSaved = false; }

    // The live object behind a port object, or the host's error for one that is gone.
    std::shared_ptr<Document> Resolve(const std::weak_ptr<Document>& ref) const {
        auto doc = ref.lock();
        if (!doc || std::find(documents.begin(), documents.end(), doc) == documents.end()) Raise(kObjectDeleted);
        return doc;
    }
    std::shared_ptr<Bar> Resolve(const std::weak_ptr<Bar>& ref) const {
        auto bar = ref.lock();
        if (!bar || !Attached(bar.get())) Raise(kControlDeleted);
        return bar;
    }
    std::shared_ptr<ControlHost> Resolve(const std::weak_ptr<ControlHost>& ref) const {
        auto host = ref.lock();
        if (!host || !Attached(host.get())) Raise(kControlDeleted);
        return host;
    }
    std::shared_ptr<Control> Resolve(const std::weak_ptr<Control>& ref) const {
        auto control = ref.lock();
        if (!control || !Locate(control.get())) Raise(kControlDeleted);
        return control;
    }
};

namespace {

template <class Sink>
port::EventConnection Connect(const std::shared_ptr<State>& state, SinkList<Sink> State::*list, Sink sink) {
    const auto id = ((*state).*list).Add(std::move(sink));
    return port::EventConnection([weak = std::weak_ptr<State>(state), list, id] {
        if (const auto live = weak.lock()) ((*live).*list).Remove(id);
    });
}

// ---- Port objects: thin views that name the model object they stand for ---------------------

class Bound {
public:
    explicit Bound(std::weak_ptr<State> state) : state_(std::move(state)) {}
    virtual ~Bound() = default;
    bool Of(const std::shared_ptr<State>& state) const { return state_.lock() == state; }

protected:
    // Counts the call and applies any refusal; fails once the Word is gone.
    std::shared_ptr<State> Enter(std::wstring_view member) const {
        auto state = state_.lock();
        if (!state) Raise(kDisconnected);
        state->Call(member);
        return state;
    }

    std::weak_ptr<State> state_;
};

template <class Target>
class BoundTo : public Bound {
public:
    BoundTo(std::weak_ptr<State> state, std::weak_ptr<Target> target)
        : Bound(std::move(state)), target_(std::move(target)) {}
    std::shared_ptr<Target> Node() const { return target_.lock(); }

protected:
    struct Entered {
        std::shared_ptr<State> state;
        std::shared_ptr<Target> target;
    };

    Entered Enter(std::wstring_view member) const {
        auto state = Bound::Enter(member);
        auto target = state->Resolve(target_);
        return {std::move(state), std::move(target)};
    }

    template <class Getter>
    auto Get(std::wstring_view member, Getter get) const {
        const auto entered = Enter(member);
        return std::invoke(get, std::as_const(*entered.target));
    }

    // A port object over something this one holds, e.g. a document's bookmarks.
    template <class Impl>
    std::shared_ptr<Impl> Child(std::wstring_view member) const {
        return std::make_shared<Impl>(state_, Enter(member).target);
    }

    // Any toolbar write: counted, refusable, and marking the normal template changed, as Word does
    // for every customization, even one that changes nothing. `change` validates before it writes.
    template <class Change>
    void ChangeToolbar(std::wstring_view member, Change change) const {
        const auto [state, target] = Enter(member);
        change(*state, *target);
        state->ToolbarChanged();
    }

    template <class Field, class Value>
    void PutToolbar(std::wstring_view member, Field field, Value value) const {
        ChangeToolbar(member, [&](State&, Target& target) { std::invoke(field, target) = std::move(value); });
    }

    std::weak_ptr<Target> target_;
};

class RangeImpl final : public port::Range, public BoundTo<Document> {
public:
    RangeImpl(std::weak_ptr<State> state, std::weak_ptr<Document> doc, std::shared_ptr<Span> span)
        : BoundTo(std::move(state), std::move(doc)), span_(std::move(span)) {}
    std::wstring TypeName() const override { return L"Range"; }
    int32_t Start() override { return Get(L"Range.Start.get", [this](const Document&) { return span_->start; }); }
    int32_t End() override { return Get(L"Range.End.get", [this](const Document&) { return span_->end; }); }
    std::wstring Text() override {
        return Get(L"Range.Text.get", [this](const Document& doc) { return doc.TextOf(*span_); });
    }
    void Select() override {
        const auto [state, doc] = Enter(L"Range.Select");
        doc->selection = *span_;
    }
    Span Where() const { return *span_; }

private:
    std::shared_ptr<Span> span_;
};

// A Range object over a span of the document, kept moving with its edits.
std::shared_ptr<port::Range> NewRange(const std::weak_ptr<State>& state, const std::shared_ptr<Document>& doc, Span where) {
    auto span = std::make_shared<Span>(where);
    doc->ranges.push_back(span);
    return std::make_shared<RangeImpl>(state, doc, std::move(span));
}

class SelectionImpl final : public port::Selection, public BoundTo<Document> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"Selection"; }
    int32_t Start() override {
        return Get(L"Selection.Start.get", [](const Document& doc) { return doc.selection.start; });
    }
    std::shared_ptr<port::Range> Range() override {
        const auto [state, doc] = Enter(L"Selection.Range.get");
        return NewRange(state_, doc, doc->selection);
    }
    void TypeText(const std::wstring& text) override {
        const auto [state, doc] = Enter(L"Selection.TypeText");
        TypeInto(*doc, text, state->replaceSelection);
    }
    void SetRange(int32_t start, int32_t end) override {
        const auto [state, doc] = Enter(L"Selection.SetRange");
        doc->selection = Clamped(*doc, start, end);
    }
};

// Bookmark and Variable objects name their item; once it is gone they fail as Word's do.
class BookmarkImpl final : public port::Bookmark, public BoundTo<Document> {
public:
    BookmarkImpl(std::weak_ptr<State> state, std::weak_ptr<Document> doc, std::wstring name)
        : BoundTo(std::move(state), std::move(doc)), name_(std::move(name)) {}
    std::wstring TypeName() const override { return L"Bookmark"; }
    std::wstring Name() override { return Existing(L"Bookmark.Name.get")->name; }
    int32_t Start() override { return Existing(L"Bookmark.Start.get")->span.start; }
    int32_t End() override { return Existing(L"Bookmark.End.get")->span.end; }
    // Removes the mark; the text stays.
    void Delete() override {
        const auto [state, doc] = Enter(L"Bookmark.Delete");
        if (!DropBookmark(*doc, name_)) Raise(kObjectDeleted);
    }

private:
    const ::wordsim::Bookmark* Existing(std::wstring_view member) const {
        const auto [state, doc] = Enter(member);
        const auto* bookmark = doc->FindBookmark(name_);
        if (!bookmark) Raise(kObjectDeleted);
        return bookmark;
    }

    std::wstring name_;
};

class BookmarksImpl final : public port::Bookmarks, public BoundTo<Document> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"Bookmarks"; }
    int32_t Count() override {
        return Get(L"Bookmarks.Count.get", [](const Document& doc) { return static_cast<int32_t>(doc.bookmarks.size()); });
    }
    // A document's Bookmarks(i) counts in the alphabetical list of names, as Word's does.
    std::shared_ptr<port::Bookmark> Item(int32_t index) override {
        const auto [state, doc] = Enter(L"Bookmarks.Item");
        if (index < 1 || index > static_cast<int32_t>(doc->bookmarks.size())) Raise(kNoSuchMember);
        std::vector<std::wstring> names;
        for (const auto& b : doc->bookmarks) names.push_back(b.name);
        std::sort(names.begin(), names.end(), [](const auto& a, const auto& b) { return Fold(a) < Fold(b); });
        return std::make_shared<BookmarkImpl>(state_, doc, names[static_cast<size_t>(index - 1)]);
    }
    std::shared_ptr<port::Bookmark> Item(const std::wstring& name) override {
        const auto [state, doc] = Enter(L"Bookmarks.Item");
        const auto* bookmark = doc->FindBookmark(name);
        if (!bookmark) Raise(kNoSuchMember);
        return std::make_shared<BookmarkImpl>(state_, doc, bookmark->name);
    }
    bool Exists(const std::wstring& name) override {
        return Get(L"Bookmarks.Exists", [&](const Document& doc) { return doc.FindBookmark(name) != nullptr; });
    }
    // Without a range Word marks the selection.
    std::shared_ptr<port::Bookmark> Add(const std::wstring& name, const std::shared_ptr<port::Range>& range) override {
        const auto [state, doc] = Enter(L"Bookmarks.Add");
        if (!ValidBookmarkName(name)) Raise(kBadBookmarkName);
        Span span = doc->selection;
        if (range) {
            const auto ours = std::dynamic_pointer_cast<const RangeImpl>(range);
            if (!ours || ours->Node() != doc) Raise(kValueOutOfRange);
            span = ours->Where();
        }
        SetBookmark(*doc, name, span);
        return std::make_shared<BookmarkImpl>(state_, doc, name);
    }
};

class VariableImpl final : public port::Variable, public BoundTo<Document> {
public:
    VariableImpl(std::weak_ptr<State> state, std::weak_ptr<Document> doc, std::wstring name)
        : BoundTo(std::move(state), std::move(doc)), name_(std::move(name)) {}
    std::wstring TypeName() const override { return L"Variable"; }
    std::wstring Value() override { return Existing(L"Variable.Value.get").second->value; }
    void SetValue(const std::wstring& value) override { SetVariable(*Existing(L"Variable.Value.put").first, name_, value); }
    void Delete() override {
        const auto [doc, variable] = Existing(L"Variable.Delete");
        doc->variables.erase(doc->variables.begin() + (variable - doc->variables.data()));
    }

private:
    std::pair<std::shared_ptr<Document>, ::wordsim::Variable*> Existing(std::wstring_view member) const {
        const auto [state, doc] = Enter(member);
        const auto found = FindNamed(doc->variables, name_);
        if (found == doc->variables.end()) Raise(kObjectDeleted);
        return {doc, &*found};
    }

    std::wstring name_;
};

class VariablesImpl final : public port::Variables, public BoundTo<Document> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"Variables"; }
    // Word answers a missing variable with "Object has been deleted."
    std::shared_ptr<port::Variable> Item(const std::wstring& name) override {
        const auto [state, doc] = Enter(L"Variables.Item");
        if (!doc->FindVariable(name)) Raise(kObjectDeleted);
        return std::make_shared<VariableImpl>(state_, doc, name);
    }
    std::shared_ptr<port::Variable> Add(const std::wstring& name, const std::wstring& value) override {
        const auto [state, doc] = Enter(L"Variables.Add");
        if (doc->FindVariable(name)) Raise(kVariableExists);
        SetVariable(*doc, name, value);
        return std::make_shared<VariableImpl>(state_, doc, name);
    }
};

class DocumentImpl final : public port::Document, public BoundTo<::wordsim::Document> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"Document"; }
    std::wstring Name() override { return Get(L"Document.Name.get", &::wordsim::Document::name); }
    std::wstring Path() override { return Get(L"Document.Path.get", &::wordsim::Document::path); }
    std::wstring FullName() override { return Get(L"Document.FullName.get", &::wordsim::Document::FullName); }
    std::shared_ptr<port::Bookmarks> Bookmarks() override { return Child<BookmarksImpl>(L"Document.Bookmarks.get"); }
    std::shared_ptr<port::Variables> Variables() override { return Child<VariablesImpl>(L"Document.Variables.get"); }
    std::shared_ptr<port::Range> Content() override {
        const auto [state, doc] = Enter(L"Document.Content.get");
        return NewRange(state_, doc, {0, static_cast<int32_t>(doc->text.size())});
    }
    std::shared_ptr<port::Range> Range(int32_t start, int32_t end) override {
        const auto [state, doc] = Enter(L"Document.Range");
        return NewRange(state_, doc, Clamped(*doc, start, end));
    }
    // Records the call and renames the document; the hook writes the file when one is set. The
    // document changes only once the file is written: a refused write leaves it as it was.
    void SaveAs(const port::SaveAsArgs& args) override {
        const auto [state, doc] = Enter(L"Document.SaveAs");
        ::wordsim::Document saved = *doc;
        if (args.FileName) std::tie(saved.path, saved.name) = SplitPath(*args.FileName);
        saved.savedAs = args;
        if (state->saveAsHook) state->saveAsHook(saved);
        doc->path = std::move(saved.path);
        doc->name = std::move(saved.name);
        doc->savedAs = std::move(saved.savedAs);
    }
    // The model keeps no unsaved changes: it closes without asking either way.
    void Close(std::optional<bool>) override {
        const auto [state, doc] = Enter(L"Document.Close");
        state->Close(doc);
    }
};

class DocumentsImpl final : public port::Documents, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"Documents"; }
    int32_t Count() override { return static_cast<int32_t>(Enter(L"Documents.Count.get")->documents.size()); }
};

class TemplateImpl final : public port::Template, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"Template"; }
    bool Saved() override { return Enter(L"Template.Saved.get")->normalTemplateSaved; }
    void SetSaved(bool saved) override { Enter(L"Template.Saved.put")->normalTemplateSaved = saved; }
};

std::shared_ptr<port::CommandBarControl> WrapControl(const std::weak_ptr<State>& state, const std::shared_ptr<Control>& control);

class ControlsImpl final : public port::CommandBarControls, public BoundTo<ControlHost> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"CommandBarControls"; }
    std::shared_ptr<port::CommandBarControl> Item(const std::wstring& caption) override {
        auto found = FindByCaption(*Enter(L"CommandBarControls.Item").target, caption);
        if (!found) Raise(kInvalidCall);
        return WrapControl(state_, found);
    }
    std::shared_ptr<port::CommandBarControl> Add(int32_t type, bool temporary) override {
        auto added = std::make_shared<Control>();
        ChangeToolbar(L"CommandBarControls.Add", [&](State&, ControlHost& host) {
            added->type = CheckedControlType(type);
            added->temporary = temporary;
            host.controls.push_back(added);
        });
        return WrapControl(state_, added);
    }
};

// The members buttons and pop-ups share.
template <class Port>
class ControlImpl : public Port, public BoundTo<Control> {
public:
    using BoundTo::BoundTo;
    std::wstring Caption() override { return Get(L"CommandBarControl.Caption.get", &Control::caption); }
    void SetCaption(const std::wstring& caption) override {
        PutToolbar(L"CommandBarControl.Caption.put", &Control::caption, caption);
    }
    std::wstring Parameter() override { return Get(L"CommandBarControl.Parameter.get", &Control::parameter); }
    void SetParameter(const std::wstring& parameter) override {
        PutToolbar(L"CommandBarControl.Parameter.put", &Control::parameter, parameter);
    }
    void SetTooltipText(const std::wstring& text) override {
        PutToolbar(L"CommandBarControl.TooltipText.put", &Control::tooltipText, text);
    }
    void SetTag(const std::wstring& tag) override { PutToolbar(L"CommandBarControl.Tag.put", &Control::tag, tag); }
    void SetEnabled(bool enabled) override { PutToolbar(L"CommandBarControl.Enabled.put", &Control::enabled, enabled); }
    void SetVisible(bool visible) override { PutToolbar(L"CommandBarControl.Visible.put", &Control::visible, visible); }

    // `before` is a position among the controls as they are now; 1..count+1.
    void Move(std::optional<int32_t> before) override {
        ChangeToolbar(L"CommandBarControl.Move", [&](State& state, Control& control) {
            const auto place = state.Locate(&control);
            auto& siblings = place->parent->controls;
            const auto count = static_cast<int32_t>(siblings.size());
            const int32_t to = before.value_or(count + 1) - 1;
            if (to < 0 || to > count) Raise(kInvalidCall);
            const auto from = static_cast<int32_t>(place->index);
            if (to == from || to == from + 1) return;  // already there
            auto moved = siblings[place->index];
            siblings.erase(siblings.begin() + from);
            siblings.insert(siblings.begin() + (to > from ? to - 1 : to), std::move(moved));
        });
    }
    void Delete() override {
        ChangeToolbar(L"CommandBarControl.Delete", [](State& state, Control& control) {
            const auto place = state.Locate(&control);
            place->parent->controls.erase(place->parent->controls.begin() + static_cast<std::ptrdiff_t>(place->index));
        });
    }
};

class ButtonImpl final : public ControlImpl<port::CommandBarButton> {
public:
    using ControlImpl::ControlImpl;
    std::wstring TypeName() const override { return L"CommandBarButton"; }
    void SetStyle(int32_t style) override {
        ChangeToolbar(L"CommandBarButton.Style.put", [&](State&, Control& c) { c.style = CheckedStyle(style); });
    }
    void SetFaceId(int32_t faceId) override { PutToolbar(L"CommandBarButton.FaceId.put", &Control::faceId, faceId); }
    port::EventConnection AdviseClick(ClickHandler handler) override {
        const auto [state, button] = Enter(L"CommandBarButton.Click.advise");
        return Connect(state, &State::clicks, ClickSink{button, std::move(handler)});
    }
};

class PopupImpl final : public ControlImpl<port::CommandBarPopup> {
public:
    using ControlImpl::ControlImpl;
    std::wstring TypeName() const override { return L"CommandBarPopup"; }
    std::shared_ptr<port::CommandBarControls> Controls() override {
        return Child<ControlsImpl>(L"CommandBarPopup.Controls.get");
    }
};

std::shared_ptr<port::CommandBarControl> WrapControl(const std::weak_ptr<State>& state, const std::shared_ptr<Control>& control) {
    if (control->type == ControlType::Popup) return std::make_shared<PopupImpl>(state, control);
    return std::make_shared<ButtonImpl>(state, control);
}

class CommandBarImpl final : public port::CommandBar, public BoundTo<Bar> {
public:
    using BoundTo::BoundTo;
    std::wstring TypeName() const override { return L"CommandBar"; }
    int32_t Left() override { return Get(L"CommandBar.Left.get", &Bar::left); }
    void SetLeft(int32_t value) override { PutToolbar(L"CommandBar.Left.put", &Bar::left, value); }
    int32_t Top() override { return Get(L"CommandBar.Top.get", &Bar::top); }
    void SetTop(int32_t value) override { PutToolbar(L"CommandBar.Top.put", &Bar::top, value); }
    int32_t Position() override { return Get(L"CommandBar.Position.get", &Bar::position); }
    void SetPosition(int32_t value) override {
        ChangeToolbar(L"CommandBar.Position.put", [&](State&, Bar& bar) { bar.position = CheckedPosition(value); });
    }
    int32_t RowIndex() override { return Get(L"CommandBar.RowIndex.get", &Bar::rowIndex); }
    void SetRowIndex(int32_t value) override { PutToolbar(L"CommandBar.RowIndex.put", &Bar::rowIndex, value); }
    bool Visible() override { return Get(L"CommandBar.Visible.get", &Bar::visible); }
    void SetVisible(bool visible) override { PutToolbar(L"CommandBar.Visible.put", &Bar::visible, visible); }
    std::shared_ptr<port::CommandBarControls> Controls() override { return Child<ControlsImpl>(L"CommandBar.Controls.get"); }
    void Delete() override {
        ChangeToolbar(L"CommandBar.Delete", [](State& state, Bar& bar) {
            std::erase_if(state.bars, [&](const auto& b) { return b.get() == &bar; });
        });
    }
};

class CommandBarsImpl final : public port::CommandBars, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"CommandBars"; }
    std::shared_ptr<port::CommandBar> Item(const std::wstring& name) override {
        auto bar = Enter(L"CommandBars.Item")->FindBar(name);
        if (!bar) Raise(kInvalidCall);
        return std::make_shared<CommandBarImpl>(state_, bar);
    }
    // Office names an unnamed bar "Custom <n>" and refuses a name in use.
    std::shared_ptr<port::CommandBar> Add(const std::wstring& name, bool temporary) override {
        const auto state = Enter(L"CommandBars.Add");
        auto bar = std::make_shared<Bar>();
        bar->name = name.empty() ? L"Custom " + Decimal(state->barsUnnamed + 1) : name;
        if (state->FindBar(bar->name)) Raise(kInvalidCall);
        if (name.empty()) ++state->barsUnnamed;
        bar->temporary = temporary;
        state->bars.push_back(bar);
        state->ToolbarChanged();
        return std::make_shared<CommandBarImpl>(state_, bar);
    }
};

class ViewImpl final : public port::View, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"View"; }
    bool ShowBookmarks() override { return Enter(L"View.ShowBookmarks.get")->showBookmarks; }
    void SetShowBookmarks(bool show) override { Enter(L"View.ShowBookmarks.put")->showBookmarks = show; }
};

class WindowImpl final : public port::Window, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"Window"; }
    std::shared_ptr<port::View> View() override {
        Enter(L"Window.View.get");
        return std::make_shared<ViewImpl>(state_);
    }
};

class ApplicationImpl final : public port::Application, public Bound {
public:
    using Bound::Bound;
    std::wstring TypeName() const override { return L"Application"; }
    std::shared_ptr<port::Document> ActiveDocument() override {
        return std::make_shared<DocumentImpl>(state_, Enter(L"Application.ActiveDocument.get")->ActiveOrFail());
    }
    std::shared_ptr<port::Window> ActiveWindow() override {
        Enter(L"Application.ActiveWindow.get")->ActiveOrFail();
        return std::make_shared<WindowImpl>(state_);
    }
    // The selection of the window active now; it stays with that document.
    std::shared_ptr<port::Selection> Selection() override {
        return std::make_shared<SelectionImpl>(state_, Enter(L"Application.Selection.get")->ActiveOrFail());
    }
    std::shared_ptr<port::Documents> Documents() override {
        Enter(L"Application.Documents.get");
        return std::make_shared<DocumentsImpl>(state_);
    }
    std::shared_ptr<port::Template> NormalTemplate() override {
        Enter(L"Application.NormalTemplate.get");
        return std::make_shared<TemplateImpl>(state_);
    }
    std::shared_ptr<port::CommandBars> CommandBars() override {
        Enter(L"Application.CommandBars.get");
        return std::make_shared<CommandBarsImpl>(state_);
    }
    std::wstring Version() override { return Enter(L"Application.Version.get")->version; }
    port::EventConnection AdviseDocumentChange(std::function<void()> handler) override {
        return Connect(Enter(L"Application.DocumentChange.advise"), &State::documentChange, std::move(handler));
    }
};

// ---- Dumps ----------------------------------------------------------------------------------

std::wstring Quoted(std::wstring_view s) {
    std::wstring out = L"\"";
    for (const wchar_t c : s) {
        switch (c) {
            case L'"': out += L"\\\""; break;
            case L'\r': out += L"\\r"; break;
            case L'\n': out += L"\\n"; break;
            case L'\t': out += L"\\t"; break;
            default: out += c;
        }
    }
    return out + L"\"";
}

std::wstring Shown(Span span) { return L"[" + Decimal(span.start) + L", " + Decimal(span.end) + L")"; }

void DumpControls(std::wostringstream& out, const ControlHost& host, size_t depth) {
    for (const auto& c : host.controls) {
        const bool button = c->type == ControlType::Button;
        out << std::wstring(2 * depth, L' ') << (button ? L"Button " : L"Popup ") << Quoted(c->caption)
            << L" tag=" << Quoted(c->tag) << L" parameter=" << Quoted(c->parameter)
            << L" tooltip=" << Quoted(c->tooltipText) << L" enabled=" << c->enabled << L" visible=" << c->visible;
        if (button) out << L" style=" << c->style << L" face=" << c->faceId;
        out << L" temporary=" << c->temporary << L"\n";
        DumpControls(out, *c, depth + 1);
    }
}

}  // namespace

// ---- Document ---------------------------------------------------------------------------------

std::wstring Document::FullName() const {
    if (path.empty()) return name;
    const bool slashes = path.find(L'/') != std::wstring::npos && path.find(L'\\') == std::wstring::npos;
    return path + (slashes ? L'/' : L'\\') + name;
}

std::wstring Document::TextOf(Span span) const {
    const auto start = std::min(static_cast<size_t>(std::max(span.start, 0)), text.size());
    return text.substr(start, static_cast<size_t>(std::max(span.end - span.start, 0)));
}

const Bookmark* Document::FindBookmark(std::wstring_view name) const {
    const auto found = FindNamed(bookmarks, name);
    return found == bookmarks.end() ? nullptr : &*found;
}

const Variable* Document::FindVariable(std::wstring_view name) const {
    const auto found = FindNamed(variables, name);
    return found == variables.end() ? nullptr : &*found;
}

// ---- Word -------------------------------------------------------------------------------------

Word::Word() : state_(std::make_shared<State>()) {}
Word::~Word() = default;

std::shared_ptr<port::Application> Word::Application() { return std::make_shared<ApplicationImpl>(state_); }

std::shared_ptr<const Document> Word::NewDocument(bool raiseDocumentChange) {
    auto doc = std::make_shared<Document>();
    doc->name = L"Document" + Decimal(++state_->documentsCreated);
    state_->Show(doc, raiseDocumentChange);
    return doc;
}

std::shared_ptr<const Document> Word::OpenDocument(std::wstring_view fullName, std::wstring text) {
    const auto& open = state_->documents;
    const auto found = std::find_if(open.begin(), open.end(), [&](const auto& d) { return EqualsNoCase(d->FullName(), fullName); });
    if (found != open.end()) {
        auto doc = *found;
        state_->Activate(doc);
        return doc;
    }
    auto doc = std::make_shared<Document>();
    std::tie(doc->path, doc->name) = SplitPath(fullName);
    doc->text = std::move(text);
    state_->Show(doc);
    return doc;
}

void Word::ActivateDocument(int32_t index) { state_->Activate(state_->At(index)); }

void Word::CloseDocument(std::optional<int32_t> index) {
    auto doc = index ? state_->At(*index) : state_->Active();
    if (!doc) throw std::out_of_range("wordsim: no document is open");
    state_->Close(std::move(doc));
}

int32_t Word::DocumentCount() const { return static_cast<int32_t>(state_->documents.size()); }
std::shared_ptr<const Document> Word::DocumentAt(int32_t index) const { return state_->At(index); }
std::shared_ptr<const Document> Word::ActiveDocument() const { return state_->Active(); }

void Word::ReplaceText(int32_t start, int32_t end, std::wstring_view text) {
    const auto doc = state_->UserDocument();
    Edit(*doc, Clamped(*doc, start, end), text);
}

void Word::Select(int32_t start, int32_t end) {
    const auto doc = state_->UserDocument();
    doc->selection = Clamped(*doc, start, end);
}

void Word::Type(std::wstring_view text) { TypeInto(*state_->UserDocument(), text, state_->replaceSelection); }

bool Word::DeleteBookmark(std::wstring_view name) {
    return DropBookmark(*state_->UserDocument(), name);
}

void Word::SetTrackRevisions(bool on) { state_->UserDocument()->trackRevisions = on; }

void Word::AddComment(int32_t start, int32_t end) {
    const auto doc = state_->UserDocument();
    doc->comments.push_back(Clamped(*doc, start, end));
}

namespace {

// The model document behind a port document of this Word.
std::shared_ptr<Document> ModelDocument(const std::shared_ptr<State>& state, const port::Document& document) {
    const auto* bound = dynamic_cast<const BoundTo<Document>*>(&document);
    if (!bound || !bound->Of(state)) Raise(kInvalidCall);
    return state->Resolve(bound->Node());
}

}  // namespace

bool Word::TrackRevisions(const port::Document& document) const {
    return ModelDocument(state_, document)->trackRevisions;
}

void Word::SetTrackRevisions(const port::Document& document, bool on) {
    ModelDocument(state_, document)->trackRevisions = on;
}

void Word::Copy(int32_t start, int32_t end) {
    const auto doc = state_->UserDocument();
    const Span copied = Clamped(*doc, start, end);
    Clipboard clipboard{doc->TextOf(copied), {}};
    for (const auto& b : doc->bookmarks)
        if (b.span.start >= copied.start && b.span.end <= copied.end)
            clipboard.bookmarks.push_back({b.name, {b.span.start - copied.start, b.span.end - copied.start}});
    state_->clipboard = std::move(clipboard);
}

void Word::Paste() {
    const auto doc = state_->UserDocument();
    const int32_t at = doc->selection.start;
    TypeInto(*doc, state_->clipboard.text, state_->replaceSelection);
    for (const auto& b : state_->clipboard.bookmarks)
        if (!doc->FindBookmark(b.name)) SetBookmark(*doc, b.name, {at + b.span.start, at + b.span.end});
}

bool Word::ShowBookmarks() const { return state_->showBookmarks; }

void Word::OnSaveAs(std::function<void(const Document&)> hook) { state_->saveAsHook = std::move(hook); }

bool Word::ReplaceSelection() const { return state_->replaceSelection; }
void Word::SetReplaceSelection(bool on) { state_->replaceSelection = on; }
const std::wstring& Word::Version() const { return state_->version; }
void Word::SetVersion(std::wstring version) { state_->version = std::move(version); }
bool Word::NormalTemplateSaved() const { return state_->normalTemplateSaved; }
void Word::SetNormalTemplateSaved(bool saved) { state_->normalTemplateSaved = saved; }

std::vector<std::shared_ptr<const Bar>> Word::Bars() const { return {state_->bars.begin(), state_->bars.end()}; }

std::shared_ptr<const Bar> Word::FindBar(std::wstring_view name) const { return state_->FindBar(name); }

std::shared_ptr<const Control> Word::FindControl(std::wstring_view path) const {
    const auto names = qlora::text::Split(path, L"/");
    const ControlHost* host = state_->FindBar(names.front()).get();
    std::shared_ptr<const Control> found;
    for (size_t i = 1; host && i < names.size(); ++i) host = (found = FindByCaption(*host, names[i])).get();
    return host ? found : nullptr;
}

std::shared_ptr<const Control> Word::ControlOf(const std::shared_ptr<port::CommandBarControl>& control) const {
    const auto bound = std::dynamic_pointer_cast<const BoundTo<Control>>(control);
    return bound && bound->Of(state_) ? bound->Node() : nullptr;
}

void Word::MoveBar(std::wstring_view name, int32_t position, int32_t left, int32_t top, int32_t rowIndex) {
    const auto bar = state_->FindBar(name);
    if (!bar) throw std::invalid_argument("wordsim: no command bar " + qlora::text::ToUtf8(name));
    if (!IsBarPosition(position)) throw std::invalid_argument("wordsim: no bar position " + std::to_string(position));
    bar->position = position;
    bar->left = left;
    bar->top = top;
    bar->rowIndex = rowIndex;
}

bool Word::Click(const std::shared_ptr<const Control>& control) {
    const auto place = control ? state_->Locate(control.get()) : std::nullopt;
    if (!place || control->type != ControlType::Button || !Clickable(*place)) return false;
    const auto& clicked = place->path.back();
    std::vector<port::CommandBarButton::ClickHandler> handlers;
    for (const auto& sink : state_->clicks.Snapshot()) {
        const auto button = sink.button.lock();
        const bool sharesTag = button && !clicked->tag.empty() && button->tag == clicked->tag && state_->Locate(button.get());
        if (button == clicked || sharesTag) handlers.push_back(sink.handler);
    }
    const std::shared_ptr<port::CommandBarButton> ctrl = std::make_shared<ButtonImpl>(state_, clicked);
    bool cancelDefault = false;
    for (const auto& handler : handlers) handler(ctrl, cancelDefault);
    return true;
}

bool Word::Click(std::wstring_view path) {
    const auto control = FindControl(path);
    if (!control) throw std::invalid_argument("wordsim: no control at " + qlora::text::ToUtf8(path));
    return Click(control);
}

void Word::Refuse(std::wstring_view member, Refusal refusal) {
    state_->Counter(member);  // only known members
    state_->refusals.insert_or_assign(std::wstring(member), std::move(refusal));
}

void Word::Allow(std::wstring_view member) {
    state_->Counter(member);
    state_->refusals.erase(std::wstring(member));
}

int64_t Word::CallCount(std::wstring_view member) const { return state_->Counter(member); }
int64_t Word::TotalCalls() const { return state_->totalCalls; }

void Word::ResetCallCounts() {
    for (auto& entry : state_->calls) entry.second = 0;
    state_->totalCalls = 0;
}

std::wstring Word::DumpToolbars() const {
    std::wostringstream out;
    out << std::boolalpha << L"NormalTemplate saved=" << state_->normalTemplateSaved << L"\n";
    for (const auto& bar : state_->bars) {
        out << L"Bar " << Quoted(bar->name) << L" position=" << bar->position << L" row=" << bar->rowIndex
            << L" left=" << bar->left << L" top=" << bar->top << L" enabled=" << bar->enabled
            << L" visible=" << bar->visible << L" temporary=" << bar->temporary << L"\n";
        DumpControls(out, *bar, 1);
    }
    return out.str();
}

std::wstring Word::DumpDocument() const {
    const auto doc = state_->Active();
    if (!doc) return L"No document open.\n";
    std::wostringstream out;
    out << L"Document " << Quoted(doc->name) << L" full name " << Quoted(doc->FullName()) << L"\n"
        << L"Text " << Quoted(doc->text) << L"\n"
        << L"Selection " << Shown(doc->selection) << L" " << Quoted(doc->TextOf(doc->selection)) << L"\n"
        << L"View bookmarks shown=" << std::boolalpha << state_->showBookmarks << std::noboolalpha << L"\n";
    for (const auto& b : doc->bookmarks)
        out << L"Bookmark " << Quoted(b.name) << L" " << Shown(b.span) << L" " << Quoted(doc->TextOf(b.span)) << L"\n";
    for (const auto& d : doc->deletions) out << L"Deleted " << Shown(d) << L" " << Quoted(doc->TextOf(d)) << L"\n";
    for (const auto& c : doc->comments) out << L"Comment " << Shown(c) << L" " << Quoted(doc->TextOf(c)) << L"\n";
    for (const auto& v : doc->variables) out << L"Variable " << Quoted(v.name) << L" = " << Quoted(v.value) << L"\n";
    if (doc->savedAs)
        out << L"SavedAs " << Quoted(doc->savedAs->FileName.value_or(L"")) << L" format "
            << doc->savedAs->FileFormat.value_or(port::wdFormatDocument) << L"\n";
    return out.str();
}

}  // namespace wordsim
