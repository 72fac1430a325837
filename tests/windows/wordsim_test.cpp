// wordsim's COM face as the add-in's Word adapter and late-bound callers cross it: type names,
// errors and Automation's answers, connection-point events, and what the adapter makes of any
// server's EXCEPINFO; wordsim's RTF, its script mistakes, and add-ins loaded through the Office
// add-in key as LoadBehavior asks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "addin_host_win.h"
#include "base/error.h"
#include "base/text.h"
#include "com_face_win.h"
#include "office_addins.h"
#include "process_util.h"
#include "rtf_writer.h"
#include "session.h"
#include "session_host_win.h"
#include "support/error_of.h"
#include "win/com_object_win.h"
#include "win/win32_win.h"
#include "word/word_dispatch_win.h"

namespace {

namespace port = qlora::word;
using Microsoft::WRL::ComPtr;
using qlora::com::Bstr;
using qlora::com::Variant;
using testing::ElementsAre;
using testing::HasSubstr;

using qlora::testing::ErrorOf;

// ---- Late-bound calls, for what the adapter does not do -----------------------------------------

// One IDispatch call by name through the toolkit; the arguments in the caller's order.
class LateCall {
public:
    using Arg = std::variant<int32_t, bool, const wchar_t*>;
    LateCall(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<Arg>& args = {}) {
        std::vector<Variant> values;
        for (const auto& arg : args) values.push_back(std::visit([](auto v) { return qlora::com::ToVariant(v); }, arg));
        qlora::com::ExcepInfo excep;
        hr = qlora::com::InvokeByName(object, name, flags, values, result.put(), &excep, &argErr);
        scode = (*excep).scode;
    }
    ComPtr<IDispatch> Object() const {
        ComPtr<IDispatch> object;
        if ((*result).vt == VT_DISPATCH) object = (*result).pdispVal;
        return object;
    }

    HRESULT hr = E_FAIL;
    UINT argErr = 0xFFFF;
    SCODE scode = 0;
    Variant result;
};

// A sink for one outgoing interface (or for none, to be refused), counting what it is told.
class RecordingSink final : public IDispatch {
public:
    explicit RecordingSink(IID events) : events_(events) {}
    std::vector<DISPID> calls;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == events_ ? static_cast<IDispatch*>(this) : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }  // lives on the test's stack
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        calls.push_back(id);
        return S_OK;
    }
    ULONG References() const { return refs_; }

private:
    IID events_;
    ULONG refs_ = 1;
};

// ---- The face through the add-in's own adapter ------------------------------------------------

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

    std::shared_ptr<port::CommandBarControls> Toolbar() {
        auto bar = app->CommandBars()->Add(L"Quillora Toolbar", true);
        bar->SetVisible(true);
        return bar->Controls();
    }
    static std::shared_ptr<port::CommandBarButton> Button(const std::shared_ptr<port::CommandBarControls>& controls,
                                                          const std::wstring& caption, const std::wstring& tag) {
        auto button = port::AsButton(controls->Add(port::mso::ControlButton, true));
        button->SetCaption(caption);
        button->SetTag(tag);
        return button;
    }
};

TEST_F(WordsimFace, ObjectsNameTheirTypesAsWordsTypeInformationDoes) {
    word->NewDocument();
    EXPECT_EQ(app->TypeName(), L"Application");
    EXPECT_EQ(app->ActiveDocument()->TypeName(), L"Document");
    EXPECT_EQ(app->Selection()->Range()->TypeName(), L"Range");
    const auto controls = Toolbar();
    EXPECT_EQ(controls->TypeName(), L"CommandBarControls");
    EXPECT_EQ(controls->Add(port::mso::ControlButton, true)->TypeName(), L"CommandBarButton");
    EXPECT_EQ(controls->Add(port::mso::ControlPopup, true)->TypeName(), L"CommandBarPopup");
}

TEST_F(WordsimFace, ClickReachesEveryButtonWithTheTagThroughConnectionPointsWithCancelDefault) {
    const auto controls = Toolbar();
    const auto first = Button(controls, L"Subject", L"Same tag");
    const auto second = Button(controls, L"Copy", L"Same tag");
    Button(controls, L"Other", L"Other tag");
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
    EXPECT_TRUE(heard.empty());
    one.Reset();
    word->Click(L"Quillora Toolbar/Subject");
    EXPECT_THAT(heard, ElementsAre(L"second:Subject"));
}

