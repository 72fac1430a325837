#include "session.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "settings/program_settings.h"

namespace wordsim {

using qlora::text::Decimal;

namespace {

// A step that cannot be done as written, and an expectation the state does not meet.
struct ScriptError {
    std::wstring message;
};
struct ExpectationFailed {
    std::wstring message;
};

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

std::wstring_view Trimmed(std::wstring_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The blank-separated words of a text, as views into it.
std::vector<std::wstring_view> Words(std::wstring_view s) {
    std::vector<std::wstring_view> words;
    for (size_t at = 0; at < s.size();) {
        if (IsBlank(s[at])) {
            ++at;
            continue;
        }
        size_t end = at;
        while (end < s.size() && !IsBlank(s[end])) ++end;
        words.push_back(s.substr(at, end - at));
        at = end;
    }
    return words;
}

int32_t Number(std::wstring_view word, std::wstring_view what) {
    const auto value = qlora::ParseWholeNumber(word);
    if (!value) throw ScriptError{std::wstring(what) + L" must be a whole number, not \"" + std::wstring(word) + L"\""};
    return *value;
}

// Exactly `count` words, or the step's usage as the error.
std::vector<std::wstring_view> Exactly(std::wstring_view args, size_t count, std::wstring_view usage) {
    auto words = Words(args);
    if (words.size() != count) throw ScriptError{L"usage: " + std::wstring(usage)};
    return words;
}

std::wstring Required(std::wstring_view args, std::wstring_view usage) {
    const auto text = Trimmed(args);
    if (text.empty()) throw ScriptError{L"usage: " + std::wstring(usage)};
    return std::wstring(text);
}

// What `type` types: the rest of the line, with \n for a paragraph mark, \t for a tab and \\ for
// a backslash.
std::wstring Unescaped(std::wstring_view s) {
    std::wstring out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] != L'\\') {
            out += s[i];
            continue;
        }
        const wchar_t next = i + 1 < s.size() ? s[++i] : L'\0';
        switch (next) {
            case L'n': out += L'\r'; break;
            case L't': out += L'\t'; break;
            case L'\\': out += L'\\'; break;
            default: throw ScriptError{L"type: unknown escape \"\\" + std::wstring(1, next) + L"\" (\\n, \\t and \\\\ are known)"};
        }
    }
    return out;
}

std::wstring Message(const std::exception& e) {
    std::wstring text = qlora::text::FromUtf8(e.what());
    if (text.starts_with(L"wordsim: ")) text.erase(0, 9);
    return text;
}

}  // namespace

std::wstring Utf8Text(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
    return qlora::text::FromUtf8(bytes);
}

std::wstring DocumentText(std::string_view bytes) {
    std::wstring text;
    const std::wstring decoded = Utf8Text(bytes);
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (decoded[i] == L'\r' && i + 1 < decoded.size() && decoded[i + 1] == L'\n') continue;  // the \n counts
        text += decoded[i] == L'\n' ? L'\r' : decoded[i];
    }
    return text;
}

struct Session::Step {
    std::wstring_view name;
    void (Session::*run)(std::wstring_view args);
};

Session::Session(Word& word, SessionHost& host, Print print) : word_(word), host_(host), print_(std::move(print)) {}

template <class Action>
void Session::Timed(size_t line, std::wstring_view step, Action&& action) {
    const Cost cost = CostOf([&] { return host_.Calls(); }, std::forward<Action>(action));
    costs_.push_back({line, std::wstring(step), cost});
}

int Session::Run(std::wstring_view script) {
    int result = kPassed;
    const auto fail = [&](size_t line, int code, const std::wstring& message) {
        print_(L"wordsim: line " + Decimal(static_cast<long long>(line)) + L": " + message);
        result = code;
    };
    costs_.clear();
    Timed(0, L"Word starts", [&] { host_.Start(); });
    const auto lines = qlora::text::Split(script, L"\n");
    for (size_t i = 0; i < lines.size() && result == kPassed; ++i) {
        std::wstring_view line = lines[i];
        if (!line.empty() && line.back() == L'\r') line.remove_suffix(1);
        while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
        if (line.empty() || line.front() == L'#') continue;
        if (quit_) {
            fail(i + 1, kScriptError, L"Word has quit: no step can follow quit");
            break;
        }
        print_(L"> " + std::wstring(line));
        try {
            Timed(i + 1, line, [&] {
                Do(line);
                host_.Idle();
            });
            if (const auto trouble = host_.DialogTrouble(); !trouble.empty()) throw ScriptError{trouble};
        } catch (const ScriptError& e) {
            fail(i + 1, kScriptError, e.message);
        } catch (const ExpectationFailed& e) {
            fail(i + 1, kExpectationFailed, e.message);
        } catch (const qlora::Error& e) {
            fail(i + 1, kScriptError,
                 L"Word failed: error " + Decimal(e.Number()) + L" (" + e.Source() + L"): " + e.Description());
        } catch (const std::exception& e) {
            fail(i + 1, kScriptError, Message(e));
        }
    }
    if (!quit_) {
        print_(L"> quit (end of script)");
        Timed(0, L"quit (end of script)", [&] { Quit({}); });
    }
    for (const auto& title : host_.WaitingDialogs()) {
        if (result != kPassed) break;
        print_(L"wordsim: the dialog \"" + title + L"\" never showed");
        result = kScriptError;
    }
    return result;
}

