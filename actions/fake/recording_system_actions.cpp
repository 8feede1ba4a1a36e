// SPDX-License-Identifier: MIT
#include "recording_system_actions.h"

#include <utility>

namespace tikko {

bool RecordingSystemActions::record(ActionKind kind, std::string argument) {
    m_calls.push_back({kind, std::move(argument)});
    const auto result = m_results.find(kind);
    return result == m_results.end() || result->second;
}

bool RecordingSystemActions::playAlarmSound(const std::string& soundFilePath,
                                            const MessageSink& errors, Playback playback) {
    m_lastPlayback = playback;
    const bool result = record(ActionKind::PlayAlarmSound, soundFilePath);
    if (errors && !m_soundError.empty())
        errors(m_soundError);
    return result;
}

void RecordingSystemActions::stopAlarmSound() {
    record(ActionKind::StopAlarmSound);
}

bool RecordingSystemActions::startProgram(const std::string& programPath) {
    return record(ActionKind::StartProgram, programPath);
}

bool RecordingSystemActions::openInBrowser(const std::string& address) {
    return record(ActionKind::OpenInBrowser, address);
}

std::string RecordingSystemActions::getSystemFolder(const std::string& selector) {
    record(ActionKind::GetSystemFolder, selector);
    const auto folder = m_folders.find(selector);
    return folder == m_folders.end() ? std::string() : folder->second;
}

Termination RecordingSystemActions::terminateProcessByName(const std::string& executableName) {
    record(ActionKind::TerminateProcessByName, executableName);
    return m_termination;
}

bool RecordingSystemActions::shutDownComputer(const MessageSink& messages) {
    const bool result = record(ActionKind::ShutDownComputer);
    if (messages) {
        for (const auto& message : m_shutdownMessages)
            messages(message);
    }
    return result;
}

bool RecordingSystemActions::enableAutoStart() {
    const bool written = record(ActionKind::EnableAutoStart);
    m_autoStartEntry = m_autoStartEntry || written;
    return written;
}

bool RecordingSystemActions::disableAutoStart() {
    const bool removed = record(ActionKind::DisableAutoStart);
    m_autoStartEntry = m_autoStartEntry && !removed;
    return removed;
}

bool RecordingSystemActions::autoStartEntryExists() {
    // A question, not an action: it changes nothing, so it is not among the calls.
    return m_autoStartEntry;
}

void RecordingSystemActions::setSystemFolder(const std::string& selector, std::string folder) {
    m_folders[selector] = std::move(folder);
}

void RecordingSystemActions::setShutdownMessages(std::vector<std::string> messages) {
    m_shutdownMessages = std::move(messages);
}

std::vector<ActionCall> RecordingSystemActions::callsOf(ActionKind kind) const {
    std::vector<ActionCall> selected;
    for (const auto& call : m_calls) {
        if (call.kind == kind)
            selected.push_back(call);
    }
    return selected;
}

} // namespace tikko
