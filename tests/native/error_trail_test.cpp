#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "base/text.h"
#include "support/error_of.h"
#include "support/fake_ports.h"
#include "trail/error_trail.h"

namespace qlora {
namespace {

using testing::TrailFixturePorts;

struct Popup {
    std::wstring TypeName() const { return L"CommandBarPopup"; }
};

class ErrorTrailTest : public ::testing::Test {
protected:
    TrailFixturePorts ports;
    const std::wstring logPath = L"C:\\Addin\\Errors.txt";
};

// The toolbar's real chain: CreateWildCardList (outermost) -> AddButton -> CreateControl (fails).
void CreateControl(const std::shared_ptr<Popup>& myParent, int32_t lngControlType, const std::wstring& strCaption,
                   int32_t lngStyle, int32_t lngFaceId, const std::wstring& strToolTip) {
    PassOn(
        L"clsCommandBar.CreateControl(myParent,lngControlType,strCaption,lngStyle,lngFaceId,strToolTip)",
        [&] { throw Error(5, L"Microsoft Office", L"Invalid procedure call or argument"); }, myParent,
        lngControlType, strCaption, lngStyle, lngFaceId, strToolTip);
}

void AddButton(const std::shared_ptr<Popup>& myParent, const std::wstring& strParam, const std::wstring& strToolTip,
               int32_t lngFaceId, int32_t lngDefaultIndex) {
    PassOn(
        L"clsCommandBar.AddButton(myParent,strParam,strToolTip,lngFaceId,lngDefaultIndex)",
        [&] { CreateControl(myParent, 1, L"Subject", 3, lngFaceId, strToolTip); }, myParent, strParam, strToolTip,
        lngFaceId, lngDefaultIndex);
}

void CreateWildCardList(bool bolChange) {
    ReportFailures(
        L"clsCommandBar.CreateWildCardList(bolChange)",
        [&] { AddButton(std::make_shared<Popup>(), L"WildCard_Subject", L"", 163, 1); }, bolChange);
}

TEST_F(ErrorTrailTest, ThreeLevelFailureBuildsHeaderThenLinesInnermostFirstAndLogsIt) {
    CreateWildCardList(false);

    const std::wstring expected =
        L"Invalid procedure call or argument \r\n"
        L"  Time='03/09/26 14:05:07' App='QloraWordAddIn:1.0.0' ADO-version='2.8' Computer='WORKSTATION7' \r\n"
        L"  Method: clsCommandBar.CreateControl \r\n"
        L"  Number: 5 = &H5 = vbObjectError + 2147221509 = ERRMAP_APP_FIRST + 2147216311 \r\n"
        L"  Source: Microsoft Office \r\n"
        L"  Description: Invalid procedure call or argument\r\n"
        L"  Call Stack: clsCommandBar.CreateControl(myParent={CommandBarPopup}, lngControlType=1, "
        L"strCaption='Subject', lngStyle=3, lngFaceId=163, strToolTip='') \r\n"
        L"  Call Stack: clsCommandBar.AddButton(myParent={CommandBarPopup}, strParam='WildCard_Subject', "
        L"strToolTip='', lngFaceId=163, lngDefaultIndex=1) \r\n"
        L"  Call Stack: clsCommandBar.CreateWildCardList(bolChange=False) ------------------------------------\r\n";
    EXPECT_EQ(HuntERR31::Report(), expected);
    ASSERT_EQ(ports.view.reports.size(), 1u);
    EXPECT_EQ(ports.view.reports[0], expected);
    // One record: the report, two empty lines, and the record's own line end.
    EXPECT_EQ(ports.host.files[logPath], expected + L"\r\n\r\n\r\n");
    EXPECT_EQ(ports.host.mousePointerResets, 1);
}

TEST_F(ErrorTrailTest, ConsecutiveReportsAppendToTheLogAndTheSecondReplacesTheFirst) {
    ReportFailures(L"clsCommandBar.CreateCommandbar", [] { throw Error(91, L"X", L"first"); });
    ReportFailures(L"clsCommandBar.CreateCommandbar", [] { throw Error(92, L"X", L"second"); });
    EXPECT_EQ(HuntERR31::Report().find(L"first"), std::wstring::npos);
    const auto& log = ports.host.files[logPath];
    EXPECT_LT(log.find(L"first"), log.find(L"second"));
    EXPECT_NE(log.find(L"------\r\n\r\n\r\n\r\nsecond "), std::wstring::npos);
}

// The trail's own failures never replace the failure it reports, nor stay behind for the next one.
TEST_F(ErrorTrailTest, AFailingHostFactLeavesItsValueEmptyAndTheNextReportIsItsOwn) {
    ports.host.factsFail = true;
    ReportFailures(L"m.First", [] { throw Error(5, L"Src", L"first", 2); });
    const std::wstring& report = HuntERR31::Report();
    EXPECT_EQ(report.substr(0, 6), L"first ");
    EXPECT_NE(report.find(L"ADO-version='' Computer='' \r\n"), std::wstring::npos) << report;
    EXPECT_EQ(report.find(L"API Error"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"  Call Stack: m.First() "), std::wstring::npos) << report;

    ports.host.factsFail = false;
    ReportFailures(L"m.Second", [] { throw Error(6, L"Src", L"second"); });
    EXPECT_EQ(HuntERR31::Report().substr(0, 7), L"second ");
    EXPECT_NE(HuntERR31::Report().find(L"  Number: 6 = &H6 "), std::wstring::npos);
    EXPECT_EQ(ports.view.reports.size(), 2u);
}

// The report's format rules, one failure each against a fresh trail: what the report holds, and
// what it must not.
TEST(ErrorTrailFormat, EachRuleShowsInTheReport) {
    const std::wstring longText(41, L'x');
    const std::wstring fits(38, L'a');     // quoted: 40 characters
    const std::wstring tooLong(39, L'b');  // quoted: 41 characters
    const std::wstring general = L"  Number: -2147216306 = &H8004144E = vbObjectError + 5198 = ERRMAP_APP_FIRST + 0 = ERR_GENERAL\r\n";
    struct Rule {
        const char* what;
        std::function<void(testing::FakeTrailHost&)> fail;
        std::vector<std::wstring> holds;
        std::wstring lacks;
    };
    const Rule rules[] = {
        {"no arguments: parentheses, a blank and dashes",
         [](auto&) { ReportFailures(L"clsCommandBar.CreateCommandbar", [] { throw Error(91, L"X", L"d"); }); },
         {L"\r\n  Call Stack: clsCommandBar.CreateCommandbar() -----------------------------------------------------\r\n"}},
        {"long and multi-line values go below the line",
         [&](auto&) {
             ReportFailures(L"basFileSys.FileOutput(strPath,strValue)", [] { throw Error(75, L"X", L"Path/File access error"); },
                    std::wstring(L"C:\\T\\x.ini"), std::wstring(L"Offer||C:\\a|>|\r\nnext"), longText);
         },
         {L"  Call Stack: basFileSys.FileOutput(strPath='C:\\T\\x.ini', strValue={Text}, {Text}) -----------------\r\n"
          L"    Value Of strValue:\r\n      'Offer||C:\\a|>|\r\n      next'\r\n    Value Of :\r\n      '" + longText + L"'\r\n"}},
        {"forty characters stay in the list, forty-one do not",
         [&](auto&) { ReportFailures(L"m.Op(a,b)", [] { throw Error(1, L"X", L"d"); }, fits, tooLong); },
         {L"(a='" + fits + L"', b={Text})"}},
        {"values by kind",
         [](auto&) {
             ReportFailures(L"m.Op(a,b,c,d,e,f,g,h,i)", [] { throw Error(1, L"X", L"d"); }, ArgValue{ArgEmpty{}}, ArgValue{ArgNull{}},
                    std::shared_ptr<Popup>(), std::optional<int32_t>(), true, 2.5, ArgDate{2026, 12, 6, 7, 8, 9},
                    std::vector<int>{1, 2}, -7);
         },
         {L"m.Op(a={Empty}, b={Null}, c={Nothing}, d=, e=True, f=2.5, g='2026-12-06 07:08:09', h={Array}, i=-7) "}},
        {"arguments as held when the failure is handled",
         [](auto&) {
             std::wstring strName = L"WildCard_Subject";
             ReportFailures(L"clsWildCardBtn.AddBookmark(strText,strName)", [&] {
                 strName = L"WildCard_Subject2";
                 throw Error(5828, L"Microsoft Word", L"Bad bookmark name.");
             }, std::wstring(L"<<Subject>>"), strName);
         },
         {L"strName='WildCard_Subject2')"}},
        {"percent placeholders stay literal",
         [](auto&) { ReportFailures(L"m.Op(s)", [] { throw Error(1, L"%Source%", L"100% done at %Time% %nl%"); }, std::wstring(L"%ErrNum%")); },
         {L"100% done at %Time% %nl% \r\n  ", L"  Source: %Source% \r\n", L"  Description: 100% done at %Time% %nl%\r\n",
          L"m.Op(s='%ErrNum%')"}},
        {"every value as it is, backspaces too",
         [](auto& host) {
             host.computerName = L"PC\x08";
             ReportFailures(L"m.Op", [] { throw Error(1, L"\x08" L"Descr\x08", L"a\x08" L"Comp\x08"); });
         },
         {L"a\x08" L"Comp\x08 \r\n", L"Computer='PC\x08' \r\n", L"  Source: \x08" L"Descr\x08 \r\n"}},
        {"lost information is ERR_GENERAL",
         [](auto&) { HuntERR31::ErrorIn(L"frmTemplate.cmdOk_Click", ArgsOf(), HuntERR31::efHandle); },
         {std::wstring(HuntERR31::kLostDescription) + L" \r\n", general, L"  Source: QloraWordAddIn \r\n"}},
        {"number zero is ERR_GENERAL with its own text and source",
         [](auto&) { ReportFailures(L"m.Outer", [] { PassOn(L"m.Inner(x)", [] { throw Error(0, L"Word", L"The call failed"); }, 1); }); },
         {general + L"  Source: Word \r\n  Description: The call failed\r\n"}},
        {"negative differences with a minus",
         [](auto&) { ReportFailures(L"m.Op", [] { throw Error(-2147221505, L"X", L"d"); }); },
         {L"  Number: -2147221505 = &H8003FFFF = vbObjectError - 1 = ERRMAP_APP_FIRST - 5199 \r\n"}},
        {"the system's text on one line",
         [](auto& host) {
             host.systemMessages[5] = std::wstring(L"Access is denied.\r\n\0", 20);
             ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{70, L"X", L"Permission denied", {}, 0, 0, 5}); });
         },
         {L"  Description: Permission denied\r\n  API Error: (5) Access is denied.\r\n"}},
        {"no system line for 0", [](auto&) { ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{70, L"X", L"d", {}, 0, 0, 0}); }); },
         {}, L"API Error"},
        {"no system line for 203", [](auto&) { ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{70, L"X", L"d", {}, 0, 0, 203}); }); },
         {}, L"API Error"},
        {"line numbers when known", [](auto&) { ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{1, L"X", L"d", {}, 0, 120, 0}); }); },
         {L"  Call Stack: m.Op()  at Line 120 ---"}},
        {"other exceptions", [](auto&) { ReportFailures(L"m.Op", [] { throw std::runtime_error("disk on fire"); }); },
         {L"disk on fire \r\n"}},
        {"not even an exception", [](auto&) { ReportFailures(L"m.Op", [] { throw 42; }); }, {L"ErrorIn: E"}},
        {"a missing component and computer name as the host says them",
         [](auto& host) {
             host.adoVersion = L"?";
             host.computerName.clear();
             host.now = {1999, 12, 31, 23, 59, 58, L".", L"-"};
             ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"d"); });
         },
         {L"Time='12.31.99 23-59-58' App='QloraWordAddIn:1.0.0' ADO-version='?' Computer='' \r\n"}},
    };
    for (const auto& rule : rules) {
        SCOPED_TRACE(rule.what);
        TrailFixturePorts ports;
        rule.fail(ports.host);
        const std::wstring& report = HuntERR31::Report();
        for (const auto& part : rule.holds) EXPECT_NE(report.find(part), std::wstring::npos) << text::ToUtf8(report);
        if (!rule.lacks.empty()) {
            EXPECT_EQ(report.find(rule.lacks), std::wstring::npos) << text::ToUtf8(report);
        }
    }
    // A date of any parts is written whole.
    const int lowest = std::numeric_limits<int>::min();
    EXPECT_EQ(FormatArgValue({ArgDate{lowest, lowest, lowest, lowest, lowest, lowest}}),
              L"'-2147483648--2147483648--2147483648 -2147483648:-2147483648:-2147483648'");
    EXPECT_EQ(FormatArgValue({ArgDate{12345, 0, 1, 0, 0, -1}}), L"'12345-00-01 00:00:-1'");
}