void Session::Do(std::wstring_view line) {
    const auto blank = std::find_if(line.begin(), line.end(), IsBlank);
    const std::wstring_view name = line.substr(0, static_cast<size_t>(blank - line.begin()));
    // The arguments start after one blank: `type` types the rest exactly.
    const std::wstring_view args = blank == line.end() ? std::wstring_view() : line.substr(name.size() + 1);
    const Step* step = FindStep(name);
    if (!step) throw ScriptError{L"unknown step \"" + std::wstring(name) + L"\" (see tools/wordsim/README.md)"};
    (this->*step->run)(args);
}

void Session::Show(const std::wstring& text) {
    lastPrint_ = text;
    printed_ = true;
    auto lines = qlora::text::Split(text, L"\n");
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    for (const auto& line : lines) print_(line);
}

void Session::New(std::wstring_view args) {
    Exactly(args, 0, L"new");
    word_.NewDocument();
}

void Session::Open(std::wstring_view args) {
    const std::wstring path = Required(args, L"open <path>");
    std::string bytes;
    try {
        bytes = host_.ReadFile(path);
    } catch (const qlora::Error& e) {
        throw ScriptError{L"open: cannot read " + path + L": " + e.Description()};
    }
    word_.OpenDocument(path, DocumentText(bytes));
}

void Session::Activate(std::wstring_view args) {
    word_.ActivateDocument(Number(Exactly(args, 1, L"activate <n>")[0], L"activate: the document's number"));
}

void Session::Close(std::wstring_view args) {
    const auto words = Words(args);
    if (words.size() > 1) throw ScriptError{L"usage: close [<n>]"};
    if (words.empty()) word_.CloseDocument();
    else word_.CloseDocument(Number(words[0], L"close: the document's number"));
}

void Session::Type(std::wstring_view args) { word_.Type(Unescaped(args)); }

void Session::Select(std::wstring_view args) {
    const auto words = Exactly(args, 2, L"select <start> <end>");
    word_.Select(Number(words[0], L"select: start"), Number(words[1], L"select: end"));
}

void Session::TrackChanges(std::wstring_view args) {
    const auto word = Exactly(args, 1, L"track-changes on|off")[0];
    if (word != L"on" && word != L"off") throw ScriptError{L"usage: track-changes on|off"};
    word_.SetTrackRevisions(word == L"on");
}

void Session::Comment(std::wstring_view args) {
    const auto words = Exactly(args, 2, L"comment <start> <end>");
    word_.AddComment(Number(words[0], L"comment: start"), Number(words[1], L"comment: end"));
}

void Session::Copy(std::wstring_view args) {
    const auto words = Exactly(args, 2, L"copy <start> <end>");
    word_.Copy(Number(words[0], L"copy: start"), Number(words[1], L"copy: end"));
}

void Session::Paste(std::wstring_view args) {
    Exactly(args, 0, L"paste");
    word_.Paste();
}

void Session::Click(std::wstring_view args) {
    const std::wstring path = Required(args, L"click <bar>/<caption>/...");
    if (!word_.FindControl(path)) throw ScriptError{L"click: no control at \"" + path + L"\""};
    if (!word_.Click(path)) print_(L"  nothing happens: the control is a pop-up, or it is disabled or hidden");
}

void Session::ClickRibbon(std::wstring_view args) {
    const std::wstring path = Required(args, L"ribbon <tab>/<control>[/<menu button>]");
    if (!host_.ClickRibbon(path)) print_(L"  nothing happens: the control is disabled");
}

void Session::MoveToolbar(std::wstring_view args) {
    constexpr std::wstring_view usage = L"move-toolbar <name> <position> <left> <top> <rowindex>";
    const auto words = Words(args);
    if (words.size() < 5) throw ScriptError{L"usage: " + std::wstring(usage)};
    const auto numbers = words.end() - 4;
    const std::wstring name(Trimmed(args.substr(0, static_cast<size_t>(numbers->data() - args.data()))));
    word_.MoveBar(name, Number(numbers[0], L"move-toolbar: position"), Number(numbers[1], L"move-toolbar: left"),
                  Number(numbers[2], L"move-toolbar: top"), Number(numbers[3], L"move-toolbar: rowindex"));
}

void Session::Wait(std::wstring_view args) {
    const int32_t milliseconds = Number(Exactly(args, 1, L"wait <milliseconds>")[0], L"wait: milliseconds");
    if (milliseconds < 0) throw ScriptError{L"wait: milliseconds must not be negative"};
    host_.Wait(milliseconds);
}

