// qlora_demo: shows, under Windows, what the add-in's code makes of this machine: the user's
// language, the toolbar's texts, the wildcard catalogue, and one failure through the error trail
// into Errors.txt. (The scripted Word session grows out of wordsim.)
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "addin/global.h"
#include "addin/global_win.h"
#include "common/port.h"
#include "common/text.h"
#include "common/win32_win.h"
#include "errors/error_trail.h"
#include "settings/language_texts.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcards.h"

namespace {

void Print(const std::wstring& line) {
    const std::string utf8 = qlora::text::ToUtf8(line + L"\n");
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

// The demo's report view prints what the error report dialog will show.
class PrintingView final : public qlora::ReportView {
public:
    void ShowReport(const std::wstring& report) override {
        Print(L"  The report (also appended to " + qlora::win::ThisModuleFolder() + L"\\Errors.txt):");
        for (const auto& line : qlora::text::Split(report, L"\r\n")) Print(L"    | " + line);
    }
};

void InsertIntoMissingDocument(const std::wstring& strText, const std::wstring& strName) {
    qlora::PassOn(
        L"clsWildCardBtn.AddBookmark(strText,strName)",
        [] { throw qlora::Error(4248, L"Microsoft Word", L"This command is not available because no document is open."); },
        strText, strName);
}

}  // namespace

int wmain() {
    using namespace qlora;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    InstallWindowsPorts();
    basGlobal::EnsureStarted();

    Print(L"  User language: " + WinUserLocale().EnglishLanguageName() + L" -> language index " +
          std::to_wstring(basGlobal::gLanguage) + (basGlobal::gLanguage == 0 ? L" (German)" : L" (English)"));
    Print(L"  Toolbar: [" + LNG_Main(70) + L" v] [" + LNG_Main(67) + L"] [" + LNG_Main(66) + L"] [Info]");

    basDisplayNames::FillNamesList();
    std::wstring shown;
    for (int32_t place = 1; place <= static_cast<int32_t>(kWildcards.size()); ++place)
        for (const auto& w : kWildcards)
            if (w.defaultPlace == place) shown += basDisplayNames::GetDisplayName(std::wstring(w.bookmarkName), -1) + L" ";
    Print(L"  Wildcards in the catalogue: " + std::to_wstring(basDisplayNames::Count()) + L"; shown by default: " + shown);

    Print(L"  A wildcard click without a document, through the error trail:");
    PrintingView view;
    ScopedPort<ReportView> slot(view);
    Handle(
        L"clsWildCardBtn.myButton_Click(Ctrl,CancelDefault)",
        [] { InsertIntoMissingDocument(L"Subject", L"WildCard_Subject"); }, ArgValue{ArgObject{L"CommandBarButton"}},
        false);
    basDisplayNames::ClearNamesList();
    ::CoUninitialize();
    return 0;
}
