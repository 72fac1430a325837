// A failure passed on through nested operations until the outermost one handles it: the trail
// builds the report's header at the innermost level and adds a line at each level (argument
// values included, a long one in its own block), logs the report and hands it to the view, which
// makes the text the report dialog shows (the report and the Windows version line).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <string>

#include "report/error_report.h"
#include "support/fake_ports.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

struct Popup {
    std::wstring TypeName() const { return L"CommandBarPopup"; }
};
const Popup kPopup;

// The operations from the outermost down, shaped after the toolbar's chain when Word changes
// documents; the tooltip is long enough to go below its line.
struct Level {
    std::wstring_view traceName;
    ArgValue values;
};
const Level kLevels[] = {
    {L"clsWordAddIn.myWordApp_DocumentChange", ArgsOf()},
    {L"clsCommandBar.CreateCommandbar", ArgsOf()},
    {L"clsCommandBar.CreateWildCardList(bolChange)", ArgsOf(true)},
    {L"clsCommandBar.AddButton(myParent,strParam,strToolTip,lngFaceId,lngDefaultIndex)",
     ArgsOf(&kPopup, L"WildCard_Subject", L"Inserts the subject of the message at the cursor", 163, 1)},
    {L"clsCommandBar.CreateControl(myParent,lngControlType,strCaption,lngStyle,lngFaceId,strToolTip)",
     ArgsOf(&kPopup, 1, L"Subject", 3, 163, L"Inserts the subject of the message at the cursor")},
};
constexpr size_t kDeepest = std::size(kLevels);

// Level `level` passes on what fails below it; the last of `depth` levels is where Word refuses.
void PassOnFrom(size_t level, size_t depth) {
    PassOn(
        kLevels[level].traceName,
        [&] {
            if (level + 1 == depth) throw Error(5, L"Microsoft Office", L"Invalid procedure call or argument");
            PassOnFrom(level + 1, depth);
        },
        kLevels[level].values);
}

// The report dialog's text, made as the dialog makes it; the last one is kept.
class DialogTextView final : public ReportView {
public:
    std::wstring text;
    void ShowReport(const std::wstring& report) override { text = frmShowError::ReportText(report); }
};

void BM_ErrorReport(benchmark::State& state) {
    const auto depth = static_cast<size_t>(state.range(0));
    testing::FakeTrailHost host;
    testing::RecordingPrompt prompt;
    DialogTextView view;
    testing::FixedVersionSource version;
    version.info = OsVersionInfo{10, 0, 19045, 2, std::wstring(128, L'\0')};
    ScopedPort<ErrorTrailHost> hostSlot{host};
    ScopedPort<MessagePrompt> promptSlot{prompt};
    ScopedPort<ReportView> viewSlot{view};
    ScopedPort<VersionSource> versionSlot{version};

    for (auto _ : state) {
        ReportFailures(kLevels[0].traceName, [&] {
            if (depth == 1) throw Error(5, L"Microsoft Office", L"Invalid procedure call or argument");
            PassOnFrom(1, depth);
        }, kLevels[0].values);
        host.files.clear();  // the log would otherwise grow with every run
    }
    // One call-stack line a level, and the dialog's text ends with the Windows version.
    size_t lines = 0;
    for (size_t at = 0; (at = view.text.find(L"  Call Stack: ", at)) != std::wstring::npos; ++at) ++lines;
    if (lines != depth || !view.text.ends_with(L"Windows Version: Windows NT 10.0 build 19045 ()"))
        state.SkipWithError("the report is not the one expected");
    state.counters["report_chars"] = static_cast<double>(view.text.size());
}

BENCHMARK(BM_ErrorReport)->Arg(1)->Arg(kDeepest)->ArgName("levels")->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace qlora
