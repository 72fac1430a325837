#include "dialog_driver.h"

#include <gtest/gtest.h>

#include <utility>

#include "base/error.h"
#include "base/text.h"
#include "win/win32_win.h"

namespace qlora::testing {
namespace {

constexpr UINT kTickMilliseconds = 20;
constexpr int kPatience = 3000;  // ticks a step waits for its window before the test gives up

thread_local DialogDriver* gDriver = nullptr;

}  // namespace

DialogDriver::DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
    gDriver = this;
    timer_ = ::SetTimer(nullptr, 0, kTickMilliseconds, &Tick);
}

DialogDriver::~DialogDriver() {
    ::KillTimer(nullptr, timer_);
    gDriver = nullptr;
    EXPECT_TRUE(Finished()) << "the dialogs ended before step " << next_ + 1 << " of " << steps_.size();
}

void CALLBACK DialogDriver::Tick(HWND, UINT, UINT_PTR, DWORD) {
    if (gDriver) gDriver->RunStep();
}

void DialogDriver::RunStep() {
    if (Finished()) return;
    const Step& step = steps_[next_];
    const HWND window = FindThreadWindow(step.title);
    if (!window) {
        if (++attempts_ < kPatience) return;
        ADD_FAILURE() << "no window \"" << text::ToUtf8(step.title) << "\" showed for step " << next_ + 1;
        next_ = steps_.size();
        for (const HWND open : wordsim::ThreadWindows()) {
            // Cancel ends dialogs, message boxes and the file dialogs alike; any other window closes.
            const bool dialog = wordsim::ClassOf(open) == L"#32770";
            ::PostMessageW(open, dialog ? WM_COMMAND : WM_CLOSE, dialog ? IDCANCEL : 0, 0);
        }
        return;
    }
    // Done before it acts: the act may open the next step's window and run its loop.
    ++next_;
    attempts_ = 0;
    step.act(window);
}

void DragEntry(HWND dialog, int fromList, int item, int toList, int row) {
    const HWND from = ::GetDlgItem(dialog, fromList);
    const HWND to = ::GetDlgItem(dialog, toList);
    SelectEntry(from, item);  // the mouse going down on the entry selects it
    NMLISTVIEW begin{};
    begin.hdr = {from, static_cast<UINT_PTR>(fromList), LVN_BEGINDRAG};
    begin.iItem = item - 1;
    ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(fromList), reinterpret_cast<LPARAM>(&begin));

    RECT place{};
    ListView_GetItemRect(to, row - 1, &place, LVIR_BOUNDS);
    POINT drop{(place.left + place.right) / 2, (place.top + place.bottom) / 2};
    ::MapWindowPoints(to, dialog, &drop, 1);
    ::SendMessageW(dialog, WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
}

void SavePicture(HWND window, const std::wstring& path) {
    try {
        wordsim::SavePicture(window, path);
    } catch (const Error& e) {
        ADD_FAILURE() << "writing " << text::ToUtf8(path) << ": " << text::ToUtf8(e.Description());
    }
}

}  // namespace qlora::testing