TEST_F(WordsimFace, DocumentChangeArrivesThroughConnectionPointsForSinksOfWordsInterfacesUntilUnadvised) {
    int changes = 0;
    auto connection = app->AdviseDocumentChange([&] { ++changes; });
    word->NewDocument();
    word->CloseDocument();
    EXPECT_EQ(changes, 2);
    connection.Reset();
    word->NewDocument();
    EXPECT_EQ(changes, 2);

    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(dispatch.As(&container), S_OK);
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(container->FindConnectionPoint(wordsim::com::kCommandBarButtonEvents, &point), CONNECT_E_NOCONNECTION);
    ASSERT_EQ(container->FindConnectionPoint(wordsim::com::kApplicationEvents4, &point), S_OK);
    IID reported{};
    point->GetConnectionInterface(&reported);
    EXPECT_EQ(reported, wordsim::com::kApplicationEvents4);

    RecordingSink stranger(IID_IDispatch);  // answers IDispatch, not the events
    DWORD cookie = 0;
    EXPECT_EQ(point->Advise(&stranger, &cookie), CONNECT_E_CANNOTCONNECT);
    RecordingSink sink(wordsim::com::kApplicationEvents4);
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    word->NewDocument();
    EXPECT_THAT(sink.calls, ElementsAre(wordsim::com::kDocumentChange));
    EXPECT_EQ(point->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.References(), 1u) << "Unadvise lets go of the sink";
    word->NewDocument();
    EXPECT_EQ(sink.calls.size(), 1u);

    // Objects without events are no containers.
    ComPtr<IConnectionPointContainer> none;
    EXPECT_EQ(LateCall(dispatch.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET).Object().As(&none), E_NOINTERFACE);
}

// Word's errors reach the adapter with number, source and description; a call after Word is gone
// fails as a disconnected server's does.
TEST_F(WordsimFace, WordsErrorsArriveWithTheirNumberSourceAndDescription) {
    word->NewDocument();
    const auto bookmarks = app->ActiveDocument()->Bookmarks();
    const auto button = Toolbar()->Add(port::mso::ControlButton, true);
    button->Delete();
    const struct {
        const char* what;
        std::function<void()> call;
        int32_t number;
        std::wstring description;
    } cases[] = {
        {"missing member", [&] { bookmarks->Item(2); }, 5941, L"The requested member of the collection does not exist."},
        {"refused member", [&] { word->Refuse(L"Bookmarks.Add"); bookmarks->Add(L"Mark", app->Selection()->Range()); },
         4198, L"Command failed: wordsim refuses Bookmarks.Add"},
        // Office's numbers that are HRESULTs arrive as they are.
        {"deleted control", [&] { button->SetCaption(L"Gone"); }, static_cast<int32_t>(E_FAIL), L""},
    };
    for (const auto& c : cases) {
        const auto e = ErrorOf(c.call);
        EXPECT_EQ(e.number, c.number) << c.what;
        if (!c.description.empty()) {
            EXPECT_EQ(e.source, L"Microsoft Word") << c.what;
            EXPECT_EQ(e.description, c.description) << c.what;
        }
    }

    const auto options = LateCall(dispatch.Get(), L"Options", DISPATCH_PROPERTYGET).Object();
    word.reset();
    EXPECT_EQ(ErrorOf([&] { app->Version(); }).number, static_cast<int32_t>(RPC_E_DISCONNECTED));
    const LateCall call(options.Get(), L"ReplaceSelection", DISPATCH_PROPERTYGET);
    EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(call.scode, RPC_E_DISCONNECTED);
}

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
    for (const auto& c : cases)
        EXPECT_EQ(LateCall(c.object, c.name, c.flags, c.args).hr, c.hr) << qlora::text::ToUtf8(c.name) << " " << c.flags;
    EXPECT_EQ(word->DocumentCount(), 1);
    // The wrong argument is named, the last one first.
    const LateCall notANumber(selection.Get(), L"SetRange", DISPATCH_METHOD, {0, L"end"});
    EXPECT_EQ(notANumber.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(notANumber.argErr, 0u);
}

// A server whose one member fails with DISP_E_EXCEPTION and the EXCEPINFO it is given.
class RaisingServer final : public IDispatch {
public:
    SCODE scode = 0;
    WORD wCode = 0;
    bool deferred = false;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *object ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on the test's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
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
        excep->scode = scode;
        excep->wCode = wCode;
        if (deferred)
            excep->pfnDeferredFillIn = FillIn;
        else
            Describe(excep);
        return DISP_E_EXCEPTION;
    }

private:
    static HRESULT STDAPICALLTYPE FillIn(EXCEPINFO* e) {
        Describe(e);
        e->pfnDeferredFillIn = nullptr;
        return S_OK;
    }
    static void Describe(EXCEPINFO* e) {
        e->bstrSource = Bstr(L"Server").release();
        e->bstrDescription = Bstr(L"It failed").release();
    }
};

