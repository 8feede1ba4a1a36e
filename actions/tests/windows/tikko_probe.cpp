// SPDX-License-Identifier: MIT
// A harmless console program for the tests to start and end: it appends the path it was
// started from to the file named by TIKKO_PROBE_LOG, if set, and then waits
// TIKKO_PROBE_SECONDS (60 unless set) before it ends with exit code 3.
#include <cwchar>
#include <string>
#include <windows.h>

namespace {

std::wstring variable(const wchar_t* name) {
    wchar_t value[1024];
    const DWORD length = GetEnvironmentVariableW(name, value, 1024);
    return length > 0 && length < 1024 ? std::wstring(value, length) : std::wstring();
}

void noteStart(const std::wstring& log) {
    wchar_t self[1024];
    const DWORD length = GetModuleFileNameW(nullptr, self, 1024);
    const int size = WideCharToMultiByte(CP_UTF8, 0, self, static_cast<int>(length), nullptr, 0,
                                         nullptr, nullptr);
    std::string line(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, self, static_cast<int>(length), line.data(), size, nullptr,
                        nullptr);
    line += '\n';
    const HANDLE file =
        CreateFileW(log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace

int main() {
    const std::wstring log = variable(L"TIKKO_PROBE_LOG");
    if (!log.empty())
        noteStart(log);
    const std::wstring seconds = variable(L"TIKKO_PROBE_SECONDS");
    Sleep((seconds.empty() ? 60 : std::wcstoul(seconds.c_str(), nullptr, 10)) * 1000);
    return 3; // a natural end, told apart from TerminateProcess's exit code 0
}
