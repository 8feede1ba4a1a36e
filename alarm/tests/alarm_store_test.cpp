// SPDX-License-Identifier: MIT
#include "support/fake_clock.h"
#include "support/file_system.h"
#include "tikko/alarm/alarm_line.h"
#include "tikko/alarm/alarm_store.h"
#include "tikko/alarm/program_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

QString dataFile(const char* name) {
    return QStringLiteral(TIKKO_STORE_DATA_DIR "/") + QLatin1String(name);
}

QByteArray data(const char* name) {
    const QByteArray bytes = readAll(dataFile(name));
    EXPECT_FALSE(bytes.isEmpty()) << name;
    return bytes;
}

StoreLines linesOf(const QList<MissedAlarm>& missed) {
    StoreLines lines;
    for (const MissedAlarm& one : missed)
        lines.append(one.alarm.storeLine());
    return lines;
}

// Lines as raw bytes, split at CR LF, for line-by-line comparisons of two files.
QList<QByteArray> rawLines(const QByteArray& bytes) {
    QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray& line : lines)
        line.chop(line.endsWith('\r') ? 1 : 0);
    return lines;
}

class StoreTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path() const { return dir.filePath(QStringLiteral("alarm.ini")); }

    // Loads a store file as the program does at start-up and saves it straight back.
    QByteArray loadAndSave(const QByteArray& bytes, const QDateTime& now) {
        writeAll(path(), bytes);
        const LoadedStore loaded = loadStore(path(), true, now);
        EXPECT_TRUE(saveStore(path(), loaded.lines()));
        return readAll(path());
    }
};

TEST_F(StoreTest, EmptyListIsOneEmptyLineAndLoadsBackEmpty) {
    ASSERT_TRUE(saveStore(path(), StoreLines{}));
    EXPECT_EQ(readAll(path()), QByteArray("\r\n"));
    EXPECT_TRUE(loadStore(path(), true, at("2026-01-01 00:00:00")).lines().isEmpty());
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
    EXPECT_EQ(textsOf(loadStore(path(), true, at("2026-12-08 08:00:00")).lines()), lines);
}

TEST_F(StoreTest, MissingFileGivesAnEmptyListAndNoError) {
    const LoadedStore loaded = loadStore(dir.filePath("nothing.ini"), false, at("2026-01-01"));
    EXPECT_TRUE(loaded.lines().isEmpty());
    EXPECT_TRUE(loaded.error.isEmpty());
}

TEST(LoadRules, ThePresentMinuteStaysAndThePreviousMinuteHasExpired) {
    const StoreLines lines = storeLinesFromTexts({
        "2026-12-08 10:05:59|声音提醒||", // the present minute, later second
        "2026-12-08 10:04:59|声音提醒||", // one minute boundary ago
        "2026-12-08 10:06:00|声音提醒||", // next minute
    });
    const QDateTime now = at("2026-12-08 10:05:00");
    EXPECT_EQ(applyLoadRules(lines, true, now).lines(), (StoreLines{lines[0], lines[2]}));
    EXPECT_EQ(applyLoadRules(lines, false, now).lines(), lines);
}

TEST(LoadRules, ExpiredShutdownIsAlwaysDroppedOtherActionsOnlyWithAutoClear) {
    const StoreLines lines = storeLinesFromTexts({
        "2026-12-08 09:00:00|附加动作||关闭QQ",
        "2026-12-08 09:00:00|附加动作||电脑关机",
        "2026-12-08 11:00:00|附加动作||电脑关机",
    });
    const QDateTime now = at("2026-12-08 10:00:00");
    EXPECT_EQ(applyLoadRules(lines, false, now).lines(), (StoreLines{lines[0], lines[2]}));
    EXPECT_EQ(applyLoadRules(lines, true, now).lines(), (StoreLines{lines[2]}));
}

