// The add-in's dialogs as a user meets them: opened from the toolbar of the in-memory Word, driven
// with window messages while their modal loops run, and read back; the real registry, files, save
// dialog and message boxes behind them. Pictures of every dialog in English and German, taken in
// a virtual desktop that draws the title bars; and the add-in DLL itself, loaded by wordsim.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "addin/word_addin.h"
#include "base/port.h"
#include "base/text.h"
#include "dialog_driver.h"
#include "language/language_texts.h"
#include "process_util.h"
#include "session.h"
#include "session/global.h"
#include "session_host_win.h"
#include "settings/program_settings.h"
#include "shell/contact.h"
#include "shell/shell_execute.h"
#include "support/fake_registry.h"
#include "support/fake_wildcards_view.h"
#include "support/temp_folder.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcard_buttons.h"
#include "toolbar/wildcards.h"
#include "trail/error_trail.h"
#include "trail/error_trail_win.h"
#include "ui/dialog_win.h"
#include "ui/resource_ids.h"
#include "win/win32_win.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::DialogDriver;
using testing::kDefaultSelected;
using testing::Enabled;
using testing::ListEntries;
using testing::ListSelection;
using testing::MessageText;
using testing::Press;
using testing::WindowText;

constexpr wchar_t kReportTitle[] = L"Quillora TemplateEditor error report";

std::wstring ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
HWND List(HWND dialog, int id) { return ::GetDlgItem(dialog, id); }

// Add, Add all, Remove all, Remove, Up, Down.
std::vector<bool> ListButtons(HWND dialog) {
    std::vector<bool> states;
    for (const int id : {IDC_CMD_ADD, IDC_CMD_ADDALL, IDC_CMD_REMOVEALL, IDC_CMD_REMOVE, IDC_CMD_UP, IDC_CMD_DOWN})
        states.push_back(Enabled(dialog, id));
    return states;
}

// The error trail as on Windows, but logging into the test's own folder: other tests read the
// log beside the program.
class FolderTrailHost final : public ErrorTrailHost {
public:
    explicit FolderTrailHost(std::wstring folder) : folder_(std::move(folder)) {}
    std::wstring ComputerName() override { return host_.ComputerName(); }
    LocalTime Now() override { return host_.Now(); }
    std::wstring AppTitle() override { return host_.AppTitle(); }
    std::wstring AppVersion() override { return host_.AppVersion(); }
    std::wstring AdoVersion() override { return L"?"; }
    std::wstring SystemMessage(int32_t code) override { return host_.SystemMessage(code); }
    std::wstring ModuleFolder() override { return folder_; }
    bool TryAppendToFile(const std::wstring& path, const std::wstring& text) override {
        return host_.TryAppendToFile(path, text);
    }
    int64_t MonotonicMilliseconds() override { return host_.MonotonicMilliseconds(); }
    void Sleep(int32_t milliseconds) override { host_.Sleep(milliseconds); }
    void ResetMousePointer() override { host_.ResetMousePointer(); }

private:
    WinTrailHost host_;
    std::wstring folder_;
};

// The shell's execute service, recording instead of launching mail and browser programs.
class RecordingShell final : public ShellHost {
public:
    std::vector<ShellRequest> requests;
    std::intptr_t Execute(const ShellRequest& request) override {
        requests.push_back(request);
        return 42;
    }
    Started ExecuteEx(const ShellRequest& request, uint32_t) override {
        requests.push_back(request);
        return {42, nullptr};
    }
};

// The add-in as Word has connected it, over the in-memory Word whose saves write RTF files: the
// settings in a registry key of this process's own, the data folder in a folder of the test's,
// the texts in English. The dialogs, message boxes and registry are Windows' own.
class AddInDialogs : public ::testing::Test {
protected:
    AddInDialogs() {
        UseLanguage(basGlobal::kEnglish);
        basGlobal::gSettings = testing::AddInSettings(program);
        basGlobal::gDataPath = data.Path() + L"\\";
        basGlobal::gTemplateList = std::make_shared<clsTemplateList>();
        basDisplayNames::FillNamesList();
        StartWord();
    }
    // A Word of its own, as a new start of Word gives: its temporary toolbar is built anew.
    void StartWord() {
        documentChange.Reset();
        basWildcardBtns::ClearwcButtons();
        word = std::make_shared<wordsim::Word>();
        basGlobal::gWordApplication = word->Application();
        basGlobal::gCommandBar = std::make_shared<clsCommandBar>();
        documentChange = word->Application()->AdviseDocumentChange([] { basGlobal::gCommandBar->CreateCommandbar(); });
        wordsim::SaveDocumentsAsRtf(*word);
    }
    ~AddInDialogs() override {
        EXPECT_EQ(testing::FindThreadWindow(kReportTitle), nullptr) << "an error was reported:\n" << Log();
        Installed<OpenDialogs>::Get()->UnloadErrorReport();
        documentChange.Reset();
        basWildcardBtns::ClearwcButtons();
        clsProgramSettings().DeleteKey(kHKeyCurrentUser, L"SOFTWARE\\Tandrel\\" + program);
        basGlobal::gCommandBar.reset();
        basGlobal::gSettings.reset();
        basGlobal::gWordApplication.reset();
        basGlobal::gTemplateList.reset();
        basDisplayNames::ClearNamesList();
    }

