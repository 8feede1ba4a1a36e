// SPDX-License-Identifier: MIT
#include "windows_system_actions.h"

#include <mmsystem.h>
#include <shellapi.h>
#include <tlhelp32.h>
#include <utility>
#include <vector>

namespace tikko {

namespace {

// ExitWindowsEx's reason argument: every bit set.
constexpr DWORD kAnyReason = 0xFFFFFFFF;

class Win32TokenApi final : public TokenApi {
public:
    HANDLE getCurrentProcess() override { return ::GetCurrentProcess(); }

    BOOL openProcessToken(HANDLE process, DWORD access, HANDLE* token) override {
        return ::OpenProcessToken(process, access, token);
    }

    BOOL lookupPrivilegeValue(const char* systemName, const char* privilege, LUID* luid) override {
        return ::LookupPrivilegeValueA(systemName, privilege, luid);
    }

    BOOL adjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES* newState, DWORD previousStateSize,
                               TOKEN_PRIVILEGES* previousState, DWORD* returnedSize) override {
        return ::AdjustTokenPrivileges(token, FALSE, newState, previousStateSize, previousState,
                                       returnedSize);
    }

    void closeHandle(HANDLE handle) override { ::CloseHandle(handle); }
};

std::wstring shortPathName(const std::wstring& path) {
    const DWORD size = ::GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0)
        return {};
    std::wstring shortPath(size, L'\0');
    const DWORD length = ::GetShortPathNameW(path.c_str(), shortPath.data(), size);
    if (length == 0 || length >= size)
        return {};
    shortPath.resize(length);
    return shortPath;
}

std::wstring systemDirectoryPath() {
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH + 1);
    return length == 0 || length > MAX_PATH ? std::wstring() : std::wstring(buffer, length);
}

std::wstring runningExecutable() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

bool createProcessInNormalWindow(const std::wstring& application, const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine; // CreateProcessW may write into its command line
    if (!::CreateProcessW(application.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          nullptr, &startup, &process))
        return false;
    // Lets the new program take the focus from us.
    ::AllowSetForegroundWindow(process.dwProcessId);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}

bool shellOpen(const std::wstring& url) {
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteW(nullptr, L"open", url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

bool isFile(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The text in the ANSI code page, if it goes there and back unchanged.
bool toAnsi(const std::wstring& text, std::string& ansi) {
    if (text.empty()) {
        ansi.clear();
        return true;
    }
    const int wideLength = static_cast<int>(text.size());
    const int size =
        ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return false;
    ansi.assign(static_cast<std::size_t>(size), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text.data(), wideLength, ansi.data(), size, nullptr, nullptr);
    std::wstring back(text.size() * 2 + 1, L'\0');
    const int backLength = ::MultiByteToWideChar(CP_ACP, 0, ansi.data(), size, back.data(),
                                                 static_cast<int>(back.size()));
    back.resize(backLength > 0 ? static_cast<std::size_t>(backLength) : 0);
    return back == text;
}

// The security identifier of the user a process runs as; empty where it cannot be read.
std::vector<BYTE> userOf(HANDLE process) {
    HANDLE token = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &token))
        return {};
    DWORD size = 0;
    ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
    std::vector<BYTE> buffer(size);
    const bool read =
        size > 0 && ::GetTokenInformation(token, TokenUser, buffer.data(), size, &size);
    ::CloseHandle(token);
    if (!read)
        return {};
    const PSID sid = reinterpret_cast<const TOKEN_USER*>(buffer.data())->User.Sid;
    const auto* bytes = static_cast<const BYTE*>(sid);
    return std::vector<BYTE>(bytes, bytes + ::GetLengthSid(sid));
}

} // namespace

std::unique_ptr<TokenApi> createWin32TokenApi() {
    return std::make_unique<Win32TokenApi>();
}

std::wstring widen(const std::string& utf8) {
    if (utf8.empty())
        return {};
    const int length = static_cast<int>(utf8.size());
    const int size = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size > 0 ? size : 0), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), size);
    return wide;
}