TEST(LoadRules, MissedAlarmsAreTheExpiredLinesAutoClearDroppedButNoShutdown) {
    const StoreLines lines = storeLinesFromTexts({
        "2026-12-08 07:00:00|声音及文本提醒|起床|",
        "2026-12-08 08:00:00|附加动作||电脑关机",
        "2026-12-08 09:00:00|文本框提醒|开会|",
        "2026-12-08 11:00:00|声音提醒||",
    });
    const QDateTime now = at("2026-12-08 10:00:00");
    const LoadedStore cleared = applyLoadRules(lines, true, now);
    EXPECT_EQ(linesOf(cleared.missed), (StoreLines{lines[0], lines[2]}));
    EXPECT_EQ(cleared.lines(), (StoreLines{lines[3]}));
    // Kept lines are not missed; the dropped shutdown line is not listed either.
    EXPECT_TRUE(applyLoadRules(lines, false, now).missed.isEmpty());
    EXPECT_TRUE(applyLoadRules(lines, true, at("2026-12-08 06:00:00")).missed.isEmpty());
}

TEST(LoadRules, ARepeatingAlarmFiresNoMissedOccurrenceLateAndIsNeverDropped) {
    const StoreLines lines = storeLinesFromTexts({
        "2026-12-01 07:30:00|声音及文本提醒|起床||重复:每天 07:30",
        "2026-12-01 22:00:00|附加动作|||电脑关机|重复:每天 22:00",
        "2026-12-08 10:00:00|文本框提醒|喝水||重复:每天 10:00",
    });
    const LoadedStore loaded = applyLoadRules(lines, true, at("2026-12-08 10:00:30"));
    // Seven mornings passed (1st to 7th and this one's 07:30); the one of the present minute
    // fires now.
    EXPECT_EQ(textsOf(loaded.lines()),
              (QStringList{"2026-12-09 07:30:00|声音及文本提醒|起床||重复:每天 07:30",
                           "2026-12-08 22:00:00|附加动作|||电脑关机|重复:每天 22:00",
                           "2026-12-08 10:00:00|文本框提醒|喝水||重复:每天 10:00"}));
    ASSERT_EQ(loaded.missed.size(), 2);
    EXPECT_EQ(loaded.missed[0].times, 8);
    EXPECT_EQ(loaded.missed[1].times, 7);
    EXPECT_TRUE(loaded.saveNeeded);
    // A rule with no next occurrence is kept and never fires.
    const LoadedStore past = applyLoadRules(
        storeLinesFromTexts({"2090-12-01 09:00:00|声音提醒|||重复:农历每年十一月初一 09:00"}), true,
        at("2091-02-20 00:00:00"));
    ASSERT_EQ(past.alarms.size(), 1);
    EXPECT_TRUE(past.alarms[0].exhausted());
    EXPECT_EQ(past.alarms[0].minute(), Alarm::Never);
}

TEST(StoreText, TheOriginalReaderSeesTheFourFieldsOfARepeatingLineUnchanged) {
    const QString line = withRule(QStringLiteral("2026-12-09 07:30:00|文本框提醒|a｜b|"),
                                  *parseRuleText("农历每年闰四月初八 07:30"));
    EXPECT_EQ(line, "2026-12-09 07:30:00|文本框提醒|a｜b||重复:农历每年闰四月初八 07:30");
    // Split at every "|", as the old program did: field 4 is still the (empty) action.
    EXPECT_EQ(line.split(QLatin1Char('|')).mid(0, 4),
              (QStringList{"2026-12-09 07:30:00", "文本框提醒", "a｜b", ""}));
    // A prompt stored with "|" by an old version keeps its fields too.
    const Alarm old(StoreLine{"2026-12-09 07:30:00|文本框提醒|a|b|重复:每天 07:30", {}});
    EXPECT_EQ(old.prompt(), u"a");
    EXPECT_EQ(old.action(), u"b");
    EXPECT_TRUE(old.repeats());
    const Alarm program(StoreLine{"2026-12-09 07:30:00|附加动作||运行软件:/opt/x|y", {}});
    EXPECT_EQ(program.action(), u"运行软件:/opt/x|y");
    EXPECT_FALSE(program.repeats());
}

TEST(LoadRules, TenCharactersAreSkippedElevenConsidered) {
    // Unreadable times are kept, so an 11-character line shows whether it was considered.
    const StoreLines lines =
        storeLinesFromTexts({"", "0123456789", "01234567890", "一二三四五六七八九十"});
    EXPECT_EQ(textsOf(applyLoadRules(lines, true, at("2026-01-01 00:00:00")).lines()),
              QStringList{"01234567890"});
}

