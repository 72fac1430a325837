// The session host of the wordsim program: Word's message loop on this thread, its add-ins
// loaded through the Office add-in key, files on the disk and documents saved as RTF.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "addin_host_win.h"
#include "com_face_win.h"
#include "dialog_answers_win.h"
#include "session.h"
#include "win/win32_win.h"
#include "word_model.h"

namespace wordsim {

// Every Document.SaveAs of the Word writes the document as RTF under the name it was given,
// replacing a file there only once the new one is complete. A file that cannot be written fails
// the save with Word's "Command failed" (4198).
void SaveDocumentsAsRtf(Word& word);

// The message loop of Word's user-interface thread: what waits now, or for a while.
void PumpMessages();
void PumpMessagesFor(int32_t milliseconds);

// Everything a handle (a file, a pipe, standard input) gives until its end.
std::string ReadAll(HANDLE handle);

// The blank document Word opens as it starts: none (as "winword /n" starts), or one for which
// DocumentChange is raised or not, since Word does not document which it does.
enum class StartupDocument { None, Announced, Quiet };

class WinSessionHost final : public SessionHost {
public:
    // Without `loadAddIns` Word starts as "winword /a" does: it connects no add-in at start-up.
    // The start-up document opens once the add-ins are connected, before their OnStartupComplete.
    WinSessionHost(const std::shared_ptr<Word>& word, Print print, bool loadAddIns,
                   StartupDocument startupDocument = StartupDocument::None);

    void Start() override;
    void Idle() override { PumpMessages(); }
    void Wait(int32_t milliseconds) override { PumpMessagesFor(milliseconds); }
    void LoadAddIn(const std::wstring& progId) override { addIns_.Connect(progId); }
    void UnloadAddIn(const std::wstring& progId) override { addIns_.Disconnect(progId); }
    void Quit() override { addIns_.Shutdown(); }
    void AnswerDialog(std::wstring title, std::vector<std::wstring> actions) override {
        answers_.Add(std::move(title), std::move(actions));
    }
    std::wstring DialogTrouble() override { return answers_.TakeTrouble(); }
    std::vector<std::wstring> WaitingDialogs() const override { return answers_.Waiting(); }
    std::string ReadFile(const std::wstring& path) override;
    ComCalls Calls() const override { return face_.Calls(); }
    bool ClickRibbon(const std::wstring& path) override { return addIns_.Ribbon().Click(path); }
    std::wstring DumpRibbon() override { return addIns_.Ribbon().Dump(); }

    const com::Face& Face() const { return face_; }
    // Word's main window ("OpusApp"): the owner of the add-ins' modal windows, disabled meanwhile.
    HWND MainWindow() const { return window_.get(); }
    const AddInHost& AddIns() const { return addIns_; }

private:
    void OpenStartupDocument();
    // The user clicks a control while a window may be open: a disabled Word takes no clicks.
    void ClickUnlessDisabled(const std::wstring& path);

    std::shared_ptr<Word> word_;
    qlora::win::UniqueWindow window_;
    com::Face face_;
    AddInHost addIns_;
    Print print_;
    DialogAnswers answers_;
    bool loadAddIns_;
    StartupDocument startupDocument_;
};

}  // namespace wordsim
