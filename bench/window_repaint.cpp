// A full repaint of the main window on the Carbon skin with every section
// that fits open (button assignment and X/Y on the left; DPI Setting,
// Lighting and USB Report Rate on the right), rendered offscreen into an
// image the size of the window, as the backing store would be. Measured
// with the skin's image cache and with every image decoded again at each
// draw, in one run.
#include "support/settings_rig.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>

namespace qvr::test {
namespace {

using enum RightSection;

void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "window_repaint_bench: %s\n", what);
        std::exit(1);
    }
}

struct OpenWindow {
    OpenWindow() {
        MainWindow& window = rig.start();
        // The same clicks the widget tests make: header positions of the
        // left panel and of the right panel as each opened section pushes
        // the next down.
        rig.click(LeftPanel::kAssignmentHeader.center().x(),
                  LeftPanel::kAssignmentHeader.center().y());
        rig.click(window.leftPanel.xyHeader().center().x(),
                  window.leftPanel.xyHeader().center().y());
        rig.click(800, 42);  // DPI Setting
        rig.click(800, 295); // Lighting, below the DPI body
        rig.click(800, 420); // USB Report Rate, below the Lighting body
        require(window.leftPanel.assignmentOpen && window.leftPanel.xyOpen,
                "the left sections did not open");
        for (RightSection section : {DpiSetting, Lighting, ReportRate})
            require(rig.sections().isOpen(section) && rig.sections().isVisible(section),
                    "a right section did not open");
        target = QImage(window.size(), QImage::Format_RGB32);
    }

    SkinImageCache& skin() { return rig.window().skin(); }
    // The window paints every pixel itself, so no background goes first.
    void repaint() { rig.window().render(&target, {}, {}, QWidget::DrawChildren); }

    SettingsRig rig;
    QImage target;
};

OpenWindow& openWindow() {
    // Kept to the end of the process, after the benchmarks' own teardown.
    static auto* window = new OpenWindow;
    return *window;
}

void run(benchmark::State& state, SkinImageCache::CachePolicy policy) {
    OpenWindow& window = openWindow();
    window.skin().setCachePolicy(policy);
    window.repaint(); // fonts and first decodes out of the loop
    for (auto _ : state) {
        window.repaint();
        benchmark::DoNotOptimize(window.target.constBits());
    }
    state.counters["images"] = window.skin().decodedCount();
    window.skin().setCachePolicy(SkinImageCache::CachePolicy::KeepDecoded);
}

void RepaintWithImageCache(benchmark::State& state) {
    run(state, SkinImageCache::CachePolicy::KeepDecoded);
}
void RepaintDecodingEveryImage(benchmark::State& state) {
    run(state, SkinImageCache::CachePolicy::DecodeEveryDraw);
}

BENCHMARK(RepaintWithImageCache)->Unit(benchmark::kMillisecond);
BENCHMARK(RepaintDecodingEveryImage)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace qvr::test
