#include "core/macros/macro_encoder.h"
#include "core/macros/macro_model.h"
#include "support/macro_test_support.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qvr {
namespace {

using test::expectImage;
using test::imageOf;

Macro macroOf(std::vector<std::string> items, bool recordDelays, bool loop = false,
              std::string loopTimes = "1") {
    return Macro{"Macro_0", std::move(items), recordDelays, loop, std::move(loopTimes)};
}

TEST(MacroEncoderTest, PressDelayReleaseWithRecordedDelays) {
    const Macro macro = macroOf({"A   Dn", "120 ms", "A   Up"}, true);
    expectImage(encodeMacro(macro), {
                                        0x00, 0x01, // loop count 1 (looping off)
                                        0x0C, 0x04, // press A, 120 ms = 12 x 10 ms
                                        0x80, 0x04, // release A, last event: 0 ms
                                    });
}

TEST(MacroEncoderTest, EventsWithoutFollowingDelayGetFiftyMsWhenDelaysAreNotRecorded) {
    const Macro macro = macroOf({"A   Dn", "120 ms", "A   Up"}, false);
    expectImage(encodeMacro(macro), {
                                        0x00, 0x01, // loop count 1
                                        0x0C, 0x04, // press A keeps its delay item: 120 ms
                                        0x85, 0x04, // release A: default 50 ms
                                    });

    const Macro backToBack = macroOf({"A   Dn", "B   Dn"}, false);
    expectImage(encodeMacro(backToBack), {
                                             0x00, 0x01, // loop count 1
                                             0x05, 0x04, // press A, 50 ms
                                             0x05, 0x05, // press B, 50 ms
                                         });
}

TEST(MacroEncoderTest, DelayFormsAtTheirBoundaries) {
    const auto imageFor = [](const std::string& delay) {
        return encodeMacro(macroOf({"L   Dn", delay}, true));
    };
    expectImage(imageFor("1500 ms"), {
                                         0x00, 0x01,             // loop count
                                         0x00, 0x0F, 0x0F, 0x03, // press L, 1500 % 100, 15 x 100 ms
                                     });
    expectImage(imageFor("1550 ms"), {
                                         0x00, 0x01,             // loop count
                                         0x32, 0x0F, 0x0F, 0x03, // press L, 50 in the low bits
                                     });
    expectImage(imageFor("30000 ms"), {
                                          0x00, 0x01, // loop count
                                          0x00, 0x0F, // press L, 30000 % 100 = 0
                                          0x00, 0x03, // six-byte form mark
                                          0x01, 0x2C, // 300 x 100 ms, big-endian
                                      });
    expectImage(imageFor("1271 ms"), {
                                         0x00, 0x01,             // loop count
                                         0x47, 0x0F, 0x0C, 0x03, // press L, 71, 12 x 100 ms
                                     });
    expectImage(imageFor("25500 ms"), {
                                          0x00, 0x01,             // loop count
                                          0x00, 0x0F, 0xFF, 0x03, // press L, 255 x 100 ms
                                      });
    expectImage(imageFor("25501 ms"), {
                                          0x00, 0x01, // loop count
                                          0x01, 0x0F, // press L, 25501 % 100 = 1
                                          0x00, 0x03, // six-byte form mark
                                          0x00, 0xFF, // 255 x 100 ms
                                      });

    const Macro release = macroOf({"A   Up", "1270 ms"}, true);
    expectImage(encodeMacro(release), {
                                          0x00, 0x01, // loop count
                                          0xFF, 0x04, // release bit | 127 x 10 ms, A
                                      });
}

TEST(MacroEncoderTest, DelaysAboveTheEditorLimitAreClampedInsteadOfWrapping) {
    expectImage(encodeMacro(macroOf({"A   Dn", "9999999 ms"}, true)),
                {
                    0x00, 0x01, // loop count
                    0x00, 0x04, // press A, 6553500 % 100 = 0
                    0x00, 0x03, // six-byte form mark
                    0xFF, 0xFF, // 65535 x 100 ms, the largest count
                });
}

TEST(MacroEncoderTest, LoopCountIsUsedOnlyWhenLoopingAndInRange) {
    const std::vector<std::string> items = {"A   Dn"};
    const auto loopBytes = [&](bool loop, const std::string& text) {
        const MacroImage image = encodeMacro(macroOf(items, true, loop, text));
        return std::vector<std::uint8_t>{image[0], image[1]};
    };
    EXPECT_EQ(loopBytes(true, "300"), (std::vector<std::uint8_t>{0x01, 0x2C}));
    EXPECT_EQ(loopBytes(true, "65535"), (std::vector<std::uint8_t>{0xFF, 0xFF}));
    EXPECT_EQ(loopBytes(true, "0"), (std::vector<std::uint8_t>{0x00, 0x01}));
    EXPECT_EQ(loopBytes(true, "70000"), (std::vector<std::uint8_t>{0x00, 0x01}));
    EXPECT_EQ(loopBytes(true, "99999999999999999999"), (std::vector<std::uint8_t>{0x00, 0x01}));
    EXPECT_EQ(loopBytes(true, "abc"), (std::vector<std::uint8_t>{0x00, 0x01}));
    EXPECT_EQ(loopBytes(false, "300"), (std::vector<std::uint8_t>{0x00, 0x01}));
}

TEST(MacroEncoderTest, MacroWithoutItemsIsAllZeroEvenWhenLooping) {
    expectImage(encodeMacro(macroOf({}, true, true, "300")), {});
}

TEST(MacroEncoderTest, KeyCodesFollowTheKeyTableExceptApplication) {
    const Macro macro = macroOf({"Num 1   Dn", "Ctrl   Dn", "L-Button   Dn", "R-Button   Dn",
                                 "M-Button   Dn", "Application   Dn", "Bogus   Dn", "a   Dn"},
                                true);
    expectImage(encodeMacro(macro), {
                                        0x00, 0x01, // loop count
                                        0x00, 0x59, // Num 1
                                        0x00, 0xE0, // Ctrl
                                        0x00, 0xF0, // L-Button
                                        0x00, 0xF1, // R-Button
                                        0x00, 0xF2, // M-Button
                                        0x00, 0x00, // Application: unknown in macros
                                        0x00, 0x00, // unknown name
                                        0x00, 0x00, // lower-case a: the look-up is exact
                                    });
}

TEST(MacroEncoderTest, AKeyItemWithDigitsIsNeverReadAsTheDelayOfTheEventBefore) {
    // "5   Dn" has leading digits; it is an event, not a 5 ms delay.
    expectImage(encodeMacro(macroOf({"A   Dn", "5   Dn"}, true)),
                {
                    0x00, 0x01, // loop count
                    0x00, 0x04, // press A, followed by an event: 0 ms
                    0x00, 0x22, // press 5, last: 0 ms
                });
    expectImage(encodeMacro(macroOf({"A   Dn", "5   Dn"}, false)),
                {
                    0x00, 0x01, // loop count
                    0x05, 0x04, // press A, 50 ms default
                    0x05, 0x22, // press 5, 50 ms default
                });
}

TEST(MacroEncoderTest, DelayItemsAndUnknownLinesProduceNoRecordOfTheirOwn) {
    const Macro macro = macroOf({"400 ms", "A   Dn", "rubbish", "A   Up", "30 ms", "40 ms"}, true);
    expectImage(encodeMacro(macro), {
                                        0x00, 0x01, // loop count
                                        0x00, 0x04, // press A, next line has no digits: 0 ms
                                        0x83, 0x04, // release A, 30 ms
                                    });
}

TEST(MacroEncoderTest, FullRecordingOfShortEventsIsCutAfterSixtyThreeRecords) {
    Macro macro = macroOf({}, true);
    for (int i = 0; i < 32; ++i) {
        macro.items.push_back("A   Dn");
        macro.items.push_back("A   Up");
    }
    const MacroEncoding encoded = encodeMacroReport(macro);
    EXPECT_EQ(encoded.eventsWritten, 63);
    EXPECT_EQ(encoded.eventsDropped, 1);
    const std::vector<std::uint8_t> tail = {
        0x80, 0x04, // record 62 (offset 124): release A
        0x00, 0x04, // record 63 (offset 126): press A, the last to fit
    };
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.image.begin() + 124, encoded.image.end()), tail);
}

