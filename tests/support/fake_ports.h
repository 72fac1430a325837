// In-memory ports for the native tier: a machine with fixed facts and a log kept in memory, a
// message prompt that records and answers, a report view that records, the Windows version, and
// the shell's execute service recording every call.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "base/port.h"
#include "base/prompt.h"
#include "session/global.h"
#include "shell/operating_system.h"
#include "shell/shell_execute.h"
#include "trail/error_trail.h"

namespace qlora::testing {

class FakeTrailHost : public ErrorTrailHost {
public:
    std::wstring computerName = L"WORKSTATION7";
    LocalTime now{2026, 3, 9, 14, 5, 7, L"/", L":"};
    std::wstring adoVersion = L"2.8";
    std::map<int32_t, std::wstring> systemMessages;
    std::map<std::wstring, std::wstring> files;  // what was appended, by path
    int lockedAttempts = 0;                      // opening fails this many times first
    int64_t clock = 0;                           // milliseconds, advanced by Sleep
    std::vector<int32_t> sleeps;
    int mousePointerResets = 0;
    bool factsFail = false;  // the computer name, the component version and system texts throw

    std::wstring ComputerName() override { return Fact(computerName); }
    LocalTime Now() override { return now; }
    std::wstring AppTitle() override { return L"QloraWordAddIn"; }
    std::wstring AppVersion() override { return L"1.0.0"; }
    std::wstring AdoVersion() override { return Fact(adoVersion); }
    std::wstring SystemMessage(int32_t code) override {
        Fact({});
        const auto it = systemMessages.find(code);
        return it == systemMessages.end() ? std::wstring() : it->second;
    }
    std::wstring ModuleFolder() override { return L"C:\\Addin"; }
    bool TryAppendToFile(const std::wstring& path, const std::wstring& text) override {
        if (lockedAttempts > 0) {
            --lockedAttempts;
            return false;
        }
        files[path] += text;
        return true;
    }
    int64_t MonotonicMilliseconds() override { return clock; }
    void Sleep(int32_t ms) override {
        sleeps.push_back(ms);
        clock += ms;
    }
    void ResetMousePointer() override { ++mousePointerResets; }

private:
    std::wstring Fact(const std::wstring& value) const {
        if (factsFail) throw Error(errnum::OutOfMemory, L"host", L"Out of memory");
        return value;
    }
};

class RecordingPrompt : public MessagePrompt {
public:
    struct Shown {
        std::wstring text, title;
        MsgButtons buttons;
        MsgIcon icon;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    std::vector<Shown> shown;
    std::vector<MsgAnswer> answers;  // given in order; Ok / Yes when none are left

    MsgAnswer Show(std::wstring_view text, std::wstring_view title, MsgButtons buttons, MsgIcon icon) override {
        shown.push_back({std::wstring(text), std::wstring(title), buttons, icon});
        if (answers.empty())
            return buttons == MsgButtons::YesNo || buttons == MsgButtons::YesNoCancel ? MsgAnswer::Yes : MsgAnswer::Ok;
        const auto answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }
};

class RecordingReportView : public ReportView {
public:
    std::vector<std::wstring> reports;
    void ShowReport(const std::wstring& report) override { reports.push_back(report); }
};

class FixedLocale : public UserLocale {
public:
    explicit FixedLocale(std::wstring name) : name(std::move(name)) {}
    std::wstring name;
    std::wstring EnglishLanguageName() override { return name; }
};

// The system's version record as the test sets it; nothing when the system refuses the query.
class FixedVersionSource final : public VersionSource {
public:
    std::optional<OsVersionInfo> info;
    std::optional<OsVersionInfo> ReadVersion() override { return info; }
};

// The state outlives the process object, so a test can see when the launcher let go of it.
struct ProcessState {
    std::optional<uint32_t> exitCode = kStillActive;
    bool released = false;
};

struct FakeProcess final : ShellProcess {
    explicit FakeProcess(std::shared_ptr<ProcessState> s) : state(std::move(s)) {}
    ~FakeProcess() override { state->released = true; }
    std::optional<uint32_t> ExitCode() override { return state->exitCode; }
    std::shared_ptr<ProcessState> state;
};

class FakeShell final : public ShellHost {
public:
    struct Call {
        bool extended = false;
        ShellRequest request;
        uint32_t mask = 0;
        friend bool operator==(const Call&, const Call&) = default;
    };

    std::vector<Call> calls;
    std::intptr_t instance = 42;
    std::shared_ptr<ProcessState> process;  // handed out by the next extended call, when set
    std::optional<Error> failure;

    std::intptr_t Execute(const ShellRequest& request) override {
        calls.push_back({false, request, 0});
        if (failure) throw *failure;
        return instance;
    }
    Started ExecuteEx(const ShellRequest& request, uint32_t mask) override {
        calls.push_back({true, request, mask});
        if (failure) throw *failure;
        return {instance, process ? std::make_unique<FakeProcess>(std::exchange(process, nullptr)) : nullptr};
    }
};

// The trail's host, prompt and view installed for one test.
struct TrailFixturePorts {
    FakeTrailHost host;
    RecordingPrompt prompt;
    RecordingReportView view;
    ScopedPort<ErrorTrailHost> hostSlot{host};
    ScopedPort<MessagePrompt> promptSlot{prompt};
    ScopedPort<ReportView> viewSlot{view};
};

}  // namespace qlora::testing
