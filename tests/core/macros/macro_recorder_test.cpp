#include "core/macros/macro_encoder.h"
#include "core/macros/macro_recorder.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <optional>
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

    bool full = false;
    bool breakKey = false;

    // The window system's timestamp is the tick unless a test gives one.
    void key(KeyDirection direction, const std::string& name, std::uint32_t tick,
             bool autoRepeat = false, std::optional<std::uint64_t> timestamp = std::nullopt) {
        const RecorderStep step =
            recorder.onKey({direction, name, autoRepeat, tick, timestamp.value_or(tick)}, delays);
        items.resize(items.size() - static_cast<std::size_t>(step.removed));
        items.insert(items.end(), step.items.begin(), step.items.end());
        breakKey = breakKey || step.stopKey;
        if (step.limitReached || step.full || step.stopKey) {
            full = step.full;
            finish();
        }
    }
    void finish() {
        const auto last = recorder.stop(delays);
        items.insert(items.end(), last.begin(), last.end());
        stopped = true;
    }
};

// Presses and releases of the recording pair up, as the mouse must play them.
bool paired(const Items& items) {
    std::vector<std::string> down;
    for (const auto& text : items) {
        const MacroItem item = parseMacroItem(text);
        if (item.kind == MacroItemKind::Press)
            down.push_back(item.keyName);
        if (item.kind == MacroItemKind::Release) {
            const auto it = std::find(down.begin(), down.end(), item.keyName);
            if (it == down.end())
                return false;
            down.erase(it);
        }
    }
    return down.empty();
}

TEST(MacroRecorder, PressWaitReleaseGivesDelayItemOnlyWhenDelaysAreRecorded) {
    Recording on;
    on.key(KeyDirection::Press, "A", 1000);
    on.key(KeyDirection::Release, "A", 1120);
    on.finish();
    EXPECT_EQ(on.items, (Items{"A   Dn", "120 ms", "A   Up"}));

    Recording off;
    off.delays = DelayRecording::Off;
    off.key(KeyDirection::Press, "A", 1000);
    off.key(KeyDirection::Release, "A", 1120);
    off.finish();
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
    r.finish();
    EXPECT_EQ(r.items, (Items{"Ctrl   Dn", "10 ms", "A   Dn", "890 ms", "A   Up"}));
    EXPECT_EQ(r.recorder.keyEvents(), 3);
}

TEST(MacroRecorder, UnmarkedReleasePressPairsWithOneTimestampAreRepeats) {
    // What Qt's xcb plugin delivers for a held key: most pairs carry no
    // repeat mark, only the shared timestamp.
    Recording r;
    r.key(KeyDirection::Press, "C", 1000, false, 5000);
    for (std::uint64_t t = 5500; t < 6200; t += 33) {
        const auto tick = static_cast<std::uint32_t>(t - 4000);
        r.key(KeyDirection::Release, "C", tick, false, t);
        r.key(KeyDirection::Press, "C", tick, false, t);
    }
    // A second press of a key still down is a repeat too.
    r.key(KeyDirection::Press, "C", 2190, false, 6190);
    r.key(KeyDirection::Release, "C", 2200, false, 6200);
    EXPECT_TRUE(r.recorder.holdsRelease());
    r.finish();
    EXPECT_EQ(r.items, (Items{"C   Dn", "1200 ms", "C   Up"}));

    // A real release and a new press of the same key at another time are
    // both kept, the release as soon as the press arrives.
    Recording twice;
    twice.key(KeyDirection::Press, "C", 0, false, 100);
    twice.key(KeyDirection::Release, "C", 50, false, 150);
    EXPECT_TRUE(twice.items.size() == 1u);
    twice.key(KeyDirection::Press, "C", 90, false, 190);
    EXPECT_EQ(twice.items, (Items{"C   Dn", "50 ms", "C   Up", "40 ms", "C   Dn"}));
    const RecorderStep late =
        twice.recorder.onKey({KeyDirection::Release, "C", false, 120, 220}, DelayRecording::On);
    EXPECT_TRUE(late.items.empty());
    const RecorderStep flushed = twice.recorder.flush(DelayRecording::On);
    EXPECT_EQ(flushed.items, (Items{"30 ms", "C   Up"}));
}

TEST(MacroRecorder, RepeatOfAnotherKeyThanTheLastIsRecorded) {
    Recording r;
    r.key(KeyDirection::Press, "B", 0);
    r.key(KeyDirection::Press, "A", 40, true);
    EXPECT_EQ(r.items, (Items{"B   Dn", "40 ms", "A   Dn"}));
}

