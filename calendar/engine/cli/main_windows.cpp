// SPDX-License-Identifier: MIT
// kalendo.exe: the command's entry point on Windows. The engine speaks UTF-8; Windows hands
// arguments over in UTF-16 and a console shows UTF-16, whatever its code page. Reading the
// ANSI arguments of main() would turn every Chinese member name into question marks.
#include "kalendo_cli.h"

#include <cstdlib>
#include <iostream>
#include <streambuf>
#include <string>
#include <vector>
#include <windows.h>

namespace {

std::string toUtf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<std::size_t>(n - 1));
    return out;
}

// Writes UTF-8 to a standard handle: as UTF-16 to a console, unchanged to a file or a pipe
// (iCalendar files and scripts read UTF-8).
class HandleBuf : public std::streambuf {
public:
    explicit HandleBuf(DWORD which)
        : m_handle(GetStdHandle(which)) {
        DWORD mode = 0;
        m_console = GetConsoleMode(m_handle, &mode) != 0;
    }
    ~HandleBuf() override { flushComplete(true); }
    bool isConsole() const { return m_console; }

protected:
    int_type overflow(int_type c) override {
        if (c != traits_type::eof())
            m_pending.push_back(static_cast<char>(c));
        if (m_pending.size() >= 4096)
            flushComplete(false);
        return traits_type::not_eof(c);
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        m_pending.append(s, static_cast<std::size_t>(n));
        if (m_pending.size() >= 4096)
            flushComplete(false);
        return n;
    }
    int sync() override {
        flushComplete(true);
        return 0;
    }

private:
    // Writes what is pending up to the last whole character (all of it when `all`): a
    // console must not get half of a character's bytes.
    void flushComplete(bool all) {
        std::size_t end = m_pending.size();
        if (!all && end > 0) {
            std::size_t lead = end - 1;
            while (lead > 0 && (static_cast<unsigned char>(m_pending[lead]) & 0xC0) == 0x80)
                --lead;
            const auto b = static_cast<unsigned char>(m_pending[lead]);
            const std::size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
            if (lead + length > end)
                end = lead; // the last character is not complete yet
        }
        if (end == 0)
            return;
        write(m_pending.data(), end);
        m_pending.erase(0, end);
    }
    void write(const char* data, std::size_t size) {
        if (m_handle == nullptr || m_handle == INVALID_HANDLE_VALUE)
            return;
        DWORD done = 0;
        if (m_console) {
            const int n = MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), nullptr, 0);
            std::wstring wide(static_cast<std::size_t>(n), L'\0');
            MultiByteToWideChar(CP_UTF8, 0, data, static_cast<int>(size), wide.data(), n);
            WriteConsoleW(m_handle, wide.data(), static_cast<DWORD>(wide.size()), &done, nullptr);
        } else {
            WriteFile(m_handle, data, static_cast<DWORD>(size), &done, nullptr);
        }
    }

    HANDLE m_handle;
    bool m_console = false;
    std::string m_pending;
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    SYSTEMTIME now{};
    GetLocalTime(&now);

    HandleBuf outBuf(STD_OUTPUT_HANDLE);
    HandleBuf errBuf(STD_ERROR_HANDLE);
    std::ostream out(&outBuf);
    std::ostream err(&errBuf);

    kalendo::CliOptions options;
    options.today = kalendo::Date::fromYmd(now.wYear, now.wMonth, now.wDay);
    // Colours only where the console understands the escape sequences.
    if (outBuf.isConsole() && _wgetenv(L"NO_COLOR") == nullptr) {
        const HANDLE h = GetStdHandle(STD_OUTPUT_HANDLE);
        DWORD mode = 0;
        options.colours = GetConsoleMode(h, &mode) != 0 &&
                          SetConsoleMode(h, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
    }

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(toUtf8(argv[i]));
    const int status = kalendo::runKalendo(args, out, err, options);
    out.flush();
    err.flush();
    return status;
}
