#include "macros/macro_recorder.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace qvr {
namespace {

using Items = std::vector<std::string>;

// Feeds keystrokes and collects what the event list would show.
struct Recording {
    MacroRecorder recorder;
    Items items;
    bool stopped = false;
    DelayRecording delays = DelayRecording::On;

    Recording() { recorder.start(); }

    void key(KeyDirection direction, const std::string& name, std::uint32_t tick,
             bool autoRepeat = false) {
        const RecorderStep step = recorder.onKey({direction, name, autoRepeat, tick}, delays);
        if (step.limitReached) {
            stopped = true;
            recorder.stop();
        }
        items.insert(items.end(), step.items.begin(), step.items.end());
    }
};

TEST(MacroRecorder, PressWaitReleaseGivesDelayItemOnlyWhenDelaysAreRecorded) {
    Recording on;
    on.key(KeyDirection::Press, "A", 1000);
    on.key(KeyDirection::Release, "A", 1120);
    EXPECT_EQ(on.items, (Items{"A   Dn", "120 ms", "A   Up"}));

    Recording off;
    off.delays = DelayRecording::Off;
    off.key(KeyDirection::Press, "A", 1000);
    off.key(KeyDirection::Release, "A", 1120);
    EXPECT_EQ(off.items, (Items{"A   Dn", "A   Up"}));
}

TEST(MacroRecorder, HeldKeyGivesOnePressAndIgnoresRepeatedReleases) {
    Recording r;
    r.key(KeyDirection::Press, "Ctrl", 0);
    r.key(KeyDirection::Press, "A", 10);
    // X11 repeats a held key as release and press pairs, both marked.
    for (std::uint32_t t = 500; t < 800; t += 30) {
        r.key(KeyDirection::Release, "A", t, true);
        r.key(KeyDirection::Press, "A", t, true);
    }
    r.key(KeyDirection::Release, "A", 900);
    EXPECT_EQ(r.items, (Items{"Ctrl   Dn", "10 ms", "A   Dn", "890 ms", "A   Up"}));
    EXPECT_EQ(r.recorder.keyEvents(), 3);
}

TEST(MacroRecorder, RepeatOfAnotherKeyThanTheLastIsRecorded) {
    Recording r;
    r.key(KeyDirection::Press, "B", 0);
    r.key(KeyDirection::Press, "A", 40, true);
    EXPECT_EQ(r.items, (Items{"B   Dn", "40 ms", "A   Dn"}));
}

TEST(MacroRecorder, SixtyFifthKeyEventStopsWithSixtyFourKeyItems) {
    Recording r;
    for (int i = 0; i < 40 && !r.stopped; ++i) {
        r.key(KeyDirection::Press, "A", static_cast<std::uint32_t>(i * 20));
        r.key(KeyDirection::Release, "A", static_cast<std::uint32_t>(i * 20 + 10));
    }
    EXPECT_TRUE(r.stopped);
    int keyItems = 0;
    for (const auto& item : r.items)
        keyItems += item.find("ms") == std::string::npos ? 1 : 0;
    EXPECT_EQ(keyItems, 64);
    EXPECT_EQ(r.items.size(), 64u + 63u);
    EXPECT_EQ(r.items.back(), "A   Up");
}

TEST(MacroRecorder, ReleaseBeforeAnyPressGetsZeroDelayAndNextPressNone) {
    Recording r;
    r.key(KeyDirection::Release, "Shift", 4000000000u);
    r.key(KeyDirection::Press, "B", 4000000100u);
    r.key(KeyDirection::Release, "B", 4000000150u);
    EXPECT_EQ(r.items, (Items{"0 ms", "Shift   Up", "B   Dn", "50 ms", "B   Up"}));
}

TEST(MacroRecorder, TickWrapMeasuresForwardAndStoppedRecorderIgnoresKeys) {
    Recording r;
    r.key(KeyDirection::Press, "A", 0xFFFFFFF0u);
    r.key(KeyDirection::Release, "A", 0x10u);
    EXPECT_EQ(r.items[1], "32 ms");
    r.recorder.stop();
    r.key(KeyDirection::Press, "C", 0x20u);
    EXPECT_EQ(r.items.size(), 3u);
}

} // namespace
} // namespace qvr