// What a COM caller gets: never a success code for a failure.
TEST(FailureHresult, RuntimeNumbersAsFacilityControlNegativeAsTheyAre) {
    const struct {
        int32_t number;
        uint32_t hresult;
    } cases[] = {{424, 0x800A01A8u},        {5, 0x800A0005u},         {1, 0x800A0001u},
                 {65535, 0x800AFFFFu},      {0, 0x8004144Eu},         {65536, 0x8004144Eu},
                 {std::numeric_limits<int32_t>::max(), 0x8004144Eu},  {-2147221504, 0x80040000u}, {std::numeric_limits<int32_t>::min(), 0x80000000u},
                 {-2147024809, 0x80070057u}};
    for (const auto& c : cases) EXPECT_EQ(static_cast<uint32_t>(HresultOf(c.number)), c.hresult) << c.number;
}

// PassOn raises the report on, to be shown by whoever handles it; Handle shows it and answers its
// default result.
TEST_F(ErrorTrailTest, PassOnRaisesTheReportOnAndHandleShowsItAndAnswersTheDefault) {
    const auto passed = testing::ErrorOf([] {
        PassOn(L"basGlobal.GetPathPart(strPath,bolRight)", [] { throw Error(13, L"X", L"Type mismatch"); },
               std::wstring(L"C:\\"), false);
    });
    EXPECT_EQ(passed.number, 13);
    EXPECT_EQ(passed.source, L"HuntERR.ErrorIn");
    EXPECT_EQ(passed.description, HuntERR31::Report());
    EXPECT_NE(passed.description.find(L"GetPathPart(strPath='C:\\', bolRight=False) "), std::wstring::npos);
    EXPECT_TRUE(ports.view.reports.empty());
    EXPECT_TRUE(ports.host.files.empty());

    EXPECT_FALSE(ReportFailures(L"clsTemplateList.AddTemplate(strFilePath)", []() -> bool { throw Error(1, L"X", L"d"); }));
    EXPECT_EQ(ReportFailures(L"m.Op", []() -> int { return 7; }), 7);
    EXPECT_EQ(ports.view.reports.size(), 1u);
}