std::string narrow(const std::wstring& utf16) {
    if (utf16.empty())
        return {};
    const int length = static_cast<int>(utf16.size());
    const int size =
        ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, text.data(), size, nullptr, nullptr);
    return text;
}

std::wstring quoteArgument(const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring quoted = L"\"";
    for (auto c = argument.begin();; ++c) {
        std::size_t backslashes = 0;
        while (c != argument.end() && *c == L'\\') {
            ++c;
            ++backslashes;
        }
        if (c == argument.end()) {
            // Doubled, so that the closing quote stays a quote.
            quoted.append(backslashes * 2, L'\\');
            break;
        }
        if (*c == L'"')
            quoted.append(backslashes * 2 + 1, L'\\');
        else
            quoted.append(backslashes, L'\\');
        quoted.push_back(*c);
    }
    quoted.push_back(L'"');
    return quoted;
}

WindowsSystemActions::WindowsSystemActions(WindowsActionsOptions options)
    : m_options(std::move(options)) {
    if (m_options.executablePath.empty())
        m_options.executablePath = runningExecutable();
    if (!m_options.sendMciCommand) {
        m_options.sendMciCommand = [](const std::wstring& command) {
            return ::mciSendStringW(command.c_str(), nullptr, 0, nullptr);
        };
    }
    if (!m_options.shortPathOf)
        m_options.shortPathOf = shortPathName;
    if (!m_options.systemDirectory)
        m_options.systemDirectory = systemDirectoryPath;
    if (!m_options.createProcess)
        m_options.createProcess = createProcessInNormalWindow;
    if (!m_options.openDefaultBrowser)
        m_options.openDefaultBrowser = shellOpen;
    if (!m_options.getVersion)
        m_options.getVersion = [] {
            return ::GetVersion();
        };
    if (!m_options.exitWindows)
        m_options.exitWindows = [](UINT flags, DWORD reason) {
            return ::ExitWindowsEx(flags, reason);
        };
    if (!m_options.tokenApi)
        m_options.tokenApi = createWin32TokenApi();
}

bool WindowsSystemActions::playAlarmSound(const std::string& soundFilePath, const MessageSink&,
                                          Playback playback) {
    // MCI answers at once: a sound it cannot play is a false result here.
    // Closes every device this program opened, which stops a sound that still plays.
    m_options.sendMciCommand(L"close all ");
    const std::wstring path = widen(soundFilePath);
    if (path.empty() || !isFile(path))
        return false;
    // MCI splits its commands at blanks, so the path goes in quotes, which also serves
    // volumes that have no short names; where there is a short form, it is still used.
    const std::wstring shortPath = m_options.shortPathOf(path);
    const std::wstring quoted = L"\"" + (shortPath.empty() ? path : shortPath) + L"\"";
    if (playback == Playback::UntilStopped) {
        // Only the MCI video device repeats; it plays wave and MP3 files too. Where it cannot
        // take the file, the sound plays once.
        if (m_options.sendMciCommand(L"open " + quoted + L" type mpegvideo alias tikko_ring") ==
            0) {
            if (m_options.sendMciCommand(L"play tikko_ring repeat") == 0)
                return true;
            m_options.sendMciCommand(L"close tikko_ring");
        }
    }
    return m_options.sendMciCommand(L"play " + quoted) == 0;
}

void WindowsSystemActions::stopAlarmSound() {
    m_options.sendMciCommand(L"close all ");
}

bool WindowsSystemActions::startProgram(const std::string& programPath) {
    const std::wstring program = widen(programPath);
    if (program.empty())
        return false;
    // Named as the program itself, the path is never split at its blanks (which could start
    // "C:\Program.exe" for "C:\Program Files\..."); the command line repeats it for the
    // program's own use.
    return m_options.createProcess(program, quoteArgument(program));
}

bool WindowsSystemActions::openInBrowser(const std::string& address) {
    const std::wstring url = widen(webAddress(address));
    if (url.empty())
        return false;
    const std::wstring folder = widen(getSystemFolder("IE"));
    const std::wstring browser = folder + L"\\IEXPLORE.EXE";
    if (!folder.empty() && isFile(browser)) {
        // The address goes as one argument, blanks and all.
        return m_options.createProcess(browser, quoteArgument(browser) + L" " + quoteArgument(url));
    }
    // Newer systems have no browser in that folder.
    return m_options.openDefaultBrowser(url);
}

