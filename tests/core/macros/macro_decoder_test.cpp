#include "core/macros/macro_decoder.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_model.h"

#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace qvr {
namespace {

TEST(MacroDecoderTest, EncodedMacroDecodesToItsEventsAndDelays) {
    const Macro macro{"Macro_0",
                      {"Ctrl   Dn", "20 ms", "A   Dn", "1550 ms", "A   Up", "30000 ms", "Ctrl   Up",
                       "6553500 ms", "L-Button   Dn", "L-Button   Up"},
                      true,
                      true,
                      "300"};
    const DecodedMacro decoded = decodeMacroImage(encodeMacro(macro));
    EXPECT_EQ(decoded.loopCount, 300);
    EXPECT_FALSE(decoded.cutRecord);
    const std::vector<DecodedMacroEvent> expected = {
        {false, 0xE0, 20, 2, 2},      {false, 0x04, 1550, 4, 4}, {true, 0x04, 30000, 8, 6},
        {true, 0xE0, 6553500, 14, 6}, {false, 0xF0, 0, 20, 2},   {true, 0xF0, 0, 22, 2},
    };
    EXPECT_EQ(decoded.events, expected);
    EXPECT_EQ(
        decodedMacroItems(decoded),
        (std::vector<std::string>{"Ctrl   Dn", "20 ms", "A   Dn", "1550 ms", "A   Up", "30000 ms",
                                  "Ctrl   Up", "6553500 ms", "L-Button   Dn", "L-Button   Up"}));
}

TEST(MacroDecoderTest, UnknownKeyWithLongDelayIsNotMistakenForPadding) {
    const Macro macro{"M", {"Bogus   Dn", "1500 ms", "B   Up"}, true, false, "1"};
    const DecodedMacro decoded = decodeMacroImage(encodeMacro(macro));
    ASSERT_EQ(decoded.events.size(), 2u);
    EXPECT_EQ(decoded.events[0].code, 0x00);
    EXPECT_EQ(decoded.events[0].delayMs, 1500u);
    EXPECT_EQ(decodedMacroItems(decoded)[0], "Key 0x00   Dn");
}

TEST(MacroDecoderTest, ShortOrCutImagesDecodeWithoutReadingPastThem) {
    EXPECT_TRUE(decodeMacroImage({}).events.empty());
    const std::vector<std::uint8_t> one = {0x01};
    EXPECT_EQ(decodeMacroImage(one).loopCount, 0);

    // A six-byte record whose count lies beyond the input.
    const std::vector<std::uint8_t> cut = {0x00, 0x01, 0x00, 0x04, 0x00, 0x03, 0x01};
    const DecodedMacro decoded = decodeMacroImage(cut);
    EXPECT_TRUE(decoded.cutRecord);
    EXPECT_TRUE(decoded.events.empty());

    // Input longer than an image: bytes after 128 are not events.
    std::vector<std::uint8_t> longer(200, 0x05);
    EXPECT_EQ(decodeMacroImage(longer).events.size(), 63u);
}

TEST(MacroDecoderTest, RandomBytesNeverLeadOutsideTheImage) {
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<std::size_t> length(0, 160);
    for (int round = 0; round < 20000; ++round) {
        std::vector<std::uint8_t> bytes(length(random));
        for (auto& b : bytes) {
            // Favour the marker and zero so the long forms and the end occur.
            const int r = byte(random);
            b = static_cast<std::uint8_t>(r < 40 ? 0x03 : r < 80 ? 0x00 : r);
        }
        const DecodedMacro decoded = decodeMacroImage(bytes);
        const std::size_t limit = std::min<std::size_t>(bytes.size(), kMacroImageSize);
        std::size_t expectedOffset = kMacroEventAreaOffset;
        for (const DecodedMacroEvent& event : decoded.events) {
            ASSERT_EQ(event.offset, expectedOffset);
            ASSERT_TRUE(event.size == 2 || event.size == 4 || event.size == 6);
            ASSERT_LE(event.offset + event.size, limit);
            ASSERT_LE(event.delayMs, 65535u * 100u + 127u);
            expectedOffset += event.size;
        }
        decodedMacroItems(decoded);
    }
}

} // namespace
} // namespace qvr
