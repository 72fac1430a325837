// What the Windows tests arrange through the system: a program run to its end with what it printed,
// the add-in DLL beside this program (un)registered by regsvr32, and registry values; and counting
// what a program or a session printed.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <type_traits>

#include "base/text.h"
#include "win/win32_win.h"

namespace qlora::testing {

struct ProcessResult {
    DWORD exitCode = 0;
    std::string output;  // standard output and error, in the ANSI code page
};

inline ProcessResult RunProcess(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
    win::UniqueHandle reader, writer;
    if (!::CreatePipe(reader.put(), writer.put(), &inherit, 0)) win::ThrowLastError(L"CreatePipe");
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
    while (::ReadFile(reader.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0)
        result.output.append(buffer, read);
    ::WaitForSingleObject(process.get(), INFINITE);
    ::GetExitCodeProcess(process.get(), &result.exitCode);
    return result;
}

// How often `part` occurs in `text`, overlapping occurrences too.
template <class Text>
size_t Occurrences(const Text& text, const std::type_identity_t<Text>& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != Text::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

// What a file holds, byte for byte ("" when there is none).
inline std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}
// The add-in's log beside this program and the DLL, and what it holds.
inline std::wstring ModuleLogPath() { return win::ThisModuleFolder() + L"\\Errors.txt"; }
inline std::string ModuleLog() { return FileBytes(ModuleLogPath()); }

// The CLSIDs of the DLL's nine classes, Connect's first.
inline const wchar_t* const kClsids[] = {
    L"{FEC3BE41-F1BD-4ED7-B85F-E13B89DB918E}", L"{3BF1C560-F783-44C7-876D-6119BF947E16}",
    L"{E8E744A6-1862-4DA6-8265-FBE93395ABEF}", L"{690949EE-3FCC-4385-ABD5-6E5FCCCFC33D}",
    L"{BA3B9D18-22C4-441D-A3D7-AE99F74CDE31}", L"{271872B7-1E82-4D17-BABB-8E46B7B17290}",
    L"{EECA2100-BA1A-47F8-886B-0B28CE102916}", L"{2B638FF2-AFFB-48F7-866E-40FBC806A319}",
    L"{7D0D102E-3DF7-4B78-95EF-01F4BBB32D08}"};

inline std::wstring AddInDll() { return win::ThisModuleFolder() + L"\\QloraWordAddIn.dll"; }

// regsvr32's exit code for the add-in DLL with these switches ("/u", "/n /i:user").
inline DWORD Regsvr32(const std::wstring& switches) {
    return RunProcess(L"regsvr32.exe /s " + switches + L" \"" + AddInDll() + L"\"").exitCode;
}

// A key opened with these rights; an empty handle when it cannot be.
inline win::UniqueHKey OpenKey(HKEY root, const std::wstring& path, REGSAM rights) {
    win::UniqueHKey key;
    if (::RegOpenKeyExW(root, path.c_str(), 0, rights, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

// Sets a value (the key's default one for no name) in a key created as needed.
inline void SetRegistryValue(HKEY root, const std::wstring& key, const wchar_t* name, DWORD type, const void* data,
                             size_t size, REGSAM access = 0) {
    win::UniqueHKey opened;
    const REGSAM rights = KEY_SET_VALUE | access;
    ASSERT_EQ(::RegCreateKeyExW(root, key.c_str(), 0, nullptr, 0, rights, nullptr, opened.put(), nullptr),
              ERROR_SUCCESS)
        << text::ToUtf8(key);
    ASSERT_EQ(::RegSetValueExW(opened.get(), name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
              ERROR_SUCCESS);
}
inline void SetRegistryText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text,
                            REGSAM access = 0) {
    SetRegistryValue(root, key, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t), access);
}
inline void SetRegistryNumber(HKEY root, const std::wstring& key, const wchar_t* name, DWORD number) {
    SetRegistryValue(root, key, name, REG_DWORD, &number, sizeof(number));
}

}  // namespace qlora::testing
