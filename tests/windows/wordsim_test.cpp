// wordsim: the Word model's COM face called late-bound through the add-in's own Word adapter and
// by hand, documents saved as RTF, scripted sessions in-process and through the program, and add-ins
// loaded through the Office add-in key as Word loads them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>
#include <wrl/client.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
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

// ---- Late-bound calls by hand, for what the adapter does not do -------------------------------

VARIANT Plain(Variant v) {
    VARIANT out;
    v.Detach(&out);
    return out;
}
VARIANT Long(int32_t n) { return Plain(qlora::com::ToVariant(n)); }
VARIANT Text(std::wstring_view s) { return Plain(qlora::com::ToVariant(s)); }
VARIANT Missing() { return Plain(qlora::com::ToVariant(qlora::com::Missing{})); }
VARIANT Bool(bool b) { return Plain(qlora::com::ToVariant(b)); }

// One IDispatch call by name; the arguments in the caller's order, which it takes over.
class LateCall {
public:
    LateCall(IDispatch* object, const wchar_t* name, WORD flags, const std::vector<VARIANT>& args = {}) {
        std::vector<Variant> owned;
        for (const VARIANT& v : args) owned.push_back(Variant::Adopt(v));
        qlora::com::ExcepInfo excep;
        hr = qlora::com::InvokeByName(object, name, flags, owned, result.get(), &excep, &argErr);
        scode = (*excep).scode;
        source = excep.Source();
        description = excep.Description();
    }
    ComPtr<IDispatch> Object() const {
        ComPtr<IDispatch> object;
        if ((*result).vt == VT_DISPATCH) object = (*result).pdispVal;
        return object;
    }

    HRESULT hr = E_FAIL;
    UINT argErr = 0xFFFF;
    SCODE scode = 0;
    std::wstring source, description;
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