TEST(LoadRules, UnreadableLinesAreKeptAndDoNotStopTheRest) {
    const StoreLines lines = storeLinesFromTexts({
        "8 Dec 2026 10:00:00|声音提醒||",
        "garbage without bars",
        "2026-12-08 10:00:00",
        "2026-12-09 10:00:00|声音提醒||",
    });
    const LoadedStore loaded = applyLoadRules(lines, true, at("2026-12-08 12:00:00"));
    EXPECT_EQ(loaded.lines(), (StoreLines{lines[0], lines[1], lines[3]}));
    // The list shows which of them will never fire.
    EXPECT_EQ(loaded.unreadableCount(), 2);
    EXPECT_FALSE(loaded.alarms[0].readable() || loaded.alarms[1].readable());
}

TEST(StoreText, LinesEndAtCrCrLfOrLf) {
    EXPECT_EQ(textsOf(decodeStoreLines("a\r\nb\rc\nd")), (QStringList{"a", "b", "c", "d"}));
    EXPECT_EQ(textsOf(decodeStoreLines("a\r\n\r\n")), (QStringList{"a", ""}));
    EXPECT_TRUE(decodeStoreLines({}).isEmpty());
}

TEST_F(StoreTest, OneBadByteLeavesEveryLineByteForByte) {
    // Before: the whole file was read as GB18030 and every Chinese text came back garbled.
    const QByteArray original = data("alarm-bad-byte.ini");
    const StoreLines lines = decodeStoreLines(original);
    ASSERT_EQ(lines.size(), 5);
    EXPECT_EQ(lines[1].text, QStringLiteral("2030-12-08 11:00:00|声音及文本提醒|生日提醒|"));
    EXPECT_TRUE(lines[2].isKeptAsBytes());
    EXPECT_FALSE(lines[1].isKeptAsBytes() || lines[3].isKeptAsBytes());
    // The kept line still fires, with its prompt shown as far as it can be read.
    EXPECT_TRUE(Alarm(lines[2]).readable());
    EXPECT_EQ(Alarm(lines[2]).prompt(), QStringLiteral("重要提示\uFFFD哦"));
    EXPECT_EQ(loadAndSave(original, at("2030-01-01 00:00:00")), original);
}

TEST_F(StoreTest, BadBytesThatGb18030WouldMisreadAreKeptAsBytes) {
    // A UTF-8 line with stray bytes often reads "cleanly" as GB18030 characters (line 2
    // even keeps its fields), and a stray byte before "|" pairs with it into one character.
    const QByteArray original = data("alarm-bad-bytes.ini");
    const StoreLines lines = decodeStoreLines(original);
    ASSERT_EQ(lines.size(), 6);
    for (int i : {1, 2, 3, 4}) {
        EXPECT_TRUE(lines[i].isKeptAsBytes()) << i;
        EXPECT_EQ(lines[i].text.count(QLatin1Char('|')), 3) << i;
        EXPECT_TRUE(Alarm(lines[i]).readable()) << i;
    }
    EXPECT_EQ(Alarm(lines[2]).type(), reminder::Sound);
    const QByteArray saved = loadAndSave(original, at("2030-01-01 00:00:00"));
    EXPECT_EQ(rawLines(saved), rawLines(original));
}

TEST_F(StoreTest, AStoreFromChineseWindowsIsReadAsGb18030AndWrittenAsUtf8) {
    EXPECT_EQ(loadAndSave(data("alarm-gb18030.ini"), at("2026-12-09 07:00:00")),
              data("alarm-gb18030.utf8.ini"));
}

TEST_F(StoreTest, EachLineOfAMixedStoreIsReadInItsOwnEncoding) {
    // A Windows store edited on Linux: UTF-8 and GB18030 lines, lone LF line ends.
    EXPECT_EQ(loadAndSave(data("alarm-mixed.ini"), at("2026-12-09 06:00:00")),
              data("alarm-mixed.utf8.ini"));
}

