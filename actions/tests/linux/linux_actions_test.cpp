// SPDX-License-Identifier: MIT
#include "linux_system_actions.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <optional>
#include <string>
#include <sys/file.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace tikko {
namespace {

class TempDir {
public:
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "tikko-actions-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern;
    }
    ~TempDir() {
        std::error_code ignored;
        fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeScript(const fs::path& path, const std::string& body) {
    std::ofstream(path) << "#!/bin/sh\n" << body;
    fs::permissions(path, fs::perms::owner_all);
}

// --- Ending processes by name, on copies of sleep that the test starts itself.

class TerminateByName : public ::testing::Test {
protected:
    // Unique to this test process, so that runs side by side never end each other's copies.
    const std::string base = "TikkoProbe" + std::to_string(::getpid());

    TerminateByName() { fs::permissions(dir(), fs::perms::owner_all | fs::perms::others_exec); }

    ~TerminateByName() override {
        for (const pid_t id : m_children) {
            ::kill(id, SIGKILL);
            ::waitpid(id, nullptr, 0);
        }
        if (m_lock >= 0)
            ::close(m_lock);
    }

    // For a name shared with other runs of this test: they take turns, so that one never
    // ends another's copies. False when a process of that name runs that no run of this
    // test started: it must not be ended.
    bool takeTurnForName(const std::string& name) {
        m_lock = ::open((fs::temp_directory_path() / ("tikko-actions-" + name + ".lock")).c_str(),
                        O_CREAT | O_RDWR | O_CLOEXEC, 0600);
        if (m_lock < 0 || ::flock(m_lock, LOCK_EX) != 0)
            return false;
        std::error_code error;
        for (const auto& entry : fs::directory_iterator("/proc", error)) {
            std::error_code unreadable;
            if (fs::read_symlink(entry.path() / "exe", unreadable).filename() == name)
                return false;
        }
        return true;
    }

    // Optionally ignoring SIGTERM, or as another user.
    pid_t start(const std::string& fileName, bool ignoreTerm = false,
                std::optional<uid_t> user = {}) {
        const fs::path copy = dir() / fileName;
        if (!fs::exists(copy)) {
            fs::copy_file("/bin/sleep", copy);
            fs::permissions(copy, fs::perms::owner_all | fs::perms::others_exec);
        }
        std::string name = fileName, seconds = "60";
        char* argv[] = {name.data(), seconds.data(), nullptr};
        const pid_t id = ::fork();
        if (id < 0)
            throw std::runtime_error("fork failed");
        if (id == 0) {
            // Only calls that are safe between fork and exec.
            if (ignoreTerm)
                ::signal(SIGTERM, SIG_IGN); // kept across exec
            if (user && (::setgid(*user) != 0 || ::setuid(*user) != 0))
                ::_exit(127);
            ::execv(copy.c_str(), argv);
            ::_exit(127);
        }
        m_children.push_back(id);
        // Returns once the child runs the copy, as the tests that follow rely on.
        const fs::path exe = "/proc/" + std::to_string(id) + "/exe";
        for (int tries = 0; tries < 1000; ++tries, std::this_thread::sleep_for(2ms)) {
            std::error_code error;
            if (fs::read_symlink(exe, error).filename() == fileName)
                break;
        }
        return id;
    }

    // Reaps the child if it ends within a few seconds; the signal that ended it, else 0.
    int endedBy(pid_t id) {
        for (int tries = 0; tries < 1000; ++tries, std::this_thread::sleep_for(5ms)) {
            int status = 0;
            if (::waitpid(id, &status, WNOHANG) == id) {
                std::erase(m_children, id);
                return WIFSIGNALED(status) ? WTERMSIG(status) : 0;
            }
        }
        return 0;
    }

    bool running(pid_t id) {
        std::this_thread::sleep_for(100ms); // time for a stray signal to land
        return ::waitpid(id, nullptr, WNOHANG) == 0;
    }

    const fs::path& dir() const { return m_dir.path(); }

    LinuxSystemActions actions{[] {
        LinuxActionsOptions options;
        options.terminationGrace = 1s;
        return options;
    }()};

private:
    TempDir m_dir;
    std::vector<pid_t> m_children;
    int m_lock = -1;
};

TEST_F(TerminateByName, EndsOnlyTheLowerPidOfTwoCopiesWhateverTheCase) {
    const pid_t first = start(base + ".exe");
    const pid_t second = start(base + ".exe");
    std::string shouted = base + ".EXE";
    std::transform(shouted.begin(), shouted.end(), shouted.begin(), ::toupper);

    EXPECT_EQ(actions.terminateProcessByName(shouted), Termination::Ended);

    EXPECT_EQ(endedBy(std::min(first, second)), SIGTERM);
    EXPECT_TRUE(running(std::max(first, second)));
}

TEST_F(TerminateByName, NamesThatOnlyContainTheNameAreLeftAlone) {
    const pid_t prefixed = start("My" + base + ".exe");
    const pid_t suffixed = start(base + ".exe.bak");

    EXPECT_EQ(actions.terminateProcessByName(base + ".exe"), Termination::NotRunning);
    EXPECT_EQ(actions.terminateProcessByName(base), Termination::NotRunning);

    EXPECT_TRUE(running(prefixed));
    EXPECT_TRUE(running(suffixed));
}

TEST_F(TerminateByName, WindowsNameEndsTheProgramWithoutItsEndingEvenWhenReplaced) {
    const pid_t program = start(base);
    fs::remove(dir() / base); // as an update does while the program runs

    EXPECT_EQ(actions.terminateProcessByName(base + ".exe"), Termination::Ended);

    EXPECT_EQ(endedBy(program), SIGTERM);
}

// "关闭QQ" itself, on copies named qq.
TEST_F(TerminateByName, QqThatIgnoresTheRequestIsKilledAndAnotherUsersQqIsLeftAlone) {
    if (!takeTurnForName("qq"))
        GTEST_SKIP() << "a qq that this test did not start is running";
    const bool root = ::geteuid() == 0;
    // Started first, so that it would come first if another user's process counted.
    const pid_t nobodys = root ? start("qq", false, 65534) : 0;
    const pid_t stubborn = start("qq", true);

    EXPECT_EQ(actions.terminateProcessByName("qq.exe"), Termination::Ended);
    EXPECT_TRUE(running(stubborn)) << "killed without its grace";
    EXPECT_EQ(endedBy(stubborn), SIGKILL);
    EXPECT_EQ(actions.terminateProcessByName("qq.exe"), Termination::NotRunning);
    if (root) {
        EXPECT_TRUE(running(nobodys));
    }
}

// --- Starting programs.

TEST(StartProgram, PathWithBlanksIsTheProgramAndNeverSplit) {
    TempDir dir;
    const fs::path log = dir.path() / "started";
    fs::create_directory(dir.path() / "Tikko Probe");
    writeScript(dir.path() / "Tikko Probe" / "probe", "echo probe >> '" + log.string() + "'\n");
    // What a command line split at the blank would start instead.
    writeScript(dir.path() / "Tikko", "echo decoy >> '" + log.string() + "'\n");

    EXPECT_TRUE(LinuxSystemActions().startProgram((dir.path() / "Tikko Probe" / "probe").string()));

    for (int tries = 0; tries < 1000 && !fs::exists(log); ++tries)
        std::this_thread::sleep_for(10ms);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(readFile(log), "probe\n");
}

TEST(StartProgram, ProgramThatCannotStartIsReported) {
    TempDir dir;
    std::ofstream(dir.path() / "notes.txt") << "not a program\n";
    LinuxSystemActions actions;

    EXPECT_FALSE(actions.startProgram((dir.path() / "no such program").string()));
    EXPECT_FALSE(actions.startProgram((dir.path() / "notes.txt").string()));
}

TEST(WebAddress, BareHostsBecomeHttpAndOnlyWebAddressesPass) {
    EXPECT_EQ(webAddress("www.example.com/farm game"), "http://www.example.com/farm game");
    EXPECT_EQ(webAddress("https://ads.example.com/ad-tc.asp"), "https://ads.example.com/ad-tc.asp");
    for (const char* refused : {"file:///etc/passwd", "/etc/passwd", "C:\\windows\\notepad.exe",
                                "http://", "www.example.com\n--new-window", ""})
        EXPECT_EQ(webAddress(refused), "") << refused;
}

// --- Auto-start.

TEST(AutoStart, EntryIsWrittenQuotedFoundAndRemovedAndFailuresAreReported) {
    TempDir dir;
    // Set here, whatever the environment brings, so that no test touches a real login.
    ::setenv("XDG_CONFIG_HOME", (dir.path() / "config").c_str(), 1);
    const auto actionsFor = [](const std::string& executable) {
        LinuxActionsOptions options;
        options.executablePath = executable;
        return LinuxSystemActions(std::move(options));
    };
    const std::string executable = (dir.path() / "Tikko Apps" / "TikkoClock").string();
    LinuxSystemActions actions = actionsFor(executable);
    const fs::path entry = dir.path() / "config" / "autostart" / "TikkoClock.desktop";

    EXPECT_FALSE(actions.autoStartEntryExists());
    ASSERT_TRUE(actions.enableAutoStart());
    EXPECT_TRUE(actions.autoStartEntryExists());
    const std::string contents = readFile(entry);
    EXPECT_TRUE(contents.starts_with("[Desktop Entry]\nType=Application\n")) << contents;
    EXPECT_NE(contents.find("\nExec=\"" + executable + "\"\n"), std::string::npos) << contents;
    // Once the program is gone, the desktop skips the entry.
    EXPECT_NE(contents.find("\nTryExec=" + executable + "\n"), std::string::npos) << contents;
    const std::string validator = TIKKO_DESKTOP_FILE_VALIDATE;
    if (!validator.empty()) {
        const std::string command = validator + " '" + entry.string() + "'";
        EXPECT_EQ(std::system(command.c_str()), 0) << contents;
    }
    // The program moved: the entry left behind starts nothing, so it is not this one's.
    EXPECT_FALSE(actionsFor((dir.path() / "moved" / "TikkoClock").string()).autoStartEntryExists());

    EXPECT_TRUE(actions.disableAutoStart());
    EXPECT_FALSE(fs::exists(entry));
    EXPECT_FALSE(actions.autoStartEntryExists());
    EXPECT_TRUE(actions.disableAutoStart()) << "nothing left to remove is no failure";

    // What cannot be written or removed says so, also to root: a file where the folder
    // belongs, a folder where the entry belongs.
    fs::remove_all(dir.path() / "config" / "autostart");
    std::ofstream(dir.path() / "config" / "autostart") << "";
    EXPECT_FALSE(actions.enableAutoStart());
    fs::remove(dir.path() / "config" / "autostart");
    fs::create_directories(entry / "inside");
    EXPECT_FALSE(actions.disableAutoStart());

    ::unsetenv("XDG_CONFIG_HOME");
}

TEST(DesktopEntryExecValue, QuotesAndEscapesWhatTheFormatReserves) {
    EXPECT_EQ(desktopEntryExecValue("/opt/tikko/TikkoClock"), "/opt/tikko/TikkoClock");
    EXPECT_EQ(desktopEntryExecValue("/opt/100%/tikko"), "/opt/100%%/tikko");
    // Escaped once for the quoted argument, then each backslash again for the string value.
    EXPECT_EQ(desktopEntryExecValue("/opt/a$b/tikko"), "\"/opt/a\\\\$b/tikko\"");
    EXPECT_EQ(desktopEntryExecValue("/opt/a\\b/tikko"), "\"/opt/a\\\\\\\\b/tikko\"");
}

// --- The alarm sound, with a player that only records, as there is no sound device here.

class RecordingPlayer final : public MediaPlayer {
public:
    explicit RecordingPlayer(std::vector<std::string>& events)
        : m_events(events) {}
    void stop() override { m_events.push_back("stop"); }
    bool play(const std::string& filePath, const MessageSink& errors, Playback playback) override {
        m_events.push_back((playback == Playback::Once ? "play " : "ring ") + filePath);
        if (errors)
            errors("cannot decode");
        return true;
    }

private:
    std::vector<std::string>& m_events;
};

TEST(AlarmSound, EachSoundStopsTheLastAndAMissingFilePlaysNothing) {
    TempDir dir;
    const std::string first = (dir.path() / "alarm one.wav").string();
    const std::string second = (dir.path() / "闹钟.mp3").string();
    std::ofstream(first) << "RIFF";
    std::ofstream(second) << "ID3";
    std::vector<std::string> events;
    LinuxActionsOptions options;
    options.player = std::make_unique<RecordingPlayer>(events);
    LinuxSystemActions actions(std::move(options));

    EXPECT_TRUE(actions.playAlarmSound(first));
    EXPECT_TRUE(actions.playAlarmSound(second, {}, Playback::UntilStopped));
    EXPECT_FALSE(actions.playAlarmSound((dir.path() / "gone.wav").string()));
    EXPECT_FALSE(actions.playAlarmSound(dir.path().string()));

    actions.stopAlarmSound(); // the reminder was dismissed
    EXPECT_EQ(events, (std::vector<std::string>{"stop", "play " + first, "stop", "ring " + second,
                                                "stop", "stop", "stop"}));
    // A trial sound hears what the player says; the alarm's own sound stays silent.
    std::vector<std::string> said;
    EXPECT_TRUE(actions.playAlarmSound(first, [&](const std::string& e) { said.push_back(e); }));
    EXPECT_EQ(said, std::vector<std::string>{"cannot decode"});
}

} // namespace
} // namespace tikko
