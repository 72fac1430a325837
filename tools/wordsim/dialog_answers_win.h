// The user at the add-in's dialogs: the windows of Word's thread read and worked as a user (or a
// test) does, by their titles, captions, tool tips and list entries, and the answers a script
// gives a dialog before the click that opens it. Also a PNG picture of a window.
#pragma once

#include <windows.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace wordsim {

// Every shown top-level window of this thread, and the one with exactly this title.
std::vector<HWND> ThreadWindows();
HWND FindThreadWindow(const std::wstring& title);

std::wstring WindowText(HWND window);
std::wstring ClassOf(HWND window);
// The texts of a message box (its static controls) joined by line breaks.
std::wstring MessageText(HWND box);
// The tool tip text the dialog's tool tips give a control; empty when it has none.
std::wstring ToolTipOf(HWND dialog, HWND control);
// A list view's entries (first column); selecting one (1-based) as the user does.
std::vector<std::wstring> ListEntries(HWND list);
void SelectEntry(HWND list, int index);
// Presses a push button as a click does.
void PressButton(HWND dialog, HWND button);
// Writes what the window shows, its frame included, as a PNG file. Failures are qlora::Error.
void SavePicture(HWND window, const std::wstring& path);

// Answers dialogs when they show: each answer waits for the next shown window of this thread with
// its title and then runs its actions in order, on a timer of the thread, so inside the modal
// loop of whatever opened the window. Actions:
//   press <caption or tool tip>   a button of the window
//   select <entry>                the entry in whichever list view holds it
//   set <n> <text>                the n-th edit box (1-based) gets the text
//   picture <path>                a PNG picture of the window
//   print                         the window's texts and list entries, one per line
//   click <path>                  the user tries a toolbar control of Word meanwhile
// A failing action ends the window with Cancel, so that nothing is left waiting.
class DialogAnswers {
public:
    using Print = std::function<void(std::wstring_view line)>;
    using Click = std::function<void(const std::wstring& path)>;
    DialogAnswers(Print print, Click click);
    ~DialogAnswers();
    DialogAnswers(const DialogAnswers&) = delete;
    DialogAnswers& operator=(const DialogAnswers&) = delete;

    void Add(std::wstring title, std::vector<std::wstring> actions);
    // What went wrong since the last call ("" when nothing did).
    std::wstring TakeTrouble();
    // The titles still waited for.
    std::vector<std::wstring> Waiting() const;

private:
    struct Answer {
        std::wstring title;
        std::vector<std::wstring> actions;
    };
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD);
    void AnswerShownWindows();
    void Act(HWND window, const std::wstring& title, const std::wstring& action);

    Print print_;
    Click click_;
    std::deque<Answer> answers_;
    std::wstring trouble_;
    UINT_PTR timer_ = 0;
};

}  // namespace wordsim