std::string WindowsSystemActions::getSystemFolder(const std::string& selector) {
    if (selector != "IE" && selector != "WIN")
        return {};
    const std::wstring system = m_options.systemDirectory();
    const std::size_t cut = system.rfind(L'\\');
    if (cut == std::wstring::npos)
        return {};
    const std::wstring windows = system.substr(0, cut);
    if (selector == "WIN")
        return narrow(windows);
    // The drive root, as "C:\", of the Windows folder.
    return narrow(windows.substr(0, 3) + L"Program Files\\Internet Explorer");
}

Termination WindowsSystemActions::terminateProcessByName(const std::string& executableName) {
    const std::wstring wanted = widen(executableName);
    if (wanted.empty())
        return Termination::NotRunning;
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE)
        return Termination::NotEnded;
    const std::vector<BYTE> user = userOf(::GetCurrentProcess());
    Termination result = Termination::NotRunning;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32FirstW(snapshot, &entry); more;
         more = ::Process32NextW(snapshot, &entry)) {
        if (::CompareStringOrdinal(entry.szExeFile, -1, wanted.c_str(),
                                   static_cast<int>(wanted.size()), TRUE) != CSTR_EQUAL)
            continue;
        // The user's own processes only: run by an administrator, this must not end
        // another user's. One that cannot even be looked at is not the user's.
        const HANDLE process =
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
        if (!process)
            continue;
        const bool own = !user.empty() && userOf(process) == user;
        ::CloseHandle(process);
        if (!own)
            continue;
        // Only the first of them is ended.
        result = Termination::NotEnded;
        if (const HANDLE ending = ::OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            if (::TerminateProcess(ending, 0))
                result = Termination::Ended;
            ::CloseHandle(ending);
        }
        break;
    }
    ::CloseHandle(snapshot);
    return result;
}

void WindowsSystemActions::detectWindowsNT() {
    // The highest bit of the version is set on the Windows 9x family only.
    m_isWindowsNT = (m_options.getVersion() & 0x80000000u) == 0;
}

void WindowsSystemActions::enableShutdownPrivilege(const MessageSink& messages) {
    TokenApi& api = *m_options.tokenApi;
    // A call that succeeds may leave the last error code as it found it, so the code is
    // cleared before every step: each message then names the code of its own step.
    const auto report = [&messages](const char* step) {
        const DWORD code = ::GetLastError();
        if (code != 0 && messages)
            messages(step + std::to_string(code));
    };

    ::SetLastError(0);
    const HANDLE process = api.getCurrentProcess();
    report("GetCurrentProcess error==");

    ::SetLastError(0);
    HANDLE token = nullptr;
    api.openProcessToken(process, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token);
    report("OpenProcessToken error==");

    ::SetLastError(0);
    LUID shutdownPrivilege{};
    api.lookupPrivilegeValue(nullptr, "SeShutdownPrivilege", &shutdownPrivilege);
    report("LookupPrivilegeValue error==");

    ::SetLastError(0);
    TOKEN_PRIVILEGES wanted{};
    wanted.PrivilegeCount = 1;
    wanted.Privileges[0].Luid = shutdownPrivilege;
    wanted.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    TOKEN_PRIVILEGES previous{};
    DWORD previousSize = 0;
    // Succeeds with ERROR_NOT_ALL_ASSIGNED (1300) when the user lacks the privilege.
    api.adjustTokenPrivileges(token, &wanted, sizeof previous, &previous, &previousSize);
    report("AdjustTokenPrivileges error==");

    if (token)
        api.closeHandle(token);
}

bool WindowsSystemActions::shutDownComputer(const MessageSink& messages) {
    try {
        detectWindowsNT();
        if (m_isWindowsNT)
            enableShutdownPrivilege(messages);
        return m_options.exitWindows(EWX_SHUTDOWN, kAnyReason) != FALSE;
    } catch (...) {
        // A step that broke in the program itself, not a refusal by the system, which is
        // not reported: the forcing request is made instead.
        return forceShutDown(messages);
    }
}

