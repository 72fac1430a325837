// The add-in's dialogs as a user meets them: opened from the toolbar of the in-memory Word, driven
// with window messages while their modal loops run, and read back; the real registry, files, save
// dialog and message boxes behind them. Pictures of every dialog in English and German, taken in
// a virtual desktop that draws the title bars.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "addin/word_addin.h"
#include "base/error.h"
#include "base/port.h"
#include "base/text.h"
#include "dialog_answers_win.h"
#include "language/language_texts.h"
#include "session/global.h"
#include "session_host_win.h"
#include "settings/program_settings.h"
#include "shell/contact.h"
#include "shell/shell_execute.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "support/fake_registry.h"
#include "support/fake_wildcards_view.h"
#include "support/temp_folder.h"
#include "templates/template_list.h"
#include "toolbar/command_bar.h"
#include "toolbar/display_names.h"
#include "toolbar/wildcard_buttons.h"
#include "trail/error_trail.h"
#include "ui/dialog_win.h"
#include "ui/resource_ids.h"
#include "win/win32_win.h"
#include "win_test_util.h"
#include "word_model.h"

namespace qlora {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using testing::kDefaultSelected;
// Reading windows and acting on them as the user does: wordsim's, which scripts use too.
using wordsim::FindThreadWindow;
using wordsim::ListEntries;
using wordsim::MessageText;
using wordsim::SelectEntry;
using wordsim::WindowText;

constexpr wchar_t kReportTitle[] = L"Quillora TemplateEditor error report";

// ---- Driving the dialogs -----------------------------------------------------------------------

// Steps run one after the other at the timer ticks of this thread, each once its window shows;
// a step may open the next window itself (a message box), whose step then runs inside that
// window's loop. A window that never shows fails the test, and what this thread shows is closed,
// so that no modal loop is left waiting.
class DialogDriver {
public:
    // Waits for a shown window of this thread with the title (a dialog, a message box, the save
    // dialog), then acts on it.
    struct Step {
        std::wstring title;
        std::function<void(HWND)> act;
    };

    explicit DialogDriver(std::vector<Step> steps) : steps_(std::move(steps)) {
        running_ = this;
        timer_ = ::SetTimer(nullptr, 0, kTickMilliseconds, &Tick);
    }
    ~DialogDriver() {
        ::KillTimer(nullptr, timer_);
        running_ = nullptr;
        EXPECT_TRUE(Finished()) << "the dialogs ended before step " << next_ + 1 << " of " << steps_.size();
    }
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    bool Finished() const noexcept { return next_ >= steps_.size(); }

private:
    static constexpr UINT kTickMilliseconds = 20;
    static constexpr int kPatience = 3000;  // ticks a step waits for its window before the test gives up

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        if (running_) running_->RunStep();
    }
    void RunStep() {
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

    static inline thread_local DialogDriver* running_ = nullptr;  // the driver this thread's timer runs
    std::vector<Step> steps_;
    size_t next_ = 0;
    int attempts_ = 0;
    UINT_PTR timer_ = 0;
};

std::wstring ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }
// Presses a push button of a dialog as a click does; the button must be enabled.
void Press(HWND dialog, int id) {
    const HWND button = ::GetDlgItem(dialog, id);
    ASSERT_TRUE(button && ::IsWindowEnabled(button)) << "button " << id << " cannot be pressed";
    wordsim::PressButton(dialog, button);
}
bool Enabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }
// The tool tip text the dialog's tool tips give a control; empty when it has none.
std::wstring ToolTipOf(HWND dialog, int id) { return wordsim::ToolTipOf(dialog, ::GetDlgItem(dialog, id)); }

// A list view's selection (1-based), and a drag of an entry of one list dropped at the middle of
// a row of another list (or the same one).
std::optional<int> ListSelection(HWND list) {
    const int index = ListView_GetNextItem(list, -1, LVNI_SELECTED);
    return index < 0 ? std::nullopt : std::optional<int>(index + 1);
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

// Writes what the window shows, its frame included, as a PNG file; a failure fails the test.
void SavePicture(HWND window, const std::wstring& path) {
    try {
        wordsim::SavePicture(window, path);
    } catch (const Error& e) {
        ADD_FAILURE() << "writing " << text::ToUtf8(path) << ": " << text::ToUtf8(e.Description());
    }
}

// ---- The dialogs ---------------------------------------------------------------------------------

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
        const HWND report = FindThreadWindow(kReportTitle);
        EXPECT_EQ(report, nullptr) << "an error was reported:\n" << text::ToUtf8(ItemText(report, IDC_TXT_ERROR));
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
    // A saved document holding a wildcard, so that "Use as template" opens its dialog.
    void OpenDocumentWithWildcard(const std::wstring& fullName) {
        word->OpenDocument(fullName, L"Dear ");
        word->Select(5, 5);
        InsertSubject();
    }
    void InsertSubject() {
        word->Click(L"Quillora Toolbar/" + LNG_Main(70) + L"/" +
                    basDisplayNames::GetPlainName(L"WildCard_Subject", -1));
    }

    const std::wstring program = L"QuilloraDialogTests" + std::to_wstring(::GetCurrentProcessId());
    testing::TempFolder data;
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
    EXPECT_EQ(testing::ErrorOf([&] { modal.ShowModal(IDD_TEMPLATE); }).description, L"no texts");
    EXPECT_EQ(modal.Window(), nullptr);
    FailingLoad modeless;
    EXPECT_THROW(modeless.CreateModeless(IDD_TEMPLATE), Error);
    EXPECT_EQ(modeless.Window(), nullptr);
}

