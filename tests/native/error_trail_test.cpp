#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <stdexcept>

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

TEST_F(ErrorTrailTest, OperationWithoutArgumentsEndsInParenthesesBlankAndDashes) {
    ReportFailures(L"clsCommandBar.CreateCommandbar", [] { throw Error(91, L"X", L"d"); });
    EXPECT_NE(HuntERR31::Report().find(
                  L"\r\n  Call Stack: clsCommandBar.CreateCommandbar() "
                  L"-----------------------------------------------------\r\n"),
              std::wstring::npos);
}

TEST_F(ErrorTrailTest, LongAndMultiLineValuesGoBelowTheLineAsValueOfBlocks) {
    const std::wstring longText(41, L'x');
    ReportFailures(
        L"basFileSys.FileOutput(strPath,strValue)", [] { throw Error(75, L"X", L"Path/File access error"); },
        std::wstring(L"C:\\T\\x.ini"), std::wstring(L"Offer||C:\\a|>|\r\nnext"), longText);
    const std::wstring& report = HuntERR31::Report();
    const std::wstring expectedTail =
        L"  Call Stack: basFileSys.FileOutput(strPath='C:\\T\\x.ini', strValue={Text}, {Text}) "
        L"-----------------\r\n"
        L"    Value Of strValue:\r\n"
        L"      'Offer||C:\\a|>|\r\n"
        L"      next'\r\n"
        L"    Value Of :\r\n"
        L"      '" + longText + L"'\r\n";
    ASSERT_GE(report.size(), expectedTail.size());
    EXPECT_EQ(report.substr(report.size() - expectedTail.size()), expectedTail);
}

TEST_F(ErrorTrailTest, ForthyCharactersStayInTheListFortyOneDoNot) {
    const std::wstring fits(38, L'a');   // quoted: 40 characters
    const std::wstring tooLong(39, L'b');  // quoted: 41 characters
    ReportFailures(L"m.Op(a,b)", [] { throw Error(1, L"X", L"d"); }, fits, tooLong);
    EXPECT_NE(HuntERR31::Report().find(L"(a='" + fits + L"', b={Text})"), std::wstring::npos);
}

TEST_F(ErrorTrailTest, ValuesAreFormattedByKind) {
    const std::shared_ptr<Popup> none;
    const std::optional<int32_t> omitted;
    ReportFailures(
        L"m.Op(a,b,c,d,e,f,g,h,i)", [] { throw Error(1, L"X", L"d"); }, ArgValue{ArgEmpty{}}, ArgValue{ArgNull{}},
        none, omitted, true, 2.5, ArgDate{2026, 12, 6, 7, 8, 9}, std::vector<int>{1, 2}, -7);
    EXPECT_NE(HuntERR31::Report().find(L"m.Op(a={Empty}, b={Null}, c={Nothing}, d=, e=True, f=2.5, "
                                       L"g='2026-12-06 07:08:09', h={Array}, i=-7) "),
              std::wstring::npos);
    // A date of any parts is written whole.
    const int lowest = std::numeric_limits<int>::min();
    EXPECT_EQ(FormatArgValue({ArgDate{lowest, lowest, lowest, lowest, lowest, lowest}}),
              L"'-2147483648--2147483648--2147483648 -2147483648:-2147483648:-2147483648'");
    EXPECT_EQ(FormatArgValue({ArgDate{12345, 0, 1, 0, 0, -1}}), L"'12345-00-01 00:00:-1'");
}

TEST_F(ErrorTrailTest, ArgumentsShowTheValuesHeldWhenTheFailureIsHandled) {
    std::wstring strName = L"WildCard_Subject";
    ReportFailures(
        L"clsWildCardBtn.AddBookmark(strText,strName)",
        [&] {
            strName = L"WildCard_Subject2";
            throw Error(5828, L"Microsoft Word", L"Bad bookmark name.");
        },
        std::wstring(L"<<Subject>>"), strName);
    EXPECT_NE(HuntERR31::Report().find(L"strName='WildCard_Subject2')"), std::wstring::npos);
}

TEST_F(ErrorTrailTest, PercentPlaceholdersInValuesStayLiteral) {
    ReportFailures(L"m.Op(s)", [] { throw Error(1, L"%Source%", L"100% done at %Time% %nl%"); }, std::wstring(L"%ErrNum%"));
    const auto& report = HuntERR31::Report();
    EXPECT_EQ(report.substr(0, 29), L"100% done at %Time% %nl% \r\n  ");
    EXPECT_NE(report.find(L"  Source: %Source% \r\n"), std::wstring::npos);
    EXPECT_NE(report.find(L"  Description: 100% done at %Time% %nl%\r\n"), std::wstring::npos);
    EXPECT_NE(report.find(L"m.Op(s='%ErrNum%')"), std::wstring::npos);
}

TEST_F(ErrorTrailTest, EveryValueGoesInAsItIsWhateverItHolds) {
    // A backspace, and a source or computer name holding a placeholder between backspaces.
    ports.host.computerName = L"PC\x08";
    ReportFailures(L"m.Op", [] { throw Error(1, L"\x08" L"Descr\x08", L"a\x08" L"Comp\x08"); });
    const auto& report = HuntERR31::Report();
    EXPECT_EQ(report.substr(0, 10), L"a\x08" L"Comp\x08 \r\n");
    EXPECT_NE(report.find(L"Computer='PC\x08' \r\n"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"  Source: \x08" L"Descr\x08 \r\n"), std::wstring::npos) << report;
    EXPECT_NE(report.find(L"  Description: a\x08" L"Comp\x08\r\n"), std::wstring::npos) << report;
}

