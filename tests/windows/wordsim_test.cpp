// wordsim's COM face as the add-in's Word adapter crosses it: type names, the click's
// CancelDefault, a Word that is gone, and what the adapter makes of any server's EXCEPINFO; the
// add-in DLL in wordsim sessions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>
#include <wrl/client.h>

#include <memory>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text.h"
#include "com_face_win.h"
#include "office_addins.h"
#include "session.h"
#include "session_host_win.h"
#include "support/error_of.h"
#include "support/temp_folder.h"
#include "win/com_object_win.h"
#include "win/win32_win.h"
#include "win_test_util.h"
#include "word/word_dispatch_win.h"

namespace {

namespace port = qlora::word;
using Microsoft::WRL::ComPtr;
using qlora::com::Adopt;
using qlora::com::Bstr;
using qlora::testing::ErrorOf;
using qlora::text::ToUtf8;
using testing::HasSubstr;
using testing::Not;

class WordsimFace : public testing::Test {
protected:
    void TearDown() override {
        app.reset();
        dispatch.Reset();
        EXPECT_EQ(face.LiveObjects(), 0) << "the face keeps objects alive that nobody holds";
    }

    std::shared_ptr<wordsim::Word> word = std::make_shared<wordsim::Word>();
    wordsim::com::Face face{word};
    ComPtr<IDispatch> dispatch = face.Application();
    std::shared_ptr<port::Application> app = port::ApplicationFromDispatch(dispatch.Get());
};

// The report's argument lines name the objects by these types.
TEST_F(WordsimFace, ObjectsNameTheirTypesAsWordsTypeInformationDoes) {
    word->NewDocument();
    EXPECT_EQ(app->Selection()->Range()->TypeName(), L"Range");
    const auto controls = app->CommandBars()->Add(L"Quillora Toolbar", true)->Controls();
    EXPECT_EQ(controls->Add(port::mso::ControlPopup, true)->TypeName(), L"CommandBarPopup");
}

// A call after Word is gone fails as a disconnected server's does.
TEST_F(WordsimFace, ACallAfterWordIsGoneFailsAsADisconnectedServers) {
    word.reset();
    EXPECT_EQ(ErrorOf([&] { app->Version(); }).number, static_cast<int32_t>(RPC_E_DISCONNECTED));
}

// What a server puts in the EXCEPINFO of its DISP_E_EXCEPTION, the texts at once or on demand.
struct Raised {
    SCODE scode;
    WORD wCode;
    bool deferred;
};

// A server without type information, whose every name is member 1 and every call raises.
class RaisingServer final : public qlora::com::Unknown<IDispatch> {
public:
    explicit RaisingServer(Raised raised) : raised_(raised) {}
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* id) override {
        *id = 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO* excep,
                                     UINT*) override {
        *excep = {};
        excep->scode = raised_.scode;
        excep->wCode = raised_.wCode;
        if (raised_.deferred)
            excep->pfnDeferredFillIn = FillIn;
        else
            FillIn(excep);
        return DISP_E_EXCEPTION;
    }

private:
    static HRESULT STDAPICALLTYPE FillIn(EXCEPINFO* e) {
        e->bstrSource = Bstr(L"Server").release();
        e->bstrDescription = Bstr(L"It failed").release();
        e->pfnDeferredFillIn = nullptr;
        return S_OK;
    }
    Raised raised_;
};

TEST(FailureCodes, WordAdapterTakesScodeElseWCodeElseTheCallsResult) {
    const struct {
        Raised raised;
        int32_t number;
    } cases[] = {
        {{0, 0, false}, DISP_E_EXCEPTION},                               // neither code
        {{0, 0, true}, DISP_E_EXCEPTION},                                // a deferred fill-in that names none either
        {{static_cast<SCODE>(0x800A0000), 0, false}, DISP_E_EXCEPTION},  // FACILITY_CONTROL without a number
        {{static_cast<SCODE>(0x800A1066), 0, false}, 4198},              // Word's own error, by its number
        {{E_ACCESSDENIED, 0, true}, E_ACCESSDENIED},
        {{0, 5, false}, 5},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.raised.scode << " " << c.raised.wCode << " "
                                        << c.raised.deferred);
        const auto server = Adopt<IDispatch>(new RaisingServer(c.raised));
        const auto e = ErrorOf([&] { port::DocumentFromDispatch(server.Get())->Name(); });
        EXPECT_EQ(e.number, c.number);
        EXPECT_EQ(e.description, L"It failed");
        EXPECT_EQ(e.source, L"Server");
    }
}

// ---- Add-ins through the Office add-in key --------------------------------------------------------

// The add-in DLL registered for this user as the installer registers it, and installed as Word's
// add-in loaded at start-up, with settings of its own. Its log beside the DLL grows only when it
// reports a failure: none unless the test expects one.
class AddInInWordsim : public testing::Test {
protected:
    static constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Tandrel\\Quillora\\Settings\\WordAddIn";
    static constexpr wchar_t kProgId[] = L"QloraWordAddIn.Connect";
    const std::wstring officeKey = std::wstring(wordsim::office::kAddInsKey) + L"\\" + kProgId;

    void SetUp() override {
        ASSERT_EQ(qlora::testing::Regsvr32(L"/n /i:user"), 0u);
        qlora::testing::SetRegistryNumber(HKEY_CURRENT_USER, officeKey, L"LoadBehavior", 3);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        logSize = qlora::testing::ModuleLog().size();
    }
    void TearDown() override {
        qlora::testing::Regsvr32(L"/u /n /i:user");
        ::RegDeleteTreeW(HKEY_CURRENT_USER, officeKey.c_str());
        ::RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
        EXPECT_EQ(qlora::testing::ModuleLog().size() > logSize, failureReported)
            << (failureReported ? "no failure logged" : "a failure logged");
    }

