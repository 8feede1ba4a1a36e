// SPDX-License-Identifier: MIT
#pragma once

#include "tikko/system_actions.h"

#include <chrono>
#include <functional>
#include <memory>
#include <string>

namespace tikko {

// The one alarm sound at a time. Tests put a recording player here, as a test machine has
// no sound device.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    // Ends the sound that plays, if any, and forgets it.
    virtual void stop() = 0;
    // Starts the file, once or until stopped, and returns at once; false when this player can
    // play nothing. A decoding failure that shows only later goes to `errors`.
    virtual bool play(const std::string& filePath, const MessageSink& errors,
                      Playback playback) = 0;
};

// The Qt Multimedia player on the default audio output, or a silent one where the media
// framework can decode nothing. Needs a Qt application object.
std::unique_ptr<MediaPlayer> createQtMediaPlayer();

struct LinuxActionsOptions {
    std::string executablePath;          // empty: the running executable
    std::unique_ptr<MediaPlayer> player; // null: the Qt player, made when first needed
    std::function<bool()> powerOff;      // null: the login manager's PowerOff on the system bus
    std::string urlOpener = "xdg-open";  // started with the address as its only argument
    // How long a process asked to end may take before it is killed.
    std::chrono::milliseconds terminationGrace{3000};
};

class LinuxSystemActions final : public SystemActions {
public:
    explicit LinuxSystemActions(LinuxActionsOptions options = {});

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

    // The XDG autostart entry that enableAutoStart writes; empty without an executable.
    std::string autoStartEntryPath() const;

private:
    MediaPlayer& player();
    std::string autoStartEntry() const;
    std::string autoStartExec() const; // the entry's Exec line

    LinuxActionsOptions m_options;
};

// Whether a process whose executable file is named `running` is one that
// terminateProcessByName(`asked`) ends: equal but for case, and "qq.exe" also names "qq".
bool executableNameMatches(const std::string& asked, const std::string& running);

// The path as the Exec key of a desktop entry holds it, quoted and escaped where needed.
std::string desktopEntryExecValue(const std::string& path);

} // namespace tikko
