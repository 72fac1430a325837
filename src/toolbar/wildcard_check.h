// Checking wildcards: the printing product finds a wildcard only by its "WildCard_" bookmark, and
// everyday editing loses that mark while the text stays (a pasted copy, typing inside the text, a
// wildcard typed by hand). The check reads the document's text and its bookmarks once and matches
// them in memory; a repair changes bookmarks only, never the text.
//
// Positions are character positions in the document's text, [start, end).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qlora::wildcardCheck {

struct Mark {
    std::wstring name;
    int32_t start = 0;
    int32_t end = 0;
    friend bool operator==(const Mark&, const Mark&) = default;
};

enum class Kind {
    NotMarked,  // "<<Display text>>" of a wildcard that none of its bookmarks covers exactly
    Damaged,    // a wildcard's bookmark whose text is not "<<Display text>>" of it (or a second one)
    Unknown,    // a "WildCard_" bookmark that names no wildcard
};

struct Problem {
    Kind kind = Kind::NotMarked;
    std::wstring wildcard;  // the wildcard's bookmark name ("WildCard_Subject"); "" for Unknown
    std::wstring bookmark;  // the bookmark's own name; "" for NotMarked
    int32_t start = 0;      // where it is: the text, or the bookmark's span
    int32_t end = 0;
    // Damaged: the "<<Display text>>" a repair moves the bookmark onto; -1: a repair removes it.
    int32_t targetStart = -1;
    int32_t targetEnd = -1;
    friend bool operator==(const Problem&, const Problem&) = default;
};

struct Result {
    int32_t checked = 0;            // wildcard texts found
    std::vector<Problem> problems;  // in document order
};

// One bookmark step of a repair, in the order given: Set adds the bookmark or moves the one of
// that name (as Word's Bookmarks.Add does), Remove deletes it.
struct Step {
    enum class Action { Set, Remove } action = Action::Set;
    Mark mark;
    friend bool operator==(const Step&, const Step&) = default;
};

// The wildcard a bookmark name stands for: the name without the number an insertion appends,
// as the catalogue spells it; "" when the name begins otherwise or names no wildcard.
std::wstring WildcardOf(std::wstring_view bookmarkName);

// Finds what is wrong. Bookmarks may come in any order; names not beginning "WildCard_" are
// left out of it.
Result Check(std::wstring_view text, const std::vector<Mark>& bookmarks);

// A damaged bookmark moves onto the one "<<Display text>>" of its wildcard that its text still
// holds, when no other bookmark marks it; that text is then not listed as not marked.
//
// The steps that mend `result`, damaged bookmarks first: each moves to its target or goes; then
// each text not marked gets a new bookmark named as an insertion names it (the first free of
// "WildCard_Subject", "WildCard_Subject1", ... among all of `bookmarks`, names ignoring case).
// Unknown bookmarks are left to the user.
std::vector<Step> PlanRepair(const std::vector<Mark>& bookmarks, const Result& result);

// The bookmarks after the steps, as Word keeps them (names ignore case).
std::vector<Mark> Apply(std::vector<Mark> bookmarks, const std::vector<Step>& steps);

// A short, one-line piece of the text around [start, end) for a list: `context` characters each
// side, line and cell breaks shown as blanks, cut ends shown as "...".
std::wstring Excerpt(std::wstring_view text, int32_t start, int32_t end, int32_t context = 20);

}  // namespace qlora::wildcardCheck