TEST(MacroEncoderTest, RecordingWithLongDelaysIsCutAtTheLastWholeRecord) {
    // 64 events, each followed by 2000 ms: four-byte records, 31 fit into
    // the 126-byte area. The 33rd event would fit as a short record but
    // must not be played without the 32nd.
    Macro macro = macroOf({}, true);
    for (int i = 0; i < 64; ++i) {
        macro.items.push_back(i % 2 == 0 ? "B   Dn" : "B   Up");
        if (i != 32) {
            macro.items.push_back("2000 ms");
        }
    }
    const MacroEncoding encoded = encodeMacroReport(macro);
    EXPECT_EQ(encoded.eventsWritten, 31);
    EXPECT_EQ(encoded.eventsDropped, 33);
    const std::vector<std::uint8_t> lastRecord = {
        0x00, 0x05, 0x14, 0x03, // record 31 (offset 122): press B, 20 x 100 ms
        0x00, 0x00,             // nothing after the cut
    };
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.image.begin() + 122, encoded.image.end()),
              lastRecord);
}

TEST(MacroEncoderTest, SixByteRecordsFillTheEventAreaExactly) {
    Macro macro = macroOf({}, true);
    for (int i = 0; i < 22; ++i) {
        macro.items.push_back("C   Dn");
        macro.items.push_back("30000 ms");
    }
    const MacroEncoding encoded = encodeMacroReport(macro);
    EXPECT_EQ(encoded.eventsWritten, 21); // 21 x 6 = 126 bytes
    EXPECT_EQ(encoded.eventsDropped, 1);
    const std::vector<std::uint8_t> lastRecord = {0x00, 0x06, 0x00, 0x03, 0x01, 0x2C};
    EXPECT_EQ(std::vector<std::uint8_t>(encoded.image.begin() + 122, encoded.image.end()),
              lastRecord);
}

} // namespace
} // namespace qvr
