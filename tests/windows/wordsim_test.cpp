// wordsim's COM face as the add-in's Word adapter and late-bound callers cross it: type names,
// Automation's answers to mistakes, the click's CancelDefault, a Word that is gone, and what the
// adapter makes of any server's EXCEPINFO; wordsim's RTF and script mistakes; add-ins loaded
// through the Office add-in key as LoadBehavior asks, the add-in DLL in wordsim sessions.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <wrl/client.h>

#include <algorithm>
#include <memory>
#include <string>
#include <tuple>
#include <variant>
#include <vector>

#include "addin_host_win.h"
#include "base/error.h"
#include "base/text.h"
#include "com_face_win.h"
#include "office_addins.h"
#include "rtf_writer.h"
#include "session.h"
#include "session_host_win.h"
#include "support/error_of.h"
#include "support/temp_folder.h"
#include "win/com_object_win.h"
#include "win_test_util.h"
#include "word/word_dispatch_win.h"

namespace {

namespace port = qlora::word;
using Microsoft::WRL::ComPtr;
using qlora::com::Adopt;
using qlora::com::Bstr;
using qlora::com::Variant;
using qlora::testing::ErrorOf;
using qlora::text::ToUtf8;
using testing::ElementsAre;
using testing::HasSubstr;
using testing::Not;

// One late-bound call by name through the toolkit, as a script makes it; the arguments in the
// caller's order.
class LateCall {
public:
    using Arg = std::variant<int32_t, bool, const wchar_t*>;
    LateCall(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<Arg>& args = {}) {
        std::vector<Variant> values;
        for (const auto& arg : args) values.push_back(std::visit([](auto v) { return qlora::com::ToVariant(v); }, arg));
        qlora::com::ExcepInfo excep;
        hr = qlora::com::InvokeByName(object, name, flags, values, result.put(), &excep, &argErr);
    }
    ComPtr<IDispatch> Object() const {
        ComPtr<IDispatch> object;
        if ((*result).vt == VT_DISPATCH) object = (*result).pdispVal;
        return object;
    }

    HRESULT hr = E_FAIL;
    UINT argErr = 0xFFFF;
    Variant result;
};

class WordsimFace : public testing::Test {
protected:
    void TearDown() override {
        toolbar.reset();
        app.reset();
        dispatch.Reset();
        EXPECT_EQ(face.LiveObjects(), 0) << "the face keeps objects alive that nobody holds";
    }

    std::shared_ptr<wordsim::Word> word = std::make_shared<wordsim::Word>();
    wordsim::com::Face face{word};
    ComPtr<IDispatch> dispatch = face.Application();
    std::shared_ptr<port::Application> app = port::ApplicationFromDispatch(dispatch.Get());