    static void UseLanguage(int32_t language) {
        basGlobal::gLanguage = language;
        SetLngId(static_cast<int16_t>(language + 1));
    }
    std::string Log() const {
        std::ifstream in(std::filesystem::path(data.Path()) / "Errors.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    std::wstring Stored(const std::wstring& name) const { return basGlobal::gSettings->ReadEntry(name, L"<none>"); }
    // A saved document holding a wildcard, so that "Use as template" opens its dialog.
    void OpenDocumentWithWildcard(const std::wstring& fullName) {
        word->OpenDocument(fullName, L"Dear ");
        word->Select(5, 5);
        InsertSubject();
    }
    void NewDocumentWithWildcard() {
        word->NewDocument();
        InsertSubject();
    }
    void InsertSubject() {
        word->Click(L"Quillora Toolbar/" + LNG_Main(70) + L"/" + basDisplayNames::GetPlainName(L"WildCard_Subject", -1));
    }
    std::vector<std::wstring> MenuCaptions() const {
        std::vector<std::wstring> captions;
        if (const auto popup = word->FindControl(L"Quillora Toolbar/Insert wildcard"))
            for (const auto& c : popup->controls) captions.push_back(c->caption);
        return captions;
    }

    const std::wstring program = L"QuilloraDialogTests" + std::to_wstring(::GetCurrentProcessId());
    testing::TempFolder data;
    FolderTrailHost trailHost{data.Path()};
    ScopedPort<ErrorTrailHost> trailSlot{trailHost};
    std::shared_ptr<wordsim::Word> word = std::make_shared<wordsim::Word>();
    EventConnection documentChange;
};

// A failure no handler reports, while a dialog loads, ends the dialog and reaches its opener.
TEST(DialogBase, AFailureWhileLoadingEndsTheDialogAndReachesItsOpener) {
    struct FailingLoad : win::Dialog {
        void OnInit() override {
            ::PostMessageW(Window(), WM_COMMAND, IDCANCEL, 0);  // ends it, should the failure be lost
            throw Error(5, L"FailingLoad", L"no texts");
        }
        void OnCommand(int id, int) override {
            if (id == IDCANCEL) End(IDCANCEL);
        }
    };
    FailingLoad modal;
    try {
        modal.ShowModal(IDD_TEMPLATE);
        ADD_FAILURE() << "the failure was lost";
    } catch (const Error& e) {
        EXPECT_EQ(e.Description(), L"no texts");
    }
    EXPECT_EQ(modal.Window(), nullptr);
    FailingLoad modeless;
    EXPECT_THROW(modeless.CreateModeless(IDD_TEMPLATE), Error);
    EXPECT_EQ(modeless.Window(), nullptr);
}

TEST_F(AddInDialogs, ChooseWildcardsShowsTheListsAndOkStoresTheMovesAndRebuildsTheToolbar) {
    word->NewDocument();
    DialogDriver driver({{L"Choose wildcards", [&](HWND dialog) {
        const HWND available = List(dialog, IDC_LVW_AVAILABLE);
        const HWND selected = List(dialog, IDC_LVW_SELECTED);
        EXPECT_EQ(ListEntries(selected), kDefaultSelected);
        EXPECT_EQ(ListEntries(available).size(), 16u);
        EXPECT_EQ(ListEntries(available).front(), L"Expiry time");
        EXPECT_EQ(testing::ToolTipOf(dialog, IDC_CMD_ADD), L"Choose wildcard");
        // Nothing selected yet in either list.
        EXPECT_THAT(ListButtons(dialog), ElementsAre(false, true, true, false, false, false));

        testing::SelectEntry(available, 1);  // selecting in the available list enables Add
        EXPECT_TRUE(Enabled(dialog, IDC_CMD_ADD));
        Press(dialog, IDC_CMD_ADD);
        EXPECT_EQ(ListEntries(selected).back(), L"Expiry time");
        EXPECT_EQ(ListEntries(available).front(), L"Flag request");
        EXPECT_EQ(ListSelection(available), 1);

        testing::SelectEntry(selected, 2);
        EXPECT_THAT(ListButtons(dialog), ElementsAre(true, true, true, true, true, true));
        Press(dialog, IDC_CMD_DOWN);
        EXPECT_EQ(ListEntries(selected)[2], L"Body");
        EXPECT_EQ(ListSelection(selected), 3);

        testing::DragEntry(dialog, IDC_LVW_SELECTED, 1, IDC_LVW_SELECTED, 4);  // Subject in front of To
        EXPECT_EQ(ListEntries(selected)[2], L"Subject");
        EXPECT_EQ(ListSelection(selected), 3);
        testing::DragEntry(dialog, IDC_LVW_AVAILABLE, 1, IDC_LVW_SELECTED, 1);  // Flag request on top
        const auto entries = ListEntries(selected);
        EXPECT_THAT(std::vector<std::wstring>(entries.begin(), entries.begin() + 5),
                    ElementsAre(L"Flag request", L"Sender", L"Body", L"Subject", L"To"));
        Press(dialog, IDOK);
    }}});
    word->Click(L"Quillora Toolbar/Choose wildcards");

    EXPECT_EQ(Stored(L"WildCard_FlagRequest"), L"1");
    EXPECT_EQ(Stored(L"WildCard_Sender"), L"2");
    EXPECT_EQ(Stored(L"WildCard_Subject"), L"4");
    EXPECT_EQ(Stored(L"WildCard_ExpiryTime"), L"20");
    EXPECT_EQ(Stored(L"WildCard_Mileage"), L"0");
    int written = 0;
    for (const auto& w : kWildcards) written += Stored(std::wstring(w.bookmarkName)) != L"<none>";
    EXPECT_EQ(written, 34);
    const auto menu = MenuCaptions();
    ASSERT_EQ(menu.size(), 20u);
    EXPECT_THAT(std::vector<std::wstring>(menu.begin(), menu.begin() + 4),
                ElementsAre(L"Flag request", L"Sender", L"Body", L"Subject"));
}

TEST_F(AddInDialogs, UseAsTemplateSavesTheDocumentAndRecordsItByteForByte) {
    OpenDocumentWithWildcard(data.Path(L"Draft.doc"));
    const std::wstring target = data.Path(L"Offer template.doc");
    data.Write(L"Offer template.doc", "an older file");
    DialogDriver driver({
        {L"Use as template",
         [&](HWND dialog) {
             EXPECT_EQ(ItemText(dialog, IDC_TXT_NAME), L"Draft");
             EXPECT_EQ(ItemText(dialog, IDC_TXT_PATH), data.Path(L"Draft.doc"));
             EXPECT_EQ(testing::ToolTipOf(dialog, IDC_TXT_PATH), data.Path(L"Draft.doc"));
             ::SetDlgItemTextW(dialog, IDC_TXT_NAME, L"Offer");
             ::SetDlgItemTextW(dialog, IDC_TXT_PATH, target.c_str());
             EXPECT_EQ(testing::ToolTipOf(dialog, IDC_TXT_PATH), target);
             Press(dialog, IDOK);
         }},
        {L"File already exists",
         [&](HWND box) {
             EXPECT_EQ(MessageText(box), L"There exists already a file with this name. Do you want to overwrite it?");
             Press(box, IDYES);
         }},
    });
    word->Click(L"Quillora Toolbar/Use as template");

    const std::string saved = data.Read(L"Offer template.doc");
    EXPECT_THAT(saved, HasSubstr("{\\rtf1"));
    EXPECT_THAT(saved, HasSubstr("TemplateName"));
    EXPECT_EQ(data.Read(L"NewTemplates.ini"), "Offer||" + win::ToAnsi(target) + "|>|\r\n");
    EXPECT_EQ(word->ActiveDocument()->FullName(), target);
}

TEST_F(AddInDialogs, ANeverSavedDocumentAsksForItsFileInTheSaveDialogFirst) {
    NewDocumentWithWildcard();
    DialogDriver driver({
        {kProjectName,
         [&](HWND box) {
             EXPECT_EQ(MessageText(box), L"Please select the path, where do you want to save the template");
             Press(box, IDOK);
         }},
        {L"Save As",
         [&](HWND save) {
             // The file name box: an edit (edt1) or the edit of a ComboBoxEx (cmb13).
             HWND name = ::GetDlgItem(save, 1152);
             if (!name) name = reinterpret_cast<HWND>(::SendDlgItemMessageW(save, 1148, CBEM_GETEDITCONTROL, 0, 0));
             ASSERT_NE(name, nullptr);
             EXPECT_EQ(WindowText(name), L"Document1.doc");
             wchar_t filter[128] = {};
             ::SendDlgItemMessageW(save, 1136, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(filter));
             EXPECT_EQ(std::wstring(filter), L"Word documents (*.doc)");
             ::SetWindowTextW(name, data.Path(L"Memo").c_str());
             ::SendMessageW(save, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
         }},
        {L"Use as template",
         [&](HWND dialog) {
             EXPECT_EQ(ItemText(dialog, IDC_TXT_PATH), data.Path(L"Memo.doc"));  // the default extension
             EXPECT_EQ(ItemText(dialog, IDC_TXT_NAME), L"Memo");
             Press(dialog, IDCANCEL);
         }},
    });
    word->Click(L"Quillora Toolbar/Use as template");
    EXPECT_EQ(word->ActiveDocument()->path, L"");  // cancelled: nothing saved
    EXPECT_EQ(data.Read(L"NewTemplates.ini"), "");
}

TEST_F(AddInDialogs, InfoShowsTheNameAndVersionAndItsLinksGoToTheShell) {
    RecordingShell shell;
    ScopedPort<ShellHost> shellSlot(shell);
    word->NewDocument();
    const auto click = [](HWND dialog, int link) {
        NMLINK notice{};
        notice.hdr = {::GetDlgItem(dialog, link), static_cast<UINT_PTR>(link), NM_CLICK};
        ::SendMessageW(dialog, WM_NOTIFY, static_cast<WPARAM>(link), reinterpret_cast<LPARAM>(&notice));
    };
    DialogDriver driver({{L"Info", [&](HWND dialog) {
        EXPECT_EQ(ItemText(dialog, IDC_INFO_LBL_NAME), L"Quillora TemplateEditor");
        EXPECT_EQ(ItemText(dialog, IDC_LBL_VERSION),
                  L"Version " + std::to_wstring(QLORA_VERSION_MAJOR) + L"." + std::to_wstring(QLORA_VERSION_MINOR) +
                      L"." + std::to_wstring(QLORA_VERSION_PATCH));
        EXPECT_THAT(ItemText(dialog, IDC_LBL_EMAIL), HasSubstr(kSupportEmail));
        EXPECT_THAT(ItemText(dialog, IDC_LBL_HOMEPAGE), HasSubstr(kHomepage));
        click(dialog, IDC_LBL_HOMEPAGE);
        ASSERT_EQ(shell.requests.size(), 1u);
        EXPECT_EQ(shell.requests[0].hwnd, reinterpret_cast<std::intptr_t>(dialog));
        EXPECT_TRUE(::IsWindowVisible(dialog));  // the homepage keeps it open
        click(dialog, IDC_LBL_EMAIL);              // the e-mail closes it
    }}});
    word->Click(L"Quillora Toolbar/Info");
    ASSERT_EQ(shell.requests.size(), 2u);
    EXPECT_EQ(shell.requests[0].file, kHomepage);
    EXPECT_EQ(shell.requests[0].show, show::Normal);
    EXPECT_EQ(shell.requests[1].file, L"mailto:" + std::wstring(kSupportEmail));
    EXPECT_EQ(shell.requests[1].show, show::Default);
    EXPECT_EQ(shell.requests[1].hwnd, 0);
}

TEST_F(AddInDialogs, AFailingClickShowsItsReportWithoutAModeAndTheDialogKeepsItsMinimumSize) {
    word->NewDocument();
    word->Refuse(L"Document.Bookmarks.get");
    word->Click(L"Quillora Toolbar/Use as template");  // the failure reaches the click handler
    const HWND dialog = testing::FindThreadWindow(kReportTitle);
    ASSERT_NE(dialog, nullptr);
    const std::wstring report = ItemText(dialog, IDC_TXT_ERROR);
    EXPECT_THAT(report, HasSubstr(L"clsCommandBar.DocumentHasWildcards"));
    EXPECT_THAT(report, HasSubstr(L"\r\nWord Version: 16.0\r\nWindows Version: "));
    EXPECT_THAT(ItemText(dialog, IDC_LBL_HEAD), HasSubstr(L"Sorry, an error occurred.\r\n"));
    EXPECT_EQ(ItemText(dialog, IDCANCEL), L"Close");
    EXPECT_EQ(ItemText(dialog, IDC_CMD_SEND), L"Send error report");
    EXPECT_EQ(testing::ToolTipOf(dialog, IDC_CMD_SEND), L"Send error report via email");
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(dialog, IDC_TXT_ERROR, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Courier New");

    // Smaller than 400 x 300 snaps back; larger moves the box's edges and the buttons along.
    ::SetWindowPos(dialog, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT bounds{};
    ::GetWindowRect(dialog, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 400);
    EXPECT_EQ(bounds.bottom - bounds.top, 300);
    ::SetWindowPos(dialog, nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER);
    RECT client{}, box{}, close{}, send{};
    ::GetClientRect(dialog, &client);
    const auto place = [dialog](int id, RECT& r) {
        ::GetWindowRect(::GetDlgItem(dialog, id), &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    };
    place(IDC_TXT_ERROR, box);
    place(IDCANCEL, close);
    place(IDC_CMD_SEND, send);
    EXPECT_EQ(box.right, client.right - box.left);
    EXPECT_EQ(close.right, client.right - box.left);
    EXPECT_GT(close.top, box.bottom);
    EXPECT_LT(close.bottom, client.bottom);
    EXPECT_EQ(send.top, close.top);
    EXPECT_LT(send.right, close.left);

    // Ctrl+A selects the whole report.
    const HWND edit = ::GetDlgItem(dialog, IDC_TXT_ERROR);
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    const auto pressCtrlA = [&] {
        BYTE held[256];
        std::copy(std::begin(keys), std::end(keys), std::begin(held));
        held[VK_CONTROL] = 0x80;
        held[VK_SHIFT] = 0;
        ::SetKeyboardState(held);
        ::SendMessageW(edit, EM_SETSEL, 0, 0);
        ::SendMessageW(edit, WM_KEYDOWN, 'A', 0);
        ::SetKeyboardState(keys);
        DWORD start = 0, end = 0;
        ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return end - start;
    };
    EXPECT_EQ(pressCtrlA(), static_cast<DWORD>(report.size()));

    // A second report replaces the first in the same window.
    word->Click(L"Quillora Toolbar/Use as template");
    EXPECT_EQ(testing::FindThreadWindow(kReportTitle), dialog);
    const std::wstring second = ItemText(dialog, IDC_TXT_ERROR);
    EXPECT_EQ(second.find(L"Windows Version: "), second.rfind(L"Windows Version: "));
    Press(dialog, IDCANCEL);
    EXPECT_FALSE(::IsWindow(dialog));
}

// Unloading the add-in takes its open windows along: the error report and the Info dialog.
TEST_F(AddInDialogs, UnloadingTheAddInClosesItsOpenInfoDialogAndReport) {
    word->NewDocument();
    DialogDriver driver({{L"Info", [](HWND) { Installed<OpenDialogs>::Get()->UnloadInfo(); }}});
    word->Click(L"Quillora Toolbar/Info");
    EXPECT_EQ(testing::FindThreadWindow(L"Info"), nullptr);

    Installed<ReportView>::Get()->ShowReport(L"Error 5\r\n");
    const HWND report = testing::FindThreadWindow(kReportTitle);
    ASSERT_NE(report, nullptr);
    EXPECT_THAT(ItemText(report, IDC_TXT_ERROR), HasSubstr(L"Error 5\r\n\r\nWord Version: 16.0"));
    clsWordAddIn().UnInitHandler();
    EXPECT_FALSE(::IsWindow(report));
}

// ---- Pictures ----------------------------------------------------------------------------------

TEST_F(AddInDialogs, CheckWildcardsListsGoesToAndRepairsOnlyBookmarks) {
    OpenDocumentWithWildcard(data.Path(L"Offer.doc"));  // "Dear <<Subject>>"
    word->Copy(0, 16);
    word->Paste();  // the copy comes without the bookmark, whose name the document has
    word->Type(L" <<Sender>>");
    const std::wstring text = word->ActiveDocument()->text;
    DialogDriver driver({{L"Check wildcards", [&](HWND dialog) {
        const HWND list = List(dialog, IDC_LVW_PROBLEMS);
        EXPECT_THAT(ListEntries(list), ElementsAre(L"Not marked", L"Not marked"));
        EXPECT_EQ(ItemText(dialog, IDC_CMD_GOTO), L"Go to");
        testing::SelectEntry(list, 2);
        Press(dialog, IDC_CMD_GOTO);
        EXPECT_EQ(word->ActiveDocument()->selection, (wordsim::Span{33, 43}));
        Press(dialog, IDC_CMD_REPAIR);
        EXPECT_TRUE(ListEntries(list).empty());
        EXPECT_EQ(ItemText(dialog, IDC_LBL_RESULT), L"2 wildcards repaired.");
        Press(dialog, IDCANCEL);
    }}});
    word->Click(L"Quillora Toolbar/Check wildcards");

    const auto doc = word->ActiveDocument();
    EXPECT_EQ(doc->text, text);
    std::vector<std::wstring> marks;
    for (const auto& b : doc->bookmarks) marks.push_back(b.name + L"=" + doc->TextOf(b.span));
    EXPECT_THAT(marks, ElementsAre(L"WildCard_Subject=<<Subject>>", L"WildCard_Subject1=<<Subject>>",
                                   L"WildCard_Sender=<<Sender>>"));
}

// Set for the copy of this program that takes the pictures inside a virtual desktop, where the
// dialogs get their title bars drawn.
constexpr wchar_t kPictureFolderVariable[] = L"QLORA_DIALOG_PICTURES";
constexpr wchar_t kPictureProgram[] = L"qlora_dialog_pictures.exe";
constexpr wchar_t kPictureDesktop[] = L"QloraDialogPictures";

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

void SetRegistryText(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    win::UniqueHKey opened;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(),
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExW(opened.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                     static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

// Every caption of the dialog fits its control, and every list entry its column: nothing is cut
// off, whichever language's texts the dialog shows.
void ExpectTextsFit(HWND dialog, const std::wstring& picture) {
    for (HWND control = ::GetWindow(dialog, GW_CHILD); control; control = ::GetWindow(control, GW_HWNDNEXT)) {
        const std::wstring kind = wordsim::ClassOf(control);
        const LONG style = ::GetWindowLongW(control, GWL_STYLE);
        RECT room{};
        ::GetClientRect(control, &room);
        const win::WindowDc dc(control);
        const HGDIOBJ previous =
            ::SelectObject(dc.get(), reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)));
        const auto needed = [&](const std::wstring& text) {
            RECT size{};
            ::DrawTextW(dc.get(), text.c_str(), -1, &size, DT_CALCRECT | DT_NOPREFIX);
            return size;
        };
        std::wstring text = WindowText(control);
        if (kind == L"SysLink") text = text::ReplaceAll(text::ReplaceAll(text, L"<a>", L""), L"</a>", L"");
        const bool captioned = (kind == L"Static" && (style & SS_TYPEMASK) != SS_ICON) || kind == L"SysLink" ||
                               (kind == L"Button" && !(style & BS_ICON));
        if (captioned && !text.empty()) {
            const RECT size = needed(text);
            const int margin = kind == L"Button" ? 2 * ::GetSystemMetrics(SM_CXEDGE) + 4 : 0;
            EXPECT_LE(size.right + margin, room.right) << text::ToUtf8(picture) << ": \"" << text::ToUtf8(text) << "\"";
            EXPECT_LE(size.bottom, room.bottom) << text::ToUtf8(picture) << ": \"" << text::ToUtf8(text) << "\"";
        }
        if (kind == WC_LISTVIEWW) {
            const int column = ListView_GetColumnWidth(control, 0);
            for (const auto& entry : ListEntries(control))
                EXPECT_LE(ListView_GetStringWidth(control, entry.c_str()) + 12, column)
                    << text::ToUtf8(picture) << ": \"" << text::ToUtf8(entry) << "\"";
        }
        ::SelectObject(dc.get(), previous);
        RECT place{}, client{};
        ::GetWindowRect(control, &place);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
        ::GetClientRect(dialog, &client);
        EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right && place.bottom <= client.bottom)
            << text::ToUtf8(picture) << ": control " << ::GetDlgCtrlID(control) << " lies outside the dialog";
    }
}

// In the picture program: each dialog in each language, checked and pictured. Elsewhere: runs
// that program in a virtual desktop and checks that the pictures came out.
TEST_F(AddInDialogs, EveryDialogIsCompleteAndReadableInEnglishAndGerman) {
    const std::wstring folder = Environment(kPictureFolderVariable);
    const std::vector<std::wstring> names{L"choose-wildcards", L"use-as-template", L"info", L"error-report",
                                          L"check-wildcards"};
    if (folder.empty()) {
        const std::wstring pictures = std::filesystem::path(win::ThisModuleFolder()).parent_path() / L"screenshots";
        std::filesystem::create_directories(pictures);
        const std::wstring program = win::ThisModuleFolder() + L"\\" + kPictureProgram;
        ASSERT_TRUE(::CopyFileW(win::ModulePath(nullptr).c_str(), program.c_str(), FALSE));
        const std::wstring appKey = std::wstring(L"Software\\Wine\\AppDefaults\\") + kPictureProgram + L"\\Explorer";
        SetRegistryText(appKey, L"Desktop", kPictureDesktop);
        SetRegistryText(L"Software\\Wine\\Explorer\\Desktops", kPictureDesktop, L"1280x1024");
        ::SetEnvironmentVariableW(kPictureFolderVariable, pictures.c_str());
        const auto run = testing::RunProcess(L"\"" + program + L"\" --gtest_filter=" +
                                             L"AddInDialogs.EveryDialogIsCompleteAndReadableInEnglishAndGerman");
        ::SetEnvironmentVariableW(kPictureFolderVariable, nullptr);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(L"Software\\Wine\\AppDefaults\\") + kPictureProgram).c_str());
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", kPictureDesktop);
        ::DeleteFileW(program.c_str());
        EXPECT_EQ(run.exitCode, 0u) << run.output;
        for (const auto& name : names)
            for (const wchar_t* language : {L"en", L"de"}) {
                const auto path = std::filesystem::path(pictures) / (name + L"-" + language + L".png");
                std::ifstream png(path, std::ios::binary);
                char signature[8] = {};
                png.read(signature, 8);
                EXPECT_EQ(std::string(signature, 8), "\x89PNG\r\n\x1a\n") << path.string();
            }
        return;
    }

    const auto picture = [&](HWND dialog, const std::wstring& name, const wchar_t* language) {
        const std::wstring file = name + L"-" + language;
        ExpectTextsFit(dialog, file);
        testing::SavePicture(dialog, folder + L"\\" + file + L".png");
    };
    for (const auto& [language, code] : {std::pair{basGlobal::kEnglish, L"en"}, std::pair{basGlobal::kGerman, L"de"}}) {
        // The toolbar keeps the captions of the language it was built in until Word starts again.
        UseLanguage(language);
        StartWord();
        OpenDocumentWithWildcard(data.Path(L"Offer.doc"));
        word->Type(L", " + basDisplayNames::GetDisplayName(L"WildCard_Sender", -1));  // typed by hand
        DialogDriver driver({
            {LNG_Main(339),
             [&](HWND dialog) {
                 testing::SelectEntry(List(dialog, IDC_LVW_SELECTED), 2);
                 testing::SelectEntry(List(dialog, IDC_LVW_AVAILABLE), 1);
                 picture(dialog, names[0], code);
                 Press(dialog, IDCANCEL);
             }},
            {LNG_Main(302),
             [&](HWND dialog) {
                 picture(dialog, names[1], code);
                 Press(dialog, IDCANCEL);
             }},
            {L"Info",
             [&](HWND dialog) {
                 picture(dialog, names[2], code);
                 Press(dialog, IDOK);
             }},
            {LNG_Main(500),
             [&](HWND dialog) {
                 picture(dialog, names[4], code);
                 Press(dialog, IDCANCEL);
             }},
        });
        word->Click(L"Quillora Toolbar/" + LNG_Main(67));
        word->Click(L"Quillora Toolbar/" + LNG_Main(66));
        word->Click(L"Quillora Toolbar/Info");
        word->Click(L"Quillora Toolbar/" + LNG_Main(500));
        word->Refuse(L"Document.Bookmarks.get");
        word->Click(L"Quillora Toolbar/" + LNG_Main(66));  // its failure is reported
        word->Allow(L"Document.Bookmarks.get");
        const HWND report = testing::FindThreadWindow(LNG_Main(276));
        ASSERT_NE(report, nullptr);
        picture(report, names[3], code);
        Installed<OpenDialogs>::Get()->UnloadErrorReport();
    }
}

// ---- The add-in DLL in wordsim ----------------------------------------------------------------

// The DLL registered for this user and installed as Word's add-in for the length of a test, with
// settings of its own.
class AddInInWordsim : public ::testing::Test {
protected:
    static constexpr wchar_t kOfficeKey[] = L"Software\\Microsoft\\Office\\Word\\Addins\\QloraWordAddIn.Connect";
    static constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";

    void SetUp() override {
        ASSERT_EQ(Regsvr32(L"/n /i:user"), 0u);  // as the installer registers it: for this user only
        win::UniqueHKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kOfficeKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                    nullptr),
                  ERROR_SUCCESS);
        const DWORD loadAtStartup = 3;
        ::RegSetValueExW(key.get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadAtStartup),
                         sizeof(loadAtStartup));
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        logSize = LogSize();
    }
    void TearDown() override {
        Regsvr32(L"/u /n /i:user");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kOfficeKey);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
    }

    static DWORD Regsvr32(const std::wstring& arguments) {
        return testing::RunProcess(L"regsvr32.exe /s " + arguments + L" \"" + win::ThisModuleFolder() +
                                   L"\\QloraWordAddIn.dll\"")
            .exitCode;
    }
    // The add-in's log beside its DLL: it grows only when the add-in reports a failure.
    static uintmax_t LogSize() {
        std::error_code missing;
        const auto size = std::filesystem::file_size(win::ThisModuleFolder() + L"\\Errors.txt", missing);
        return missing ? 0 : size;
    }

    uintmax_t logSize = 0;
};

