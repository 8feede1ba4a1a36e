// SPDX-License-Identifier: MIT
#include "tikko/picker/frm_dlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace tikko {
namespace {

struct RecordingHost final : PickerHost {
    QStringList sounds;
    QStringList programs;
    void setSoundFilePath(const QString& path) override { sounds << path; }
    void setRunProgramPath(const QString& path) override { programs << path; }
};

class PickerWindowTest : public ::testing::Test {
protected:
    QTemporaryDir root;
    QSettings settings{root.filePath("settings/TikkoClock.ini"), QSettings::IniFormat};
    RecordingHost host;
    QStringList told;
    std::unique_ptr<FrmDlg> dialog;

    void SetUp() override {
        for (const char* file : {"a.wav", "我的 铃声/叮 咚.mp3", "bin/tool", "bin/a|b"})
            make(file);
        QFile::setPermissions(root.filePath("bin/tool"), QFile::ReadOwner | QFile::ExeOwner);
        QFile::setPermissions(root.filePath("bin/a|b"), QFile::ReadOwner | QFile::ExeOwner);
    }

    void make(const QString& relative) {
        QDir().mkpath(QFileInfo(root.filePath(relative)).path());
        QFile file(root.filePath(relative));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    FrmDlg& open(const QString& caption, const QString& folder, QSettings* store = nullptr) {
        PickerOptions options{folder, [this](const QString& text) {
                                  told << text;
                              }};
        const QString pattern = PickerLogic::modeFromCaption(caption) == PickerMode::Sound
                                    ? PickerLogic::SoundPattern
                                    : PickerLogic::ProgramPattern;
        dialog = std::make_unique<FrmDlg>(caption, pattern, store ? *store : settings, host,
                                          nullptr, options);
        dialog->show();
        dialog->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
        return *dialog;
    }

    template <typename W> W* child(const char* name) const {
        W* widget = dialog->findChild<W*>(name);
        EXPECT_TRUE(widget) << name;
        return widget;
    }
    QListWidget* files() const { return child<QListWidget>("File1"); }
    QListWidget* folders() const { return child<QListWidget>("Dir1"); }

    QListWidgetItem* item(QListWidget* list, const QString& text) const {
        const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
        EXPECT_EQ(found.size(), 1) << text.toStdString();
        return found.value(0);
    }
    void doubleClick(QListWidget* list, const QString& text) const {
        // A real double click starts with a click; the view expects its press first.
        const QPoint at = list->visualItemRect(item(list, text)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    void select(const QString& fileName) const { files()->setCurrentItem(item(files(), fileName)); }
};

TEST_F(PickerWindowTest, DesignedLayoutTextsAndBorder) {
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
    EXPECT_EQ(window.objectName(), "frmDlg");
    EXPECT_EQ(window.windowTitle(), PickerLogic::SoundCaption);
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.size(), QSize(437, 281));
    EXPECT_EQ(window.minimumSize(), window.maximumSize());
    EXPECT_FALSE(window.windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    const struct {
        const char* name;
        QRect geometry;
        const char* text;
    } controls[] = {
        {"Drive1", {4, 36, 152, 20}, nullptr},    {"Dir1", {4, 58, 152, 216}, nullptr},
        {"File1", {159, 8, 183, 266}, nullptr},   {"cmdDir0", {4, 7, 37, 26}, "桌面"},
        {"cmdDir1", {42, 7, 61, 26}, "我的文档"}, {"cmdDirNew", {108, 7, 48, 26}, "新建"},
        {"cmdOK", {347, 8, 87, 29}, "确定"},      {"cmdCancel", {347, 40, 87, 31}, "取消"}};
    for (const auto& c : controls) {
        QWidget* widget = child<QWidget>(c.name);
        EXPECT_EQ(widget->geometry(), c.geometry) << c.name;
        if (c.text) {
            EXPECT_EQ(static_cast<QPushButton*>(widget)->text(), QString::fromUtf8(c.text));
        }
    }
    EXPECT_TRUE(child<QPushButton>("cmdOK")->isDefault());
    EXPECT_EQ(QApplication::focusWidget(), files());
    EXPECT_EQ(child<QComboBox>("Drive1")->currentText(), "/");
    EXPECT_EQ(folders()->currentItem()->text(), QFileInfo(root.path()).fileName());
    EXPECT_EQ(files()->count(), 1); // a.wav
}

TEST_F(PickerWindowTest, CentredOnItsOwner) {
    QWidget owner;
    owner.setGeometry(100, 80, 800, 600);
    owner.show();
    FrmDlg window(PickerLogic::SoundCaption, PickerLogic::SoundPattern, settings, host, &owner,
                  {root.path(), {}});
    window.show();
    const QPoint offset = window.geometry().center() - owner.geometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(PickerWindowTest, OkWithoutASelectionClosesAndChangesNothing) {
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
    files()->setFocus(); // focus makes an item current, but selects none
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(window.chosen());
    EXPECT_TRUE(host.sounds.isEmpty());
    settings.sync();
    EXPECT_FALSE(settings.contains("option/sWavFN"));
}

TEST_F(PickerWindowTest, DoubleClickInSoundModeStoresTheSoundAtOnce) {
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
    doubleClick(folders(), "我的 铃声");
    ASSERT_EQ(window.logic().folder(), root.filePath("我的 铃声"));
    doubleClick(files(), "叮 咚.mp3");
    const QString path = root.filePath("我的 铃声/叮 咚.mp3");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.chosen());
    EXPECT_EQ(host.sounds, QStringList({path}));
    // Read back by another reader: the value is on disk already.
    QSettings stored(settings.fileName(), QSettings::IniFormat);
    EXPECT_EQ(stored.value("option/sWavFN").toString(), path);
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(PickerWindowTest, EscClosesFromTheWindowAndEveryControl) {
    for (const char* name : {"frmDlg", "cmdOK", "Drive1", "Dir1", "File1"}) {
        FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
        QWidget* target = name == std::string("frmDlg") ? &window : child<QWidget>(name);
        target->setFocus();
        QTest::keyClick(target, Qt::Key_Escape);
        EXPECT_FALSE(window.isVisible()) << name;
        EXPECT_FALSE(window.chosen()) << name;
    }
    EXPECT_TRUE(host.sounds.isEmpty());
}

TEST_F(PickerWindowTest, EnterOpensAFolderInTheFolderListAndPressesOkInTheFileList) {
    FrmDlg& window = open(PickerLogic::ProgramCaption, root.path());
    folders()->setCurrentItem(item(folders(), "bin"));
    QTest::keyClick(folders(), Qt::Key_Return);
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(window.logic().folder(), root.filePath("bin"));
    // Programs have no extension here: the executable is listed.
    EXPECT_EQ(window.logic().files(), QStringList({"a|b", "tool"}));
    select("tool");
    QTest::keyClick(files(), Qt::Key_Return);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(host.programs, QStringList({root.filePath("bin/tool")}));
    EXPECT_TRUE(host.sounds.isEmpty());
}

TEST_F(PickerWindowTest, AProgramPathWithABarIsRefusedAndTheWindowStaysOpen) {
    FrmDlg& window = open(PickerLogic::ProgramCaption, root.filePath("bin"));
    select("a|b");
    QTest::mouseClick(child<QPushButton>("cmdOK"), Qt::LeftButton);
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains("|"));
    EXPECT_TRUE(host.programs.isEmpty());
    EXPECT_FALSE(window.chosen());
}

TEST_F(PickerWindowTest, NewFolderTakesTheNextFreeNumberAndIsOpenedAndSelected) {
    QDir(root.path()).mkpath("新建文件夹");
    QDir(root.path()).mkpath("新建文件夹( 2)");
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
    QTest::mouseClick(child<QPushButton>("cmdDirNew"), Qt::LeftButton);
    EXPECT_TRUE(QFileInfo(root.filePath("新建文件夹( 3)")).isDir());
    EXPECT_EQ(window.logic().folder(), root.filePath("新建文件夹( 3)"));
    EXPECT_EQ(folders()->currentItem()->text(), "新建文件夹( 3)");
    EXPECT_TRUE(folders()->currentItem()->isSelected());
    EXPECT_EQ(files()->count(), 0);
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(PickerWindowTest, AFolderThatCannotBeCreatedLeavesTheListsAndTellsWhyOnce) {
    make("gone/x.wav");
    FrmDlg& window = open(PickerLogic::SoundCaption, root.filePath("gone"));
    const int rows = folders()->count();
    // The folder becomes a file under the open window: creating inside it fails for
    // every user, root too.
    ASSERT_TRUE(QDir(root.filePath("gone")).removeRecursively());
    make("gone");
    QTest::mouseClick(child<QPushButton>("cmdDirNew"), Qt::LeftButton);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told.front().contains("无法")) << told.front().toStdString();
    EXPECT_FALSE(told.front().contains('\n'));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.logic().folder(), root.filePath("gone"));
    EXPECT_EQ(folders()->count(), rows);
    EXPECT_EQ(files()->count(), 1);
}

TEST_F(PickerWindowTest, ASettingThatCannotBeStoredStillChoosesTheSoundAndSaysSo) {
    make("blocker");
    QSettings unwritable(root.filePath("blocker/TikkoClock.ini"), QSettings::IniFormat);
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path(), &unwritable);
    doubleClick(files(), "a.wav");
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(window.chosen());
    EXPECT_EQ(host.sounds, QStringList({root.filePath("a.wav")}));
    EXPECT_EQ(told.size(), 1);
}

TEST_F(PickerWindowTest, ShortcutButtonsOpenTheUsersFolders) {
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    ASSERT_TRUE(documents.startsWith(QDir::homePath())); // the test's throw-away HOME
    QDir().mkpath(documents);
    FrmDlg& window = open(PickerLogic::SoundCaption, root.path());
    QTest::mouseClick(child<QPushButton>("cmdDir1"), Qt::LeftButton);
    EXPECT_EQ(window.logic().folder(), documents);
    QTest::mouseClick(child<QPushButton>("cmdDir0"), Qt::LeftButton);
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    EXPECT_EQ(window.logic().folder(), QFileInfo(desktop).isDir() ? desktop : QDir::homePath());
    EXPECT_TRUE(told.isEmpty());
}

TEST_F(PickerWindowTest, OpensInTheCurrentFolderOfTheProcess) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.filePath("bin")));
    FrmDlg window(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern, settings, host);
    QDir::setCurrent(before);
    EXPECT_EQ(window.logic().folder(), root.filePath("bin"));
}

TEST_F(PickerWindowTest, PickTellsAChosenProgramFromACancelledPick) {
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(root.filePath("bin")));
    // The modal loop runs the timer: it answers the picker like a user would.
    const auto answer = [](bool choose) {
        QTimer::singleShot(0, [choose] {
            auto* picker = qobject_cast<FrmDlg*>(QApplication::activeModalWidget());
            ASSERT_TRUE(picker);
            auto* list = picker->findChild<QListWidget*>("File1");
            list->setCurrentItem(list->findItems("tool", Qt::MatchExactly).value(0));
            picker->findChild<QPushButton*>(choose ? "cmdOK" : "cmdCancel")->click();
        });
    };
    answer(false);
    EXPECT_FALSE(
        FrmDlg::pick(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern, settings, host));
    EXPECT_TRUE(host.programs.isEmpty());
    answer(true);
    EXPECT_TRUE(
        FrmDlg::pick(PickerLogic::ProgramCaption, PickerLogic::ProgramPattern, settings, host));
    QDir::setCurrent(before);
    EXPECT_EQ(host.programs, QStringList({root.filePath("bin/tool")}));
}

} // namespace
} // namespace tikko
