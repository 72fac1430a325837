// The commands "Check wildcards" and "Show wildcards". Toolbar buttons and any other face of the
// add-in call the same two entry points of basCheckWildcards; each reports its own failures.
//
// frmCheckWildcards is the dialog's logic: it reads the active document's text and bookmarks
// once, lists what is wrong in document order, selects a place on "Go to" (the dialog stays
// open) and repairs everything on "Repair all". Only bookmarks ever change, never the text.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "toolbar/wildcard_check.h"
#include "word/word_host.h"

namespace qlora {

class frmCheckWildcards {
public:
    static constexpr wchar_t kTypeName[] = L"frmCheckWildcards";

    struct Line {
        std::wstring kind;      // "Not marked", "Damaged", ...
        std::wstring wildcard;  // "<<Subject>>" in the add-in's language, or an unknown bookmark's name
        std::wstring excerpt;   // the text around it
        friend bool operator==(const Line&, const Line&) = default;
    };

    // Reads the document and checks it.
    explicit frmCheckWildcards(std::shared_ptr<word::Document> document);

    const wildcardCheck::Result& Result() const noexcept { return result_; }
    std::vector<Line> Lines() const;
    // "%1 wildcards checked: all are marked." when nothing is wrong, else "".
    std::wstring AllMarkedText() const;

    // Selects the place of the line (0-based) in the document. Reports any failure.
    void cmdGoTo_Click(int32_t index);
    // Repairs every problem a repair can mend, reads the document again and returns what to tell
    // the user. Reports any failure and returns "" then.
    std::wstring cmdRepairAll_Click();

private:
    void Read();

    std::shared_ptr<word::Document> document_;
    std::wstring text_;
    std::vector<wildcardCheck::Mark> bookmarks_;
    wildcardCheck::Result result_;
};

// The dialog, installed by the Windows adapter (Installed<CheckWildcardsView>): modal, without
// an owner window, until the user closes it.
class CheckWildcardsView {
public:
    virtual ~CheckWildcardsView() = default;
    virtual void ShowCheckDialog(frmCheckWildcards& form) = 0;
};

namespace basCheckWildcards {

// "Check wildcards": checks the active document; a message when all is well, else the dialog.
void CheckWildcards();
// "Show wildcards": switches Word's display of bookmarks in the active window.
void ShowWildcards();

}  // namespace basCheckWildcards
}  // namespace qlora