// Runs a script in a wordsim whose add-ins load as Word's do; the printed lines, one per line.
std::wstring RunWordsim(const std::wstring& script, int& code,
                        wordsim::StartupDocument startupDocument = wordsim::StartupDocument::None) {
    std::wstring output;
    const auto print = [&](std::wstring_view line) { output.append(line).append(L"\n"); };
    const auto word = std::make_shared<wordsim::Word>();
    wordsim::WinSessionHost host(word, print, true, startupDocument);
    code = wordsim::Session(*word, host, print).Run(script);
    return output;
}

// Whether or not Word announces its start-up document, the toolbar is there when start-up completes.
TEST_F(AddInInWordsim, TheToolbarIsThereOnceWordHasStartedWithADocument) {
    for (const auto start : {wordsim::StartupDocument::Announced, wordsim::StartupDocument::Quiet}) {
        int code = -1;
        const std::wstring output = RunWordsim(L"print toolbars\nexpect Button \"Info\"\n", code, start);
        EXPECT_EQ(code, wordsim::Session::kPassed) << text::ToUtf8(output);
        EXPECT_THAT(output, HasSubstr(L"start-up document Document1"));
    }
    EXPECT_EQ(LogSize(), logSize) << "the add-in reported a failure";
}

// Choosing wildcards, inserting, a build Word refuses and unloading leave Normal.dotm unchanged;
// the user's unloading takes the toolbar away and loading brings it back.
TEST_F(AddInInWordsim, NormalStaysSavedOnEveryToolbarChangeAndUnloadingTakesTheToolbarAlong) {
    int code = -1;
    const std::wstring output = RunWordsim(L"new\n"
                                           L"dialog Choose wildcards | press Ok\n"
                                           L"click Quillora Toolbar/Choose wildcards\n"
                                           L"click Quillora Toolbar/Insert wildcard/Subject\n"
                                           // Closing the document disables its buttons: a build
                                           // with work to do, refused.
                                           L"refuse CommandBarControl.Enabled.put\n"
                                           L"close\n"
                                           L"allow CommandBarControl.Enabled.put\n"
                                           L"print toolbars\n"
                                           L"expect NormalTemplate saved=true\n"
                                           L"unload-addin QloraWordAddIn.Connect\n"
                                           L"print toolbars\n"
                                           L"expect-not Quillora\n"
                                           L"expect NormalTemplate saved=true\n"
                                           L"load-addin QloraWordAddIn.Connect\n"
                                           L"new\n"
                                           L"print toolbars\n"
                                           L"expect Bar \"Quillora Toolbar\"\n"
                                           L"click Quillora Toolbar/Insert wildcard/Body\n"
                                           L"print document\n"
                                           L"expect Bookmark \"WildCard_Body\"\n"
                                           L"quit\n",
                                           code);
    EXPECT_EQ(code, wordsim::Session::kPassed) << text::ToUtf8(output);
    EXPECT_THAT(output, Not(HasSubstr(L"Normal.dotm")));
    EXPECT_GT(LogSize(), logSize) << "the refused build was not reported";
}

