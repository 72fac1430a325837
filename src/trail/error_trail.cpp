#include "trail/error_trail.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <new>
#include <utility>

#include "base/port.h"
#include "base/text.h"

namespace qlora {
namespace {

using namespace HuntERR31;

// Facts when no host is installed (code running outside any Windows process): nothing known,
// nothing logged.
class DetachedHost final : public ErrorTrailHost {
public:
    std::wstring ComputerName() override { return {}; }
    LocalTime Now() override { return {2000, 1, 1, 0, 0, 0, L"/", L":"}; }
    std::wstring AppTitle() override { return kProjectName; }
    std::wstring AppVersion() override { return {}; }
    std::wstring AdoVersion() override { return L"?"; }
    std::wstring SystemMessage(int32_t) override { return {}; }
    std::wstring ModuleFolder() override { return {}; }
    bool TryAppendToFile(const std::wstring&, const std::wstring&) override { return true; }
    int64_t MonotonicMilliseconds() override { return 0; }
    void Sleep(int32_t) override {}
    void ResetMousePointer() override {}
};

ErrorTrailHost& Host() {
    static DetachedHost detached;
    auto* host = Installed<ErrorTrailHost>::Get();
    return host ? *host : detached;
}

// The module state: one copy for the process, on Word's single user-interface thread.
struct TrailState {
    ErrorInfo saved;
    std::wstring savedHelpContext;  // kept as text, as the runtime's help context is restored
    bool preserved = false;
    std::wstring report;
    std::wstring pendingValues;
};

TrailState& State() {
    static TrailState state;
    return state;
}

bool InPassThroughRange(int32_t number) { return number >= PassThroughFirst && number <= PassThroughLast; }

// A step of building the report: its own failure ends it silently, with what it built kept, so
// that the failure being reported is never replaced by one of the trail's own.
template <class Step>
void Quietly(Step&& step) noexcept {
    try {
        step();
    } catch (...) {
    }
}

template <class Value>
std::wstring OrEmpty(Value&& value) noexcept {
    try {
        return value();
    } catch (...) {
        return {};
    }
}

const wchar_t kNl[] = L"\r\n";

void AppendLine(std::wstring_view line) {
    auto& s = State();
    if (InPassThroughRange(s.saved.number)) return;
    s.report.append(line).append(kNl);
}

std::wstring TwoDigits(int n) { return text::ZeroPadded(n % 100, 2); }

std::wstring FormatTime(const ErrorTrailHost::LocalTime& t) {
    return TwoDigits(t.month) + t.dateSeparator + TwoDigits(t.day) + t.dateSeparator + TwoDigits(t.year) + L" " +
           TwoDigits(t.hour) + t.timeSeparator + TwoDigits(t.minute) + t.timeSeparator + TwoDigits(t.second);
}

std::wstring Hex(int32_t n) { return text::Hexadecimal(static_cast<uint32_t>(n)); }

// "+ n" or "- n": a signed difference the way the header writes it.
std::wstring Relative(int32_t number, int32_t base) {
    const int64_t diff = static_cast<int64_t>(number) - base;
    return diff >= 0 ? L"+ " + text::Decimal(diff) : L"- " + text::Decimal(-diff);
}

// The header, from its template, in one pass over it: a value goes in as it is, so that a value
// holding "%Time%" (or anything else) is never taken for a placeholder. The values are asked for
// in a fixed order.
void BuildHeader(std::wstring_view methodName) {
    auto& s = State();
    auto& host = Host();
    const int32_t n = s.saved.number;
    // A value the host cannot give stays empty; the rest of the header still goes in.
    const std::pair<std::wstring_view, std::wstring> values[] = {
        {L"nl", kNl},
        {L"MethodName", std::wstring(methodName)},
        {L"Comp", OrEmpty([&] { return host.ComputerName(); })},
        {L"Time", OrEmpty([&] { return FormatTime(host.Now()); })},
        {L"App", OrEmpty([&] { return host.AppTitle(); })},
        {L"Ver", OrEmpty([&] { return host.AppVersion(); })},
        {L"ADOVersion", OrEmpty([&] { return host.AdoVersion(); })},
        {L"ErrNum", text::Decimal(n)},
        {L"ErrHex", Hex(n)},
        {L"ErrNumRel1", Relative(n, vbObjectError)},
        {L"ErrNumRel2", Relative(n, ERR_GENERAL)},
        {L"ErrStd", n == ERR_GENERAL ? L"= ERR_GENERAL" : L""},
        {L"Source", s.saved.source},
        {L"Descr", s.saved.description},
    };
    const std::wstring_view kTemplate =
        L"%Descr% %nl%  Time='%Time%' App='%App%:%Ver%' ADO-version='%ADOVersion%' Computer='%Comp%' "
        L"%nl%  Method: %MethodName% %nl%  Number: %ErrNum% = &H%ErrHex% = vbObjectError %ErrNumRel1% "
        L"= ERRMAP_APP_FIRST %ErrNumRel2% %ErrStd%%nl%  Source: %Source% %nl%  Description: %Descr%%nl%";
    std::wstring& report = s.report;
    report.clear();
    size_t from = 0;
    for (size_t open; (open = kTemplate.find(L'%', from)) != std::wstring_view::npos;) {
        const size_t close = kTemplate.find(L'%', open + 1);
        const std::wstring_view name = kTemplate.substr(open + 1, close - open - 1);
        report.append(kTemplate.substr(from, open - from));
        const auto value = std::find_if(std::begin(values), std::end(values), [&](const auto& v) { return v.first == name; });
        report.append(value->second);
        from = close + 1;
    }
    report.append(kTemplate.substr(from));
}

void AppendSystemErrorLine() {
    const int32_t code = State().saved.systemError;
    if (code == 0 || code == 203) return;  // 203: "environment option not found", noise of the runtime
    auto message = text::ReplaceAll(Host().SystemMessage(code), kNl, L"");
    message = text::ReplaceAll(message, std::wstring_view(L"\0", 1), L"");
    AppendLine(L"  API Error: (" + text::Decimal(code) + L") " + message);
}

// Arguments as "name=value" items; long or multi-line values go to the pending "Value Of" block.
std::wstring FormatArguments(std::wstring_view names, const ArgValue& values) {
    auto& pending = State().pendingValues;
    pending.clear();
    const auto* array = std::get_if<ArgArray>(&values.value);
    const std::vector<ArgValue> single = array ? std::vector<ArgValue>{} : std::vector<ArgValue>{values};
    const auto& items = array ? array->items : single;
    const auto nameList = text::Split(names, L",");

    std::wstring list;
    for (size_t i = 0; i < items.size(); ++i) {
        const std::wstring name = i < nameList.size() ? nameList[i] : std::wstring();
        std::wstring value = FormatArgValue(items[i]);
        if (value.find(kNl) != std::wstring::npos || value.size() > 40) {
            const std::wstring indented = L"      " + text::ReplaceAll(value, kNl, L"\r\n      ");
            if (!pending.empty()) pending += kNl;
            pending += L"    Value Of " + name + L":" + kNl + indented;
            value = L"{Text}";
        }
        if (i > 0) list += L", ";
        list += name.empty() ? value : name + L"=" + value;
    }
    return list;
}

void AppendCallStackLine(std::wstring_view methodName, std::wstring_view argNames, const ArgValue& values) {
    auto& s = State();
    std::wstring line = L"  Call Stack: " + std::wstring(methodName) + L"(" + FormatArguments(argNames, values) + L")";
    if (s.saved.line != 0) line += L"  at Line " + text::Decimal(s.saved.line);
    line += L" ";
    if (line.size() < 100) line.append(100 - line.size(), L'-');
    AppendLine(line);
    if (!s.pendingValues.empty()) {
        AppendLine(s.pendingValues);
        s.pendingValues.clear();
    }
}

}  // namespace

std::wstring FormatArgValue(const ArgValue& v) {
    struct Visitor {
        std::wstring operator()(const ArgEmpty&) const { return L"{Empty}"; }
        std::wstring operator()(const ArgNull&) const { return L"{Null}"; }
        std::wstring operator()(const ArgMissing&) const { return {}; }
        std::wstring operator()(bool b) const { return b ? L"True" : L"False"; }
        std::wstring operator()(int64_t n) const { return text::Decimal(n); }
        std::wstring operator()(double d) const { return text::Significant15(d); }
        std::wstring operator()(const ArgDate& d) const {
            return L"'" + text::DateTime(d.year, d.month, d.day, d.hour, d.minute, d.second) + L"'";
        }
        std::wstring operator()(const std::wstring& s) const { return L"'" + s + L"'"; }
        std::wstring operator()(const ArgObject& o) const { return L"{" + o.typeName + L"}"; }
        std::wstring operator()(const ArgArray&) const { return L"{Array}"; }
    };
    return std::visit(Visitor{}, v.value);
}

namespace HuntERR31 {

ErrorInfo CurrentError() {
    const auto current = std::current_exception();
    if (!current) return {};
    try {
        std::rethrow_exception(current);
    } catch (const Error& e) {
        return e.Info();
    } catch (const std::bad_alloc&) {
        return {errnum::OutOfMemory, kProjectName, L"Out of memory"};
    } catch (const std::exception& e) {
        return {ERR_GENERAL, kProjectName, text::FromUtf8(e.what())};
    } catch (...) {
        return {};
    }
}

void ErrPreserve() {
    auto& s = State();
    if (s.preserved) return;
    ErrorInfo current = CurrentError();
    if (current.number == 0) return;
    s.savedHelpContext = current.helpContext ? text::Decimal(current.helpContext) : std::wstring();
    s.saved = std::move(current);
    s.preserved = true;
}

std::wstring ErrorIn(std::wstring_view traceName, const ArgValue& argValues, int32_t flags) {
    auto& s = State();
    // However this ends, the failure is no longer preserved: the next one is captured afresh.
    struct Release {
        TrailState& state;
        ~Release() { state.preserved = false; }
    } release{s};
    if (!s.preserved && CurrentError().number == 0) {
        // Nothing to capture: the failure's information was lost before the handler ran.
        s.saved = {ERR_GENERAL, kProjectName, kLostDescription};
        s.savedHelpContext.clear();
        s.preserved = true;
    }
    ErrPreserve();

    std::wstring result;
    if (InPassThroughRange(s.saved.number)) {
        s.report.clear();
    } else if (flags & efTrail) {
        const auto open = traceName.find(L'(');
        const std::wstring_view methodName = traceName.substr(0, open);
        std::wstring_view argNames;
        if (open != std::wstring_view::npos) {
            argNames = traceName.substr(open + 1);
            if (!argNames.empty()) argNames.remove_suffix(1);
        }
        if (s.saved.source == kTrailSource) {
            s.report = s.saved.description;
        } else {
            Quietly([&] { BuildHeader(methodName); });
            Quietly(AppendSystemErrorLine);
        }
        Quietly([&] { AppendCallStackLine(methodName, argNames, argValues); });
        s.saved.source = kTrailSource;
        s.saved.description = s.report;
        result = s.report;
    }

    ErrorInfo restored = s.saved;
    restored.helpContext = s.savedHelpContext.empty() ? 0 : std::stoi(s.savedHelpContext);
    if (flags & efRaise) throw Error(std::move(restored));
    return result;
}

const std::wstring& Report() { return State().report; }

std::wstring LogPath(std::wstring_view name, std::wstring_view moduleFolder) {
    if (name.find(L'\\') != std::wstring_view::npos) return std::wstring(name);
    return std::wstring(moduleFolder) + L"\\" + std::wstring(name);
}

void ShowErrorReport() {
    try {
        auto& host = Host();
        const std::wstring report = State().report;
        host.ResetMousePointer();
        if (!report.empty()) {
            const auto path = LogPath(kLogFileName, host.ModuleFolder());
            const auto record = report + L"\r\n\r\n" + kNl;
            // A log held open by another writer is retried for a second, then the entry is dropped.
            const int64_t first = host.MonotonicMilliseconds();
            while (!host.TryAppendToFile(path, record)) {
                if (host.MonotonicMilliseconds() - first > 1000) break;
                host.Sleep(200);
            }
        }
        if (auto* view = Installed<ReportView>::Get()) view->ShowReport(report);
    } catch (...) {  // showing a report never raises a new error
    }
}

}  // namespace HuntERR31
}  // namespace qlora
