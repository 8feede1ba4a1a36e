#include "support/fake_clock.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"

#include <QDir>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tikko {
namespace {

using testing::at;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class StoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("alarm.ini")); }
};

TEST_F(StoreTest, EmptyListIsOneEmptyLineAndLoadsBackEmpty) {
    ASSERT_TRUE(saveStore(path(), {}));
    EXPECT_EQ(readAll(path()), QByteArray("\r\n"));
    EXPECT_TRUE(loadStore(path(), true, at("2026-01-01 00:00:00")).isEmpty());
}

TEST_F(StoreTest, RoundTripKeepsOrderAndTextsExactly) {
    const QStringList lines{
        "2026-12-08 10:05:00|声音提醒||",
        "2026-12-08 09:00:00|文本框提醒|生日提醒|",
        "2026-12-08 09:30:00|附加动作||运行软件:/opt/a b/c",
    };
    ASSERT_TRUE(saveStore(path(), lines));
    EXPECT_TRUE(readAll(path()).endsWith("||\r\n2026-12-08 09:00:00|文本框提醒|生日提醒|\r\n"
                                         "2026-12-08 09:30:00|附加动作||运行软件:/opt/a b/c\r\n"));
    EXPECT_EQ(loadStore(path(), true, at("2026-12-08 08:00:00")), lines);
    ASSERT_TRUE(saveStore(path(), {lines[2]}));
    EXPECT_EQ(loadStore(path(), true, at("2026-12-08 08:00:00")), QStringList{lines[2]});
}

TEST_F(StoreTest, MissingFileGivesAnEmptyList) {
    EXPECT_TRUE(loadStore(dir.filePath("nothing.ini"), false, at("2026-01-01 00:00:00")).isEmpty());
}

TEST(LoadRules, ThePresentMinuteStaysAndThePreviousMinuteHasExpired) {
    const QStringList lines{
        "2026-12-08 10:05:59|声音提醒||", // the present minute, later second
        "2026-12-08 10:04:59|声音提醒||", // one minute boundary ago
        "2026-12-08 10:06:00|声音提醒||", // next minute
    };
    const QDateTime now = at("2026-12-08 10:05:00");
    EXPECT_EQ(applyLoadRules(lines, true, now), (QStringList{lines[0], lines[2]}));
    EXPECT_EQ(applyLoadRules(lines, false, now), lines);
}

TEST(LoadRules, ExpiredShutdownIsAlwaysDroppedOtherActionsOnlyWithAutoClear) {
    const QStringList lines{
        "2026-12-08 09:00:00|附加动作||关闭QQ",
        "2026-12-08 09:00:00|附加动作||电脑关机",
        "2026-12-08 11:00:00|附加动作||电脑关机",
    };
    const QDateTime now = at("2026-12-08 10:00:00");
    EXPECT_EQ(applyLoadRules(lines, false, now), (QStringList{lines[0], lines[2]}));
    EXPECT_EQ(applyLoadRules(lines, true, now), (QStringList{lines[2]}));
}

TEST(LoadRules, TenCharactersAreSkippedElevenConsidered) {
    // Unreadable times are kept, so an 11-character line shows whether it was considered.
    const QStringList lines{"", "0123456789", "01234567890", "一二三四五六七八九十"};
    EXPECT_EQ(applyLoadRules(lines, true, at("2026-01-01 00:00:00")), QStringList{"01234567890"});
}

TEST(LoadRules, UnreadableLinesAreKeptAndDoNotStopTheRest) {
    const QStringList lines{
        "8 Dec 2026 10:00:00|声音提醒||",
        "garbage without bars",
        "2026-12-08 10:00:00",
        "2026-12-09 10:00:00|声音提醒||",
    };
    EXPECT_EQ(applyLoadRules(lines, true, at("2026-12-08 12:00:00")),
              (QStringList{lines[0], lines[1], lines[3]}));
}

TEST(StoreText, LinesEndAtCrCrLfOrLf) {
    EXPECT_EQ(splitStoreLines(QStringLiteral("a\r\nb\rc\nd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(splitStoreLines(QStringLiteral("a\r\n\r\n")), (QStringList{"a", ""}));
    EXPECT_TRUE(splitStoreLines(QString()).isEmpty());
}

TEST_F(StoreTest, AStoreFromChineseWindowsIsReadAsGb18030) {
    // "2026/12/9 8:00:00|文本框提醒|提醒|" as GBK bytes.
    QByteArray bytes("2026/12/9 8:00:00|");
    bytes += QStringEncoder("GB18030").encode(QStringLiteral("文本框提醒"));
    bytes += "|\xcc\xe1\xd0\xd1|\r\n";
    writeAll(path(), bytes);
    const QStringList lines = loadStore(path(), true, at("2026-12-09 07:00:00"));
    ASSERT_EQ(lines.size(), 1);
    const AlarmFields fields = splitAlarmLine(lines[0]);
    EXPECT_EQ(fields.type, reminder::Text);
    EXPECT_EQ(fields.prompt, QStringLiteral("提醒"));
}

TEST_F(StoreTest, Utf8IsReadAsUtf8AndWrittenAsUtf8) {
    ASSERT_TRUE(saveStore(path(), {"2026-12-09 08:00:00|文本框提醒|提醒|"}));
    EXPECT_TRUE(readAll(path()).contains("\xe6\x8f\x90\xe9\x86\x92")); // 提醒 in UTF-8
    EXPECT_EQ(decodeStore(readAll(path())),
              QStringLiteral("2026-12-09 08:00:00|文本框提醒|提醒|\r\n"));
}

TEST_F(StoreTest, AKilledWriteLeavesTheOldOrTheNewFileWhole) {
    QStringList oldLines, newLines;
    for (int i = 0; i < 20000; ++i) {
        oldLines.append(QStringLiteral("2030-01-01 10:00:00|文本框提醒|old %1|").arg(i));
        newLines.append(QStringLiteral("2030-01-01 11:00:00|声音提醒|new %1|").arg(i));
    }
    ASSERT_TRUE(saveStore(path(), oldLines));
    const QDateTime now = at("2026-01-01 00:00:00");
    for (int delayUs : {0, 300, 1000, 3000, 10000, 30000}) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (;;)
                saveStore(path(), newLines);
        }
        usleep(delayUs);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const QStringList loaded = loadStore(path(), false, now);
        EXPECT_TRUE(loaded == oldLines || loaded == newLines)
            << "killed after " << delayUs << " us";
    }
}

TEST_F(StoreTest, FailedWriteLeavesTheOldFile) {
    ASSERT_TRUE(saveStore(path(), {"2030-01-01 10:00:00|声音提醒||"}));
    EXPECT_FALSE(saveStore(dir.filePath("no/such/folder/alarm.ini"), {}));
    EXPECT_EQ(loadStore(path(), true, at("2026-01-01 00:00:00")).size(), 1);
}

TEST(StoreFolder, ProgramFolderWhenWritableOtherwiseTheFallbackCreated) {
    QTemporaryDir program, data;
    const QString fallback = data.filePath(QStringLiteral("Tikko/TikkoClock"));
    EXPECT_EQ(chooseStoreFolder(program.path(), fallback), program.path());
    // Not even root can create files in /proc.
    EXPECT_FALSE(isFolderWritable(QStringLiteral("/proc")));
    EXPECT_EQ(chooseStoreFolder(QStringLiteral("/proc"), fallback), fallback);
    EXPECT_TRUE(QDir(fallback).exists());
    EXPECT_FALSE(isFolderWritable(program.filePath("missing")));
}

} // namespace
} // namespace tikko