TEST_F(AddInDialogs, ChooseWildcardsShowsTheListsAndOkStoresTheMovesAndRebuildsTheToolbar) {
    word->NewDocument();
    DialogDriver driver({{L"Choose wildcards", [&](HWND dialog) {
                              const HWND available = ::GetDlgItem(dialog, IDC_LVW_AVAILABLE);
                              const HWND selected = ::GetDlgItem(dialog, IDC_LVW_SELECTED);
                              EXPECT_EQ(ListEntries(selected), kDefaultSelected);
                              EXPECT_FALSE(Enabled(dialog, IDC_CMD_ADD));  // nothing chosen yet
                              EXPECT_EQ(ToolTipOf(dialog, IDC_CMD_ADD), L"Choose wildcard");
                              SelectEntry(available, 1);
                              Press(dialog, IDC_CMD_ADD);
                              EXPECT_EQ(ListEntries(selected).back(), L"Expiry time");
                              EXPECT_EQ(ListSelection(available), 1);

                              // Flag request below Subject
                              DragEntry(dialog, IDC_LVW_AVAILABLE, 1, IDC_LVW_SELECTED, 2);
                              EXPECT_EQ(ListEntries(selected)[1], L"Flag request");
                              Press(dialog, IDOK);
                          }}});
    word->Click(L"Quillora Toolbar/Choose wildcards");

    // The moves reach the registry and the toolbar's menu, in their order.
    EXPECT_EQ(basGlobal::gSettings->ReadEntry(L"WildCard_FlagRequest", L""), L"2");
    const auto menu = word->FindControl(L"Quillora Toolbar/Insert wildcard");
    ASSERT_TRUE(menu && menu->controls.size() == 20u);
    EXPECT_EQ(menu->controls[1]->caption, L"Flag request");
}

TEST_F(AddInDialogs, UseAsTemplateSavesTheDocumentAndRecordsItByteForByte) {
    OpenDocumentWithWildcard(data.Path(L"Draft.doc"));
    const std::wstring target = data.Path(L"Offer template.doc");
    data.Write(L"Offer template.doc", "an older file");
    DialogDriver driver({
        {L"Use as template",
         [&](HWND dialog) {
             EXPECT_EQ(ItemText(dialog, IDC_TXT_PATH), data.Path(L"Draft.doc"));
             ::SetDlgItemTextW(dialog, IDC_TXT_NAME, L"Offer");
             ::SetDlgItemTextW(dialog, IDC_TXT_PATH, target.c_str());
             EXPECT_EQ(ToolTipOf(dialog, IDC_TXT_PATH), target);
             Press(dialog, IDOK);
         }},
        {L"File already exists",
         [&](HWND box) {
             EXPECT_EQ(MessageText(box), L"There exists already a file with this name. Do you want to overwrite it?");
             Press(box, IDYES);
         }},
    });
    word->Click(L"Quillora Toolbar/Use as template");

    EXPECT_THAT(data.Read(L"Offer template.doc"), HasSubstr("TemplateName"));  // the older file replaced
    EXPECT_EQ(data.Read(L"NewTemplates.ini"), "Offer||" + win::ToAnsi(target) + "|>|\r\n");
    EXPECT_EQ(word->ActiveDocument()->FullName(), target);
}

TEST_F(AddInDialogs, ANeverSavedDocumentAsksForItsFileInTheSaveDialogFirst) {
    word->NewDocument();
    InsertSubject();
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
}

