// The in-memory Word: documents, the selection, bookmarks, variables, the normal template and
// Office command bars, behind the add-in's Word port (addin/word_host.h). The tests drive the
// add-in against it; wordsim gives it a COM face and prints its state.
//
// Ownership: a Word owns all state. The port objects it hands out hold weak references, so they
// may outlive it; a call through one after the Word is gone fails as a call into a Word that has
// quit does (RPC_E_DISCONNECTED).
//
// Errors the port objects raise (qlora::Error; number, source, description):
//   4248  Microsoft Word    "This command is not available because no document is open."
//                           ActiveDocument or Selection with no document open.
//   5825  Microsoft Word    "Object has been deleted."
//                           Variables.Item of a missing name; any object of a closed document;
//                           a deleted variable or bookmark.
//   5828  Microsoft Word    "Bad bookmark name."
//   5903  Microsoft Word    "The variable name already exists."   Variables.Add of an existing name.
//   5941  Microsoft Word    "The requested member of the collection does not exist."
//                           Bookmarks.Item out of range.
//   4608  Microsoft Word    "Value out of range."   Bookmarks.Add with a range of another document.
//   4198  Microsoft Word    "Command failed: wordsim refuses <member>"   a refused member (Refuse).
//   5     Microsoft Office  "Invalid procedure call or argument"
//                           missing bar or control, duplicate bar name, bad control type,
//                           position or style, Move out of range.
//   -2147467259 (E_FAIL)  Microsoft Office  "The control has been deleted."
//                           any member of a deleted control, or of the controls of a deleted pop-up.
//   -2147417848 (RPC_E_DISCONNECTED)  Microsoft Word  a call after the Word is gone.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/error.h"
#include "word/word_host.h"

namespace wordsim {

// Every member of the port as refusal and call counting name it: "Object.Member" for methods,
// "Object.Property.get" / ".put" for properties, "Object.Event.advise" for event subscriptions.
// The object is the port class that declares the member, so "CommandBarControl.Caption.put"
// covers buttons and pop-ups alike. TypeName() is not a call into Word and is not listed.
inline constexpr std::wstring_view kMembers[] = {
    L"Application.ActiveDocument.get", L"Application.Selection.get", L"Application.Documents.get",
    L"Application.NormalTemplate.get", L"Application.CommandBars.get", L"Application.Version.get",
    L"Application.DocumentChange.advise", L"Application.ActiveWindow.get",
    L"Window.View.get", L"View.ShowBookmarks.get", L"View.ShowBookmarks.put",
    L"Documents.Count.get",
    L"Document.Name.get", L"Document.Path.get", L"Document.FullName.get",
    L"Document.Bookmarks.get", L"Document.Variables.get", L"Document.SaveAs", L"Document.Close",
    L"Document.Content.get", L"Document.Range",
    L"Selection.Start.get", L"Selection.Range.get", L"Selection.TypeText", L"Selection.SetRange",
    L"Range.Start.get", L"Range.End.get", L"Range.Text.get", L"Range.Select",
    L"Bookmarks.Count.get", L"Bookmarks.Item", L"Bookmarks.Exists", L"Bookmarks.Add",
    L"Bookmark.Name.get", L"Bookmark.Start.get", L"Bookmark.End.get", L"Bookmark.Delete",
    L"Variables.Item", L"Variables.Add",
    L"Variable.Value.get", L"Variable.Value.put", L"Variable.Delete",
    L"Template.Saved.get", L"Template.Saved.put",
    L"CommandBars.Item", L"CommandBars.Add",
    L"CommandBar.Left.get", L"CommandBar.Left.put", L"CommandBar.Top.get", L"CommandBar.Top.put",
    L"CommandBar.Position.get", L"CommandBar.Position.put",
    L"CommandBar.RowIndex.get", L"CommandBar.RowIndex.put",
    L"CommandBar.Visible.get", L"CommandBar.Visible.put", L"CommandBar.Controls.get", L"CommandBar.Delete",
    L"CommandBarControls.Item", L"CommandBarControls.Add",
    L"CommandBarControl.Caption.get", L"CommandBarControl.Caption.put",
    L"CommandBarControl.Parameter.get", L"CommandBarControl.Parameter.put",
    L"CommandBarControl.TooltipText.put", L"CommandBarControl.Tag.put",
    L"CommandBarControl.Enabled.put", L"CommandBarControl.Visible.put",
    L"CommandBarControl.Move", L"CommandBarControl.Delete",
    L"CommandBarButton.Style.put", L"CommandBarButton.FaceId.put", L"CommandBarButton.Click.advise",
    L"CommandBarPopup.Controls.get",
};

// [start, end) in a document's text, 0-based. Bookmarks, the selection and Range objects all
// follow edits by one rule: deleted text pulls positions back to the edit; inserted text goes
// inside a span only when strictly inside it, so a span starting at the edit moves after the new
// text and a span ending there stays before it (a collapsed span at the edit moves after it).
struct Span {
    int32_t start = 0;
    int32_t end = 0;
    friend bool operator==(const Span&, const Span&) = default;
};

struct Bookmark {
    std::wstring name;
    Span span;
};

struct Variable {
    std::wstring name;
    std::wstring value;
};

struct Document {
    std::wstring name;  // "Document<n>" or the file part of the path it was opened or saved as
    std::wstring path;  // the folder, without a trailing separator; empty until saved
    std::wstring text;
    // By start, then by name ignoring case, as "print document" shows them; Bookmarks.Item(i)
    // counts by name instead, as Word's collection of a document does.
    std::vector<Bookmark> bookmarks;
    std::vector<Variable> variables;  // in the order added
    // Track changes (Document.TrackRevisions): typing over a selection keeps the replaced text in
    // the document as a tracked deletion, and the typed text goes after it.
    bool trackRevisions = false;
    std::vector<Span> deletions;  // tracked deletions, still part of the text
    // Comments, by the text they are anchored to. Word's TypeText does not replace a selection
    // holding one: the text goes at the selection's end.
    std::vector<Span> comments;
    Span selection;
    std::optional<qlora::word::SaveAsArgs> savedAs;  // the arguments of the last SaveAs
    std::vector<std::weak_ptr<Span>> ranges;         // Range objects handed out, kept moving with edits