// The add-in's dialogs and messages belong to Word's main window, which they disable: a click on
// the toolbar meanwhile does nothing, and the dialog still works.
TEST_F(AddInInWordsim, DialogsAndMessagesAreModalToWordAndAClickMeanwhileOpensNothing) {
    int code = -1;
    const std::wstring output =
        RunWordsim(L"new\n"
                   L"dialog Choose wildcards | click Quillora Toolbar/Info | click Quillora Toolbar/Choose wildcards"
                   L" | press Remove all wildcards from selection | select Body | press Choose wildcard | press Ok\n"
                   L"click Quillora Toolbar/Choose wildcards\n"
                   L"dialog Document can't be used as template | click Quillora Toolbar/Info | press OK\n"
                   L"click Quillora Toolbar/Use as template\n"
                   L"print toolbars\n"
                   L"quit\n",
                   code);
    EXPECT_EQ(code, wordsim::Session::kPassed) << text::ToUtf8(output);
    const std::wstring disabled = L"  nothing happens: Word is disabled while a modal window is open\n";
    size_t count = 0;
    for (size_t at = output.find(disabled); at != std::wstring::npos; at = output.find(disabled, at + 1)) ++count;
    EXPECT_EQ(count, 3u) << text::ToUtf8(output);
    EXPECT_THAT(output, HasSubstr(L"    Button \"Body\""));  // the first dialog's Ok still took effect
    EXPECT_THAT(output, Not(HasSubstr(L"Button \"Subject\"")));
    EXPECT_EQ(LogSize(), logSize) << "the add-in reported a failure";
}

