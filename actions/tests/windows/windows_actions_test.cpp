// SPDX-License-Identifier: MIT
#include "windows_system_actions.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <shellapi.h>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace tikko {
namespace {

bool sameText(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
}

class TempDir {
public:
    TempDir() {
        static int made = 0;
        m_path = fs::temp_directory_path() / (L"tikko-" + std::to_wstring(GetCurrentProcessId()) +
                                              L"-" + std::to_wstring(++made));
        fs::create_directories(m_path);
    }
    ~TempDir() {
        // A program started from here may take a moment to let go of its file.
        std::error_code error;
        for (int tries = 0; tries < 100 && (fs::remove_all(m_path, error), error); ++tries)
            Sleep(20);
    }
    fs::path operator/(const wchar_t* name) const { return m_path / name; }

private:
    fs::path m_path;
};

fs::path probeProgram() {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return fs::path(self).parent_path() / L"tikko_probe.exe";
}

// Every backend here has the shutdown request replaced, so that no test can end the session.
WindowsActionsOptions safeOptions() {
    WindowsActionsOptions options;
    options.exitWindows = [](UINT, DWORD) {
        ADD_FAILURE() << "the real shutdown was about to be requested";
        return FALSE;
    };
    return options;
}

TEST(RunValue, NamedAfterTheProgramQuotedWhereNeededCountedWithItsZeroAndRemoved) {
    // The machine's own key is safe in Wine's throw-away prefix; elsewhere a key of the test's.
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    const bool wine = GetProcAddress(ntdll, "wine_get_version") != nullptr;
    const HKEY root = wine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
    const std::string key = wine ? "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\RUN"
                                 : "Software\\TikkoClockTests\\Run";
    const auto actionsAt = [&](const std::wstring& executable) {
        WindowsActionsOptions options = safeOptions();
        options.executablePath = executable;
        options.runKeyRoot = root;
        options.runKeyPath = key;
        return WindowsSystemActions(std::move(options));
    };
    const auto stored = [&](const std::wstring& executable) {
        WindowsSystemActions actions = actionsAt(executable);
        EXPECT_FALSE(actions.autoStartEntryExists());
        EXPECT_TRUE(actions.enableAutoStart());
        EXPECT_TRUE(actions.autoStartEntryExists());
        DWORD type = 0;
        wchar_t data[256] = {};
        DWORD size = sizeof data;
        RegGetValueW(root, widen(key).c_str(), L"TikkoClock", RRF_RT_ANY, &type, data, &size);
        EXPECT_TRUE(actions.disableAutoStart());
        EXPECT_FALSE(actions.autoStartEntryExists());
        EXPECT_NE(
            RegGetValueA(root, key.c_str(), "TikkoClock", RRF_RT_ANY, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
        EXPECT_TRUE(actions.disableAutoStart()) << "nothing left to remove is no failure";
        return std::tuple(type, std::wstring(data), actions.autoStartAnsiData());
    };

    // Wine mends a missing terminator itself, so the stored bytes are checked as handed over.
    const std::string quoted = "\"C:\\Program Files\\Tikko\\TikkoClock.exe\"";
    EXPECT_EQ(stored(L"C:\\Program Files\\Tikko\\TikkoClock.exe"),
              std::tuple(DWORD{REG_SZ}, widen(quoted), std::string(quoted + '\0')));
    const std::string plain = "C:\\Tikko\\TikkoClock.exe";
    EXPECT_EQ(stored(widen(plain)), std::tuple(DWORD{REG_SZ}, widen(plain), plain + '\0'));
    // Beyond the ANSI code page the path must still come back whole.
    EXPECT_EQ(std::get<1>(stored(L"C:\\\u95f9\u949f\\TikkoClock.exe")),
              L"C:\\\u95f9\u949f\\TikkoClock.exe");
    // A value left by a copy elsewhere (the program was moved) is not this one's entry.
    WindowsSystemActions old = actionsAt(L"C:\\Old\\TikkoClock.exe");
    ASSERT_TRUE(old.enableAutoStart());
    EXPECT_FALSE(actionsAt(L"C:\\New\\TikkoClock.exe").autoStartEntryExists());
    EXPECT_TRUE(old.disableAutoStart());
    // A key that cannot be opened says so, for writing and for removing.
    WindowsActionsOptions refused = safeOptions();
    refused.runKeyRoot = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x7654));
    WindowsSystemActions nowhere(std::move(refused));
    EXPECT_FALSE(nowhere.enableAutoStart());
    EXPECT_FALSE(nowhere.disableAutoStart());
    if (!wine)
        RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\TikkoClockTests");
}

TEST(SystemFolder, FoldersComeFromTheSystemDirectoryAndItsDrive) {
    WindowsActionsOptions options = safeOptions();
    options.systemDirectory = [] {
        return std::wstring(L"D:\\WINNT\\system32");
    };
    WindowsSystemActions actions(std::move(options));

    EXPECT_EQ(actions.getSystemFolder("WIN"), "D:\\WINNT");
    EXPECT_EQ(actions.getSystemFolder("IE"), "D:\\Program Files\\Internet Explorer");
    for (const char* other : {"ie", "Win", "", "SYSTEM"})
        EXPECT_EQ(actions.getSystemFolder(other), "") << other;
}

// Copies of the probe that the test starts itself, ended and reaped whatever happens.
class TerminateByName : public ::testing::Test {
protected:
    ~TerminateByName() override {
        for (const HANDLE process : m_children) {
            TerminateProcess(process, 1);
            WaitForSingleObject(process, 10000);
            CloseHandle(process);
        }
    }