bool WindowsSystemActions::forceShutDown(const MessageSink& messages) {
    // Every step that fails is passed over; the request is what matters.
    try {
        detectWindowsNT();
    } catch (...) {
    }
    try {
        if (m_isWindowsNT)
            enableShutdownPrivilege(messages);
    } catch (...) {
    }
    try {
        return m_options.exitWindows(EWX_SHUTDOWN | EWX_FORCE, kAnyReason) != FALSE;
    } catch (...) {
        return false;
    }
}

std::wstring WindowsSystemActions::autoStartValueName() const {
    const std::wstring& path = m_options.executablePath;
    const std::size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.erase(dot);
    return name;
}

std::wstring WindowsSystemActions::autoStartCommand() const {
    const std::wstring& path = m_options.executablePath;
    // The system reads the value as a command line: unquoted, "C:\Program Files\..." could
    // start "C:\Program.exe" at logon.
    return path.find_first_of(L" \t") == std::wstring::npos ? path : L"\"" + path + L"\"";
}

std::string WindowsSystemActions::autoStartAnsiData() const {
    std::string data;
    if (!toAnsi(autoStartCommand(), data))
        return {};
    data.push_back('\0'); // counted among the value's bytes
    return data;
}

bool WindowsSystemActions::enableAutoStart() {
    const std::wstring name = autoStartValueName();
    if (name.empty())
        return false;
    HKEY key = nullptr;
    if (::RegCreateKeyExA(m_options.runKeyRoot, m_options.runKeyPath.c_str(), 0, nullptr, 0,
                          KEY_SET_VALUE, nullptr, &key, nullptr) != ERROR_SUCCESS)
        return false;
    std::string ansiName;
    const std::string ansiData = autoStartAnsiData();
    LONG result = ERROR_SUCCESS;
    if (toAnsi(name, ansiName) && !ansiData.empty()) {
        result = ::RegSetValueExA(key, ansiName.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(ansiData.data()),
                                  static_cast<DWORD>(ansiData.size()));
    } else {
        // A path the ANSI code page cannot spell: the Unicode value keeps it intact.
        const std::wstring command = autoStartCommand();
        result = ::RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                  reinterpret_cast<const BYTE*>(command.c_str()),
                                  static_cast<DWORD>((command.size() + 1) * sizeof(wchar_t)));
    }
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS;
}

bool WindowsSystemActions::disableAutoStart() {
    const std::wstring name = autoStartValueName();
    if (name.empty())
        return false;
    HKEY key = nullptr;
    const std::string keyPath = m_options.runKeyPath + "\\";
    const LONG opened =
        ::RegOpenKeyExA(m_options.runKeyRoot, keyPath.c_str(), 0, KEY_SET_VALUE, &key);
    if (opened != ERROR_SUCCESS)
        return opened == ERROR_FILE_NOT_FOUND; // no key, no value to remove
    std::string ansiName;
    const LONG result = toAnsi(name, ansiName) ? ::RegDeleteValueA(key, ansiName.c_str())
                                               : ::RegDeleteValueW(key, name.c_str());
    ::RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND;
}

bool WindowsSystemActions::autoStartEntryExists() {
    const std::wstring name = autoStartValueName();
    const std::wstring key = widen(m_options.runKeyPath);
    DWORD size = 0;
    if (name.empty() || ::RegGetValueW(m_options.runKeyRoot, key.c_str(), name.c_str(),
                                       RRF_RT_REG_SZ, nullptr, nullptr, &size) != ERROR_SUCCESS)
        return false;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (::RegGetValueW(m_options.runKeyRoot, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr,
                       data.data(), &size) != ERROR_SUCCESS)
        return false;
    // A value that starts another copy (the program was moved) is not this one's entry.
    return ::CompareStringOrdinal(data.c_str(), -1, autoStartCommand().c_str(), -1, TRUE) ==
           CSTR_EQUAL;
}

std::unique_ptr<SystemActions> createSystemActions() {
    return std::make_unique<WindowsSystemActions>();
}

} // namespace tikko
