// SPDX-License-Identifier: MIT
// The default ring as it ships: a wave file every player reads, long and loud enough to
// reach someone away from the screen, and never clipped.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <vector>

namespace {

struct Wave {
    uint16_t format = 0, channels = 0, bits = 0;
    uint32_t rate = 0;
    std::vector<int16_t> samples;
};

uint32_t le32(const char* p) {
    return uint32_t(uint8_t(p[0])) | uint32_t(uint8_t(p[1])) << 8 | uint32_t(uint8_t(p[2])) << 16 |
           uint32_t(uint8_t(p[3])) << 24;
}
uint16_t le16(const char* p) {
    return uint16_t(uint8_t(p[0]) | uint8_t(p[1]) << 8);
}

// Walks the chunks of a RIFF wave file; an empty result when it is none.
Wave readWave(const std::vector<char>& bytes) {
    Wave wave;
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 ||
        std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return wave;
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        const char* chunk = bytes.data() + at;
        const std::size_t size = le32(chunk + 4);
        if (at + 8 + size > bytes.size())
            break;
        if (std::memcmp(chunk, "fmt ", 4) == 0 && size >= 16) {
            wave.format = le16(chunk + 8);
            wave.channels = le16(chunk + 10);
            wave.rate = le32(chunk + 12);
            wave.bits = le16(chunk + 22);
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            for (std::size_t i = 0; i + 1 < size; i += 2)
                wave.samples.push_back(static_cast<int16_t>(le16(chunk + 8 + i)));
        }
        at += 8 + size + (size & 1);
    }
    return wave;
}

TEST(AlarmSoundTest, TheDefaultRingIsLongLoudAndClean) {
    std::ifstream file(TIKKO_ALARM_SOUND, std::ios::binary);
    ASSERT_TRUE(file) << TIKKO_ALARM_SOUND;
    const std::vector<char> bytes{std::istreambuf_iterator<char>(file), {}};
    EXPECT_LT(bytes.size(), 1024u * 1024u);

    const Wave wave = readWave(bytes);
    EXPECT_EQ(wave.format, 1); // plain PCM
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.bits, 16);
    EXPECT_TRUE(wave.rate == 44100 || wave.rate == 48000) << wave.rate;
    ASSERT_FALSE(wave.samples.empty());

    const double seconds = double(wave.samples.size()) / wave.rate;
    EXPECT_GE(seconds, 8.0);
    EXPECT_LE(seconds, 10.0);

    int peak = 0;
    for (int16_t s : wave.samples)
        peak = std::max(peak, std::abs(int(s)));
    const double peakDbfs = 20 * std::log10(peak / 32767.0);
    EXPECT_GE(peakDbfs, -4.0);
    EXPECT_LE(peakDbfs, -2.0); // headroom: no sample at full scale
    // It starts and ends in silence, so that neither end clicks.
    EXPECT_LT(std::abs(int(wave.samples.front())), 64);
    EXPECT_LT(std::abs(int(wave.samples.back())), 64);
}

} // namespace
