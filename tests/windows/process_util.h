// Runs a Windows program from a test and collects what it printed.
#pragma once

#include <windows.h>

#include <string>

#include "win/win32_win.h"

namespace qlora::testing {

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output;  // standard output and error, in the ANSI code page
};

inline ProcessResult RunProcess(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) win::ThrowLastError(L"CreatePipe");
    win::UniqueHandle reader(readEnd), writer(writeEnd);
    ::SetHandleInformation(reader.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{sizeof(startup)};
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writer.get();
    startup.hStdError = writer.get();
    startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                          &startup, &info))
        win::ThrowLastError(L"CreateProcess " + commandLine);
    win::UniqueHandle process(info.hProcess), thread(info.hThread);
    writer.reset();  // the child holds the only writing end now

    ProcessResult result;
    char buffer[4096];
    DWORD read = 0;
    while (::ReadFile(reader.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) result.output.append(buffer, read);
    ::WaitForSingleObject(process.get(), INFINITE);
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

}  // namespace qlora::testing