    // What a session of a wordsim whose add-ins load as Word's do printed; its expectations must have held.
    static std::wstring Run(const std::wstring& script,
                            wordsim::StartupDocument start = wordsim::StartupDocument::None) {
        std::wstring output;
        const auto word = std::make_shared<wordsim::Word>();
        const wordsim::Print print = [&](std::wstring_view line) { output.append(line).append(L"\n"); };
        wordsim::WinSessionHost host(word, print, true, start);
        EXPECT_EQ(wordsim::Session(*word, host, print).Run(script), wordsim::Session::kPassed) << ToUtf8(output);
        return output;
    }

    size_t logSize = 0;
    bool failureReported = false;
};

// Whether or not Word announces its start-up document, the toolbar is there when start-up completes.
TEST_F(AddInInWordsim, TheToolbarIsThereOnceWordHasStartedWithADocument) {
    for (const auto start : {wordsim::StartupDocument::Announced, wordsim::StartupDocument::Quiet})
        EXPECT_THAT(Run(L"print toolbars\nexpect Button \"Info\"\n", start), HasSubstr(L"start-up document Document1"));
}

// Choosing wildcards, inserting, a build Word refuses and unloading leave Normal.dotm unchanged;
// the user's unloading takes the toolbar away and loading brings it back.
TEST_F(AddInInWordsim, NormalStaysSavedOnEveryToolbarChangeAndUnloadingTakesTheToolbarAlong) {
    failureReported = true;  // the refused build
    const std::wstring output =
        Run(L"new\n"
            L"dialog Choose wildcards | press Ok\n"
            L"click Quillora Toolbar/Choose wildcards\n"
            L"click Quillora Toolbar/Insert wildcard/Subject\n"
            // Closing the document disables its buttons: a build with work
            // to do, refused.
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
            L"quit\n");
    EXPECT_THAT(output, Not(HasSubstr(L"Normal.dotm")));
}

// The add-in's dialogs and messages belong to Word's main window, which they disable: a click on
// the toolbar meanwhile does nothing, and the dialog still works.
TEST_F(AddInInWordsim, DialogsAndMessagesAreModalToWordAndAClickMeanwhileOpensNothing) {
    const std::wstring output =
        Run(L"new\n"
            L"dialog Choose wildcards | click Quillora Toolbar/Info | click Quillora Toolbar/Choose wildcards"
            L" | press Remove all wildcards from selection | select Body | press Choose wildcard | press Ok\n"
            L"click Quillora Toolbar/Choose wildcards\n"
            L"dialog Document can't be used as template | click Quillora Toolbar/Info | press OK\n"
            L"click Quillora Toolbar/Use as template\n"
            L"print toolbars\n"
            L"quit\n");
    const std::wstring disabled = L"  nothing happens: Word is disabled while a modal window is open\n";
    EXPECT_EQ(qlora::testing::Occurrences(output, disabled), 3u) << ToUtf8(output);
    EXPECT_THAT(output, Not(HasSubstr(L"Button \"Subject\"")));  // the first dialog's Ok still took effect
}

// With track changes on, or a comment in the selection, typing keeps the selected text; every
// bookmark still holds exactly its placeholder.
TEST_F(AddInInWordsim, TrackedChangesAndCommentsLeaveEachBookmarkOverExactlyItsPlaceholder) {
    const qlora::testing::TempFolder folder;
    folder.Write(L"Offer.txt", "Dear Sir,\r\n");
    const std::wstring output = Run(L"open " + folder.Path(L"Offer.txt") +
                                    L"\ntrack-changes on\n"
                                    L"select 5 8\n"
                                    L"click Quillora Toolbar/Insert wildcard/Subject\n"
                                    L"comment 0 4\n"
                                    L"select 0 4\n"
                                    L"click Quillora Toolbar/Insert wildcard/Body\n"
                                    L"print document\n"
                                    L"quit\n");
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Body\" [4, 12) \"<<Body>>\"\n"));
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Subject\" [16, 27) \"<<Subject>>\"\n"));
    EXPECT_THAT(output, HasSubstr(L"Deleted [13, 16) \"Sir\"\n"));
}

// The add-in's tab on wordsim's Ribbon: found by its callbacks' names, following the documents
// and the chosen wildcards, inserting as the toolbar does and reporting a refused Word call.
TEST_F(AddInInWordsim, TheRibbonTabFollowsTheDocumentsAndTheChoiceAndInsertsAsTheToolbarDoes) {
    failureReported = true;  // the refused insertion
    const std::wstring output =
        Run(L"print ribbon\n"
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
            L"quit\n");
    EXPECT_THAT(output, HasSubstr(L"> ribbon Quillora/Use as template\n  nothing happens: the control is disabled\n"));
    EXPECT_THAT(output, HasSubstr(L"Bookmark \"WildCard_Subject1\" ["));  // after the ribbon's own
    EXPECT_THAT(output, HasSubstr(L"      menu: Sender, Body\n"));
    EXPECT_THAT(output, HasSubstr(L"QuilloraInsert_WildCard_Sender"));
    EXPECT_THAT(output, HasSubstr(L"add-in QloraWordAddIn.Connect: released; its DLL can unload"));
}

}  // namespace
