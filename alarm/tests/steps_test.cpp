// SPDX-License-Identifier: MIT
#include "tikko/alarm/steps.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace tikko {
namespace {

TEST(StepRunner, AFailingStepIsPassedOverAndTheRestStillRunInOrder) {
    QStringList done;
    StepRunner runner;
    runner.run({
        {"one",
         [&] {
             done << "one";
         }},
        {"two",
         [] {
             throw std::runtime_error("refused");
         }},
        {"three",
         [] {
             throw 42;
         }},
        {"four",
         [&] {
             done << "four";
         }},
    });
    EXPECT_EQ(done, (QStringList{"one", "four"}));
    EXPECT_EQ(runner.ran(), (QStringList{"one", "two", "three", "four"}));
    EXPECT_EQ(runner.failed(), (QStringList{"two", "three"}));
}

} // namespace
} // namespace tikko