TEST_F(StoreTest, ByteOrderMarksAreReadAndWrittenBackAsPlainUtf8) {
    // Before: "Unicode" stores from a Windows editor were read as GB18030 and lost.
    const QByteArray expected = data("alarm-unicode.utf8.ini");
    for (const char* name : {"alarm-utf16le.ini", "alarm-utf16be.ini", "alarm-utf8-bom.ini"}) {
        const StoreLines lines = decodeStoreLines(data(name));
        ASSERT_EQ(lines.size(), 3) << name;
        EXPECT_EQ(lines[1].text, QStringLiteral("2026-12-08 11:00:00|文本框提醒|生日快乐 😀|"))
            << name;
        EXPECT_EQ(parseAlarmMinute(Alarm(lines[0]).time()), minuteOf(at("2026-12-08 10:05:00")))
            << name;
        EXPECT_EQ(loadAndSave(data(name), at("2026-12-08 10:05:00")), expected) << name;
    }
}

TEST_F(StoreTest, ALoneSurrogateInUtf16BecomesAReplacementCharacter) {
    // Found by the fuzzer: it came through as a lone surrogate, was written as "?" and read
    // back as another line.
    const QByteArray original = data("alarm-utf16le-lone-surrogate.ini");
    const StoreLines lines = decodeStoreLines(original);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].text, QStringLiteral("2026-12-08 10:05:00|文本框提醒|坏\uFFFD字|"));
    EXPECT_EQ(decodeStoreLines(encodeStore(lines)), lines);
}

TEST_F(StoreTest, Utf16WithoutAMarkIsReadAndAFileNotReadWholeIsNeverRewritten) {
    // Before: little-endian was read as GB18030 and written back as UTF-8 garbage,
    // big-endian with every line end shifted by a byte; neither ever fired.
    const QByteArray expected = data("alarm-unicode.utf8.ini");
    for (const char* name : {"alarm-utf16le.ini", "alarm-utf16be.ini"}) {
        const QByteArray unmarked = data(name).mid(2);
        const DecodedStore decoded = decodeStore(unmarked);
        EXPECT_TRUE(decoded.whole) << name;
        ASSERT_EQ(decoded.lines.size(), 3) << name;
        EXPECT_EQ(decoded.lines[1].text,
                  QStringLiteral("2026-12-08 11:00:00|文本框提醒|生日快乐 😀|"));
        EXPECT_EQ(loadAndSave(unmarked, at("2026-12-08 10:05:00")), expected) << name;
    }
    // An odd last byte or a lone surrogate: read as far as it goes, but the store is left
    // alone, and what is made meanwhile goes beside it.
    const QByteArray cut = data("alarm-utf16le.ini").mid(2).chopped(1);
    for (const QByteArray& damaged : {cut, data("alarm-utf16le-lone-surrogate.ini")}) {
        EXPECT_FALSE(decodeStore(damaged).whole);
        writeAll(path(), damaged);
        AlarmStore store({path(), path()}, nullptr);
        AlarmModel model;
        store.load(model, false, at("2026-12-08 10:00:00"));
        EXPECT_TRUE(store.leftAlone());
        EXPECT_GE(model.count(), 1);
        model.append(Alarm(StoreLine{QStringLiteral("2026-12-09 10:00:00|声音提醒||"), {}}));
        EXPECT_TRUE(store.save(model).result);
        EXPECT_EQ(readAll(path()), damaged);
        EXPECT_EQ(readAll(store.addedPath()), QByteArray("2026-12-09 10:00:00|声音提醒||\r\n"));
        QFile::remove(store.addedPath());
    }
}

TEST(StoreMerge, AnotherProgramsEditsAndThisProgramsChangesBothSurvive) {
    const StoreLines base = storeLinesFromTexts(
        {"a 10:00|声音提醒||", "b 11:00|声音提醒||", "c 12:00|声音提醒||", "d 13:00|声音提醒||"});
    // Here: "a" fired, "e" was added. There: "b" edited, "f" and "g" added, "d" deleted.
    const StoreLines ours = storeLinesFromTexts(
        {"b 11:00|声音提醒||", "c 12:00|声音提醒||", "d 13:00|声音提醒||", "e 14:00|声音提醒||"});
    const StoreLines theirs =
        storeLinesFromTexts({"a 10:00|声音提醒||", "b 11:30|声音提醒||", "c 12:00|声音提醒||",
                             "f 15:00|声音提醒||", "g 16:00|声音提醒||"});
    EXPECT_EQ(textsOf(mergeStoreLines(base, ours, theirs)),
              (QStringList{"b 11:30|声音提醒||", "c 12:00|声音提醒||", "f 15:00|声音提醒||",
                           "g 16:00|声音提醒||", "e 14:00|声音提醒||"}));
    // Nothing changed there: the merge is this program's list.
    EXPECT_EQ(mergeStoreLines(base, ours, base), ours);
}