TEST(FailureCodes, WordAdapterTakesScodeElseWCodeElseTheCallsResult) {
    const struct {
        SCODE scode;
        WORD wCode;
        bool deferred;
        int32_t number;
    } cases[] = {
        {0, 0, false, DISP_E_EXCEPTION},           // neither code
        {0, 0, true, DISP_E_EXCEPTION},            // a deferred fill-in that names none either
        {static_cast<SCODE>(0x800A0000), 0, false, DISP_E_EXCEPTION},  // FACILITY_CONTROL without a number
        {static_cast<SCODE>(0x800A1066), 0, false, 4198},             // Word's own error, by its number
        {E_ACCESSDENIED, 0, true, E_ACCESSDENIED},
        {0, 5, false, 5},
    };
    for (const auto& c : cases) {
        RaisingServer server;
        server.scode = c.scode;
        server.wCode = c.wCode;
        server.deferred = c.deferred;
        const auto e = ErrorOf([&] { port::DocumentFromDispatch(&server)->Name(); });
        EXPECT_EQ(e.number, c.number) << std::hex << c.scode << " " << c.wCode << " " << c.deferred;
        EXPECT_EQ(e.description, L"It failed");
        EXPECT_EQ(e.source, L"Server");
    }
}

// ---- RTF --------------------------------------------------------------------------------------

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return folder;
}

TEST(WordsimRtf, TextBookmarksAndVariablesAreWrittenAsWordReadsThem) {
    wordsim::Document doc;
    doc.text = L"Größe {x}\\y\tz\r\x20AC\xA0" L"end";
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

// ---- Sessions -----------------------------------------------------------------------------------

struct SessionRun {
    int code = -1;
    std::vector<std::wstring> lines;
};

SessionRun RunSession(const std::wstring& script) {
    SessionRun run;
    const auto word = std::make_shared<wordsim::Word>();
    const wordsim::Print print = [&](std::wstring_view line) { run.lines.emplace_back(line); };
    wordsim::WinSessionHost host(word, print, false);
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
        const auto run = RunSession(c.script);
        EXPECT_EQ(run.code, c.code) << qlora::text::ToUtf8(c.script);
        EXPECT_THAT(run.lines, testing::Contains(testing::StartsWith(std::wstring(c.message))))
            << qlora::text::ToUtf8(c.script);
        EXPECT_EQ(run.lines.back(), L"> quit (end of script)") << "Word quits after a failed step";
    }
}

// The program itself, as the demo and a user run it: what it prints and its exit code.
TEST(WordsimProgram, RunsAScriptFromAFileAndEndsWithItsExitCode) {
    const std::wstring script = TempFolder() + L"wordsim script.txt";
    const auto run = [&](const std::string& text) {
        std::ofstream(std::filesystem::path(script), std::ios::binary) << text;
        return qlora::testing::RunProcess(L"\"" + qlora::win::ThisModuleFolder() + L"\\wordsim.exe\" /a \"" + script + L"\"");
    };
    const auto passed = run("new\ntype \xC3\x84rger <<Subject>>\nprint document\nexpect <<Subject>>\nprint toolbars\nquit\n");
    EXPECT_EQ(passed.exitCode, 0u) << passed.output;
    EXPECT_EQ(passed.output,
              "add-ins are not loaded (/a)\n> new\n> type \xC3\x84rger <<Subject>>\n> print document\n"
              "Document \"Document1\" full name \"Document1\"\nText \"\xC3\x84rger <<Subject>>\"\n"
              "Selection [17, 17) \"\"\nView bookmarks shown=false\n> expect <<Subject>>\n> print toolbars\nNormalTemplate saved=true\n> quit\n");

    const auto failed = run("new\nclick Quillora Toolbar/Insert wildcard/Subject\n");
    EXPECT_EQ(failed.exitCode, 2u);
    EXPECT_THAT(failed.output, HasSubstr("wordsim: line 2: click: no control at"));
    ::DeleteFileW(script.c_str());
}

// ---- Add-ins through the Office add-in key --------------------------------------------------------

// An add-in as Word meets it: created by its ProgID, driven through IDTExtensibility2.
struct AddInScript {
    HRESULT connectResult = S_OK;
    long live = 0;
} gAddIn;

