// Word's COM face: the in-memory Word model as the automation objects an add-in calls late-bound
// (Application, Documents, Document, Selection, Range, Bookmarks, Bookmark, Variables, Variable,
// Template, Options, CommandBars, CommandBar, CommandBarControls, CommandBarButton,
// CommandBarPopup), with Word's DocumentChange (ApplicationEvents2/3/4) and the buttons' Click
// (_CommandBarButtonEvents) raised through connection points.
//
// Every member goes through the model's port, so the model counts and refuses it as it does for
// a direct caller, and its failures arrive as DISP_E_EXCEPTION with Word's number, source and
// description.
#pragma once

#include <memory>

#include "automation_win.h"
#include "word_model.h"

namespace wordsim::com {

inline constexpr IID kApplicationEvents2 = {0x000209FE, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kApplicationEvents3 = {0x00020A00, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kApplicationEvents4 = {0x00020A01, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr IID kCommandBarButtonEvents = {0x000C0351, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
inline constexpr DISPID kDocumentChange = 3;
inline constexpr DISPID kClick = 1;

class Face {
public:
    explicit Face(std::shared_ptr<Word> word);

    // Word's Application object, as Word hands it to an add-in; a new object per call.
    ComPtr<IDispatch> Application() const;

    // The calls made through this face's objects so far.
    const ComCalls& Calls() const { return context_->calls; }
    void ResetCalls() { context_->calls = {}; }
    // The face's objects alive now, wherever they are held.
    long LiveObjects() const { return context_->liveObjects; }
    // What objects made beside the face's own share with them (the counts).
    const Context& State() const { return context_; }

private:
    Context context_;
};

}  // namespace wordsim::com
