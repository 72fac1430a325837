// Driving the add-in's dialogs from a test as a user would, with window messages: steps run on
// this thread's timer while a dialog's (or a message box's) modal loop runs, find the windows by
// their titles, read the controls back and press them. Also a PNG picture of a window.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_answers_win.h"

namespace qlora::testing {

// Steps run one after the other at the timer ticks of this thread, each once its window shows;
// a step may open the next window itself (a message box), whose step then runs inside that
// window's loop. A window that never shows fails the test, and what this thread shows is closed,
// so that no modal loop is left waiting.
class DialogDriver {
public:
    // Waits for a shown window of this thread with the title (a dialog, a message box, the save
    // dialog), then acts on it.
    struct Step {
        std::wstring title;
        std::function<void(HWND)> act;
    };

    explicit DialogDriver(std::vector<Step> steps);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Finished() const noexcept { return next_ >= steps_.size(); }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD);
    void RunStep();

    std::vector<Step> steps_;
    size_t next_ = 0;
    int attempts_ = 0;
    UINT_PTR timer_ = 0;
};

// Reading windows and acting on them as the user does: wordsim's, which scripts use too.
using wordsim::FindThreadWindow;
using wordsim::ListEntries;
using wordsim::MessageText;
using wordsim::SelectEntry;
using wordsim::WindowText;

// Presses a push button of a dialog as a click does; the button must be enabled.
inline void Press(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    ASSERT_TRUE(button && ::IsWindowEnabled(button)) << "button " << id << " cannot be pressed";
    wordsim::PressButton(dialog, button);
}
inline bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
// The tool tip text the dialog's tool tips give a control; empty when it has none.
inline std::wstring ToolTipOf(HWND dialog, int id) { return wordsim::ToolTipOf(dialog, ::GetDlgItem(dialog, id)); }

// A list view's selection (1-based), and a drag of an entry of one list dropped at the middle of
// a row of another list (or the same one).
inline std::optional<int> ListSelection(HWND list) {
    const int index = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    return index < 0 ? std::nullopt : std::optional<int>(index + 1);
}
void DragEntry(HWND dialog, int fromList, int item, int toList, int row);

// Writes what the window shows, its frame included, as a PNG file; a failure fails the test.
void SavePicture(HWND window, const std::wstring& path);

}  // namespace qlora::testing