TEST(MacroRecorder, FullRecordingStopsBeforeAnEventThatDoesNotFitAndKeepsPairs) {
    const auto encoded = [](const Items& items, DelayRecording delays) {
        Macro macro{"M", items, delays == DelayRecording::On, false, "1"};
        const MacroEncoding encoding = encodeMacroReport(macro);
        EXPECT_EQ(encoding.eventsDropped, 0);
        return encoding.eventsWritten;
    };
    // Short delays: 2 bytes an event, so 63 fit; the 63rd would be a press
    // without its release, so the recording ends after 62.
    Recording r;
    for (int i = 0; i < 40 && !r.stopped; ++i) {
        r.key(KeyDirection::Press, "A", static_cast<std::uint32_t>(i * 20));
        r.key(KeyDirection::Release, "A", static_cast<std::uint32_t>(i * 20 + 10));
    }
    EXPECT_TRUE(r.full);
    EXPECT_TRUE(paired(r.items));
    EXPECT_EQ(encoded(r.items, DelayRecording::On), 62);
    EXPECT_EQ(r.items.back(), "A   Up");

    // Long delays take 4 bytes; keys still down when the area is full get
    // their releases, with no delay between them.
    Recording chord;
    chord.delays = DelayRecording::Off;
    chord.key(KeyDirection::Press, "Ctrl", 0);
    chord.key(KeyDirection::Press, "Shift", 10);
    for (int i = 0; i < 40 && !chord.stopped; ++i) {
        chord.key(KeyDirection::Press, "B", static_cast<std::uint32_t>(100 + i * 20));
        chord.key(KeyDirection::Release, "B", static_cast<std::uint32_t>(110 + i * 20));
    }
    EXPECT_TRUE(chord.full);
    EXPECT_TRUE(paired(chord.items));
    ASSERT_GE(chord.items.size(), 2u);
    EXPECT_EQ(chord.items[chord.items.size() - 2], "Shift   Up");
    EXPECT_EQ(chord.items.back(), "Ctrl   Up");
    EXPECT_EQ(encoded(chord.items, DelayRecording::Off), 62);

    Recording slow;
    for (int i = 0; i < 40 && !slow.stopped; ++i) {
        slow.key(KeyDirection::Press, "A", static_cast<std::uint32_t>(i * 4000));
        slow.key(KeyDirection::Release, "A", static_cast<std::uint32_t>(i * 4000 + 2000));
    }
    EXPECT_TRUE(slow.full);
    EXPECT_TRUE(paired(slow.items));
    EXPECT_LE(macroEventBytes({"M", slow.items, true, false, "1"}), kMacroEventAreaSize);
    EXPECT_EQ(encoded(slow.items, DelayRecording::On), 32); // 31 × 4 bytes and 2 for the last
}

TEST(MacroRecorder, CtrlBreakStopsAndLeavesItsCtrlOutWhilePauseAloneIsAKey) {
    // Pause alone is an ordinary key.
    Recording pause;
    pause.key(KeyDirection::Press, "Pause", 0);
    pause.key(KeyDirection::Release, "Pause", 30);
    pause.finish();
    EXPECT_EQ(pause.items, (Items{"Pause   Dn", "30 ms", "Pause   Up"}));

    // Ctrl then Pause stops: the Ctrl press and its delay go away again.
    for (const char* ctrl : {"Ctrl", "Right Ctrl"}) {
        Recording r;
        r.key(KeyDirection::Press, "A", 0);
        r.key(KeyDirection::Release, "A", 40);
        r.key(KeyDirection::Press, ctrl, 300);
        EXPECT_EQ(r.items.back(), std::string(ctrl) + "   Dn");
        r.key(KeyDirection::Press, "Pause", 350);
        EXPECT_TRUE(r.breakKey) << ctrl;
        EXPECT_TRUE(r.stopped);
        EXPECT_EQ(r.items, (Items{"A   Dn", "40 ms", "A   Up"})) << ctrl;
        EXPECT_EQ(r.recorder.keyEvents(), 2);
        EXPECT_FALSE(r.recorder.running());
    }

    // Held-back releases still come before the chord's Ctrl is dropped; a
    // recording that is only the chord ends empty.
    Recording only;
    only.delays = DelayRecording::Off;
    only.key(KeyDirection::Press, "Ctrl", 0);
    only.key(KeyDirection::Press, "Pause", 20);
    EXPECT_TRUE(only.breakKey);
    EXPECT_TRUE(only.items.empty());

    // A Ctrl pressed before other keys is part of the macro: it stays, and
    // is let go so that no key is left down on the mouse.
    Recording copy;
    copy.key(KeyDirection::Press, "Ctrl", 0);
    copy.key(KeyDirection::Press, "C", 50);
    copy.key(KeyDirection::Release, "C", 90);
    copy.key(KeyDirection::Press, "Pause", 400);
    EXPECT_TRUE(copy.breakKey);
    EXPECT_EQ(copy.items, (Items{"Ctrl   Dn", "50 ms", "C   Dn", "40 ms", "C   Up", "Ctrl   Up"}));
    EXPECT_TRUE(paired(copy.items));
}

TEST(MacroRecorder, ReleaseBeforeAnyPressGetsZeroDelayAndNextPressNone) {
    Recording r;
    r.key(KeyDirection::Release, "Shift", 4000000000u);
    r.key(KeyDirection::Press, "B", 4000000100u);
    r.key(KeyDirection::Release, "B", 4000000150u);
    r.finish();
    EXPECT_EQ(r.items, (Items{"0 ms", "Shift   Up", "B   Dn", "50 ms", "B   Up"}));
}

TEST(MacroRecorder, TickWrapMeasuresForwardAndStoppedRecorderIgnoresKeys) {
    Recording r;
    r.key(KeyDirection::Press, "A", 0xFFFFFFF0u);
    r.key(KeyDirection::Release, "A", 0x10u);
    r.finish();
    EXPECT_EQ(r.items[1], "32 ms");
    r.key(KeyDirection::Press, "C", 0x20u);
    EXPECT_EQ(r.items.size(), 3u);
}

} // namespace
} // namespace qvr