TEST_F(StoreTest, AFiredAlarmThatCouldNotBeSavedNeitherFiresAgainNorCountsAsMissed) {
    // Before: with the store read-only, a fired alarm fired again at every start, and with
    // auto-clear on it was listed as expired while the program was not running.
    QSettings state(dir.filePath(QStringLiteral("state.ini")), QSettings::IniFormat);
    const QString fired = QStringLiteral("2026-12-08 10:00:00|文本框提醒|开会|");
    const QString later = QStringLiteral("2026-12-09 10:00:00|声音提醒||");
    ASSERT_TRUE(saveStore(path(), QStringList{fired, later}));
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    {
        AlarmStore store({path(), path()}, &state);
        AlarmModel model;
        store.load(model, true, at("2026-12-08 10:00:00"));
        ASSERT_EQ(model.count(), 2);
        store.recordFired(model.at(0).storeLine());
        model.removeAt(0);
        EXPECT_FALSE(store.save(model).result);
    }
    for (const bool autoClear : {true, false}) {
        AlarmStore store({path(), path()}, &state);
        AlarmModel model;
        const LoadedStore loaded = store.load(model, autoClear, at("2026-12-08 11:00:00"));
        EXPECT_EQ(textsOf(model.storeLines()), QStringList{later});
        EXPECT_TRUE(loaded.missed.isEmpty());
    }
    // Once the store can be written, it no longer holds the alarm and nothing is remembered.
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    AlarmStore store({path(), path()}, &state);
    AlarmModel model;
    const LoadedStore loaded = store.load(model, true, at("2026-12-08 11:00:00"));
    ASSERT_TRUE(loaded.saveNeeded);
    EXPECT_TRUE(store.save(model).result);
    EXPECT_EQ(textsOf(loadStore(path(), true, at("2026-12-08 11:00:00")).lines()),
              QStringList{later});
    EXPECT_FALSE(state.contains(QStringLiteral("option/Fired")));
}

TEST(StoreText, AFirstLineThatLooksLikeAMarkStaysALine) {
    // Kept bytes "\xFF\xFE..." written first would read back as a UTF-16 file.
    const StoreLines lines{{QStringLiteral("\uFFFD\uFFFDab"), QByteArray("\xFF\xFE"
                                                                         "ab")},
                           {QStringLiteral("\uFEFFzwnbsp"), {}}};
    const QByteArray bytes = encodeStore(lines);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF\xFF\xFE"));
    EXPECT_EQ(decodeStoreLines(bytes), lines);
    const StoreLines marked{lines[1]};
    EXPECT_EQ(decodeStoreLines(encodeStore(marked)), marked);
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
                (void)saveStore(path(), newLines);
        }
        usleep(delayUs);
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        const QStringList loaded = textsOf(loadStore(path(), false, now).lines());
        EXPECT_TRUE(loaded == oldLines || loaded == newLines)
            << "killed after " << delayUs << " us";
    }
}

// Save failures: each says why and leaves the old store as it was.
class SaveFailureTest : public StoreTest {
protected:
    const QStringList oldLines{"2030-01-01 10:00:00|声音提醒||"};
    const QStringList newLines{"2030-01-02 10:00:00|文本框提醒|新的|"};

    void SetUp() override { ASSERT_TRUE(saveStore(path(), oldLines)); }
    void expectFailure(const QString& target, const QString& reason) {
        const SaveResult result = saveStore(target, newLines);
        EXPECT_FALSE(result);
        EXPECT_EQ(result.reason, reason);
    }
    void expectOldStore() {
        EXPECT_EQ(textsOf(loadStore(path(), true, at("2026-01-01 00:00:00")).lines()), oldLines);
    }
};

