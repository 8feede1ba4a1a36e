// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/system_actions.h"

#include <functional>
#include <memory>
#include <string>
#include <windows.h>

namespace tikko {

// The calls of the shutdown privilege steps. The steps look only at the thread's last error
// code after each call, so a replacement reports trouble through SetLastError.
class TokenApi {
public:
    virtual ~TokenApi() = default;
    virtual HANDLE getCurrentProcess() = 0;
    virtual BOOL openProcessToken(HANDLE process, DWORD access, HANDLE* token) = 0;
    virtual BOOL lookupPrivilegeValue(const char* systemName, const char* privilege,
                                      LUID* luid) = 0;
    virtual BOOL adjustTokenPrivileges(HANDLE token, TOKEN_PRIVILEGES* newState,
                                       DWORD previousStateSize, TOKEN_PRIVILEGES* previousState,
                                       DWORD* returnedSize) = 0;
    virtual void closeHandle(HANDLE handle) = 0;
};

// The system's own token calls.
std::unique_ptr<TokenApi> createWin32TokenApi();

// Where the backend meets the system. Every null function is the system's own call; tests
// replace those that must not really happen, above all exitWindows.
struct WindowsActionsOptions {
    std::wstring executablePath; // empty: the running executable
    HKEY runKeyRoot = HKEY_LOCAL_MACHINE;
    std::string runKeyPath = "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN";

    std::function<DWORD(const std::wstring& command)> sendMciCommand;
    std::function<std::wstring(const std::wstring& path)> shortPathOf; // empty: no short form
    std::function<std::wstring()> systemDirectory;
    // Starts `application` with that command line in a normal window with the focus.
    std::function<bool(const std::wstring& application, const std::wstring& commandLine)>
        createProcess;
    std::function<bool(const std::wstring& url)> openDefaultBrowser;
    std::function<DWORD()> getVersion;
    std::function<BOOL(UINT flags, DWORD reason)> exitWindows;
    std::unique_ptr<TokenApi> tokenApi;
};

class WindowsSystemActions final : public SystemActions {
public:
    explicit WindowsSystemActions(WindowsActionsOptions options = {});

    bool playAlarmSound(const std::string& soundFilePath, const MessageSink& errors = {},
                        Playback playback = Playback::Once) override;
    void stopAlarmSound() override;
    bool startProgram(const std::string& programPath) override;
    bool openInBrowser(const std::string& address) override;
    std::string getSystemFolder(const std::string& selector) override;
    Termination terminateProcessByName(const std::string& executableName) override;
    bool shutDownComputer(const MessageSink& messages) override;
    bool enableAutoStart() override;
    bool disableAutoStart() override;
    bool autoStartEntryExists() override;

    // The steps the shutdown is made of.
    void detectWindowsNT();
    bool isWindowsNT() const { return m_isWindowsNT; }
    void enableShutdownPrivilege(const MessageSink& messages);
    bool forceShutDown(const MessageSink& messages);

    // The name and the data of the Run value that enableAutoStart writes.
    std::wstring autoStartValueName() const;
    std::wstring autoStartCommand() const;
    // The command's bytes in the ANSI code page with the terminating zero, as they are
    // stored; empty where that code page cannot spell the command.
    std::string autoStartAnsiData() const;

private:
    WindowsActionsOptions m_options;
    bool m_isWindowsNT = false;
};

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);

// One command-line argument, quoted so that the C runtime and CommandLineToArgvW give it
// back unchanged.
std::wstring quoteArgument(const std::wstring& argument);

} // namespace tikko