// Each link's click reaches the shell, the homepage's keeping the dialog open (its owner) and the
// e-mail's closing it.
TEST_F(AddInDialogs, InfoShowsTheAddressesAsLinksThatGoToTheShell) {
    testing::FakeShell shell;  // records instead of launching mail and browser programs
    ScopedPort<ShellHost> shellSlot(shell);
    word->NewDocument();
    HWND info = nullptr;
    DialogDriver driver({{L"Info", [&](HWND dialog) {
                              info = dialog;
                              for (const int link : {IDC_LBL_HOMEPAGE, IDC_LBL_EMAIL}) {
                                  NMLINK notice{{::GetDlgItem(dialog, link), static_cast<UINT_PTR>(link), NM_CLICK}};
                                  ::SendMessageW(dialog, WM_NOTIFY, link, reinterpret_cast<LPARAM>(&notice));
                              }
                          }}});
    word->Click(L"Quillora Toolbar/Info");
    ASSERT_EQ(shell.calls.size(), 2u);
    EXPECT_EQ(shell.calls[0].request.file, kHomepage);
    EXPECT_EQ(shell.calls[0].request.hwnd, reinterpret_cast<std::intptr_t>(info));
    EXPECT_EQ(shell.calls[1].request.file, L"mailto:" + std::wstring(kSupportEmail));
}

TEST_F(AddInDialogs, AFailingClickShowsItsReportWithoutAModeAndTheDialogKeepsItsMinimumSize) {
    word->NewDocument();
    word->Refuse(L"Document.Bookmarks.get");
    word->Click(L"Quillora Toolbar/Use as template");  // the failure reaches the click handler
    const HWND dialog = FindThreadWindow(kReportTitle);
    ASSERT_NE(dialog, nullptr);
    const std::wstring report = ItemText(dialog, IDC_TXT_ERROR);
    EXPECT_THAT(report, HasSubstr(L"clsCommandBar.DocumentHasWildcards"));
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendDlgItemMessageW(dialog, IDC_TXT_ERROR, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    EXPECT_EQ(std::wstring(font.lfFaceName), L"Courier New");
    EXPECT_EQ(ItemText(dialog, IDC_CMD_SEND), L"Send error report");
    EXPECT_EQ(ToolTipOf(dialog, IDC_CMD_SEND), L"Send error report via email");

    // Smaller than 400 x 300 snaps back; larger moves the box's edges and the buttons along.
    ::SetWindowPos(dialog, nullptr, 0, 0, 200, 100, SWP_NOMOVE | SWP_NOZORDER);
    RECT bounds{}, client{};
    ::GetWindowRect(dialog, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 400);
    EXPECT_EQ(bounds.bottom - bounds.top, 300);
    ::SetWindowPos(dialog, nullptr, 0, 0, 700, 520, SWP_NOMOVE | SWP_NOZORDER);
    ::GetClientRect(dialog, &client);
    const auto place = [dialog](int id) {
        RECT r{};
        ::GetWindowRect(::GetDlgItem(dialog, id), &r);
        ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
        return r;
    };
    const RECT box = place(IDC_TXT_ERROR), close = place(IDCANCEL), send = place(IDC_CMD_SEND);
    EXPECT_EQ(box.right, client.right - box.left);
    EXPECT_EQ(close.right, client.right - box.left);
    EXPECT_GT(close.top, box.bottom);
    EXPECT_LT(close.bottom, client.bottom);
    EXPECT_EQ(send.top, close.top);
    EXPECT_LT(send.right, close.left);

    // Ctrl+A, with no other modifier held, selects the whole report.
    const HWND edit = ::GetDlgItem(dialog, IDC_TXT_ERROR);
    BYTE keys[256] = {}, ctrl[256] = {};
    ::GetKeyboardState(keys);
    ctrl[VK_CONTROL] = 0x80;
    ::SetKeyboardState(ctrl);
    ::SendMessageW(edit, EM_SETSEL, 0, 0);
    ::SendMessageW(edit, WM_KEYDOWN, 'A', 0);
    ::SetKeyboardState(keys);
    DWORD start = 0, end = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(end - start, static_cast<DWORD>(report.size()));

    // A second report replaces the first in the same window.
    word->Click(L"Quillora Toolbar/Use as template");
    EXPECT_EQ(FindThreadWindow(kReportTitle), dialog);
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
    EXPECT_EQ(FindThreadWindow(L"Info"), nullptr);

    Installed<ReportView>::Get()->ShowReport(L"Error 5\r\n");
    const HWND report = FindThreadWindow(kReportTitle);
    ASSERT_NE(report, nullptr);
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
                              const HWND list = ::GetDlgItem(dialog, IDC_LVW_PROBLEMS);
                              EXPECT_THAT(ListEntries(list), ElementsAre(L"Not marked", L"Not marked"));
                              SelectEntry(list, 2);
                              Press(dialog, IDC_CMD_GOTO);
                              EXPECT_EQ(word->ActiveDocument()->selection, (wordsim::Span{33, 43}));
                              Press(dialog, IDC_CMD_REPAIR);
                              EXPECT_TRUE(ListEntries(list).empty());
                              EXPECT_EQ(ItemText(dialog, IDC_LBL_RESULT), L"2 wildcards repaired.");
                              Press(dialog, IDCANCEL);
                          }}});
    word->Click(L"Quillora Toolbar/Check wildcards");

    EXPECT_EQ(word->ActiveDocument()->text, text);
    EXPECT_EQ(word->ActiveDocument()->bookmarks.size(), 3u);
}

