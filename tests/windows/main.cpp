// The Windows tier runs on a COM apartment thread with the real Windows ports, as inside Word.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>

#include <cstdio>

#include "addin/windows_ports_win.h"

int main(int argc, char** argv) {
    // Unbuffered, so that a test that takes the process down still shows how far it came.
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    ::testing::InitGoogleTest(&argc, argv);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    qlora::InstallWindowsPorts();
    const int result = RUN_ALL_TESTS();
    ::CoUninitialize();
    return result;
}
