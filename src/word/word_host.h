// The part of Word's and Office's object model that the add-in calls: one abstract class per
// object, with exactly the members the add-in uses. The Windows adapter implements it over
// IDispatch; the in-memory Word model (tools/wordsim) implements it for the tests and for wordsim.
//
// Every member may fail: a failure is a qlora::Error carrying the host's number, source and
// description. Objects are shared references, as COM references are.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "base/event_connection.h"

namespace qlora::word {

// Office constants the add-in uses (MsoControlType, MsoButtonStyle, MsoBarPosition).
namespace mso {
inline constexpr int32_t ControlButton = 1;
inline constexpr int32_t ControlPopup = 10;
inline constexpr int32_t ButtonIcon = 1;
inline constexpr int32_t ButtonCaption = 2;
inline constexpr int32_t ButtonIconAndCaption = 3;
inline constexpr int32_t BarLeft = 0;
inline constexpr int32_t BarTop = 1;
inline constexpr int32_t BarRight = 2;
inline constexpr int32_t BarBottom = 3;
inline constexpr int32_t BarFloating = 4;
}  // namespace mso

// Word's document formats (WdSaveFormat) the add-in uses.
inline constexpr int32_t wdFormatDocument = 0;

// Word's events hand out the add-in's one subscription owner.
using qlora::EventConnection;

// Every host object can name its type, as the error trail shows object arguments ("{CommandBar}").
class Object {
public:
    virtual ~Object() = default;
    virtual std::wstring TypeName() const = 0;
};

class Range : public Object {
public:
    virtual int32_t Start() = 0;
    virtual int32_t End() = 0;
    virtual std::wstring Text() = 0;
    virtual void Select() = 0;  // becomes the selection of the document's window
};

class Bookmark : public Object {
public:
    virtual std::wstring Name() = 0;
    virtual int32_t Start() = 0;
    virtual int32_t End() = 0;
    virtual void Delete() = 0;  // the bookmark only, never its text
};

class Bookmarks : public Object {
public:
    virtual int32_t Count() = 0;
    virtual std::shared_ptr<Bookmark> Item(int32_t index) = 0;  // 1-based
    virtual std::shared_ptr<Bookmark> Item(const std::wstring& name) = 0;  // fails for a missing name
    virtual bool Exists(const std::wstring& name) = 0;
    virtual std::shared_ptr<Bookmark> Add(const std::wstring& name, const std::shared_ptr<Range>& range) = 0;
};

class Variable : public Object {
public:
    virtual std::wstring Value() = 0;
    virtual void SetValue(const std::wstring& value) = 0;
    virtual void Delete() = 0;
};

class Variables : public Object {
public:
    virtual std::shared_ptr<Variable> Item(const std::wstring& name) = 0;  // fails for a missing name
    virtual std::shared_ptr<Variable> Add(const std::wstring& name, const std::wstring& value) = 0;  // fails for an existing one
};

// Document.SaveAs: eleven optional arguments; an empty optional is omitted in the call.
struct SaveAsArgs {
    std::optional<std::wstring> FileName;
    std::optional<int32_t> FileFormat;
    std::optional<bool> LockComments;
    std::optional<std::wstring> Password;
    std::optional<bool> AddToRecentFiles;
    std::optional<std::wstring> WritePassword;
    std::optional<bool> ReadOnlyRecommended;
    std::optional<bool> EmbedTrueTypeFonts;
    std::optional<bool> SaveNativePictureFormat;
    std::optional<bool> SaveFormsData;
    std::optional<bool> SaveAsAOCELetter;
};

class Document : public Object {
public:
    virtual std::wstring Name() = 0;
    virtual std::wstring Path() = 0;  // empty for a document never saved
    virtual std::wstring FullName() = 0;
    virtual std::shared_ptr<word::Bookmarks> Bookmarks() = 0;
    virtual std::shared_ptr<word::Variables> Variables() = 0;
    virtual std::shared_ptr<word::Range> Content() = 0;  // the main text, whole
    virtual std::shared_ptr<word::Range> Range(int32_t start, int32_t end) = 0;
    virtual void SaveAs(const SaveAsArgs& args) = 0;
    // SaveChanges false closes without saving and without asking; omitted, Word asks when the
    // document has unsaved changes.
    virtual void Close(std::optional<bool> SaveChanges) = 0;
};

class Documents : public Object {
public:
    virtual int32_t Count() = 0;
};

class Selection : public Object {
public:
    virtual int32_t Start() = 0;
    virtual std::shared_ptr<word::Range> Range() = 0;
    virtual void TypeText(const std::wstring& text) = 0;
    virtual void SetRange(int32_t start, int32_t end) = 0;
};

class View : public Object {
public:
    virtual bool ShowBookmarks() = 0;  // Word's brackets around every bookmark
    virtual void SetShowBookmarks(bool show) = 0;
};

class Window : public Object {
public:
    virtual std::shared_ptr<word::View> View() = 0;
};

class Template : public Object {
public:
    virtual bool Saved() = 0;
    virtual void SetSaved(bool saved) = 0;
};

class CommandBarControls;

class CommandBarControl : public Object {
public:
    virtual std::wstring Caption() = 0;
    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual std::wstring Parameter() = 0;
    virtual void SetParameter(const std::wstring& parameter) = 0;
    virtual void SetTooltipText(const std::wstring& text) = 0;
    virtual void SetTag(const std::wstring& tag) = 0;
    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetVisible(bool visible) = 0;
    // Moves the control within its bar: before the control now at position `before` (1-based),
    // or to the end when omitted.
    virtual void Move(std::optional<int32_t> before) = 0;
    virtual void Delete() = 0;
};

class CommandBarButton : public CommandBarControl {
public:
    using ClickHandler = std::function<void(const std::shared_ptr<CommandBarButton>& ctrl, bool& cancelDefault)>;