void Session::PrintState(std::wstring_view args) {
    const std::wstring what(Trimmed(args));
    if (what == L"toolbars") Show(word_.DumpToolbars());
    else if (what == L"document") Show(word_.DumpDocument());
    else if (what == L"calls") Show(Describe(host_.Calls()));
    else if (what == L"ribbon") Show(host_.DumpRibbon());
    else throw ScriptError{L"usage: print toolbars|document|calls|ribbon"};
}

// The user saves through Word's own command: the document takes the new name.
void Session::SaveAs(std::wstring_view args) {
    qlora::word::SaveAsArgs saveAs;
    saveAs.FileName = Required(args, L"save-as <path>");
    saveAs.FileFormat = qlora::word::wdFormatDocument;
    word_.Application()->ActiveDocument()->SaveAs(saveAs);
    print_(L"  saved as " + word_.ActiveDocument()->FullName());
}

void Session::Refuse(std::wstring_view args) {
    const auto words = Words(args);
    if (words.empty() || words.size() > 2) throw ScriptError{L"usage: refuse <member> [<calls let through>]"};
    Refusal refusal;
    if (words.size() == 2) refusal.letThrough = Number(words[1], L"refuse: calls let through");
    word_.Refuse(words[0], refusal);
}

void Session::Allow(std::wstring_view args) { word_.Allow(Exactly(args, 1, L"allow <member>")[0]); }

void Session::LoadAddIn(std::wstring_view args) {
    host_.LoadAddIn(std::wstring(Exactly(args, 1, L"load-addin <ProgID>")[0]));
}

void Session::UnloadAddIn(std::wstring_view args) {
    host_.UnloadAddIn(std::wstring(Exactly(args, 1, L"unload-addin <ProgID>")[0]));
}

void Session::Expect(std::wstring_view args) {
    const std::wstring text = Required(args, L"expect <text>");
    if (!printed_) throw ScriptError{L"expect: nothing has been printed yet"};
    if (lastPrint_.find(text) == std::wstring::npos)
        throw ExpectationFailed{L"expected \"" + text + L"\" in the last print, which does not hold it"};
}

void Session::ExpectNot(std::wstring_view args) {
    const std::wstring text = Required(args, L"expect-not <text>");
    if (!printed_) throw ScriptError{L"expect-not: nothing has been printed yet"};
    if (lastPrint_.find(text) != std::wstring::npos)
        throw ExpectationFailed{L"did not expect \"" + text + L"\" in the last print, which holds it"};
}

void Session::Quit(std::wstring_view args) {
    Exactly(args, 0, L"quit");
    quit_ = true;
    host_.Quit();
    // Word asks before it quits when the normal template holds changes (Normal.dotm).
    if (!word_.NormalTemplateSaved()) print_(L"  Word asks: do you want to save the changes to Normal.dotm?");
}

void Session::Dialog(std::wstring_view args) {
    auto parts = qlora::text::Split(args, L"|");
    std::vector<std::wstring> actions;
    for (size_t i = 1; i < parts.size(); ++i) actions.emplace_back(Trimmed(parts[i]));
    const std::wstring title(Trimmed(parts.empty() ? std::wstring_view() : std::wstring_view(parts[0])));
    if (title.empty() || actions.empty() || std::any_of(actions.begin(), actions.end(), [](const auto& a) { return a.empty(); }))
        throw ScriptError{L"usage: dialog <title> | <action> [| <action> ...]"};
    host_.AnswerDialog(title, std::move(actions));
}

// The steps a script knows, as the README documents them.
const Session::Step* Session::FindStep(std::wstring_view name) {
    static const Step kSteps[] = {
        {L"new", &Session::New},
        {L"open", &Session::Open},
        {L"activate", &Session::Activate},
        {L"close", &Session::Close},
        {L"type", &Session::Type},
        {L"select", &Session::Select},
        {L"track-changes", &Session::TrackChanges},
        {L"comment", &Session::Comment},
        {L"copy", &Session::Copy},
        {L"paste", &Session::Paste},
        {L"click", &Session::Click},
        {L"ribbon", &Session::ClickRibbon},
        {L"move-toolbar", &Session::MoveToolbar},
        {L"wait", &Session::Wait},
        {L"print", &Session::PrintState},
        {L"save-as", &Session::SaveAs},
        {L"refuse", &Session::Refuse},
        {L"allow", &Session::Allow},
        {L"load-addin", &Session::LoadAddIn},
        {L"unload-addin", &Session::UnloadAddIn},
        {L"expect", &Session::Expect},
        {L"expect-not", &Session::ExpectNot},
        {L"quit", &Session::Quit},
        {L"dialog", &Session::Dialog},
    };
    const auto found = std::find_if(std::begin(kSteps), std::end(kSteps), [name](const Step& s) { return s.name == name; });
    return found == std::end(kSteps) ? nullptr : found;
}

}  // namespace wordsim