    std::wstring FullName() const;
    std::wstring TextOf(Span span) const;
    const Bookmark* FindBookmark(std::wstring_view name) const;  // names ignore case, as Word's do
    const Variable* FindVariable(std::wstring_view name) const;  // likewise
};

enum class ControlType : int32_t {
    Button = qlora::word::mso::ControlButton,
    Popup = qlora::word::mso::ControlPopup,
};

struct Control;

// A command bar or a pop-up: what holds controls, in display order.
struct ControlHost {
    std::vector<std::shared_ptr<Control>> controls;
};

// A button or a pop-up; only pop-ups ever hold controls.
struct Control : ControlHost {
    ControlType type = ControlType::Button;
    bool temporary = false;
    std::wstring caption;
    std::wstring tag;
    std::wstring parameter;
    std::wstring tooltipText;
    bool enabled = true;
    bool visible = true;
    int32_t style = 0;  // msoButtonAutomatic
    int32_t faceId = 0;
};

struct Bar : ControlHost {
    std::wstring name;
    bool temporary = false;
    int32_t position = qlora::word::mso::BarFloating;
    int32_t rowIndex = 0;
    int32_t left = 0;
    int32_t top = 0;
    bool visible = false;
    bool enabled = true;
};

// How a member refuses (Word::Refuse): after letting `letThrough` more calls succeed, every call
// fails with `error` (default: Word's "Command failed", 4198).
struct Refusal {
    int32_t letThrough = 0;
    std::optional<qlora::ErrorInfo> error;
};

struct State;

class Word {
public:
    Word();
    ~Word();
    Word(const Word&) = delete;
    Word& operator=(const Word&) = delete;

    // A new port object per call; all of them see this Word.
    std::shared_ptr<qlora::word::Application> Application();