TEST_F(SaveFailureTest, AStoreThatIsAFolder) {
    const QString folder = dir.filePath(QStringLiteral("folder/alarm.ini"));
    ASSERT_TRUE(QDir().mkpath(folder));
    expectFailure(folder, QStringLiteral("是一个文件夹"));
    EXPECT_TRUE(QFileInfo(folder).isDir());
}

TEST_F(SaveFailureTest, AReadOnlyFileIsLeftAloneAlsoForRoot) {
    // Before: silent; as root the file was even replaced and made writable.
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup));
    expectFailure(path(), QStringLiteral("文件是只读的"));
    expectOldStore();
    ASSERT_TRUE(QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner));
    EXPECT_TRUE(saveStore(path(), newLines)); // the next save works again
}

TEST_F(SaveFailureTest, AnImmutableFile) {
    testing::ImmutableFlag immutable(path());
    if (!immutable.isSet())
        GTEST_SKIP() << "the immutable flag cannot be set here: " << immutable.why();
    expectFailure(path(), QStringLiteral("文件是只读的"));
    expectOldStore();
}

TEST_F(SaveFailureTest, AFolderThatCannotBeWritten) {
    testing::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.isReadOnly())
        GTEST_SKIP() << "no way to make a folder read-only here: " << readOnly.why();
    expectFailure(dir.filePath(QStringLiteral("other.ini")), QStringLiteral("没有写入权限"));
    expectOldStore();
}

TEST_F(SaveFailureTest, AFolderThatDoesNotExist) {
    expectFailure(dir.filePath(QStringLiteral("no/such/folder/alarm.ini")),
                  QStringLiteral("文件夹不存在"));
    // A regular file where a folder should be.
    expectFailure(path() + QStringLiteral("/alarm.ini"), QStringLiteral("文件夹不存在"));
    expectOldStore();
}

TEST_F(SaveFailureTest, AFullDiskKeepsTheOldStoreWhateverTheSizes) {
    // Before: a store under 16 KB was written into a buffer, the failed flush went unseen, and
    // the empty temporary file replaced alarm.ini (100 and 240 lines emptied, 300 kept).
    for (const int count : {3, 100, 240, 300, 4000}) {
        QStringList many;
        for (int i = 0; i < count; ++i)
            many.append(QStringLiteral("2030-01-01 10:00:00|文本框提醒|%1|").arg(i));
        const testing::ChildResult result = testing::inPrivateTmpfs(
            dir.filePath(QStringLiteral("small%1").arg(count)), 64, [&](const QString& at) {
                const QString store = QDir(at).filePath(QStringLiteral("alarm.ini"));
                if (!saveStore(store, oldLines))
                    return QStringLiteral("the old store could not be written");
                QFile filler(QDir(at).filePath(QStringLiteral("filler")));
                if (!filler.open(QIODevice::WriteOnly))
                    return QStringLiteral("no filler");
                const QByteArray block(1024, 'x');
                while (filler.write(block) == block.size() && filler.flush()) {
                }
                filler.close();
                const SaveResult saved = saveStore(store, many);
                if (saved)
                    return QStringLiteral("saved on a full disk");
                if (textsOf(loadStore(store, true, QDateTime()).lines()) != oldLines)
                    return QStringLiteral("the old store was damaged");
                if (QDir(at).entryList(QDir::Files | QDir::Hidden).size() != 2)
                    return QStringLiteral("a temporary file was left behind");
                return saved.reason;
            });
        if (!result.ran)
            GTEST_SKIP() << "no private file system here: " << result.text.toStdString();
        EXPECT_EQ(result.text, QStringLiteral("磁盘已满")) << count << " lines";
    }
}

TEST_F(StoreTest, AFifoOrAFolderUnderTheStoresNameIsRefusedWithoutWaiting) {
    // Before: a FIFO named alarm.ini hung the start for good.
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    const StoreFile fifo = readStoreFile(path());
    EXPECT_EQ(fifo.error, QStringLiteral("不是普通文件"));
    EXPECT_FALSE(fifo.regular);
    EXPECT_EQ(saveStore(path(), QStringList{"2030-01-01 10:00:00|声音提醒||"}).reason,
              QStringLiteral("不是普通文件"));
    EXPECT_EQ(readStoreFile(dir.path()).error, QStringLiteral("是一个文件夹"));
}

