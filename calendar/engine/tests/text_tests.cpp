// SPDX-License-Identifier: MIT
#include "kalendo/errors.h"
#include "kalendo/text.h"

#include <gtest/gtest.h>

namespace kalendo {
namespace {

TEST(TextTest, Int16ReadingIsStrict) {
    EXPECT_EQ(text::parseInt16(" 2008 "), 2008);
    EXPECT_EQ(text::parseInt16("04"), 4);
    EXPECT_EQ(text::parseInt16("+4"), 4);
    EXPECT_EQ(text::parseInt16("-5"), -5);
    for (const char* bad : {"", " ", "12a", "2009x", "4.0", "\t4", "--4", "0x10"})
        EXPECT_THROW(text::parseInt16(bad), TypeMismatchError) << bad;
    EXPECT_THROW(text::parseInt16("32768"), OverflowError);
    EXPECT_THROW(text::parseInt16("-32769"), OverflowError);
    EXPECT_THROW(text::parseInt16(std::string(400, '9')), OverflowError);
}

TEST(TextTest, Utf8Walk) {
    EXPECT_EQ(text::characterCount("植树节 孙中山"), 7u);
    EXPECT_EQ(text::firstCharacters("植树节 孙中山", 4), "植树节 ");
    EXPECT_EQ(text::firstCharacters("ab", 5), "ab");
    EXPECT_EQ(text::characterCount("\xE4"), 1u); // a cut character does not run past the end
    std::size_t pos = 0;
    EXPECT_EQ(text::decodeCharacter("春a", pos), U'春');
    EXPECT_EQ(pos, 3u);
    constexpr auto pairs = text::splitCharacters<3>("小寒大寒立春", 2);
    EXPECT_EQ(pairs[2], "立春");
}

TEST(TextTest, ZeroPadding) {
    EXPECT_EQ(text::zeroPadded(4, 2), "04");
    EXPECT_EQ(text::zeroPadded(12, 2), "12");
    EXPECT_EQ(text::zeroPadded(318, 4), "0318");
    EXPECT_EQ(text::zeroPadded(20080, 4), "20080");
    char digits[4];
    text::putDigits(digits, 2008, 4);
    EXPECT_EQ(std::string_view(digits, 4), "2008");
}

TEST(ErrorTest, EveryErrorHasItsNumberAndOneDefaultMessage) {
    EXPECT_EQ(EngineError(Error::NoSuchMember).number(), 438);
    EXPECT_STREQ(TypeMismatchError().what(), "Type mismatch");
    EXPECT_STREQ(InvalidCallError("date before lunar 1900-1-1").what(),
                 "Invalid procedure call or argument: date before lunar 1900-1-1");
    for (const ErrorInfo& a : kErrors) {
        EXPECT_FALSE(a.message.empty());
        for (const ErrorInfo& b : kErrors)
            EXPECT_TRUE(&a == &b || a.error != b.error) << static_cast<int>(a.error);
    }
}

} // namespace
} // namespace kalendo