    // Documents, as the user drives them. Each change of the active document raises
    // DocumentChange: a new or opened document, activating another one, closing any document.
    // Whether Word raises DocumentChange for the blank document it opens at start-up is not
    // documented: raiseDocumentChange false stands for a Word that does not.
    std::shared_ptr<const Document> NewDocument(bool raiseDocumentChange = true);
    // Opening a document that is open already (full names ignore case) activates it instead.
    std::shared_ptr<const Document> OpenDocument(std::wstring_view fullName, std::wstring text);
    void ActivateDocument(int32_t index);  // 1-based, in opening order; activating the active one raises nothing
    // Closes the document at `index` (1-based), by default the active one; the document active
    // before it becomes active again. Throws std::out_of_range for a bad index or no document.
    void CloseDocument(std::optional<int32_t> index = {});
    int32_t DocumentCount() const;
    std::shared_ptr<const Document> DocumentAt(int32_t index) const;  // 1-based
    std::shared_ptr<const Document> ActiveDocument() const;           // nullptr when none is open
    // An edit of the active document by the user: replaces [start, end) (clamped) by `text`.
    void ReplaceText(int32_t start, int32_t end, std::wstring_view text);
    // The user selects [start, end) (clamped as Selection.SetRange clamps) and types at the
    // selection as Selection.TypeText types. User actions are not calls of the add-in: they are
    // neither counted nor refused. Without a document they throw std::logic_error.
    void Select(int32_t start, int32_t end);
    void Type(std::wstring_view text);
    bool DeleteBookmark(std::wstring_view name);  // in the active document; false when absent
    // The user turns track changes on or off in the active document, or adds a comment to
    // [start, end) of it (clamped).
    void SetTrackRevisions(bool on);
    void AddComment(int32_t start, int32_t end);
    // Document.TrackRevisions of the model document behind a port document (a foreign object or
    // a closed document fails as Word's do).
    bool TrackRevisions(const qlora::word::Document& document) const;
    void SetTrackRevisions(const qlora::word::Document& document, bool on);
    // The user copies [start, end) (clamped) of the active document and pastes it at the selection
    // (replacing it as typing does). As Word does, the copy carries the bookmarks wholly inside
    // it, and the paste adds only those whose names the document does not have.
    void Copy(int32_t start, int32_t end);
    void Paste();
    bool ShowBookmarks() const;  // View.ShowBookmarks
    // Called by every Document.SaveAs with the document as it is to be saved (a writer hooks in
    // here). When the hook throws, the save fails and the document keeps its name and path.
    void OnSaveAs(std::function<void(const Document&)> hook);

    // Options and application state.
    bool ReplaceSelection() const;  // Options.ReplaceSelection: typing replaces the selection
    void SetReplaceSelection(bool on);
    const std::wstring& Version() const;
    void SetVersion(std::wstring version);
    bool NormalTemplateSaved() const;  // toolbar changes turn it false
    void SetNormalTemplateSaved(bool saved);

    // Command bars. Paths name a bar and then captions: "Quillora Toolbar/Insert wildcard/Subject";
    // names and captions ignore case and accelerator marks ('&').
    std::vector<std::shared_ptr<const Bar>> Bars() const;
    std::shared_ptr<const Bar> FindBar(std::wstring_view name) const;
    std::shared_ptr<const Control> FindControl(std::wstring_view path) const;  // nullptr when absent
    // The user drags a bar to a position (MsoBarPosition), place and row. Throws
    // std::invalid_argument for an unknown bar or position.
    void MoveBar(std::wstring_view name, int32_t position, int32_t left, int32_t top, int32_t rowIndex);
    // The model control behind a port control: two port objects are the same control exactly
    // when this gives the same pointer. nullptr for a foreign object or a vanished control.
    std::shared_ptr<const Control> ControlOf(const std::shared_ptr<qlora::word::CommandBarControl>& control) const;
    // Clicks a button as the user does: raises Click in every handler attached to a button on a
    // command bar with the clicked button's Tag (with an empty Tag, only the button's own), in the
    // order they were attached, passing the clicked button. Returns false, raising nothing, when
    // the control cannot be clicked: a pop-up, a deleted control, or one that is disabled or
    // hidden itself or through its pop-ups or bar. Click(path) throws std::invalid_argument when
    // nothing is at the path.
    bool Click(const std::shared_ptr<const Control>& control);
    bool Click(std::wstring_view path);

    // Refusal and call counting, by the names in kMembers; other names throw std::invalid_argument.
    // A refused call still counts.
    void Refuse(std::wstring_view member, Refusal refusal = {});
    void Allow(std::wstring_view member);
    int64_t CallCount(std::wstring_view member) const;
    int64_t TotalCalls() const;
    void ResetCallCounts();

    // Readable, deterministic state for wordsim and for failing tests.
    std::wstring DumpToolbars() const;
    std::wstring DumpDocument() const;  // the active document

private:
    std::shared_ptr<State> state_;
};

}  // namespace wordsim
