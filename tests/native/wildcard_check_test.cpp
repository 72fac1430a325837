// Checking wildcards in memory: what is found, in which order, and the steps of a repair; that a
// repair leaves each wildcard text under one bookmark of its own is the wildcard_check fuzz target's.
#include <gtest/gtest.h>

#include "base/text.h"
#include "toolbar/wildcard_check.h"

namespace qlora::wildcardCheck {
namespace {

using enum Kind;
constexpr auto Set = Step::Action::Set;
constexpr auto Remove = Step::Action::Remove;

struct Case {
    const char* what;
    std::wstring text;
    std::vector<Mark> bookmarks;
    std::vector<Problem> problems;
    std::vector<Step> repair;
};

// "<<Subject>>" is 11 characters, "<<Sender>>" 10, "<<Betreff>>" 11.
const Case kCases[] = {
    {"intact, German and English, numbered, other bookmarks ignored", L"<<Subject>> <<Betreff>> <<Foo>> x",
     {{L"WildCard_Subject", 0, 11}, {L"WildCard_Subject1", 12, 23}, {L"Other", 0, 3}, {L"wildcard_x", 1, 2}}, {}, {}},
    {"typed by hand and pasted copy: not marked; the name after the taken ones", L"<<Subject>> <<Subject>> <<Sender>>",
     {{L"WildCard_Subject", 0, 11}, {L"wildcard_subject1", 30, 30}},
     {{NotMarked, L"WildCard_Subject", L"", 12, 23}, {NotMarked, L"WildCard_Sender", L"", 24, 34}},
     {{Set, {L"WildCard_Subject2", 12, 23}}, {Set, {L"WildCard_Sender", 24, 34}}}},
    {"edited inside: damaged and removed, its name free again", L"<<SenXder>> <<Sender>>",
     {{L"WildCard_Sender", 0, 11}},
     {{Damaged, L"WildCard_Sender", L"WildCard_Sender", 0, 11}, {NotMarked, L"WildCard_Sender", L"", 12, 22}},
     {{Remove, {L"WildCard_Sender", 0, 11}}, {Set, {L"WildCard_Sender", 12, 22}}}},
    {"grown around its text: moved onto it, the text not listed twice", L"ab<<Subject>>cd",
     {{L"WildCard_Subject3", 1, 14}}, {{Damaged, L"WildCard_Subject", L"WildCard_Subject3", 1, 14, 2, 13}},
     {{Set, {L"WildCard_Subject3", 2, 13}}}},
    {"emptied, cut in half, another wildcard's text, letter case of the text", L"<<Subj <<Body>> <<subject>>",
     {{L"WildCard_Subject", 0, 0}, {L"WildCard_Sent", 2, 6}, {L"WildCard_Subject1", 7, 15},
      {L"WildCard_Sender", 16, 27}},
     {{Damaged, L"WildCard_Subject", L"WildCard_Subject", 0, 0}, {Damaged, L"WildCard_Sent", L"WildCard_Sent", 2, 6},
      {NotMarked, L"WildCard_Body", L"", 7, 15}, {Damaged, L"WildCard_Subject", L"WildCard_Subject1", 7, 15},
      {Damaged, L"WildCard_Sender", L"WildCard_Sender", 16, 27}},
     {{Remove, {L"WildCard_Subject", 0, 0}}, {Remove, {L"WildCard_Sent", 2, 6}}, {Remove, {L"WildCard_Subject1", 7, 15}},
      {Remove, {L"WildCard_Sender", 16, 27}}, {Set, {L"WildCard_Body", 7, 15}}}},
    {"a second bookmark over a marked text, and one over two texts, are damaged", L"<<Subject>><<Subject>>",
     {{L"WildCard_Subject1", 0, 11}, {L"WildCard_Subject", 0, 11}, {L"WildCard_Subject2", 0, 22}},
     {{Damaged, L"WildCard_Subject", L"WildCard_Subject1", 0, 11},
      {Damaged, L"WildCard_Subject", L"WildCard_Subject2", 0, 22}, {NotMarked, L"WildCard_Subject", L"", 11, 22}},
     {{Remove, {L"WildCard_Subject1", 0, 11}}, {Remove, {L"WildCard_Subject2", 0, 22}},
      {Set, {L"WildCard_Subject1", 11, 22}}}},
    {"unknown names are listed and left alone; brackets around a text still find it", L"<<<Subject>>> <<",
     {{L"WildCard_Foo", 0, 3}, {L"WildCard_", 3, 3}, {L"WildCard_7", 4, 4}},
     {{Unknown, L"", L"WildCard_Foo", 0, 3}, {NotMarked, L"WildCard_Subject", L"", 1, 12},
      {Unknown, L"", L"WildCard_", 3, 3}, {Unknown, L"", L"WildCard_7", 4, 4}},
     {{Set, {L"WildCard_Subject", 1, 12}}}},
};

TEST(WildcardCheck, FindsAndPlansTheRepairNamesByBookmarkAndCutsOneLineExcerpts) {
    for (const auto& c : kCases) {
        SCOPED_TRACE(c.what);
        const auto result = Check(c.text, c.bookmarks);
        EXPECT_EQ(result.problems, c.problems);
        EXPECT_EQ(PlanRepair(c.bookmarks, result), c.repair);
    }
    for (const auto& [name, wildcard] :
         {std::pair{L"WildCard_Subject", L"WildCard_Subject"}, {L"WildCard_subject12", L"WildCard_Subject"},
          {L"WildCard_CC3", L"WildCard_CC"}, {L"wildCard_Subject", L""}, {L"WildCard_Subjects", L""},
          {L"WildCard_12", L""}})
        EXPECT_EQ(WildcardOf(name), wildcard) << text::ToUtf8(name);
    EXPECT_EQ(Excerpt(L"Dear <<To>>,\r\tthanks", 5, 11, 20), L"Dear <<To>>,  thanks");
    EXPECT_EQ(Excerpt(L"0123456789<<To>>0123456789", 10, 16, 2), L"...89<<To>>01...");
    EXPECT_EQ(Excerpt(L"short", -5, 99, 20), L"short");
}

}  // namespace
}  // namespace qlora::wildcardCheck