TEST_F(ErrorTrailTest, LostInformationIsReportedAsErrGeneral) {
    // A handler whose error is gone by the time it records it: nothing is being handled.
    HuntERR31::ErrorIn(L"frmTemplate.cmdOk_Click", ArgsOf(), HuntERR31::efHandle);
    const std::wstring& report = HuntERR31::Report();
    EXPECT_EQ(report.substr(0, report.find(L"\r\n")), std::wstring(HuntERR31::kLostDescription) + L" ");
    EXPECT_NE(report.find(L"  Number: -2147216306 = &H8004144E = vbObjectError + 5198 = ERRMAP_APP_FIRST + 0 "
                          L"= ERR_GENERAL\r\n"),
              std::wstring::npos);
    EXPECT_NE(report.find(L"  Source: QloraWordAddIn \r\n"), std::wstring::npos);
}

TEST_F(ErrorTrailTest, FailureNumberedZeroIsErrGeneralWithItsOwnDescriptionAndSource) {
    ReportFailures(L"m.Outer", [] { PassOn(L"m.Inner(x)", [] { throw Error(0, L"Word", L"The call failed"); }, 1); });
    const std::wstring& report = HuntERR31::Report();
    EXPECT_EQ(report.substr(0, report.find(L"\r\n")), L"The call failed ");
    EXPECT_NE(report.find(L"  Number: -2147216306 = &H8004144E = vbObjectError + 5198 = ERRMAP_APP_FIRST + 0 "
                          L"= ERR_GENERAL\r\n  Source: Word \r\n  Description: The call failed\r\n"),
              std::wstring::npos)
        << report;
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

TEST_F(ErrorTrailTest, NegativeDifferencesAreWrittenWithMinus) {
    ReportFailures(L"m.Op", [] { throw Error(-2147221505, L"X", L"d"); });
    EXPECT_NE(HuntERR31::Report().find(L"  Number: -2147221505 = &H8003FFFF = vbObjectError - 1 = ERRMAP_APP_FIRST "
                                       L"- 5199 \r\n"),
              std::wstring::npos);
}

TEST_F(ErrorTrailTest, PassOnRaisesTheReportOnWithTheTrailSource) {
    try {
        PassOn(L"basGlobal.GetPathPart(strPath,bolRight)", [] { throw Error(13, L"X", L"Type mismatch"); },
               std::wstring(L"C:\\"), false);
        FAIL() << "no failure passed on";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 13);
        EXPECT_EQ(e.Source(), L"HuntERR.ErrorIn");
        EXPECT_EQ(e.Description(), HuntERR31::Report());
        EXPECT_NE(e.Description().find(L"GetPathPart(strPath='C:\\', bolRight=False) "), std::wstring::npos);
    }
    EXPECT_TRUE(ports.view.reports.empty());
    EXPECT_TRUE(ports.host.files.empty());
}

TEST_F(ErrorTrailTest, HandleReturnsTheDefaultResultAfterAFailure) {
    EXPECT_FALSE(ReportFailures(L"clsTemplateList.AddTemplate(strFilePath)", []() -> bool { throw Error(1, L"X", L"d"); }));
    EXPECT_EQ(ReportFailures(L"m.Op", []() -> int { return 7; }), 7);
    EXPECT_TRUE(ports.view.reports.size() == 1);
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

TEST_F(ErrorTrailTest, SystemErrorLineUsesTheSystemTextWithoutLineBreaks) {
    ports.host.systemMessages[5] = std::wstring(L"Access is denied.\r\n\0", 20);
    ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{70, L"X", L"Permission denied", {}, 0, 0, 5}); });
    EXPECT_NE(HuntERR31::Report().find(L"  Description: Permission denied\r\n  API Error: (5) Access is denied.\r\n"),
              std::wstring::npos);

    for (const int32_t quiet : {0, 203}) {
        ReportFailures(L"m.Op", [&] { throw Error(ErrorInfo{70, L"X", L"Permission denied", {}, 0, 0, quiet}); });
        EXPECT_EQ(HuntERR31::Report().find(L"API Error"), std::wstring::npos) << quiet;
    }
}

TEST_F(ErrorTrailTest, LineNumbersAreShownWhenKnown) {
    ReportFailures(L"m.Op", [] { throw Error(ErrorInfo{1, L"X", L"d", {}, 0, 120, 0}); });
    EXPECT_NE(HuntERR31::Report().find(L"  Call Stack: m.Op()  at Line 120 ---"), std::wstring::npos);
}

TEST_F(ErrorTrailTest, OtherExceptionsAreRecordedToo) {
    ReportFailures(L"m.Op", [] { throw std::runtime_error("disk on fire"); });
    EXPECT_EQ(HuntERR31::Report().substr(0, 13), L"disk on fire ");
    ReportFailures(L"m.Op", [] { throw 42; });
    EXPECT_EQ(HuntERR31::Report().substr(0, 10), L"ErrorIn: E");
}

TEST_F(ErrorTrailTest, MissingAdoComponentAndComputerNameShowAsTheHostSaysThem) {
    ports.host.adoVersion = L"?";
    ports.host.computerName.clear();
    ports.host.now = {1999, 12, 31, 23, 59, 58, L".", L"-"};
    ReportFailures(L"m.Op", [] { throw Error(1, L"X", L"d"); });
    EXPECT_NE(HuntERR31::Report().find(L"Time='12.31.99 23-59-58' App='QloraWordAddIn:1.0.0' ADO-version='?' "
                                       L"Computer='' \r\n"),
              std::wstring::npos);
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