TEST_F(StoreTest, ASaveKeepsTheFilesPermissions) {
    ASSERT_TRUE(saveStore(path(), QStringList{"2030-01-01 10:00:00|声音提醒||"}));
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(path(), permissions));
    ASSERT_TRUE(saveStore(path(), QStringList{"2030-01-02 10:00:00|声音提醒||"}));
    const auto userBits = QFile::ReadUser | QFile::WriteUser | QFile::ExeUser; // the runner's view
    EXPECT_EQ(QFileInfo(path()).permissions() & ~userBits, QFile::Permissions(permissions));
}

TEST(StoreLocation, ProgramFolderWhenWritable) {
    QTemporaryDir program, data;
    const StoreLocation location =
        chooseStoreLocation(ProgramFiles(program.path(), {}, data.filePath("Tikko")));
    const QString store = QDir(program.path()).filePath("alarm.ini");
    EXPECT_EQ(location.folder, program.path());
    EXPECT_EQ(location.readPath, store);
    EXPECT_EQ(location.writePath, store);
    EXPECT_FALSE(QFileInfo::exists(data.filePath("Tikko")));
}

TEST(StoreLocation, AReadOnlyProgramFolderIsReadUntilTheDataFolderHasItsOwnStore) {
    // Before: the program folder's store was never read, so its alarms vanished.
    QTemporaryDir program, data;
    const QString programStore = QDir(program.path()).filePath("alarm.ini");
    const QByteArray original =
        "2026-12-08 10:05:00|声音提醒||\r\n2030-01-01 10:00:00|声音提醒||\r\n";
    writeAll(programStore, original);
    testing::ReadOnlyFolder readOnly(program.path());
    if (!readOnly.isReadOnly())
        GTEST_SKIP() << "no way to make a folder read-only here: " << readOnly.why();

    const QString fallback = data.filePath(QStringLiteral("Tikko/TikkoClock"));
    const StoreLocation first = chooseStoreLocation(ProgramFiles(program.path(), {}, fallback));
    EXPECT_EQ(first.folder, fallback);
    EXPECT_TRUE(QDir(fallback).exists());
    EXPECT_EQ(first.readPath, programStore);
    EXPECT_EQ(first.writePath, QDir(fallback).filePath("alarm.ini"));

    LoadedStore loaded = loadStore(first.readPath, true, at("2026-12-08 10:05:30"));
    ASSERT_EQ(loaded.lines().size(), 2); // the due line is there to fire
    loaded.lines().removeFirst();
    ASSERT_TRUE(saveStore(first.writePath, loaded.lines()));
    EXPECT_EQ(readAll(programStore), original);

    const StoreLocation second = chooseStoreLocation(ProgramFiles(program.path(), {}, fallback));
    EXPECT_EQ(second.readPath, second.writePath);
    EXPECT_EQ(textsOf(loadStore(second.readPath, true, at("2026-12-08 10:06:00")).lines()),
              QStringList{"2030-01-01 10:00:00|声音提醒||"});
    EXPECT_EQ(readAll(programStore), original);
}

TEST(StoreLocation, ADataFolderWithoutAStoreReadsItsOwnPathWhenTheProgramFolderHasNone) {
    QTemporaryDir program, data;
    testing::ReadOnlyFolder readOnly(program.path());
    if (!readOnly.isReadOnly())
        GTEST_SKIP() << "no way to make a folder read-only here: " << readOnly.why();
    const StoreLocation location =
        chooseStoreLocation(ProgramFiles(program.path(), {}, data.path()));
    EXPECT_EQ(location.readPath, location.writePath);
    // Not even root can create files in /proc.
    EXPECT_FALSE(isFolderWritable(QStringLiteral("/proc")));
    EXPECT_FALSE(isFolderWritable(program.filePath("missing")));
}

