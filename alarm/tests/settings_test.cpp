// SPDX-License-Identifier: MIT
#include "tikko/alarm/settings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace tikko {
namespace {

class SettingsTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QSettings settings{dir.filePath("TikkoClock.ini"), QSettings::IniFormat};
};

TEST_F(SettingsTest, FirstStartGivesTheDesignedDefaults) {
    const SettingsValues values = readSettings(settings, QStringLiteral("/opt/tikko/alarm.wav"));
    EXPECT_EQ(values.advanceMinutes, QStringLiteral("2"));
    EXPECT_EQ(values.restInterval, QStringLiteral("30"));
    EXPECT_FALSE(values.restReminder);
    EXPECT_TRUE(values.autoClear);
    EXPECT_TRUE(values.autoStart);
    EXPECT_EQ(values.soundFilePath, QStringLiteral("/opt/tikko/alarm.wav"));
    EXPECT_EQ(values.advertisementPage, QStringLiteral("http://www.tikko.example.com/ad4.asp"));
    EXPECT_EQ(values.forumPage, QStringLiteral("http://www.tikko.example.com/bbs"));
    EXPECT_TRUE(settings.allKeys().isEmpty());
}

TEST_F(SettingsTest, ThePageAddressesAreReadButNeverWritten) {
    settings.setValue("option/AdPage", "https://ads.example.org/panel");
    settings.setValue("option/ForumPage", "https://forum.example.org/");
    SettingsValues values = readSettings(settings, QStringLiteral("/opt/tikko/alarm.wav"));
    EXPECT_EQ(values.advertisementPage, QStringLiteral("https://ads.example.org/panel"));
    EXPECT_EQ(values.forumPage, QStringLiteral("https://forum.example.org/"));

    settings.clear();
    values.advertisementPage = "http://changed.example/";
    values.forumPage = "http://changed.example/";
    writeExitSettings(settings, values);
    EXPECT_FALSE(settings.contains("option/AdPage"));
    EXPECT_FALSE(settings.contains("option/ForumPage"));
    for (const SettingKey& key : SettingKeys)
        EXPECT_EQ(settings.contains(QStringLiteral("option/") + key.name), key.writtenAtExit())
            << key.name;
}

TEST_F(SettingsTest, CheckBoxesTakeZeroOrOneAndKeepTheirDesignOtherwise) {
    EXPECT_FALSE(checkBoxState("0", true));
    EXPECT_TRUE(checkBoxState(" 1 ", false));
    for (const char* bad : {"", "yes", "2", "-1", "1.5", "0x1"}) {
        EXPECT_TRUE(checkBoxState(bad, true)) << bad;
        EXPECT_FALSE(checkBoxState(bad, false)) << bad;
    }
    settings.setValue("option/Beep", "x");
    settings.setValue("option/Clear", "junk");
    settings.setValue("option/Auto", "0");
    settings.setValue("option/Time", "abc");
    settings.setValue("option/sWavFN", "/home/u/ring.mp3");
    const SettingsValues values = readSettings(settings, QStringLiteral("/opt/tikko/alarm.wav"));
    EXPECT_FALSE(values.restReminder);
    EXPECT_TRUE(values.autoClear);
    EXPECT_FALSE(values.autoStart);
    EXPECT_EQ(values.advanceMinutes, QStringLiteral("abc")); // texts are never validated
    EXPECT_EQ(values.soundFilePath, QStringLiteral("/home/u/ring.mp3"));
}

TEST_F(SettingsTest, ExitWritesFiveKeysButNeverTheSoundPath) {
    SettingsValues values;
    values.advanceMinutes = "5";
    values.restInterval = "0.5";
    values.restReminder = true;
    values.autoClear = false;
    values.autoStart = false;
    values.soundFilePath = "/somewhere/else.wav";
    writeExitSettings(settings, values);
    EXPECT_EQ(settings.value("option/Time").toString(), "5");
    EXPECT_EQ(settings.value("option/Inter").toString(), "0.5");
    EXPECT_EQ(settings.value("option/Beep").toString(), "1");
    EXPECT_EQ(settings.value("option/Clear").toString(), "0");
    EXPECT_EQ(settings.value("option/Auto").toString(), "0");
    EXPECT_FALSE(settings.contains("option/sWavFN"));
    writeSoundPath(settings, "/x/y.wav");
    EXPECT_EQ(readSettings(settings, "/p/alarm.wav").soundFilePath, "/x/y.wav");
}

} // namespace
} // namespace tikko
