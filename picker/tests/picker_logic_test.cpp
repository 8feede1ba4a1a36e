// SPDX-License-Identifier: MIT
#include "support/file_system.h"
#include "tikko/picker/picker_logic.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace tikko {
namespace {

const PathRules Windows{QLatin1Char('\\'), Qt::CaseInsensitive, {}, false};
const PathRules Linux{QLatin1Char('/'),
                      Qt::CaseSensitive,
                      {QStringLiteral("*.ogg"), QStringLiteral("*.oga"), QStringLiteral("*.flac")},
                      true};

auto takenBy(const QSet<QString>& names) {
    return [names](const QString& path) {
        return names.contains(path);
    };
}

TEST(NewFolderName, CountsUpWithABlankAfterTheParenthesisIncludingInDriveRoots) {
    const QChar bs = QLatin1Char('\\');
    EXPECT_EQ(PickerLogic::nextNewFolderPath("C:\\", takenBy({}), bs), "C:\\新建文件夹");
    EXPECT_EQ(PickerLogic::nextNewFolderPath("C:\\", takenBy({"C:\\新建文件夹"}), bs),
              "C:\\新建文件夹( 2)");
    EXPECT_EQ(PickerLogic::nextNewFolderPath(
                  "D:\\Temp", takenBy({"D:\\Temp\\新建文件夹", "D:\\Temp\\新建文件夹( 2)"}), bs),
              "D:\\Temp\\新建文件夹( 3)");
    // The first free number, not one past the highest.
    EXPECT_EQ(PickerLogic::nextNewFolderPath("/x", takenBy({"/x/新建文件夹", "/x/新建文件夹( 3)"}),
                                             QLatin1Char('/')),
              "/x/新建文件夹( 2)");
    // A short path is not yet a root: only a trailing separator is left out.
    EXPECT_EQ(PickerLogic::nextNewFolderPath("/ab", takenBy({}), QLatin1Char('/')),
              "/ab/新建文件夹");
    EXPECT_EQ(PickerLogic::nextNewFolderPath("/", takenBy({}), QLatin1Char('/')), "/新建文件夹");
    EXPECT_EQ(PickerLogic::nextNewFolderPath(
                  "/", [](const QString&) { return true; }, QLatin1Char('/')),
              QString());
}

TEST(PickerRules, ModePathsAndRefusals) {
    EXPECT_EQ(PickerLogic::modeFromCaption(PickerLogic::SoundCaption), PickerMode::Sound);
    EXPECT_EQ(PickerLogic::modeFromCaption(PickerLogic::SoundCaption + " "), PickerMode::Program);
    EXPECT_EQ(PickerLogic::modeFromCaption("选择文件"), PickerMode::Program);

    // No doubled separator for a file in a drive root.
    EXPECT_EQ(PickerLogic::chosenPath("C:\\", "a.wav", QLatin1Char('\\')), "C:\\a.wav");
    EXPECT_EQ(PickerLogic::chosenPath("/home/用户/我的 铃声", "叮 咚.mp3", QLatin1Char('/')),
              "/home/用户/我的 铃声/叮 咚.mp3");

    EXPECT_TRUE(PickerLogic::programPathRefusal("/opt/a|b/run").contains("|"));
    EXPECT_FALSE(PickerLogic::programPathRefusal("/opt/a\nb").isEmpty());
    EXPECT_TRUE(PickerLogic::programPathRefusal("/opt/我的 程序/run｜x").isEmpty());

    EXPECT_EQ(PickerLogic::filePatterns(PickerMode::Sound, "*.wav; *.mid;*.mp3;*.OGG", Linux),
              QStringList({"*.wav", "*.mid", "*.mp3", "*.OGG", "*.oga", "*.flac"}));
    EXPECT_EQ(PickerLogic::filePatterns(PickerMode::Program, PickerLogic::ProgramPattern, Linux),
              QStringList({"*.exe", "*.com", "*.bat"}));
    EXPECT_EQ(PickerLogic::filePatterns(PickerMode::Sound, PickerLogic::SoundPattern, Windows),
              QStringList({"*.wav", "*.mid", "*.mp3"}));
}

TEST(PickerRules, DriveOfAFolderAndTheRowsDownToIt) {
    const QStringList mounts{"/", "/home", "/media/u/USB"};
    EXPECT_EQ(PickerLogic::driveOf("/home/u", mounts, Linux), "/home");
    EXPECT_EQ(PickerLogic::driveOf("/home2/u", mounts, Linux), "/");
    EXPECT_EQ(PickerLogic::driveOf("/media/u/USB", mounts, Linux), "/media/u/USB");
    EXPECT_EQ(PickerLogic::driveOf("d:\\x", {"C:\\", "D:\\"}, Windows), "D:\\");
    EXPECT_EQ(PickerLogic::driveOf("\\\\server\\share", {"C:\\"}, Windows), QString());

    const auto names = [](const QList<FolderRow>& rows) {
        QStringList out;
        for (const FolderRow& r : rows)
            out << QStringLiteral("%1:%2:%3").arg(r.depth).arg(r.name, r.path);
        return out;
    };
    EXPECT_EQ(names(PickerLogic::ancestorRows("/media/u/USB", "/media/u/USB/a", QLatin1Char('/'))),
              QStringList({"0:/media/u/USB:/media/u/USB", "1:a:/media/u/USB/a"}));
    EXPECT_EQ(names(PickerLogic::ancestorRows("C:\\", "C:\\A\\B", QLatin1Char('\\'))),
              QStringList({"0:C:\\:C:\\", "1:A:C:\\A", "2:B:C:\\A\\B"}));
}

TEST(PickerRules, StartsInAUsefulCurrentFolderOtherwiseAtHome) {
    QTemporaryDir current, home;
    EXPECT_EQ(PickerLogic::startFolder(current.path(), home.path()), current.path());
    EXPECT_EQ(PickerLogic::startFolder("/", home.path()), home.path());
    EXPECT_EQ(PickerLogic::startFolder(current.filePath("gone"), home.path()), home.path());
    EXPECT_EQ(PickerLogic::startFolder("/", home.filePath("gone")), "/");
}

// A folder tree the tests make, with files of every kind the lists must tell apart.
class PickerFolderTest : public ::testing::Test {
protected:
    QTemporaryDir root;