    HANDLE start(const wchar_t* fileName) {
        const fs::path copy = m_dir / fileName;
        if (!fs::exists(copy))
            fs::copy_file(probeProgram(), copy);
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::wstring line = quoteArgument(copy.wstring());
        if (!CreateProcessW(copy.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process))
            throw std::runtime_error("could not start the probe");
        CloseHandle(process.hThread);
        return m_children.emplace_back(process.hProcess);
    }

    WindowsSystemActions actions{safeOptions()};

private:
    TempDir m_dir;
    std::vector<HANDLE> m_children;
};

TEST_F(TerminateByName, EndsExactlyOneOfTwoCopiesWhateverTheCase) {
    HANDLE both[] = {start(L"TikkoProbe.exe"), start(L"TikkoProbe.exe")};

    EXPECT_EQ(actions.terminateProcessByName("tIKKOpROBE.EXE"), Termination::Ended);

    const DWORD ended = WaitForMultipleObjects(2, both, FALSE, 10000) - WAIT_OBJECT_0;
    ASSERT_LT(ended, 2u) << "neither copy ended";
    DWORD code = 0;
    GetExitCodeProcess(both[ended], &code);
    EXPECT_EQ(code, 0u) << "ended by its natural end, not by the call";
    EXPECT_EQ(WaitForSingleObject(both[1 - ended], 500), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST_F(TerminateByName, NamesThatOnlyContainTheNameAreLeftAlone) {
    HANDLE both[] = {start(L"MyTikkoProbe.exe"), start(L"TikkoProbe.exe.bak")};

    EXPECT_EQ(actions.terminateProcessByName("TikkoProbe.exe"), Termination::NotRunning);

    EXPECT_EQ(WaitForMultipleObjects(2, both, FALSE, 500), static_cast<DWORD>(WAIT_TIMEOUT));
}

TEST(StartProgram, PathWithBlanksStartsThatProgramAndNoShorterOneAndFailuresAreReported) {
    TempDir dir;
    fs::create_directory(dir / L"Tikko Probe");
    const fs::path program = dir / L"Tikko Probe\\TikkoProbe.exe";
    fs::copy_file(probeProgram(), program);
    // What the system would start for the unquoted command line.
    fs::copy_file(probeProgram(), dir / L"Tikko.exe");
    std::ofstream(dir / L"notes.txt") << "not a program\n";
    const fs::path log = dir / L"started.txt";
    SetEnvironmentVariableW(L"TIKKO_PROBE_LOG", log.c_str());
    SetEnvironmentVariableW(L"TIKKO_PROBE_SECONDS", L"0");
    WindowsSystemActions actions(safeOptions());

    EXPECT_FALSE(actions.startProgram(narrow((dir / L"no such program.exe").wstring())));
    EXPECT_FALSE(actions.startProgram(narrow((dir / L"notes.txt").wstring())));
    EXPECT_TRUE(actions.startProgram(narrow(program.wstring())));

    std::string started;
    for (int tries = 0; tries < 500 && !started.ends_with('\n'); ++tries, Sleep(20)) {
        std::ifstream in(log, std::ios::binary);
        started.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    SetEnvironmentVariableW(L"TIKKO_PROBE_LOG", nullptr);
    SetEnvironmentVariableW(L"TIKKO_PROBE_SECONDS", nullptr);
    EXPECT_TRUE(sameText(widen(started), program.wstring() + L"\n")) << started;
}

TEST(OpenInBrowser, AddressGoesAsOneArgumentAndOnlyWebAddressesGo) {
    std::vector<std::wstring> launched;
    std::vector<std::wstring> opened;
    std::wstring systemDirectory(MAX_PATH, L'\0');
    systemDirectory.resize(GetSystemDirectoryW(systemDirectory.data(), MAX_PATH));
    WindowsActionsOptions options = safeOptions();
    options.systemDirectory = [&] {
        return systemDirectory;
    };
    options.createProcess = [&](const std::wstring& application, const std::wstring& line) {
        int count = 0;
        LPWSTR* arguments = CommandLineToArgvW(line.c_str(), &count);
        launched.assign(arguments, arguments + count);
        launched.insert(launched.begin(), application);
        LocalFree(arguments);
        return true;
    };
    options.openDefaultBrowser = [&](const std::wstring& url) {
        opened.push_back(url);
        return true;
    };
    WindowsSystemActions actions(std::move(options));

    // Wine, like older Windows, has a browser in the browser folder.
    const std::wstring browser = widen(actions.getSystemFolder("IE")) + L"\\IEXPLORE.EXE";
    if (GetFileAttributesW(browser.c_str()) != INVALID_FILE_ATTRIBUTES) {
        EXPECT_TRUE(actions.openInBrowser("www.example.com/farm game.asp"));
        EXPECT_EQ(launched, (std::vector<std::wstring>{browser, browser,
                                                       L"http://www.example.com/farm game.asp"}));
    }
    // Without one, the default browser opens web addresses and nothing else.
    systemDirectory = L"Q:\\WINDOWS\\system32";
    launched.clear();
    EXPECT_TRUE(actions.openInBrowser("www.example.com"));
    EXPECT_FALSE(actions.openInBrowser("file:///C:/windows/win.ini"));
    EXPECT_TRUE(launched.empty());
    EXPECT_EQ(opened, std::vector<std::wstring>{L"http://www.example.com"});
}

TEST(AlarmSound, PathWithBlanksGoesQuotedAndEachSoundClosesTheLast) {
    TempDir dir;
    fs::create_directory(dir / L"Alarm Sounds");
    const std::wstring first = (dir / L"Alarm Sounds\\alarm clock.wav").wstring();
    const std::wstring second = (dir / L"Alarm Sounds\\second alarm.mid").wstring();
    std::ofstream(fs::path(first)) << "RIFF";
    std::ofstream(fs::path(second)) << "MThd";
    std::vector<std::wstring> commands;
    WindowsActionsOptions options = safeOptions();
    options.sendMciCommand = [&](const std::wstring& command) {
        commands.push_back(command);
        return DWORD{0};
    };
    WindowsSystemActions withShortNames(std::move(options));

    // Where the volume has short names the short form goes, quoted all the same.
    EXPECT_TRUE(withShortNames.playAlarmSound(narrow(first)));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], L"close all ");
    ASSERT_TRUE(commands[1].starts_with(L"play \"") && commands[1].ends_with(L"\""));
    wchar_t played[MAX_PATH] = {}, expected[MAX_PATH] = {};
    GetLongPathNameW(commands[1].substr(6, commands[1].size() - 7).c_str(), played, MAX_PATH);
    GetLongPathNameW(first.c_str(), expected, MAX_PATH);
    EXPECT_TRUE(sameText(played, expected)) << narrow(commands[1]);

    // Where it has none, the long path goes in quotes.
    options = safeOptions();
    options.sendMciCommand = [&](const std::wstring& command) {
        commands.push_back(command);
        return DWORD{0};
    };
    options.shortPathOf = [](const std::wstring&) {
        return std::wstring();
    };
    WindowsSystemActions withoutShortNames(std::move(options));
    commands.clear();
    EXPECT_TRUE(withoutShortNames.playAlarmSound(narrow(first)));
    EXPECT_TRUE(withoutShortNames.playAlarmSound(narrow(second)));
    EXPECT_FALSE(withoutShortNames.playAlarmSound(narrow((dir / L"gone.wav").wstring())));
    withoutShortNames.stopAlarmSound(); // the reminder was dismissed
    EXPECT_EQ(commands, (std::vector<std::wstring>{L"close all ", L"play \"" + first + L"\"",
                                                   L"close all ", L"play \"" + second + L"\"",
                                                   L"close all ", L"close all "}));
}

// Token calls that fail with the codes a test gives, one for each step.
class ScriptedTokenApi final : public TokenApi {
public:
    explicit ScriptedTokenApi(std::vector<DWORD> errors, int& steps)
        : m_errors(std::move(errors))
        , m_steps(steps) {}
    HANDLE getCurrentProcess() override { return fail(0) ? GetCurrentProcess() : nullptr; }
    BOOL openProcessToken(HANDLE, DWORD, HANDLE* token) override {
        return *token = nullptr, fail(1);
    }
    BOOL lookupPrivilegeValue(const char*, const char*, LUID*) override { return fail(2); }
    BOOL adjustTokenPrivileges(HANDLE, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES*,
                               DWORD*) override {
        return fail(3);
    }
    void closeHandle(HANDLE) override {}

private:
    BOOL fail(std::size_t step) {
        ++m_steps;
        if (m_errors[step] != 0)
            SetLastError(m_errors[step]);
        return m_errors[step] == 0;
    }
    std::vector<DWORD> m_errors;
    int& m_steps;
};

struct ShutDownRun {
    std::vector<std::string> messages;
    std::vector<std::pair<UINT, DWORD>> requests;
    int steps = 0;
};

ShutDownRun shutDown(std::vector<DWORD> errors, DWORD version = 0x23f00206,
                     bool brokenSink = false) {
    ShutDownRun run;
    WindowsActionsOptions options;
    options.tokenApi = std::make_unique<ScriptedTokenApi>(std::move(errors), run.steps);
    options.getVersion = [version] {
        return version;
    };
    options.exitWindows = [&run](UINT flags, DWORD reason) {
        run.requests.emplace_back(flags, reason);
        return TRUE;
    };
    WindowsSystemActions(std::move(options)).shutDownComputer([&](const std::string& message) {
        if (brokenSink)
            throw std::runtime_error("no window to show it in");
        run.messages.push_back(message);
    });
    return run;
}

const std::vector<std::pair<UINT, DWORD>> kShutdown = {{EWX_SHUTDOWN, 0xFFFFFFFF}};

TEST(ShutDown, EveryFailingPrivilegeStepShowsItsOwnCodeAndTheRequestIsStillMade) {
    const ShutDownRun all = shutDown({87, 5, 1313, 1300});
    EXPECT_EQ(all.messages,
              (std::vector<std::string>{"GetCurrentProcess error==87", "OpenProcessToken error==5",
                                        "LookupPrivilegeValue error==1313",
                                        "AdjustTokenPrivileges error==1300"}));
    EXPECT_EQ(all.requests, kShutdown);

    // A step's code is not passed on to the steps that succeed after it.
    const ShutDownRun one = shutDown({0, 5, 0, 0});
    EXPECT_EQ(one.messages, std::vector<std::string>{"OpenProcessToken error==5"});
    EXPECT_EQ(one.steps, 4);
    EXPECT_EQ(one.requests, kShutdown);
}

TEST(ShutDown, Windows9xTakesNoPrivilegeStepAndABrokenStepForcesTheShutdown) {
    const ShutDownRun old = shutDown({87, 5, 1313, 1300}, 0xC0000A04);
    EXPECT_EQ(old.steps, 0);
    EXPECT_TRUE(old.messages.empty());
    EXPECT_EQ(old.requests, kShutdown);

    const ShutDownRun broken = shutDown({0, 0, 0, 1300}, 0x23f00206, true);
    EXPECT_EQ(broken.requests,
              (std::vector<std::pair<UINT, DWORD>>{{EWX_SHUTDOWN | EWX_FORCE, 0xFFFFFFFF}}));
}

} // namespace
} // namespace tikko
