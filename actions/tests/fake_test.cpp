// SPDX-License-Identifier: MIT
#include "recording_system_actions.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace tikko {
namespace {

TEST(RecordingSystemActions, RecordsCallsInOrderAndAnswersAsProgrammed) {
    RecordingSystemActions fake;
    fake.setResult(ActionKind::StartProgram, false);
    fake.setSystemFolder("WIN", "C:\\WINDOWS");
    fake.setShutdownMessages({"AdjustTokenPrivileges error==1300"});
    std::vector<std::string> shown;
    SystemActions& actions = fake;

    EXPECT_TRUE(actions.playAlarmSound("C:\\a.wav"));
    EXPECT_FALSE(actions.startProgram("C:\\Program Files\\x\\a.exe"));
    EXPECT_EQ(actions.getSystemFolder("WIN"), "C:\\WINDOWS");
    EXPECT_EQ(actions.getSystemFolder("IE"), "");
    EXPECT_TRUE(actions.shutDownComputer([&](const std::string& m) { shown.push_back(m); }));

    EXPECT_EQ(fake.calls(), (std::vector<ActionCall>{
                                {ActionKind::PlayAlarmSound, "C:\\a.wav"},
                                {ActionKind::StartProgram, "C:\\Program Files\\x\\a.exe"},
                                {ActionKind::GetSystemFolder, "WIN"},
                                {ActionKind::GetSystemFolder, "IE"},
                                {ActionKind::ShutDownComputer, ""},
                            }));
    EXPECT_EQ(fake.callsOf(ActionKind::GetSystemFolder).size(), 2u);
    EXPECT_EQ(shown, std::vector<std::string>{"AdjustTokenPrivileges error==1300"});
}

TEST(RecordingSystemActions, TheAutoStartEntryFollowsOnlyTheCallsThatSucceeded) {
    RecordingSystemActions fake;
    EXPECT_FALSE(fake.autoStartEntryExists());
    fake.setResult(ActionKind::EnableAutoStart, false);
    EXPECT_FALSE(fake.enableAutoStart());
    EXPECT_FALSE(fake.autoStartEntryExists());
    fake.setResult(ActionKind::EnableAutoStart, true);
    EXPECT_TRUE(fake.enableAutoStart());
    fake.setResult(ActionKind::DisableAutoStart, false);
    EXPECT_FALSE(fake.disableAutoStart());
    EXPECT_TRUE(fake.autoStartEntryExists());
}

} // namespace
} // namespace tikko
