// SPDX-License-Identifier: MIT
#include "tikko/remote/client.h"

#include "tikko/alarm/alarm_store.h"
#include "tikko/remote/alarm_requests.h"
#include "tikko/shell/single_instance.h"

#include <QDir>
#include <QSettings>
#include <cstdio>

namespace tikko {

namespace {

bool writeAll(std::FILE* stream, const QByteArray& bytes) {
    return std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream) ==
               static_cast<std::size_t>(bytes.size()) &&
           std::fflush(stream) == 0;
}

} // namespace

int deliverAnswer(const Request& request, const Answer& answer) {
    int status = answer.status;
    if (!answer.out.isEmpty()) {
        if (request.command == Request::Command::Export && !request.file.isEmpty()) {
            const SaveResult written = writeStoreFile(request.file, answer.out.toUtf8());
            if (!written.ok) {
                std::fprintf(stderr, "TikkoClock: 无法写入 %s：%s\n",
                             qPrintable(QDir::toNativeSeparators(request.file)),
                             qPrintable(written.reason));
                return 1;
            }
        } else if (!writeAll(stdout, answer.out.toUtf8())) {
            // A full disk or a closed pipe: never a cut-off output that looks like success.
            std::fprintf(stderr, "TikkoClock: 无法写出结果\n");
            status = 1;
        }
    }
    if (!answer.err.isEmpty())
        std::fprintf(stderr, "TikkoClock: %s\n", qPrintable(answer.err));
    return status;
}

int runClientRequest(const Request& request, const StoreLocation& store,
                     const QString& runtimeFolder, const Clock& clock) {
    SingleInstance instance(store.folder, runtimeFolder);
    QByteArray line;
    switch (instance.forward(request.toLine(), line)) {
    case SingleInstance::Claim::Holder: {
        // Nothing runs, and nothing starts while this lock is held.
        if (request.command == Request::Command::Quit)
            return deliverAnswer(request, {0, {}, QStringLiteral("TikkoClock 没有在运行"), 0});
        QSettings settings;
        StoreTarget target(store, settings);
        return deliverAnswer(request, runRequest(request, target, clock));
    }
    case SingleInstance::Claim::Answered:
        if (const auto answer = Answer::fromLine(line))
            return deliverAnswer(request, *answer);
        return deliverAnswer(
            request, Answer::failed(1, QStringLiteral("正在运行的 TikkoClock 给出了无法识别的"
                                                      "回答；它可能是旧版本，请重新启动它")));
    case SingleInstance::Claim::Shown:
    case SingleInstance::Claim::NotAnswering:
        break;
    }
    return deliverAnswer(request, Answer::failed(1, instance.notAnsweringMessage()));
}

} // namespace tikko
