// Word's and Office's members as the add-in calls them and wordsim serves them, each declared
// once: the object, the name, get, put or method, and a method's most arguments. The add-in's
// IDispatch adapter names and invokes members through it; wordsim's COM face gives each a DISPID
// and a handler, and checks at compile time that it serves every member of its objects.
#pragma once

#include <string_view>

namespace qlora::word {

enum class Kind { Get, Put, Method };

struct Member {
    std::wstring_view object;  // the object as Word's type information names its class
    std::wstring_view name;
    Kind kind;
    unsigned arguments = 0;  // a method's most positional arguments; a get takes none, a put its value
};

inline constexpr Member kMembers[] = {
    // Application
    {L"Application", L"ActiveDocument", Kind::Get},
    {L"Application", L"Selection", Kind::Get},
    {L"Application", L"Documents", Kind::Get},
    {L"Application", L"NormalTemplate", Kind::Get},
    {L"Application", L"CommandBars", Kind::Get},
    {L"Application", L"Version", Kind::Get},
    {L"Application", L"Options", Kind::Get},
    {L"Application", L"ActiveWindow", Kind::Get},
    // Documents
    {L"Documents", L"Count", Kind::Get},
    // Document
    {L"Document", L"Name", Kind::Get},
    {L"Document", L"Path", Kind::Get},
    {L"Document", L"FullName", Kind::Get},
    {L"Document", L"Bookmarks", Kind::Get},
    {L"Document", L"Variables", Kind::Get},
    {L"Document", L"TrackRevisions", Kind::Get},
    {L"Document", L"TrackRevisions", Kind::Put},
    {L"Document", L"SaveAs", Kind::Method, 11},
    {L"Document", L"Close", Kind::Method, 3},
    {L"Document", L"Content", Kind::Get},
    {L"Document", L"Range", Kind::Method, 2},
    // Window
    {L"Window", L"View", Kind::Get},
    // View
    {L"View", L"ShowBookmarks", Kind::Get},
    {L"View", L"ShowBookmarks", Kind::Put},
    // Selection
    {L"Selection", L"Start", Kind::Get},
    {L"Selection", L"Range", Kind::Get},
    {L"Selection", L"TypeText", Kind::Method, 1},
    {L"Selection", L"SetRange", Kind::Method, 2},
    // Range
    {L"Range", L"Start", Kind::Get},
    {L"Range", L"End", Kind::Get},
    {L"Range", L"Text", Kind::Get},
    {L"Range", L"Select", Kind::Method},
    // Bookmarks
    {L"Bookmarks", L"Item", Kind::Method, 1},
    {L"Bookmarks", L"Count", Kind::Get},
    {L"Bookmarks", L"Exists", Kind::Method, 1},
    {L"Bookmarks", L"Add", Kind::Method, 2},
    // Bookmark
    {L"Bookmark", L"Name", Kind::Get},
    {L"Bookmark", L"Start", Kind::Get},
    {L"Bookmark", L"End", Kind::Get},
    {L"Bookmark", L"Delete", Kind::Method},
    // Variables
    {L"Variables", L"Item", Kind::Method, 1},
    {L"Variables", L"Add", Kind::Method, 2},
    // Variable
    {L"Variable", L"Value", Kind::Get},
    {L"Variable", L"Value", Kind::Put},
    {L"Variable", L"Delete", Kind::Method},
    // Template
    {L"Template", L"Saved", Kind::Get},
    {L"Template", L"Saved", Kind::Put},
    // Options
    {L"Options", L"ReplaceSelection", Kind::Get},
    {L"Options", L"ReplaceSelection", Kind::Put},
    // CommandBars
    {L"CommandBars", L"Item", Kind::Method, 1},
    {L"CommandBars", L"Add", Kind::Method, 4},
    // CommandBar
    {L"CommandBar", L"Left", Kind::Get},
    {L"CommandBar", L"Left", Kind::Put},
    {L"CommandBar", L"Top", Kind::Get},
    {L"CommandBar", L"Top", Kind::Put},
    {L"CommandBar", L"Position", Kind::Get},
    {L"CommandBar", L"Position", Kind::Put},
    {L"CommandBar", L"RowIndex", Kind::Get},
    {L"CommandBar", L"RowIndex", Kind::Put},
    {L"CommandBar", L"Visible", Kind::Get},
    {L"CommandBar", L"Visible", Kind::Put},
    {L"CommandBar", L"Controls", Kind::Get},
    {L"CommandBar", L"Delete", Kind::Method},
    // CommandBarControls
    {L"CommandBarControls", L"Item", Kind::Method, 1},
    {L"CommandBarControls", L"Add", Kind::Method, 5},
    // CommandBarControl
    {L"CommandBarControl", L"Caption", Kind::Get},
    {L"CommandBarControl", L"Caption", Kind::Put},
    {L"CommandBarControl", L"Parameter", Kind::Get},
    {L"CommandBarControl", L"Parameter", Kind::Put},
    {L"CommandBarControl", L"TooltipText", Kind::Put},
    {L"CommandBarControl", L"Tag", Kind::Put},
    {L"CommandBarControl", L"Enabled", Kind::Put},
    {L"CommandBarControl", L"Visible", Kind::Put},
    {L"CommandBarControl", L"Move", Kind::Method, 2},
    {L"CommandBarControl", L"Delete", Kind::Method, 1},
    // CommandBarButton
    {L"CommandBarButton", L"Type", Kind::Get},
    {L"CommandBarButton", L"Style", Kind::Put},
    {L"CommandBarButton", L"FaceId", Kind::Put},
    // CommandBarPopup
    {L"CommandBarPopup", L"Type", Kind::Get},
    {L"CommandBarPopup", L"Controls", Kind::Get},
    // COMAddIn
    {L"COMAddIn", L"ProgId", Kind::Get},
    {L"COMAddIn", L"Description", Kind::Get},
    {L"COMAddIn", L"Guid", Kind::Get},
    {L"COMAddIn", L"Connect", Kind::Get},
};

// The member of an object, found at compile time: a member the table does not declare does not
// compile.
consteval Member MemberOf(std::wstring_view object, std::wstring_view name, Kind kind) {
    for (const Member& m : kMembers)
        if (m.object == object && m.name == name && m.kind == kind) return m;
    throw "not a member the table declares";
}

}  // namespace qlora::word
