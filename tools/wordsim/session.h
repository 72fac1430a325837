// A scripted user session in wordsim: one action per line (tools/wordsim/README.md), run against
// the Word model, with Word's add-ins, message loop and files behind a host.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "com_calls.h"
#include "word_model.h"

namespace wordsim {

// Where a session's output goes, one line at a time (without the line break).
using Print = std::function<void(std::wstring_view line)>;

// What a session needs beyond the model. Failures are qlora::Error.
class SessionHost {
public:
    virtual ~SessionHost() = default;
    // Word has started: it connects the add-ins registered for start-up.
    virtual void Start() = 0;
    // Runs what waits in the message loop, then returns.
    virtual void Idle() = 0;
    // Runs the message loop for that long: timers tick, posted messages arrive.
    virtual void Wait(int32_t milliseconds) = 0;
    // The user connects or disconnects an add-in while Word runs.
    virtual void LoadAddIn(const std::wstring& progId) = 0;
    virtual void UnloadAddIn(const std::wstring& progId) = 0;
    // Word quits: every add-in is told and disconnected.
    virtual void Quit() = 0;
    // The user answers the next window with this title (a dialog or a message box) with these
    // actions once it shows, typically inside the click that opens it. What went wrong answering
    // since the last call ("" when nothing did), and the titles still waited for.
    virtual void AnswerDialog(std::wstring title, std::vector<std::wstring> actions) = 0;
    virtual std::wstring DialogTrouble() = 0;
    virtual std::vector<std::wstring> WaitingDialogs() const = 0;
    virtual std::string ReadFile(const std::wstring& path) = 0;
    virtual ComCalls Calls() const = 0;
    // The user clicks a Ribbon control at a path of labels; false when it is disabled. Fails with
    // std::invalid_argument when there is none.
    virtual bool ClickRibbon(const std::wstring& path) = 0;
    virtual std::wstring DumpRibbon() = 0;
};

// UTF-8 text, a byte order mark skipped: how scripts and documents are read.
std::wstring Utf8Text(std::string_view bytes);

// A document file's text as Word holds it: UTF-8, each line break ("\r\n", "\n" or "\r") a
// paragraph mark ("\r").
std::wstring DocumentText(std::string_view bytes);

// What one step of a run cost Word: its time (with the messages that waited after it) and its
// calls into Word's COM face.
struct StepCost {
    size_t line = 0;  // 0: Word's start, or its quitting at the end of a script without quit
    std::wstring step;
    Cost cost;
};

class Session {
public:
    // Exit codes of a run.
    static constexpr int kPassed = 0;
    static constexpr int kExpectationFailed = 1;
    static constexpr int kScriptError = 2;

    Session(Word& word, SessionHost& host, Print print);

    // Starts Word, runs the script's lines and quits Word (when the script has not). Every step
    // prints its line ("> click ..."); the first failing step ends the script with a message
    // naming its line.
    int Run(std::wstring_view script);

    // The steps of the last run that succeeded, in order, with what each cost.
    const std::vector<StepCost>& Costs() const { return costs_; }

private:
    struct Step;
    static const Step* FindStep(std::wstring_view name);

    void Do(std::wstring_view line);

    void New(std::wstring_view args);
    void Open(std::wstring_view args);
    void Activate(std::wstring_view args);
    void Close(std::wstring_view args);
    void Type(std::wstring_view args);
    void Select(std::wstring_view args);
    void TrackChanges(std::wstring_view args);
    void Comment(std::wstring_view args);
    void Copy(std::wstring_view args);
    void Paste(std::wstring_view args);
    void Click(std::wstring_view args);
    void ClickRibbon(std::wstring_view args);
    void MoveToolbar(std::wstring_view args);
    void Wait(std::wstring_view args);
    void PrintState(std::wstring_view args);
    void SaveAs(std::wstring_view args);
    void Refuse(std::wstring_view args);
    void Allow(std::wstring_view args);
    void LoadAddIn(std::wstring_view args);
    void UnloadAddIn(std::wstring_view args);
    void Expect(std::wstring_view args);
    void ExpectNot(std::wstring_view args);
    void Quit(std::wstring_view args);
    void Dialog(std::wstring_view args);

    void Show(const std::wstring& text);
    // Runs a step of the script, or Word's start or end, and notes its cost.
    template <class Action>
    void Timed(size_t line, std::wstring_view step, Action&& action);

    Word& word_;
    SessionHost& host_;
    Print print_;
    std::wstring lastPrint_;
    bool printed_ = false;
    bool quit_ = false;
    std::vector<StepCost> costs_;
};

}  // namespace wordsim