// With track changes on, or a comment in the selection, typing keeps the selected text; every
// bookmark still holds exactly its placeholder.
TEST_F(AddInInWordsim, TrackedChangesAndCommentsLeaveEachBookmarkOverExactlyItsPlaceholder) {
    testing::TempFolder folder;
    folder.Write(L"Offer.txt", "Dear Sir,\r\n");
    int code = -1;
    const std::wstring output = RunWordsim(L"open " + folder.Path(L"Offer.txt") +
                                               L"\ntrack-changes on\n"
                                               L"select 5 8\n"
                                               L"click Quillora Toolbar/Insert wildcard/Subject\n"
                                               L"comment 0 4\n"
                                               L"select 0 4\n"
                                               L"click Quillora Toolbar/Insert wildcard/Body\n"
                                               L"print document\n"
                                               L"quit\n",
                                           code);
    EXPECT_EQ(code, wordsim::Session::kPassed) << text::ToUtf8(output);
    EXPECT_THAT(output, HasSubstr(L"Text \"Dear<<Body>> Sir<<Subject>>,\\r\"\n"));
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Body\" [4, 12) \"<<Body>>\"\n"));
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Subject\" [16, 27) \"<<Subject>>\"\n"));
    EXPECT_THAT(output, HasSubstr(L"Deleted [13, 16) \"Sir\"\n"));
    EXPECT_EQ(LogSize(), logSize) << "the add-in reported a failure";
}