    QString make(const QString& relative, QFile::Permissions permissions = {}) {
        const QString path = root.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.close();
        if (permissions)
            file.setPermissions(permissions);
        return path;
    }
    static constexpr QFile::Permissions Plain = QFile::ReadOwner | QFile::WriteOwner;
    static constexpr QFile::Permissions Executable = Plain | QFile::ExeOwner;

    void SetUp() override {
        make("a.wav");
        make("B.MP3");
        make("c.ogg");
        make("d.flac");
        make("e.txt");
        make(".hidden.wav");
        make("setup.EXE", Plain);
        make("tool", Executable);
        make("notes", Plain);
        QDir(root.path()).mkpath("sub 2");
        QDir(root.path()).mkpath("sub 10");
        QDir(root.path()).mkpath(".config");
    }
};

TEST_F(PickerFolderTest, SoundModeListsTheSoundFormatsInAnyCase) {
    PickerLogic logic(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux, {"/"});
    ASSERT_EQ(logic.openFolder(root.path()), QString());
    EXPECT_EQ(logic.files(), QStringList({"a.wav", "B.MP3", "c.ogg", "d.flac"}));
    EXPECT_EQ(logic.subfolders(), QStringList({"sub 2", "sub 10"}));
    EXPECT_EQ(logic.drive(), "/");
    const QList<FolderRow> rows = logic.folderRows();
    EXPECT_EQ(rows.at(logic.currentFolderRow()).path, root.path());
    EXPECT_EQ(rows.back().path, root.filePath("sub 10"));
    EXPECT_FALSE(rows.back().open);
}

TEST_F(PickerFolderTest, ProgramModeListsWhatTheUserMayExecuteAndThePattern) {
    PickerLogic logic(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern, Linux, {"/"});
    ASSERT_EQ(logic.openFolder(root.path()), QString());
    EXPECT_EQ(logic.files(), QStringList({"setup.EXE", "tool"}));
    // Without the platform's executables rule only the pattern counts.
    PickerLogic windows(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern,
                        {QLatin1Char('/'), Qt::CaseSensitive, {}, false}, {"/"});
    ASSERT_EQ(windows.openFolder(root.path()), QString());
    EXPECT_EQ(windows.files(), QStringList({"setup.EXE"}));
}

TEST_F(PickerFolderTest, OkDecisionsIncludingBlanksCjkAndABar) {
    make("我的 铃声/叮 咚.mp3");
    make("bin/a|b", Executable);
    PickerLogic sound(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux, {"/"});
    ASSERT_EQ(sound.openFolder(root.filePath("我的 铃声")), QString());
    EXPECT_EQ(sound.files(), QStringList({"叮 咚.mp3"}));
    EXPECT_EQ(sound.decideOk({}).kind, OkDecision::Close);
    const OkDecision chosen = sound.decideOk("叮 咚.mp3");
    EXPECT_EQ(chosen.kind, OkDecision::Sound);
    EXPECT_EQ(chosen.path, root.filePath("我的 铃声/叮 咚.mp3"));

    PickerLogic program(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern, Linux, {"/"});
    ASSERT_EQ(program.openFolder(root.filePath("bin")), QString());
    EXPECT_EQ(program.decideOk("a|b").kind, OkDecision::Refuse);
    EXPECT_EQ(program.decideOk("a.exe").kind, OkDecision::Program);
}

TEST_F(PickerFolderTest, NewFoldersAreNumberedOpenedAndListedInTheirParent) {
    PickerLogic logic(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux, {"/"});
    ASSERT_EQ(logic.openFolder(root.path()), QString());
    make("新建文件夹"); // a file takes the first name too
    ASSERT_EQ(logic.createNewFolder(), QString());
    EXPECT_EQ(logic.folder(), root.filePath("新建文件夹( 2)"));
    EXPECT_TRUE(QFileInfo(logic.folder()).isDir());
    EXPECT_EQ(logic.folderRows().at(logic.currentFolderRow()).name, "新建文件夹( 2)");
    ASSERT_EQ(logic.openFolder(root.path()), QString());
    ASSERT_EQ(logic.createNewFolder(), QString());
    EXPECT_EQ(logic.folder(), root.filePath("新建文件夹( 3)"));
}

TEST_F(PickerFolderTest, AFolderThatCannotBeCreatedLeavesTheListsAndSaysWhy) {
    PickerLogic logic(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux, {"/"});
    const QString folder = root.filePath("sub 2");
    ASSERT_EQ(logic.openFolder(folder), QString());
    make("sub 2/x.wav");
    // The folder is replaced by a file: creating inside it fails for root too.
    ASSERT_TRUE(QDir(folder).removeRecursively());
    make("sub 2");
    const QString failure = logic.createNewFolder();
    EXPECT_TRUE(failure.contains(folder)) << failure.toStdString();
    EXPECT_EQ(logic.folder(), folder);
    EXPECT_EQ(logic.files(), QStringList());
}

TEST_F(PickerFolderTest, AReadOnlyFolderRefusesANewFolder) {
    const QString folder = root.filePath("sub 2");
    // Permission bits, and for root the file system's immutable flag.
    testing::ReadOnlyFolder readOnly(folder);
    if (!readOnly.isReadOnly())
        GTEST_SKIP() << "no way to make a folder read-only here: " << readOnly.why();
    PickerLogic logic(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux, {"/"});
    ASSERT_EQ(logic.openFolder(folder), QString());
    EXPECT_TRUE(logic.createNewFolder().contains("权限"));
    EXPECT_EQ(logic.folder(), folder);
}

TEST_F(PickerFolderTest, DrivesRememberTheirFolderAndADriveNotReadyChangesNothing) {
    PickerLogic logic(PickerLogic::SoundCaption, PickerLogic::SoundPattern, Linux,
                      {"/", root.path(), "/no/such/medium"});
    ASSERT_EQ(logic.openFolder(root.filePath("sub 2")), QString());
    EXPECT_EQ(logic.drive(), root.path());
    EXPECT_EQ(logic.folderRows().front().path, root.path());
    EXPECT_FALSE(logic.selectDrive("/no/such/medium").isEmpty());
    EXPECT_EQ(logic.folder(), root.filePath("sub 2"));
    ASSERT_EQ(logic.selectDrive("/"), QString());
    EXPECT_EQ(logic.folder(), "/");
    ASSERT_EQ(logic.selectDrive(root.path()), QString());
    EXPECT_EQ(logic.folder(), root.filePath("sub 2"));
    EXPECT_FALSE(logic.openFolder(root.filePath("gone")).isEmpty());
    EXPECT_EQ(logic.folder(), root.filePath("sub 2"));
}

} // namespace
} // namespace tikko