TEST(StoreLocation,
     AnInstalledProgramKeepsItsStoreInTheUsersDataFolderEvenWhenItsFolderIsWritable) {
    // Before: root starting /usr/bin/TikkoClock wrote /usr/bin/alarm.ini.
    QTemporaryDir prefix, data;
    QDir(prefix.path()).mkpath("bin");
    QDir(prefix.path()).mkpath("share/tikkoclock");
    const ProgramFiles files = ProgramFiles::locate(prefix.filePath("bin"), data.path());
    ASSERT_TRUE(files.installed());
    const StoreLocation location = chooseStoreLocation(files);
    EXPECT_EQ(location.folder, data.path());
    EXPECT_EQ(location.writePath, QDir(data.path()).filePath("alarm.ini"));

    // A copy outside an installed tree stays portable.
    QTemporaryDir copy;
    EXPECT_FALSE(ProgramFiles::locate(copy.path(), data.path()).installed());
    EXPECT_EQ(chooseStoreLocation(ProgramFiles::locate(copy.path(), data.path())).folder,
              copy.path());
}

TEST(ProgramFiles, TheProgramFolderComesFirstThenTheInstalledDataThenTheUsersFolderForTheSkin) {
    QTemporaryDir prefix, user;
    const QString bin = prefix.filePath("bin");
    const QString share = prefix.filePath("share/tikkoclock");
    QDir().mkpath(bin);
    QDir().mkpath(share);
    const ProgramFiles files = ProgramFiles::locate(bin, user.path());
    EXPECT_EQ(files.installedDataFolder(), share);

    // Nothing anywhere: the sound still names the program folder's file, the skin nothing.
    EXPECT_EQ(files.defaultSound(), QDir(bin).filePath("alarm.wav"));
    EXPECT_EQ(files.skinFile(), QString());

    writeAll(QDir(user.path()).filePath("skin.she"), "QWidget {}");
    writeAll(QDir(user.path()).filePath("alarm.wav"), "RIFF"); // never a sound source
    EXPECT_EQ(files.skinFile(), QDir(user.path()).filePath("skin.she"));
    EXPECT_EQ(files.defaultSound(), QDir(bin).filePath("alarm.wav"));

    writeAll(QDir(share).filePath("skin.she"), "QWidget {}");
    writeAll(QDir(share).filePath("alarm.wav"), "RIFF");
    EXPECT_EQ(files.skinFile(), QDir(share).filePath("skin.she"));
    EXPECT_EQ(files.defaultSound(), QDir(share).filePath("alarm.wav"));

    writeAll(QDir(bin).filePath("skin.she"), "QWidget {}");
    writeAll(QDir(bin).filePath("alarm.wav"), "RIFF");
    EXPECT_EQ(files.skinFile(), QDir(bin).filePath("skin.she"));
    EXPECT_EQ(files.defaultSound(), QDir(bin).filePath("alarm.wav"));
}

// The old date forms of one locale's store, as the system's regional settings read them.
// Run with LC_ALL set to each locale that has a store file (see the CMake file).
TEST(SystemLocaleStore, OldDateFormsFireInTheirMinute) {
    const QString name = QLocale::system().name();
    const QString file = dataFile("alarm-dates-") + name + QStringLiteral(".ini");
    const QByteArray bytes = readAll(file);
    ASSERT_FALSE(bytes.isEmpty()) << "no store for " << name.toStdString();
    int readable = 0;
    for (const StoreLine& line : decodeStoreLines(bytes)) {
        const Alarm fields(line);
        if (fields.prompt() == QLatin1String("-")) {
            EXPECT_FALSE(fields.readable()) << line.text.toStdString();
            continue;
        }
        const QDateTime minute =
            QDateTime::fromString(fields.prompt().toString(), QStringLiteral("yyyy-MM-dd HH:mm"));
        ASSERT_TRUE(minute.isValid()) << line.text.toStdString();
        const StoreLines one{line};
        // Due in its minute (kept, to fire at the first pass), expired a minute later.
        EXPECT_EQ(applyLoadRules(one, true, minute.addSecs(59)).lines(), one)
            << line.text.toStdString();
        EXPECT_EQ(linesOf(applyLoadRules(one, true, minute.addSecs(60)).missed), one)
            << line.text.toStdString();
        ++readable;
    }
    EXPECT_GE(readable, 3);
}

} // namespace
} // namespace tikko