// The add-in's tab on wordsim's Ribbon: found by its callbacks' names, following the documents
// and the chosen wildcards, inserting as the toolbar does and reporting a refused Word call.
TEST_F(AddInInWordsim, TheRibbonTabFollowsTheDocumentsAndTheChoiceAndInsertsAsTheToolbarDoes) {
    int code = -1;
    const std::wstring output = RunWordsim(
        L"print ribbon\n"
        L"expect Tab \"Quillora\" (QloraWordAddIn.Connect, after TabHome)\n"
        L"expect button \"Use as template\" (disabled)\n"
        L"ribbon Quillora/Use as template\n"
        L"new\n"
        L"print ribbon\n"
        L"expect-not (disabled)\n"
        L"ribbon Quillora/Insert wildcard/Subject\n"
        L"click Quillora Toolbar/Insert wildcard/Subject\n"
        L"print document\n"
        L"dialog Choose wildcards | press Remove all wildcards from selection | select Sender"
        L" | press Choose wildcard | select Body | press Choose wildcard | press Ok\n"
        L"ribbon Quillora/Choose wildcards\n"
        L"print ribbon\n"
        L"refuse Bookmarks.Add\n"
        L"dialog Quillora TemplateEditor error report | print | press Close\n"
        L"ribbon Quillora/Insert wildcard/Sender\n"
        L"allow Bookmarks.Add\n"
        L"quit\n",
        code);
    EXPECT_EQ(code, wordsim::Session::kPassed) << text::ToUtf8(output);
    EXPECT_THAT(output, HasSubstr(L"> ribbon Quillora/Use as template\n  nothing happens: the control is disabled\n"));
    EXPECT_THAT(output, HasSubstr(L"    dynamicMenu \"Insert wildcard\"\n      menu: Subject, Body, Sender, To,"));
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Subject1\" ["));  // after the ribbon's own
    EXPECT_THAT(output, HasSubstr(L"      menu: Sender, Body\n"));
    EXPECT_THAT(output, HasSubstr(L"QuilloraInsert_WildCard_Sender"));
    EXPECT_THAT(output, Not(HasSubstr(L"Custom UI")));
    EXPECT_THAT(output, HasSubstr(L"add-in QloraWordAddIn.Connect: released; its DLL can unload"));
}

}  // namespace
}  // namespace qlora
