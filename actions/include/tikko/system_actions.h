// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace tikko {

// Shows one message to the user. The shutdown's privilege steps are the only actions that
// have anything to tell; the caller decides how it is shown.
using MessageSink = std::function<void(const std::string& text)>;

// What terminateProcessByName achieved.
enum class Termination {
    Ended,      // one of the user's own processes with that name was ended
    NotRunning, // none of the user's own processes has that name
    NotEnded,   // the user's process with that name could not be ended
};

// How often playAlarmSound plays the file.
enum class Playback {
    Once,
    UntilStopped, // over and over until stopAlarmSound (or the next sound)
};

// What a firing alarm does outside the program. Paths, addresses and texts are UTF-8.
// Every action tells its caller whether it was carried out and shows nothing itself.
class SystemActions {
public:
    virtual ~SystemActions() = default;

    // Stops every sound this program plays, then starts the file without waiting, once or
    // until stopped. False when there is no readable file, or nothing here that could play it.
    // A player that fails only later, while it decodes, tells `errors` (from the event loop).
    virtual bool playAlarmSound(const std::string& soundFilePath, const MessageSink& errors = {},
                                Playback playback = Playback::Once) = 0;

    // Stops the sound that playAlarmSound started, if it still plays.
    virtual void stopAlarmSound() = 0;

    // Starts the program at that full path, without arguments, and does not wait for it.
    // False when it could not be started.
    virtual bool startProgram(const std::string& programPath) = 0;

    // Opens the address in the web browser; an address without a scheme is taken as http.
    virtual bool openInBrowser(const std::string& address) = 0;

    // "IE": the browser folder, "WIN": the Windows folder. Empty for any other selector and
    // where the platform has no such folder.
    virtual std::string getSystemFolder(const std::string& selector) = 0;

    // Ends the first process of the user running this program (never another user's) whose
    // executable file name is the given name, case ignored. A process that does not end
    // when asked is made to after a short grace; the call does not wait for that.
    virtual Termination terminateProcessByName(const std::string& executableName) = 0;

    // Asks the system to shut the computer down; privilege problems go to the sink.
    // True when the system took the request.
    virtual bool shutDownComputer(const MessageSink& messages) = 0;

    // Makes the running program start whenever the user logs on; false when the entry
    // could not be written.
    virtual bool enableAutoStart() = 0;

    // Undoes enableAutoStart; true also when there was nothing to remove.
    virtual bool disableAutoStart() = 0;

    // Whether the entry that enableAutoStart writes is there and starts this very program
    // (after the program was moved it is not).
    virtual bool autoStartEntryExists() = 0;
};

// The address as a browser is given it: "http://" goes before an address without a scheme
// (a bare host name). Empty for anything but an http or https address with a host.
std::string webAddress(const std::string& address);

// The real backend of this platform, acting for the running executable.
std::unique_ptr<SystemActions> createSystemActions();

} // namespace tikko