    virtual void SetStyle(int32_t style) = 0;
    virtual void SetFaceId(int32_t faceId) = 0;
    // Office raises Click in every handler attached to a button with the clicked button's Tag.
    virtual EventConnection AdviseClick(ClickHandler handler) = 0;
};

class CommandBarPopup : public CommandBarControl {
public:
    virtual std::shared_ptr<CommandBarControls> Controls() = 0;
};

class CommandBarControls : public Object {
public:
    virtual std::shared_ptr<CommandBarControl> Item(const std::wstring& caption) = 0;  // fails when absent
    virtual std::shared_ptr<CommandBarControl> Add(int32_t type, bool temporary) = 0;   // at the end
};

class CommandBar : public Object {
public:
    virtual int32_t Left() = 0;
    virtual void SetLeft(int32_t value) = 0;
    virtual int32_t Top() = 0;
    virtual void SetTop(int32_t value) = 0;
    virtual int32_t Position() = 0;
    virtual void SetPosition(int32_t value) = 0;
    virtual int32_t RowIndex() = 0;
    virtual void SetRowIndex(int32_t value) = 0;
    virtual bool Visible() = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual std::shared_ptr<CommandBarControls> Controls() = 0;
    virtual void Delete() = 0;  // takes the bar and its controls out of Word
};

class CommandBars : public Object {
public:
    virtual std::shared_ptr<CommandBar> Item(const std::wstring& name) = 0;  // fails when absent
    virtual std::shared_ptr<CommandBar> Add(const std::wstring& name, bool temporary) = 0;
};

class Application : public Object {
public:
    virtual std::shared_ptr<Document> ActiveDocument() = 0;  // fails when no document is open
    virtual std::shared_ptr<Window> ActiveWindow() = 0;      // likewise
    virtual std::shared_ptr<word::Selection> Selection() = 0;
    virtual std::shared_ptr<word::Documents> Documents() = 0;
    virtual std::shared_ptr<Template> NormalTemplate() = 0;
    virtual std::shared_ptr<word::CommandBars> CommandBars() = 0;
    virtual std::wstring Version() = 0;
    virtual EventConnection AdviseDocumentChange(std::function<void()> handler) = 0;
};

// A control as the button or pop-up it is, or nothing when it is of another kind.
inline std::shared_ptr<CommandBarButton> AsButton(const std::shared_ptr<CommandBarControl>& c) {
    return std::dynamic_pointer_cast<CommandBarButton>(c);
}
inline std::shared_ptr<CommandBarPopup> AsPopup(const std::shared_ptr<CommandBarControl>& c) {
    return std::dynamic_pointer_cast<CommandBarPopup>(c);
}

}  // namespace qlora::word