    std::shared_ptr<port::CommandBarButton> Button(const std::wstring& caption, const std::wstring& tag) {
        if (!toolbar) {
            const auto bar = app->CommandBars()->Add(L"Quillora Toolbar", true);
            bar->SetVisible(true);
            toolbar = bar->Controls();
        }
        auto button = port::AsButton(toolbar->Add(port::mso::ControlButton, true));
        button->SetCaption(caption);
        button->SetTag(tag);
        return button;
    }
    std::shared_ptr<port::CommandBarControls> toolbar;
};

// The report's argument lines name the objects by these types.
TEST_F(WordsimFace, ObjectsNameTheirTypesAsWordsTypeInformationDoes) {
    word->NewDocument();
    EXPECT_EQ(app->Selection()->Range()->TypeName(), L"Range");
    const auto controls = app->CommandBars()->Add(L"Quillora Toolbar", true)->Controls();
    EXPECT_EQ(controls->Add(port::mso::ControlPopup, true)->TypeName(), L"CommandBarPopup");
}

// Every button with the tag, and no other, hears the click through its connection point, each
// after the one before with the CancelDefault it left, until it is unadvised.
TEST_F(WordsimFace, ClickReachesEveryButtonWithTheTagThroughConnectionPointsWithCancelDefault) {
    const auto first = Button(L"Subject", L"Same tag");
    const auto second = Button(L"Copy", L"Same tag");
    Button(L"Other", L"Other tag");
    std::vector<std::wstring> heard;
    bool secondSawCancel = false;
    auto one = first->AdviseClick([&](const std::shared_ptr<port::CommandBarButton>& ctrl, bool& cancel) {
        heard.push_back(L"first:" + ctrl->Caption());
        cancel = true;
    });
    auto two = second->AdviseClick([&](const std::shared_ptr<port::CommandBarButton>& ctrl, bool& cancel) {
        heard.push_back(L"second:" + ctrl->Caption());
        secondSawCancel = cancel;
    });
    ASSERT_TRUE(word->Click(L"Quillora Toolbar/Copy"));
    EXPECT_THAT(heard, ElementsAre(L"first:Copy", L"second:Copy"));
    EXPECT_TRUE(secondSawCancel);

    heard.clear();
    word->Click(L"Quillora Toolbar/Other");
    one.Reset();
    word->Click(L"Quillora Toolbar/Subject");
    EXPECT_THAT(heard, ElementsAre(L"second:Subject"));
}

// Late-bound callers get Automation's answers for their mistakes as from Word, so that the test
// host is no more lenient than Word with the adapter either.
TEST_F(WordsimFace, CallersGetAutomationsAnswersForMistakes) {
    word->NewDocument();
    const auto document = LateCall(dispatch.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET).Object();
    const auto selection = LateCall(dispatch.Get(), L"Selection", DISPATCH_PROPERTYGET).Object();
    const struct {
        IDispatch* object;
        const wchar_t* name;
        WORD flags;
        std::vector<LateCall::Arg> args;
        HRESULT hr;
    } cases[] = {
        {dispatch.Get(), L"Quit", DISPATCH_METHOD, {}, DISP_E_UNKNOWNNAME},
        {dispatch.Get(), L"Version", DISPATCH_PROPERTYGET, {1}, DISP_E_BADPARAMCOUNT},
        {dispatch.Get(), L"Version", DISPATCH_PROPERTYPUT, {L"17.0"}, DISP_E_MEMBERNOTFOUND},
        // Invoke kinds as Word's type information takes them: a property is no method, a method no put.
        {dispatch.Get(), L"Version", DISPATCH_METHOD, {}, DISP_E_MEMBERNOTFOUND},
        {dispatch.Get(), L"Version", DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, S_OK},
        {document.Get(), L"Close", DISPATCH_PROPERTYPUT, {false}, DISP_E_MEMBERNOTFOUND},
        {document.Get(), L"Close", DISPATCH_PROPERTYGET, {}, DISP_E_MEMBERNOTFOUND},
        {selection.Get(), L"SetRange", DISPATCH_METHOD, {0}, DISP_E_PARAMNOTOPTIONAL},
        // Text that holds a number is converted, as Automation converts.
        {selection.Get(), L"SetRange", DISPATCH_METHOD, {L"0", 0}, S_OK},
    };
    for (const auto& c : cases) EXPECT_EQ(LateCall(c.object, c.name, c.flags, c.args).hr, c.hr) << ToUtf8(c.name);
    EXPECT_EQ(word->DocumentCount(), 1);
    // The wrong argument is named, the last one first.
    const LateCall notANumber(selection.Get(), L"SetRange", DISPATCH_METHOD, {0, L"end"});
    EXPECT_EQ(notANumber.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(notANumber.argErr, 0u);
    // Objects without events are no containers.
    ComPtr<IConnectionPointContainer> none;
    EXPECT_EQ(document.As(&none), E_NOINTERFACE);
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
        EXPECT_EQ(std::tuple(e.number, e.description, e.source), std::tuple(c.number, L"It failed", L"Server"));
    }
}

// ---- RTF and sessions ---------------------------------------------------------------------------

TEST(WordsimRtf, TextBookmarksAndVariablesAreWrittenAsWordReadsThem) {
    wordsim::Document doc;
    doc.text =
        L"Größe {x}\\y\tz\r\x20AC\xA0"
        L"end";
    doc.bookmarks = {{L"Outer", {0, 9}}, {L"Empty", {6, 6}}, {L"Inner", {6, 9}}};
    doc.variables = {{L"TemplateName", L"Brief {1}"}, {L"Qlora", L"a\rb"}};
    EXPECT_EQ(wordsim::Rtf(doc),
              "{\\rtf1\\ansi\\deff0\\uc1\r\n{\\fonttbl{\\f0\\froman Times New Roman;}}\r\n"
              "{\\*\\docvar {TemplateName}{Brief \\{1\\}}}\r\n"
              "{\\*\\docvar {Qlora}{a\\'0db}}\r\n"
              "\\pard\\plain\\f0 {\\*\\bkmkstart Outer}Gr\\u246?\\u223?e {\\*\\bkmkstart Empty}{\\*\\bkmkend Empty}"
              "{\\*\\bkmkstart Inner}\\{x\\}{\\*\\bkmkend Outer}{\\*\\bkmkend Inner}\\\\y\\tab z\\par\r\n"
              "\\u8364?\\~end\r\n}\r\n");
}

struct SessionRun {
    int code = -1;
    std::wstring output;  // the printed lines, each ended by "\n"
};

// Runs a script in a wordsim whose add-ins load as Word's do, or in one without add-ins.
SessionRun RunSession(const std::wstring& script, bool loadAddIns = false,
                      wordsim::StartupDocument start = wordsim::StartupDocument::None) {
    SessionRun run;
    const auto word = std::make_shared<wordsim::Word>();
    const wordsim::Print print = [&](std::wstring_view line) { run.output.append(line).append(L"\n"); };
    wordsim::WinSessionHost host(word, print, loadAddIns, start);
    run.code = wordsim::Session(*word, host, print).Run(script);
    return run;
}

TEST(WordsimSession, MistakesEndTheScriptNamingTheLine) {
    const struct {
        const wchar_t* script;
        int code;
        const wchar_t* message;
    } cases[] = {
        {L"new\nfly away\n", wordsim::Session::kScriptError, L"wordsim: line 2: unknown step \"fly\""},
        {L"click Quillora Toolbar/Insert wildcard/Subject\n", wordsim::Session::kScriptError,
         L"wordsim: line 1: click: no control at \"Quillora Toolbar/Insert wildcard/Subject\""},
        {L"select 1 2\n", wordsim::Session::kScriptError, L"wordsim: line 1: no document is open"},
        {L"new\nprint document\nexpect Bookmark\n", wordsim::Session::kExpectationFailed,
         L"wordsim: line 3: expected \"Bookmark\" in the last print, which does not hold it"},
        {L"new\nrefuse Document.SaveAs\nsave-as x.doc\n", wordsim::Session::kScriptError,
         L"wordsim: line 3: Word failed: error 4198 (Microsoft Word): Command failed: wordsim refuses Document.SaveAs"},
        {L"load-addin Nobody.Connect\n", wordsim::Session::kScriptError,
         L"wordsim: line 1: add-in Nobody.Connect is not registered under the Office add-in key"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.script));
        const auto run = RunSession(c.script);
        EXPECT_EQ(run.code, c.code);
        EXPECT_THAT(run.output, HasSubstr(L"\n" + std::wstring(c.message)));
        EXPECT_TRUE(run.output.ends_with(L"\n> quit (end of script)\n")) << "Word quits after a failed step";
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

    // What the session printed; its expectations must have held.
    static std::wstring Run(const std::wstring& script,
                            wordsim::StartupDocument start = wordsim::StartupDocument::None) {
        const auto run = RunSession(script, true, start);
        EXPECT_EQ(run.code, wordsim::Session::kPassed) << ToUtf8(run.output);
        return run.output;
    }

    size_t logSize = 0;
    bool failureReported = false;
};

// Who connects at start-up, and what LoadBehavior is written back afterwards, as Office does it.
// A class of the DLL that is no COM add-in stands for one whose connection fails.
TEST_F(AddInInWordsim, LoadBehaviorDecidesWhetherItConnectsAtStartupAndIsWrittenBackAsOfficeWritesIt) {
    const auto word = std::make_shared<wordsim::Word>();  // the face holds it weakly, as clients hold Word
    wordsim::com::Face face{word};
    const std::wstring notAnAddIn = L"QloraWordAddIn.clsConcatenation";
    const struct {
        std::wstring progId;
        DWORD registered;
        bool connected;
        DWORD after;
    } cases[] = {
        {kProgId, 0, false, 0},    {kProgId, 1, false, 1}, {kProgId, 2, true, 2},  {kProgId, 3, true, 3},
        {kProgId, 8, false, 8},    {kProgId, 9, false, 9}, {kProgId, 16, true, 9},  // loads on demand after its first
        {notAnAddIn, 3, false, 2},  // a failed connection is no longer loaded at start-up
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(ToUtf8(c.progId) + " " + std::to_string(c.registered));
        const std::wstring key = std::wstring(wordsim::office::kAddInsKey) + L"\\" + c.progId;
        qlora::testing::SetRegistryNumber(HKEY_CURRENT_USER, key, L"LoadBehavior", c.registered);
        wordsim::AddInHost host{face, [](std::wstring_view) {}};
        host.Startup();
        EXPECT_EQ(std::ranges::count(host.Connected(), c.progId), c.connected ? 1 : 0);
        host.Shutdown();
        DWORD after = 0, size = sizeof(after);
        EXPECT_EQ(
            ::RegGetValueW(HKEY_CURRENT_USER, key.c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &after, &size),
            ERROR_SUCCESS);
        EXPECT_EQ(after, c.after);
    }
    ::RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(wordsim::office::kAddInsKey) + L"\\" + notAnAddIn).c_str());
    EXPECT_EQ(face.LiveObjects(), 0);
}

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
            // Closing the document disables its buttons: a build with work to do, refused.
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
