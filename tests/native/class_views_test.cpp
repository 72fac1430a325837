#include <gtest/gtest.h>

#include "base/class_views.h"

namespace qlora::classes {
namespace {

// 32-bit programs on 64-bit Windows find classes and interfaces under Wow6432Node, but share the
// ProgIDs and type libraries with 64-bit programs.
TEST(ClassViews, OnlyTheRedirectedKeysMoveForThirtyTwoBitPrograms) {
    const struct {
        std::wstring_view key, native, wow64;
    } cases[] = {
        {L"CLSID\\{1}\\InprocServer32", L"CLSID\\{1}\\InprocServer32", L"Wow6432Node\\CLSID\\{1}\\InprocServer32"},
        {L"clsid", L"clsid", L"Wow6432Node\\clsid"},
        {L"Interface\\{2}", L"Interface\\{2}", L"Wow6432Node\\Interface\\{2}"},
        {L"QloraWordAddIn.Connect\\CLSID", L"QloraWordAddIn.Connect\\CLSID", L"QloraWordAddIn.Connect\\CLSID"},
        {L"TypeLib\\{3}\\1.0", L"TypeLib\\{3}\\1.0", L"TypeLib\\{3}\\1.0"},
        {L"CLSIDX\\{1}", L"CLSIDX\\{1}", L"CLSIDX\\{1}"},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(KeyIn(View::Native, c.key), c.native);
        EXPECT_EQ(KeyIn(View::Wow64, c.key), c.wow64);
    }
    EXPECT_EQ(Other(View::Native), View::Wow64);
    EXPECT_EQ(Other(View::Wow64), View::Native);
}

}  // namespace
}  // namespace qlora::classes
