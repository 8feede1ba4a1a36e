// SPDX-License-Identifier: MIT
#include "linux_picker_platform.h"
#include "tikko/picker/picker_platform.h"

#include <QDir>
#include <gtest/gtest.h>

namespace tikko::pickerplatform {
namespace {

TEST(LinuxDrives, RootHomeVolumeAndReadyRemovableMediaOnly) {
    const QList<MountEntry> mounts{{"/", true},
                                   {"/proc", true},
                                   {"/boot/efi", true},
                                   {"/home", true},
                                   {"/media/u/USB", true},
                                   {"/media/u/CD", false},
                                   {"/snap/core/1", true},
                                   {"/run/media/u/相机", true},
                                   {"/mnt", true},
                                   {"/media/u/USB", true}};
    EXPECT_EQ(browsableMounts(mounts, "/home"),
              QStringList({"/", "/home", "/media/u/USB", "/mnt", "/run/media/u/相机"}));
    // A home on the root volume adds nothing; the root is there even when unlisted.
    EXPECT_EQ(browsableMounts({{"/media/x", true}}, "/"), QStringList({"/", "/media/x"}));
}

TEST(LinuxDrives, TheRealDriveListStartsAtTheRootAndSpecialFoldersExist) {
    EXPECT_EQ(drives().value(0), "/");
    EXPECT_EQ(pathRules().separator, QLatin1Char('/'));
    // The test's HOME has no desktop folder: home stands in for it.
    const QString desktop = specialFolder(SpecialFolder::Desktop);
    EXPECT_TRUE(QFileInfo(desktop).isDir());
    EXPECT_TRUE(desktop == QDir::homePath() || desktop.startsWith(QDir::homePath() + "/"));
}

} // namespace
} // namespace tikko::pickerplatform