// Set for the copy of this program that takes the pictures inside a virtual desktop, where the
// dialogs get their title bars drawn.
constexpr wchar_t kPictureFolderVariable[] = L"QLORA_DIALOG_PICTURES";
constexpr wchar_t kPictureProgram[] = L"qlora_dialog_pictures.exe";
constexpr wchar_t kPictureDesktop[] = L"QloraDialogPictures";

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
        std::wstring text = WindowText(control);
        if (kind == L"SysLink") text = text::ReplaceAll(text::ReplaceAll(text, L"<a>", L""), L"</a>", L"");
        const bool captioned = (kind == L"Static" && (style & SS_TYPEMASK) != SS_ICON) || kind == L"SysLink" ||
                               (kind == L"Button" && !(style & BS_ICON));
        if (captioned && !text.empty()) {
            RECT size{};
            ::DrawTextW(dc.get(), text.c_str(), -1, &size, DT_CALCRECT | DT_NOPREFIX);
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
    const wchar_t* const folder = _wgetenv(kPictureFolderVariable);
    const std::vector<std::wstring> names{L"choose-wildcards", L"use-as-template", L"info", L"error-report",
                                          L"check-wildcards"};
    if (!folder || !*folder) {  // an empty variable is no folder either
        const std::wstring pictures = std::filesystem::path(win::ThisModuleFolder()).parent_path() / L"screenshots";
        std::filesystem::remove_all(pictures);  // pictures of an earlier run prove nothing
        std::filesystem::create_directories(pictures);
        const std::wstring program = win::ThisModuleFolder() + L"\\" + kPictureProgram;
        ASSERT_TRUE(::CopyFileW(win::ModulePath(nullptr).c_str(), program.c_str(), FALSE));
        const std::wstring appKey = std::wstring(L"Software\\Wine\\AppDefaults\\") + kPictureProgram + L"\\Explorer";
        testing::SetRegistryText(HKEY_CURRENT_USER, appKey, L"Desktop", kPictureDesktop);
        testing::SetRegistryText(HKEY_CURRENT_USER, L"Software\\Wine\\Explorer\\Desktops", kPictureDesktop,
                                 L"1280x1024");
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
                EXPECT_EQ(testing::FileBytes(path).substr(0, 8), "\x89PNG\r\n\x1a\n") << path.string();
            }
        return;
    }

    const auto picture = [&](HWND dialog, const std::wstring& name, const wchar_t* language) {
        const std::wstring file = name + L"-" + language;
        ExpectTextsFit(dialog, file);
        SavePicture(dialog, std::wstring(folder) + L"\\" + file + L".png");
    };
    for (const auto& [language, code] : {std::pair{basGlobal::kEnglish, L"en"}, std::pair{basGlobal::kGerman, L"de"}}) {
        // The toolbar keeps the captions of the language it was built in until Word starts again.
        UseLanguage(language);
        StartWord();
        OpenDocumentWithWildcard(data.Path(L"Offer.doc"));
        word->Type(L", " + basDisplayNames::GetDisplayName(L"WildCard_Sender", -1));  // typed by hand
        // Each dialog pictured and closed; the wildcard lists with an entry selected in each.
        const auto step = [&](const std::wstring& title, const std::wstring& name, int close) {
            return DialogDriver::Step{title, [&picture, name, close, code](HWND dialog) {
                                          if (const HWND selected = ::GetDlgItem(dialog, IDC_LVW_SELECTED)) {
                                              SelectEntry(selected, 2);
                                              SelectEntry(::GetDlgItem(dialog, IDC_LVW_AVAILABLE), 1);
                                          }
                                          picture(dialog, name, code);
                                          Press(dialog, close);
                                      }};
        };
        DialogDriver driver({step(LNG_Main(339), names[0], IDCANCEL), step(LNG_Main(302), names[1], IDCANCEL),
                             step(L"Info", names[2], IDOK), step(LNG_Main(500), names[4], IDCANCEL)});
        word->Click(L"Quillora Toolbar/" + LNG_Main(67));
        word->Click(L"Quillora Toolbar/" + LNG_Main(66));
        word->Click(L"Quillora Toolbar/Info");
        word->Click(L"Quillora Toolbar/" + LNG_Main(500));
        word->Refuse(L"Document.Bookmarks.get");
        word->Click(L"Quillora Toolbar/" + LNG_Main(66));  // its failure is reported
        word->Allow(L"Document.Bookmarks.get");
        const HWND report = FindThreadWindow(LNG_Main(276));
        ASSERT_NE(report, nullptr);
        picture(report, names[3], code);
        Installed<OpenDialogs>::Get()->UnloadErrorReport();
    }
}

}  // namespace
}  // namespace qlora
