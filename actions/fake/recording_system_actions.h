// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/system_actions.h"

#include <map>
#include <string>
#include <vector>

namespace tikko {

enum class ActionKind {
    PlayAlarmSound,
    StopAlarmSound,
    StartProgram,
    OpenInBrowser,
    GetSystemFolder,
    TerminateProcessByName,
    ShutDownComputer,
    EnableAutoStart,
    DisableAutoStart,
};

// One call as the fake saw it; the argument is empty for actions that take none.
struct ActionCall {
    ActionKind kind;
    std::string argument;

    bool operator==(const ActionCall&) const = default;
};

// Records every call in order and answers as programmed, for the tests of the code that
// decides when to act. Every action succeeds until a test says otherwise.
class RecordingSystemActions final : public SystemActions {
public:
    bool playAlarmSound(const std::string& soundFilePath, const MessageSink& errors = {},
                        Playback playback = Playback::Once) override;
    // How the last sound was to be played.
    Playback lastPlayback() const { return m_lastPlayback; }
    void stopAlarmSound() override;
    bool startProgram(const std::string& programPath) override;
    bool openInBrowser(const std::string& address) override;
    std::string getSystemFolder(const std::string& selector) override;
    Termination terminateProcessByName(const std::string& executableName) override;
    bool shutDownComputer(const MessageSink& messages) override;
    // The entry comes and goes with the calls that succeed, as a real one does.
    bool enableAutoStart() override;
    bool disableAutoStart() override;
    bool autoStartEntryExists() override;

    // What the action of that kind reports from now on.
    void setResult(ActionKind kind, bool result) { m_results[kind] = result; }
    // What terminateProcessByName reports from now on (Ended until set).
    void setTermination(Termination result) { m_termination = result; }
    void setAutoStartEntry(bool exists) { m_autoStartEntry = exists; }
    // What getSystemFolder answers for the selector (empty until set).
    void setSystemFolder(const std::string& selector, std::string folder);
    // What a sound that started reports to its error sink; nothing when empty.
    void setSoundError(std::string error) { m_soundError = std::move(error); }
    // Messages that shutDownComputer passes to its sink, in this order.
    void setShutdownMessages(std::vector<std::string> messages);

    const std::vector<ActionCall>& calls() const { return m_calls; }
    std::vector<ActionCall> callsOf(ActionKind kind) const;
    void clearCalls() { m_calls.clear(); }

private:
    bool record(ActionKind kind, std::string argument = {});

    std::vector<ActionCall> m_calls;
    std::map<ActionKind, bool> m_results;
    std::map<std::string, std::string> m_folders;
    std::vector<std::string> m_shutdownMessages;
    std::string m_soundError;
    Termination m_termination = Termination::Ended;
    bool m_autoStartEntry = false;
    Playback m_lastPlayback = Playback::Once;
};

} // namespace tikko
