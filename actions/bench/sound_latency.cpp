// SPDX-License-Identifier: MIT
// Plays a sound through the system actions while `parec` records what reaches the sound
// server, and says at which recorded sample each play was called, so that a script can
// measure with sox how late each sound became audible and how much of it was heard. The
// time a play call itself takes (the player made at the first) counts as lateness.
//   alarm_sound_latency SOUND RECORDING.raw [PLAYS [SECONDS_BETWEEN]]
// The recording is raw signed 16-bit mono at 48000 Hz from the default source (a null
// sink's monitor when PULSE_SOURCE names it). Prints one line per play:
//   play N at-sample S returned R
#include "tikko/system_actions.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTimer>
#include <cstdio>

namespace {

constexpr int SampleRate = 48000;
constexpr int BytesPerSample = 2;

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: %s SOUND RECORDING.raw [PLAYS [SECONDS_BETWEEN]]\n", argv[0]);
        return 2;
    }
    const std::string sound = args[1].toStdString();
    QFile recording(args[2]);
    const int plays = args.size() > 3 ? args[3].toInt() : 1;
    const int between = args.size() > 4 ? args[4].toInt() : 12;
    if (!recording.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(args[2]));
        return 2;
    }

    qint64 bytes = 0;
    QElapsedTimer sinceFirst;
    QProcess parec;
    QObject::connect(&parec, &QProcess::readyReadStandardOutput, [&] {
        const QByteArray data = parec.readAllStandardOutput();
        if (bytes == 0)
            sinceFirst.start();
        bytes += data.size();
        recording.write(data);
    });
    parec.start(QStringLiteral("parec"),
                {QStringLiteral("--raw"), QStringLiteral("--format=s16le"),
                 QStringLiteral("--rate=%1").arg(SampleRate), QStringLiteral("--channels=1"),
                 QStringLiteral("--latency-msec=5")});
    if (!parec.waitForStarted()) {
        std::fprintf(stderr, "parec did not start\n");
        return 2;
    }

    const auto actions = tikko::createSystemActions();
    int played = 0;
    QTimer playTimer;
    const auto playOnce = [&] {
        parec.waitForReadyRead(0); // everything recorded so far is counted before the call
        const qint64 at = bytes / BytesPerSample;
        const bool started = actions->playAlarmSound(sound);
        std::printf("play %d at-sample %lld returned %d\n", ++played, static_cast<long long>(at),
                    started ? 1 : 0);
        std::fflush(stdout);
        if (played == plays) {
            playTimer.stop();
            QTimer::singleShot(between * 1000, [&] {
                parec.terminate();
                parec.waitForFinished();
                app.quit();
            });
        }
    };
    QObject::connect(&playTimer, &QTimer::timeout, playOnce);
    // A second of recorded silence first, then the plays.
    QTimer waitForSilence;
    QObject::connect(&waitForSilence, &QTimer::timeout, [&] {
        // The first samples arrive late: wait until the recording keeps pace with the clock.
        const qint64 recordedMs = bytes / BytesPerSample * 1000 / SampleRate;
        if (recordedMs < 1000 || sinceFirst.elapsed() - recordedMs > 20)
            return;
        waitForSilence.stop();
        playTimer.start(between * 1000);
        playOnce();
    });
    waitForSilence.start(10);
    return app.exec();
}