class AddInDouble final : public qlora::com::Unknown<wordsim::IDTExtensibility2> {
public:
    AddInDouble() { ++gAddIn.live; }
    ~AddInDouble() override { --gAddIn.live; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return DISP_E_UNKNOWNNAME; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return DISP_E_MEMBERNOTFOUND;
    }
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch*, LONG, IDispatch*, SAFEARRAY**) override {
        return gAddIn.connectResult;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(LONG, SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override { return S_OK; }

protected:
    void* QueryMore(REFIID riid) noexcept override {
        return riid == IID_IDispatch ? static_cast<wordsim::IDTExtensibility2*>(this) : nullptr;
    }
};

class AddInFactory final : public IClassFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
        *object = riid == IID_IUnknown || riid == IID_IClassFactory ? static_cast<IClassFactory*>(this) : nullptr;
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives as long as the test program
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** object) override {
        if (outer) return CLASS_E_NOAGGREGATION;
        const auto created = wordsim::com::Adopt<wordsim::IDTExtensibility2>(new AddInDouble());
        return created->QueryInterface(riid, object);
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }
};

}  // namespace

// The module of the double is this program: Word asks it, as it asks an add-in's DLL.
extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() { return gAddIn.live == 0 ? S_OK : S_FALSE; }

namespace {

constexpr CLSID kDoubleClsid = {0x8e0f6c1a, 0x3b57, 0x4c2d, {0x9a, 0x41, 0x6d, 0x2b, 0x7f, 0x1e, 0x5c, 0x03}};
constexpr wchar_t kDoubleProgId[] = L"WordsimTest.AddIn";

// The double registered as a class (its ProgID) and as Word's add-in, for the length of a test.
class WordsimAddIns : public testing::Test {
protected:
    void SetUp() override {
        gAddIn = AddInScript{};
        ASSERT_EQ(::CoRegisterClassObject(kDoubleClsid, &factory_, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie_), S_OK);
        wchar_t clsid[40] = {};
        ::StringFromGUID2(kDoubleClsid, clsid, 40);
        SetText(HKEY_CLASSES_ROOT, std::wstring(kDoubleProgId) + L"\\CLSID", clsid);
    }
    void TearDown() override {
        ::CoRevokeClassObject(cookie_);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kDoubleProgId);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, OfficeKey().c_str());
    }

    static std::wstring OfficeKey() { return std::wstring(wordsim::office::kAddInsKey) + L"\\" + kDoubleProgId; }
    static void SetText(HKEY root, const std::wstring& key, const std::wstring& value) {
        qlora::win::UniqueHKey opened;
        ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, opened.put(), nullptr), ERROR_SUCCESS);
        ::RegSetValueExW(opened.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    }
    static void Register(DWORD loadBehavior) {
        qlora::win::UniqueHKey key;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, OfficeKey().c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                    key.put(), nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExW(key.get(), L"LoadBehavior", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&loadBehavior),
                         sizeof(loadBehavior));
    }
    static std::optional<DWORD> LoadBehavior() {
        DWORD value = 0;
        DWORD size = sizeof(value);
        if (::RegGetValueW(HKEY_CURRENT_USER, OfficeKey().c_str(), L"LoadBehavior", RRF_RT_REG_DWORD, nullptr, &value,
                           &size) != ERROR_SUCCESS)
            return std::nullopt;
        return value;
    }
    std::shared_ptr<wordsim::Word> word = std::make_shared<wordsim::Word>();
    wordsim::com::Face face{word};

private:
    AddInFactory factory_;
    DWORD cookie_ = 0;
};

// Who connects at start-up, and what LoadBehavior is written back afterwards, as Office does it.
TEST_F(WordsimAddIns, LoadBehaviorDecidesWhoConnectsAtStartupAndIsWrittenBackAsOfficeWritesIt) {
    const struct {
        DWORD registered;
        HRESULT connectResult;
        bool connected;
        DWORD after;
    } cases[] = {
        {0, S_OK, false, 0}, {1, S_OK, false, 1}, {8, S_OK, false, 8},  {9, S_OK, false, 9},
        {2, S_OK, true, 2},  {3, S_OK, true, 3},  {3, E_FAIL, false, 2},  // a failed connection is no longer loaded
        {16, S_OK, true, 9},                                               // a first-time add-in loads on demand after
    };
    for (const auto& c : cases) {
        Register(c.registered);
        gAddIn.connectResult = c.connectResult;
        wordsim::AddInHost host{face, [](std::wstring_view) {}};
        host.Startup();
        EXPECT_EQ(std::ranges::count(host.Connected(), kDoubleProgId), c.connected ? 1 : 0) << c.registered;
        host.Shutdown();
        EXPECT_EQ(LoadBehavior(), c.after) << c.registered;
        EXPECT_EQ(gAddIn.live, 0) << c.registered;
    }
    EXPECT_EQ(face.LiveObjects(), 0);
}

}  // namespace