TEST_F(ErrorTrailTest, PassThroughErrorsTravelUnchangedAndLeaveNoReport) {
    const int32_t passThrough = HuntERR31::PassThroughFirst + 10;
    ReportFailures(L"outer.Op", [&] {
        try {
            PassOn(L"inner.Op(x)", [&] { throw Error(passThrough, L"Companion", L"cancelled"); }, 1);
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), passThrough);
            EXPECT_EQ(e.Source(), L"Companion");
            EXPECT_EQ(e.Description(), L"cancelled");
            throw;
        }
    });
    EXPECT_TRUE(HuntERR31::Report().empty());
    EXPECT_TRUE(ports.host.files.empty());
    ASSERT_EQ(ports.view.reports.size(), 1u);  // the dialog still opens, with only its version lines
    EXPECT_TRUE(ports.view.reports[0].empty());
}

TEST_F(ErrorTrailTest, LockedLogIsRetriedEvery200MsForOneSecondThenDropped) {
    ports.host.lockedAttempts = 2;
    ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"d"); });
    EXPECT_EQ(ports.host.sleeps, (std::vector<int32_t>{200, 200}));
    EXPECT_FALSE(ports.host.files[logPath].empty());

    ports.host.files.clear();
    ports.host.sleeps.clear();
    ports.host.lockedAttempts = 1000;
    ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"d"); });
    EXPECT_EQ(ports.host.sleeps.size(), 6u);  // attempts at 0, 200, ... 1200 ms: the last past one second
    EXPECT_TRUE(ports.host.files.empty());
    EXPECT_EQ(ports.view.reports.size(), 2u);  // shown all the same
}

TEST(ErrorTrailLogPath, NameWithFolderIsTakenAsItIs) {
    EXPECT_EQ(HuntERR31::LogPath(L"Errors.txt", L"C:\\Program Files\\Q"), L"C:\\Program Files\\Q\\Errors.txt");
    EXPECT_EQ(HuntERR31::LogPath(L"D:\\logs\\e.txt", L"C:\\Q"), L"D:\\logs\\e.txt");
}

}  // namespace
}  // namespace qlora
