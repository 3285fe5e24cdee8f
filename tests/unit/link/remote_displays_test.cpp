#include <gtest/gtest.h>

#include "link/remote_displays.h"

namespace ravik {
namespace {

using Payload = std::vector<uint8_t>;

void PutLe32(Payload& bytes, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
}
void PutFolded(Payload& bytes, uint32_t low, uint32_t high) {
    PutLe32(bytes, static_cast<int32_t>(low));
    PutLe32(bytes, static_cast<int32_t>(high));
}
Payload Terminated(Payload bytes) {
    bytes.push_back(kReplyTerminator);
    return bytes;
}

Payload Screen(uint8_t orientation, const std::vector<uint8_t>& bitmap) {
    Payload bytes{orientation};
    bytes.insert(bytes.end(), bitmap.begin(), bitmap.end());
    return Terminated(bytes);
}

TEST(RemoteDisplays, ScreenBytesAreInvertedAndBitReversed) {
    const std::optional<ScreenDump> dark = DecodeScreenDump(Screen(1, std::vector<uint8_t>(kScreenBitmapBytes, 0xFF)));
    ASSERT_TRUE(dark);
    EXPECT_TRUE(dark->landscape);
    EXPECT_EQ(dark->picture.width, 160);
    EXPECT_EQ(dark->picture.height, 80);
    EXPECT_EQ(dark->picture.rows, std::vector<uint8_t>(kScreenBitmapBytes, 0x00));
    EXPECT_EQ(DecodeScreenDump(Screen(1, std::vector<uint8_t>(kScreenBitmapBytes, 0x00)))->picture.rows,
              std::vector<uint8_t>(kScreenBitmapBytes, 0xFF));
    EXPECT_FALSE(DecodeScreenDump(Payload(1601, 0)));
    EXPECT_FALSE(DecodeScreenDump(Payload(1603, 0)));

    // The least significant bit is the leftmost pixel on the analyzer.
    std::vector<uint8_t> bitmap(kScreenBitmapBytes, 0x00);
    bitmap[0] = 0x01;   // pixel (0, 0) dark
    bitmap[21] = 0x80;  // pixel (15, 1) dark
    const MonoPicture picture = ScreenPicture(bitmap);
    EXPECT_EQ(picture.rows[0], 0x7F);
    EXPECT_FALSE(picture.light(15, 1));
    EXPECT_TRUE(picture.light(14, 1));
}

TEST(RemoteDisplays, PortraitScreenIsTurnedAQuarterClockwise) {
    std::vector<uint8_t> bitmap(kScreenBitmapBytes, 0x00);
    bitmap[0] = 0x01;             // (0, 0) dark
    bitmap[79 * 20 + 19] = 0x80;  // (159, 79) dark
    bitmap[2 * 20 + 1] = 0x04;    // (10, 2) dark
    const std::optional<ScreenDump> dump = DecodeScreenDump(Screen(0, bitmap));
    ASSERT_TRUE(dump);
    EXPECT_FALSE(dump->landscape);
    const MonoPicture& turned = dump->picture;
    EXPECT_EQ(turned.width, 80);
    EXPECT_EQ(turned.height, 160);
    EXPECT_EQ(turned.bytesPerRow(), 10);
    // Column x, row y goes to column 79 - y, row x: these three are the only dark pixels.
    std::vector<std::pair<int, int>> dark;
    for (int y = 0; y < 160; ++y) {
        for (int x = 0; x < 80; ++x) {
            if (!turned.light(x, y)) dark.emplace_back(x, y);
        }
    }
    EXPECT_EQ(dark, (std::vector<std::pair<int, int>>{{79, 0}, {77, 10}, {0, 159}}));
}

Payload SpectrumReply(uint16_t first, uint16_t last, const std::vector<int32_t>& counts, bool second = false,
                      uint32_t nominalMillis = 0) {
    Payload bytes{static_cast<uint8_t>(first >> 8), static_cast<uint8_t>(first), static_cast<uint8_t>(last >> 8),
                  static_cast<uint8_t>(last)};
    if (second) {
        PutFolded(bytes, 12345, 0);    // EZERO
        PutFolded(bytes, 2500000, 0);  // ESCALE
        PutFolded(bytes, nominalMillis, 0);
    }
    for (int32_t count : counts) PutLe32(bytes, count);
    return Terminated(bytes);
}

TEST(RemoteDisplays, SpectrumOf500ChannelsIsComplete2005BytesLong) {
    std::vector<int32_t> counts(500, 7);
    counts[123] = 0x1A1A1A1A;  // terminator bytes inside the counts
    const Payload reply = SpectrumReply(0, 500, counts);
    EXPECT_EQ(reply.size(), 2005u);
    EXPECT_EQ(SpectrumReplyLength(reply, kSpectrumHeaderBytes), 2005u);
    const std::optional<SpectrumPlot> plot = DecodeSpectrum(reply);
    ASSERT_TRUE(plot);
    EXPECT_EQ(plot->counts.size(), 500u);
    EXPECT_FLOAT_EQ(plot->largest, static_cast<float>(0x1A1A1A1A));
    EXPECT_FALSE(DecodeSpectrum(Payload(reply.begin(), reply.end() - 1)));
    EXPECT_EQ(SpectrumReplyLength(SpectrumReply(10, 4, {}), kSpectrumHeaderBytes), 0u);
    EXPECT_EQ(SpectrumReplyLength(Payload{0, 0, 1}, kSpectrumHeaderBytes), std::nullopt);
}

TEST(RemoteDisplays, SecondSpectrumLabelsAndNominalTimeZero) {
    const std::optional<SecondSpectrum> zero = DecodeSecondSpectrum(SpectrumReply(0, 3, {5, 40, 2}, true, 0));
    ASSERT_TRUE(zero);
    EXPECT_EQ(zero->ezeroText, "0.0123");
    EXPECT_EQ(zero->escaleText, "2.5000");
    EXPECT_EQ(zero->plot.labels, (std::vector<std::string>{"MAX=4000.00 cps", "NomSec=  0.01"}));
    const std::optional<SecondSpectrum> timed = DecodeSecondSpectrum(SpectrumReply(0, 2, {50, 100}, true, 20000));
    ASSERT_TRUE(timed);
    EXPECT_EQ(timed->plot.labels, (std::vector<std::string>{"MAX=  5.00 cps", "NomSec= 20.00"}));
}

TEST(RemoteDisplays, StatusTimeZeroIsNewYearsEveAtHour24) {
    Payload bytes;
    PutFolded(bytes, 0, 0);
    for (int i = 0; i < 17; ++i) PutLe32(bytes, i == 0 ? 1234 : -5);
    const std::optional<std::string> text = StatusText(Terminated(bytes));
    ASSERT_TRUE(text);
    EXPECT_EQ(text->substr(0, 23), " 12/31/1993 24:00:00\r\n ");
    EXPECT_NE(text->find(" VSig1:      \t12.34 \r\n"), std::string::npos);
    EXPECT_NE(text->find(" PWait:      \t-0.05 \r\n"), std::string::npos);
    EXPECT_FALSE(StatusText(bytes));
}

}  // namespace
}  // namespace ravik