    const wordsim::Document& Doc() const { return *word->ActiveDocument(); }
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

TEST_F(WordsimFace, TypingFollowsWordsReplaceSelectionOption) {
    word->NewDocument();
    word->Type(L"Hello World");
    app->Selection()->SetRange(0, 5);
    app->Selection()->TypeText(L"Howdy");
    EXPECT_EQ(Doc().text, L"Howdy World");
    EXPECT_EQ(app->Selection()->Start(), 5);

    const auto options = LateCall(dispatch.Get(), L"Options", DISPATCH_PROPERTYGET).Object();
    ASSERT_EQ(LateCall(options.Get(), L"ReplaceSelection", DISPATCH_PROPERTYPUT, {Bool(false)}).hr, S_OK);
    EXPECT_FALSE(word->ReplaceSelection());
    const LateCall read(options.Get(), L"ReplaceSelection", DISPATCH_PROPERTYGET);
    EXPECT_EQ((*read.result).vt, VT_BOOL);
    EXPECT_EQ((*read.result).boolVal, VARIANT_FALSE);
    app->Selection()->SetRange(6, 11);
    app->Selection()->TypeText(L"big ");
    EXPECT_EQ(Doc().text, L"Howdy big World");
}

TEST_F(WordsimFace, BookmarksAreAddedOverRangesOfThisWordFoundAndCounted) {
    word->NewDocument();
    word->Type(L"Dear <<Subject>> reader");
    app->Selection()->SetRange(5, 16);
    const auto bookmarks = app->ActiveDocument()->Bookmarks();
    EXPECT_EQ(bookmarks->Add(L"WildCard_Subject", app->Selection()->Range())->Name(), L"WildCard_Subject");
    EXPECT_TRUE(bookmarks->Exists(L"wildcard_subject"));
    EXPECT_FALSE(bookmarks->Exists(L"WildCard_Subject1"));
    EXPECT_EQ(bookmarks->Count(), 1);
    EXPECT_EQ(bookmarks->Item(1)->Name(), L"WildCard_Subject");
    EXPECT_EQ(Doc().TextOf(Doc().FindBookmark(L"WildCard_Subject")->span), L"<<Subject>>");

    const auto missing = ErrorOf([&] { bookmarks->Item(2); });
    EXPECT_EQ(missing.number, 5941);
    EXPECT_EQ(missing.source, L"Microsoft Word");
    EXPECT_EQ(missing.description, L"The requested member of the collection does not exist.");
    EXPECT_EQ(ErrorOf([&] { bookmarks->Add(L"1st", app->Selection()->Range()); }).number, 5828);

    const auto raw = LateCall(LateCall(dispatch.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET).Object().Get(),
                              L"Bookmarks", DISPATCH_PROPERTYGET)
                         .Object();
    VARIANT foreign;
    ::VariantInit(&foreign);
    foreign.vt = VT_DISPATCH;
    foreign.pdispVal = dispatch.Get();  // an object, but not a range
    dispatch->AddRef();
    const LateCall call(raw.Get(), L"Add", DISPATCH_METHOD, {Text(L"Mark"), foreign});
    EXPECT_EQ(call.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(call.argErr, 0u);  // the last argument comes first
    EXPECT_EQ(Doc().bookmarks.size(), 1u);
}

TEST_F(WordsimFace, ControlsAddedWithBeforeAndParameterGoWhereOfficePutsThem) {
    Toolbar();
    const auto bar = LateCall(LateCall(dispatch.Get(), L"CommandBars", DISPATCH_PROPERTYGET).Object().Get(), L"Item",
                              DISPATCH_METHOD, {Text(L"Quillora Toolbar")})
                         .Object();
    const auto items = LateCall(bar.Get(), L"Controls", DISPATCH_PROPERTYGET).Object();
    ASSERT_EQ(LateCall(items.Get(), L"Add", DISPATCH_METHOD, {Long(1)}).hr, S_OK);
    const LateCall added(items.Get(), L"Add", DISPATCH_METHOD, {Long(1), Missing(), Text(L"P"), Long(1), Bool(true)});
    ASSERT_EQ(added.hr, S_OK);
    const auto& list = word->FindBar(L"Quillora Toolbar")->controls;
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[0]->parameter, L"P");
    EXPECT_TRUE(list[0]->temporary);

    const LateCall outside(items.Get(), L"Add", DISPATCH_METHOD, {Long(1), Missing(), Missing(), Long(9)});
    EXPECT_EQ(outside.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(outside.scode, static_cast<SCODE>(0x800A0005));
    EXPECT_EQ(list.size(), 2u) << "a control that cannot be placed is not added";

    const LateCall byIndex(items.Get(), L"Item", DISPATCH_METHOD, {Long(1)});
    EXPECT_EQ(byIndex.hr, DISP_E_TYPEMISMATCH);  // found by caption only
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
    word->NewDocument();
    word->ActivateDocument(1);
    word->CloseDocument();
    EXPECT_EQ(changes, 4);
    connection.Reset();
    word->NewDocument();
    EXPECT_EQ(changes, 4);

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

TEST_F(WordsimFace, ARefusedMemberArrivesWithTheModelsNumberSourceAndDescription) {
    word->NewDocument();
    word->Refuse(L"Bookmarks.Add");
    const auto refused = ErrorOf([&] { app->ActiveDocument()->Bookmarks()->Add(L"Mark", app->Selection()->Range()); });
    EXPECT_EQ(refused.number, 4198);
    EXPECT_EQ(refused.source, L"Microsoft Word");
    EXPECT_EQ(refused.description, L"Command failed: wordsim refuses Bookmarks.Add");

    // Office's numbers that are HRESULTs arrive as they are.
    const auto controls = Toolbar();
    const auto button = controls->Add(port::mso::ControlButton, true);
    button->Delete();
    EXPECT_EQ(ErrorOf([&] { button->SetCaption(L"Gone"); }).number, static_cast<int32_t>(E_FAIL));
}

TEST_F(WordsimFace, CallersGetAutomationsAnswersForMistakes) {
    word->NewDocument();
    EXPECT_EQ(LateCall(dispatch.Get(), L"Quit", DISPATCH_METHOD).hr, DISP_E_UNKNOWNNAME);
    EXPECT_EQ(LateCall(dispatch.Get(), L"Version", DISPATCH_PROPERTYGET, {Long(1)}).hr, DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(LateCall(dispatch.Get(), L"Version", DISPATCH_PROPERTYPUT, {Text(L"17.0")}).hr, DISP_E_MEMBERNOTFOUND);
    // Invoke kinds as Word's type information takes them: a property is no method, a method no put.
    EXPECT_EQ(LateCall(dispatch.Get(), L"Version", DISPATCH_METHOD).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(LateCall(dispatch.Get(), L"Version", DISPATCH_METHOD | DISPATCH_PROPERTYGET).hr, S_OK);
    const auto document = LateCall(dispatch.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET).Object();
    EXPECT_EQ(LateCall(document.Get(), L"Close", DISPATCH_PROPERTYPUT, {Bool(false)}).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(LateCall(document.Get(), L"Close", DISPATCH_PROPERTYGET).hr, DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(word->DocumentCount(), 1);
    const auto selection = LateCall(dispatch.Get(), L"Selection", DISPATCH_PROPERTYGET).Object();
    const LateCall notANumber(selection.Get(), L"SetRange", DISPATCH_METHOD, {Long(0), Text(L"end")});
    EXPECT_EQ(notANumber.hr, DISP_E_TYPEMISMATCH);
    EXPECT_EQ(notANumber.argErr, 0u);
    EXPECT_EQ(LateCall(selection.Get(), L"SetRange", DISPATCH_METHOD, {Long(0)}).hr, DISP_E_PARAMNOTOPTIONAL);
    EXPECT_EQ(LateCall(selection.Get(), L"SetRange", DISPATCH_METHOD, {Text(L"0"), Long(0)}).hr, S_OK)
        << "text that holds a number is converted, as Automation converts";
}

TEST_F(WordsimFace, EveryInvokeAndNameLookupIsCounted) {
    face.ResetCalls();
    EXPECT_EQ(LateCall(dispatch.Get(), L"Version", DISPATCH_PROPERTYGET).hr, S_OK);
    LateCall(dispatch.Get(), L"Version", DISPATCH_PROPERTYGET);
    const LateCall noDocument(dispatch.Get(), L"ActiveDocument", DISPATCH_PROPERTYGET);  // Word's 4248
    EXPECT_EQ(noDocument.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(noDocument.scode, static_cast<SCODE>(0x800A0000u | 4248u));
    EXPECT_EQ(face.Calls().nameLookups, 3);
    EXPECT_EQ(face.Calls().invokes, 3);
    EXPECT_THAT(face.Calls().invokesByMember,
                ElementsAre(std::pair<const std::wstring, int64_t>(L"Application.ActiveDocument", 1),
                            std::pair<const std::wstring, int64_t>(L"Application.Version", 2)));
    EXPECT_EQ(wordsim::Describe(face.Calls()),
              L"Invoke 3, GetIDsOfNames 3\n  Application.ActiveDocument 1\n  Application.Version 2\n");
}

TEST_F(WordsimFace, CallsAfterWordIsGoneFailAsDisconnected) {
    const auto options = LateCall(dispatch.Get(), L"Options", DISPATCH_PROPERTYGET).Object();
    word.reset();
    EXPECT_EQ(ErrorOf([&] { app->Version(); }).number, static_cast<int32_t>(RPC_E_DISCONNECTED));
    const LateCall call(options.Get(), L"ReplaceSelection", DISPATCH_PROPERTYGET);
    EXPECT_EQ(call.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(call.scode, RPC_E_DISCONNECTED);
}

// ---- Saving -----------------------------------------------------------------------------------

std::string FileBytes(const std::wstring& path) {
    const qlora::win::UniqueFile file(
        ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    return file ? wordsim::ReadAll(file.get()) : std::string("<missing>");
}

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return folder;
}

TEST(WordsimRtf, TextBookmarksAndVariablesAreWrittenAsWordReadsThemInWordsFormatsOnly) {
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

    // What a save writes: Word's document format and RTF, never a format that loses bookmarks.
    doc.savedAs = port::SaveAsArgs{};
    EXPECT_EQ(wordsim::SavedFile(doc), wordsim::Rtf(doc));
    doc.savedAs->FileFormat = 6;
    EXPECT_EQ(wordsim::SavedFile(doc), wordsim::Rtf(doc));
    doc.savedAs->FileFormat = 2;  // plain text would lose the bookmarks
    EXPECT_EQ(ErrorOf([&] { wordsim::SavedFile(doc); }).number, 4198);
}

TEST_F(WordsimFace, SaveAsFromTheAddInWritesTheRtfFileAndAFailedWriteChangesNothing) {
    wordsim::SaveDocumentsAsRtf(*word);
    word->NewDocument();
    word->Type(L"<<Subject>>");
    word->Select(0, 11);
    app->ActiveDocument()->Bookmarks()->Add(L"WildCard_Subject", app->Selection()->Range());
    app->ActiveDocument()->Variables()->Add(L"TemplateName", L"Brief");

    const std::wstring path = TempFolder() + L"wordsim Brief.doc";
    port::SaveAsArgs args{path, 0, false, L"", true, L"", false, false, false, false, false};
    app->ActiveDocument()->SaveAs(args);
    EXPECT_EQ(app->ActiveDocument()->FullName(), path);
    EXPECT_EQ(Doc().savedAs->AddToRecentFiles, true);
    EXPECT_EQ(Doc().savedAs->SaveAsAOCELetter, false);
    EXPECT_EQ(FileBytes(path), wordsim::Rtf(Doc()));
    EXPECT_THAT(FileBytes(path), HasSubstr("{\\*\\docvar {TemplateName}{Brief}}"));
    ::DeleteFileW(path.c_str());

    // A folder under a file cannot be written to, even by an administrator.
    const std::wstring blocked = path + L"\\inside.doc";
    ASSERT_TRUE(qlora::win::UniqueFile(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr)));
    const auto refused = ErrorOf([&] { app->ActiveDocument()->SaveAs(port::SaveAsArgs{blocked}); });
    EXPECT_EQ(refused.number, 4198);
    EXPECT_THAT(qlora::text::ToUtf8(refused.description), HasSubstr("cannot write"));
    EXPECT_EQ(app->ActiveDocument()->FullName(), path) << "the document keeps the name it has";
    ::DeleteFileW(path.c_str());
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

TEST(WordsimSession, AScriptDrivesWordAndPrintsEveryStep) {
    const auto run = RunSession(
        L"# a letter\n"
        L"new\r\n"
        L"  type Dear Sir,\\nHello\\\\World\n"
        L"\n"
        L"select 5 8\n"
        L"type Madam\n"
        L"print document\n"
        L"expect Text \"Dear Madam,\\rHello\\World\"\n"
        L"expect-not Bookmark\n"
        L"quit\n");
    EXPECT_EQ(run.code, wordsim::Session::kPassed);
    EXPECT_THAT(run.lines, ElementsAre(L"add-ins are not loaded (/a)", L"> new", L"> type Dear Sir,\\nHello\\\\World",
                                       L"> select 5 8", L"> type Madam", L"> print document",
                                       L"Document \"Document1\" full name \"Document1\"",
                                       L"Text \"Dear Madam,\\rHello\\World\"", L"Selection [10, 10) \"\"", L"View bookmarks shown=false",
                                       L"> expect Text \"Dear Madam,\\rHello\\World\"", L"> expect-not Bookmark",
                                       L"> quit"));
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
        {L"new\nselect 1 two\n", wordsim::Session::kScriptError, L"wordsim: line 2: select: end must be a whole number, not \"two\""},
        {L"new\ntype a\\qb\n", wordsim::Session::kScriptError, L"wordsim: line 2: type: unknown escape \"\\q\""},
        {L"expect x\n", wordsim::Session::kScriptError, L"wordsim: line 1: expect: nothing has been printed yet"},
        {L"new\nprint document\nexpect Bookmark\n", wordsim::Session::kExpectationFailed,
         L"wordsim: line 3: expected \"Bookmark\" in the last print, which does not hold it"},
        {L"refuse Selection.Nothing\n", wordsim::Session::kScriptError, L"wordsim: line 1: no such member: Selection.Nothing"},
        {L"quit\nnew\n", wordsim::Session::kScriptError, L"wordsim: line 2: Word has quit: no step can follow quit"},
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
        if (!std::wstring_view(c.script).starts_with(L"quit")) {
            EXPECT_EQ(run.lines.back(), L"> quit (end of script)") << "Word quits after a failed step";
        }
    }
}

TEST(WordsimSession, ClicksMovesRefusalsAndOpenedFilesReachTheModel) {
    const std::wstring file = TempFolder() + L"wordsim open.txt";
    {
        const qlora::win::UniqueFile out(::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        const std::string bytes = "\xEF\xBB\xBFLine 1\r\nZeile \xC3\xA4\n";
        DWORD written = 0;
        ::WriteFile(out.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    }
    const auto word = std::make_shared<wordsim::Word>();
    std::vector<std::wstring> lines;
    const wordsim::Print print = [&](std::wstring_view line) { lines.emplace_back(line); };
    wordsim::WinSessionHost host(word, print, false);
    const auto bar = word->Application()->CommandBars()->Add(L"Quillora Toolbar", true);
    bar->SetVisible(true);
    const auto button = port::AsButton(bar->Controls()->Add(port::mso::ControlButton, true));
    button->SetCaption(L"Info");
    int clicks = 0;
    auto connection = button->AdviseClick([&](const auto&, bool&) { ++clicks; });
    const auto disabled = bar->Controls()->Add(port::mso::ControlButton, true);
    disabled->SetCaption(L"Off");
    disabled->SetEnabled(false);

    const int code = wordsim::Session(*word, host, print)
                         .Run(L"open " + file + L"\nclick Quillora Toolbar/Info\nclick Quillora Toolbar/Off\n"
                              L"move-toolbar Quillora Toolbar  3 10 20 2\nrefuse Bookmarks.Add 1\nquit\n");
    EXPECT_EQ(code, wordsim::Session::kPassed);
    EXPECT_EQ(word->ActiveDocument()->text, L"Line 1\rZeile \xE4\r");
    EXPECT_EQ(word->ActiveDocument()->FullName(), file);
    EXPECT_EQ(clicks, 1);
    EXPECT_THAT(lines, testing::Contains(L"  nothing happens: the control is a pop-up, or it is disabled or hidden"));
    EXPECT_EQ(bar->Position(), port::mso::BarBottom);
    EXPECT_EQ(word->FindBar(L"Quillora Toolbar")->left, 10);
    EXPECT_EQ(word->FindBar(L"Quillora Toolbar")->top, 20);
    EXPECT_EQ(bar->RowIndex(), 2);
    EXPECT_EQ(word->CallCount(L"Bookmarks.Add"), 0);
    word->NewDocument();
    word->Application()->ActiveDocument()->Bookmarks()->Add(L"A", nullptr);  // the one let through
    EXPECT_EQ(ErrorOf([&] { word->Application()->ActiveDocument()->Bookmarks()->Add(L"B", nullptr); }).number, 4198);
    ::DeleteFileW(file.c_str());
}

// The program itself, as the demo and a user run it.
TEST(WordsimProgram, RunsAScriptFromAFileAndEndsWithItsExitCode) {
    const std::wstring script = TempFolder() + L"wordsim script.txt";
    const auto run = [&](const std::string& text) {
        {
            const qlora::win::UniqueFile out(
                ::CreateFileW(script.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
            DWORD written = 0;
            ::WriteFile(out.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
        }
        SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
        HANDLE readEnd = nullptr;
        HANDLE writeEnd = nullptr;
        EXPECT_TRUE(::CreatePipe(&readEnd, &writeEnd, &inherit, 0));
        const qlora::win::UniqueHandle reader(readEnd);
        qlora::win::UniqueHandle writer(writeEnd);
        ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = writer.get();
        startup.hStdError = writer.get();
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        std::wstring command = L"\"" + qlora::win::ThisModuleFolder() + L"\\wordsim.exe\" /a \"" + script + L"\"";
        PROCESS_INFORMATION process{};
        EXPECT_TRUE(::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                     &process));
        const qlora::win::UniqueHandle child(process.hProcess);
        const qlora::win::UniqueHandle thread(process.hThread);
        writer.reset();  // the child holds the only write end now
        const std::string output = wordsim::ReadAll(reader.get());
        ::WaitForSingleObject(child.get(), INFINITE);
        DWORD code = 0;
        ::GetExitCodeProcess(child.get(), &code);
        return std::make_pair(static_cast<int>(code), output);
    };

    const auto [passed, output] = run(
        "new\ntype \xC3\x84rger <<Subject>>\nprint document\nexpect <<Subject>>\nprint toolbars\nquit\n");
    EXPECT_EQ(passed, 0) << output;
    EXPECT_EQ(output,
              "add-ins are not loaded (/a)\n> new\n> type \xC3\x84rger <<Subject>>\n> print document\n"
              "Document \"Document1\" full name \"Document1\"\nText \"\xC3\x84rger <<Subject>>\"\n"
              "Selection [17, 17) \"\"\nView bookmarks shown=false\n> expect <<Subject>>\n> print toolbars\nNormalTemplate saved=true\n> quit\n");

    const auto [failed, message] = run("new\nclick Quillora Toolbar/Insert wildcard/Subject\n");
    EXPECT_EQ(failed, 2);
    EXPECT_THAT(message, HasSubstr("wordsim: line 2: click: no control at"));
    ::DeleteFileW(script.c_str());
}

// ---- Add-ins through the Office add-in key --------------------------------------------------------

// An add-in as Word meets it: created by its ProgID, driven through IDTExtensibility2; it listens
// to DocumentChange through the add-in's own Word adapter.
struct AddInScript {
    HRESULT connectResult = S_OK;
    bool careless = false;  // holds Word's Application and itself after disconnection
    std::vector<std::wstring> log;
    int documentChanges = 0;
    long live = 0;
    ComPtr<IDispatch> keptApplication;
    ComPtr<IUnknown> keptSelf;
    std::wstring ribbonXml;  // its customUI; its one callback is "Known"
} gAddIn;

class AddInDouble final : public qlora::com::Unknown<wordsim::IDTExtensibility2, wordsim::IRibbonExtensibility> {
public:
    AddInDouble() { ++gAddIn.live; }
    ~AddInDouble() override { --gAddIn.live; }

    // Word calls through the interface table.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
        *ids = std::wstring_view(names[0]) == L"Known" ? 1 : DISPID_UNKNOWN;
        return *ids == 1 ? S_OK : DISP_E_UNKNOWNNAME;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        if (id != 1) return DISP_E_MEMBERNOTFOUND;
        gAddIn.log.push_back(L"Known " + qlora::text::Decimal(params->cArgs));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR, BSTR* xml) override { return qlora::com::ReturnString(gAddIn.ribbonXml, xml); }

    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, LONG mode, IDispatch* addInInst,
                                           SAFEARRAY** custom) override {
        const LateCall progId(addInInst, L"ProgId", DISPATCH_PROPERTYGET);
        gAddIn.log.push_back(L"OnConnection " + qlora::text::Decimal(mode) + L" " +
                             Bstr::ToString((*progId.result).bstrVal) + (custom && *custom ? L" custom" : L""));
        if (FAILED(gAddIn.connectResult)) return gAddIn.connectResult;
        word_ = port::ApplicationFromDispatch(application);
        gAddIn.log.push_back(L"Word " + word_->Version());
        changes_ = word_->AdviseDocumentChange([] { ++gAddIn.documentChanges; });
        if (gAddIn.careless) {
            gAddIn.keptApplication = application;
            gAddIn.keptSelf = static_cast<wordsim::IDTExtensibility2*>(this);
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnDisconnection(LONG mode, SAFEARRAY**) override {
        gAddIn.log.push_back(L"OnDisconnection " + qlora::text::Decimal(mode));
        changes_.Reset();
        word_.reset();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY**) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY**) override {
        gAddIn.log.push_back(L"OnStartupComplete");
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY**) override {
        gAddIn.log.push_back(L"OnBeginShutdown");
        return S_OK;
    }

protected:
    void* QueryMore(REFIID riid) noexcept override {
        return riid == IID_IDispatch ? static_cast<wordsim::IDTExtensibility2*>(this) : nullptr;
    }

private:
    std::shared_ptr<port::Application> word_;
    qlora::EventConnection changes_;
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
        gAddIn.keptApplication.Reset();
        gAddIn.keptSelf.Reset();
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
    // The host's lines about the double (other add-ins may be registered in the prefix).
    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> mine;
        for (const auto& line : lines)
            if (line.find(kDoubleProgId) != std::wstring::npos || line.starts_with(L"Word objects")) mine.push_back(line);
        return mine;
    }

    std::shared_ptr<wordsim::Word> word = std::make_shared<wordsim::Word>();
    wordsim::com::Face face{word};
    std::vector<std::wstring> lines;
    wordsim::AddInHost host{face, [this](std::wstring_view line) { lines.emplace_back(line); }};

private:
    AddInFactory factory_;
    DWORD cookie_ = 0;
};

TEST_F(WordsimAddIns, WordConnectsAStartupAddInTellsItOfDocumentsAndDisconnectsItWhenItQuits) {
    Register(3);
    host.Startup();
    ASSERT_THAT(host.Connected(), testing::Contains(kDoubleProgId));
    word->NewDocument();
    word->CloseDocument();
    host.Shutdown();
    EXPECT_THAT(gAddIn.log, ElementsAre(L"OnConnection 1 WordsimTest.AddIn custom", L"Word 16.0", L"OnStartupComplete",
                                        L"OnBeginShutdown", L"OnDisconnection 0"));
    EXPECT_EQ(gAddIn.documentChanges, 2);
    EXPECT_EQ(gAddIn.live, 0);
    EXPECT_THAT(Lines(), ElementsAre(L"add-in WordsimTest.AddIn: connected at start-up",
                                     L"add-in WordsimTest.AddIn: released; its DLL can unload"));
    EXPECT_EQ(face.LiveObjects(), 0);
    EXPECT_EQ(LoadBehavior(), 3u);  // a sound start-up changes nothing
}

TEST_F(WordsimAddIns, LoadBehaviorDecidesWhoConnectsAtStartupAndIsWrittenBackAsOfficeWritesIt) {
    for (const DWORD loadBehavior : {0u, 1u, 8u, 9u}) {
        Register(loadBehavior);
        host.Startup();
        EXPECT_THAT(gAddIn.log, testing::IsEmpty()) << loadBehavior;
    }
    Register(2);
    host.Startup();
    EXPECT_THAT(gAddIn.log, testing::Contains(L"OnConnection 1 WordsimTest.AddIn custom"));
    host.Disconnect(kDoubleProgId);
    EXPECT_EQ(LoadBehavior(), 2u);

    // A failed connection is no longer loaded.
    lines.clear();
    Register(3);
    gAddIn.connectResult = E_FAIL;
    host.Startup();
    EXPECT_THAT(host.Connected(), testing::Not(testing::Contains(kDoubleProgId)));
    EXPECT_EQ(LoadBehavior(), 2u);
    EXPECT_EQ(gAddIn.live, 0);
    ASSERT_GE(Lines().size(), 3u);
    EXPECT_THAT(Lines()[0],
                testing::StartsWith(std::wstring(L"add-in WordsimTest.AddIn: OnConnection failed, not loaded: 0x80004005")));
    EXPECT_EQ(Lines()[1], L"add-in WordsimTest.AddIn: released; its DLL can unload");
    EXPECT_EQ(Lines()[2], L"add-in WordsimTest.AddIn: LoadBehavior set to 2");

    // A first-time add-in is loaded on demand afterwards.
    gAddIn.connectResult = S_OK;
    Register(16);
    host.Startup();
    EXPECT_THAT(host.Connected(), testing::Contains(kDoubleProgId));
    EXPECT_EQ(LoadBehavior(), 9u);
    host.Shutdown();
}

TEST_F(WordsimAddIns, TheUserConnectsAndDisconnectsWhileWordRuns) {
    Register(0);
    host.Startup();
    host.Connect(kDoubleProgId);
    EXPECT_THROW(host.Connect(kDoubleProgId), std::invalid_argument);
    host.Disconnect(kDoubleProgId);
    EXPECT_THROW(host.Disconnect(kDoubleProgId), std::invalid_argument);
    EXPECT_THAT(gAddIn.log, ElementsAre(L"OnConnection 0 WordsimTest.AddIn custom", L"Word 16.0", L"OnDisconnection 1"));
    EXPECT_EQ(gAddIn.live, 0);
}

TEST_F(WordsimAddIns, WhatACarelessAddInKeepsAfterQuittingIsReported) {
    Register(3);
    gAddIn.careless = true;
    host.Startup();
    host.Shutdown();
    EXPECT_THAT(Lines(), ElementsAre(L"add-in WordsimTest.AddIn: connected at start-up",
                                     L"add-in WordsimTest.AddIn: released; its DLL still has live objects "
                                     L"(DllCanUnloadNow answers S_FALSE)",
                                     L"Word objects still held after quit: 1"));
}

TEST_F(WordsimAddIns, AScriptSeesTheAddInsCallsIntoWord) {
    Register(3);
    std::vector<std::wstring> output;
    const wordsim::Print print = [&](std::wstring_view line) { output.emplace_back(line); };
    wordsim::WinSessionHost session(word, print, true);
    EXPECT_EQ(wordsim::Session(*word, session, print).Run(L"print calls\nexpect Application.Version\nquit\n"),
              wordsim::Session::kPassed);
    EXPECT_THAT(gAddIn.log, testing::Contains(L"OnDisconnection 0"));
}

// What Office reports with "Show add-in user interface errors" on, for a foreign add-in's XML; a
// customization with an error is dropped whole.
TEST_F(WordsimAddIns, TheRibbonReportsWhatOfficeReportsAboutAnAddInsCustomUI) {
    const std::wstring ns = L"<customUI xmlns=\"http://schemas.microsoft.com/office/2009/07/customui\"";
    const std::wstring tab = L"<ribbon><tabs><tab id=\"t\" label=\"Mine\"><group id=\"g\" label=\"G\">";
    const std::wstring end = L"</group></tab></tabs></ribbon></customUI>";
    const struct {
        std::wstring xml, reported;
    } cases[] = {
        {ns + L"><ribbon>", L"Error found in Custom UI XML: Line: "},
        {ns + L">" + tab + L"<bogus id=\"b\"/>" + end, L"The element 'bogus' is unexpected"},
        {ns + L"><ribbon colour=\"red\"/></customUI>",
         L"The attribute 'colour' on the element 'customUI ribbon' is not defined in the DTD/Schema."},
        {ns + L">" + tab + L"<button id=\"b\" label=\"Go\" getLabel=\"Known\" onAction=\"Known\"/>" + end,
         L"The attributes 'label' and 'getLabel' on the element 'customUI ribbon tabs tab group button' must not be used together."},
        {ns + L">" + tab + L"<button id=\"g\" label=\"Go\"/>" + end, L"The id 'g' "},
        {ns + L"><contextMenus/><ribbon/></customUI>", L"The element 'ribbon' is out of order"},
        {L"<customUI xmlns=\"urn:other\"/>", L"not in a customUI namespace"},
        {ns + L" onLoad=\"Missing\"><ribbon/></customUI>", L"Custom UI error: the callback \"Missing\" (onLoad of 'customUI') was not found"},
    };
    Register(3);
    for (const auto& c : cases) {
        gAddIn.ribbonXml = c.xml;
        lines.clear();
        wordsim::AddInHost local{face, [this](std::wstring_view line) { lines.emplace_back(line); }};
        local.Startup();
        EXPECT_THAT(lines, testing::Contains(HasSubstr(c.reported))) << qlora::text::ToUtf8(c.xml);
        local.Shutdown();
    }

    // A valid one: onLoad gets the IRibbonUI, a click reaches onAction with the control.
    gAddIn.ribbonXml = ns + L" onLoad=\"Known\">" + tab + L"<button id=\"b\" label=\"Go\" onAction=\"Known\"/>" + end;
    gAddIn.log.clear();
    lines.clear();
    host.Startup();
    EXPECT_THAT(lines, testing::Not(testing::Contains(HasSubstr(L"Custom UI"))));
    EXPECT_THAT(host.Ribbon().Dump(), HasSubstr(L"Tab \"Mine\" (WordsimTest.AddIn)\n  Group \"G\"\n    button \"Go\"\n"));
    EXPECT_TRUE(host.Ribbon().Click(L"mine/go"));
    EXPECT_THROW(host.Ribbon().Click(L"Mine/Stop"), std::invalid_argument);
    EXPECT_THAT(gAddIn.log, testing::IsSupersetOf({L"Known 1"}));
    EXPECT_EQ(std::count(gAddIn.log.begin(), gAddIn.log.end(), L"Known 1"), 2);
    host.Shutdown();
    EXPECT_EQ(gAddIn.live, 0);
}

}  // namespace

