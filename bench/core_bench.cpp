// Timings of the core that a user waits for: the upload of Save (real waits
// included), the macro table an upload builds, and a profile load and save.
#include "core/device/mouse_protocol.h"
#include "core/device/virtual_mouse.h"
#include "core/macros/macro_encoder.h"
#include "core/macros/macro_store.h"
#include "core/profiles/profile_files.h"
#include "core/profiles/profile_record_file.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace qvr {
namespace {

namespace fs = std::filesystem;

// A scratch program folder, removed at the end of the benchmark.
class ScratchFolder {
  public:
    ScratchFolder()
        : path_(fs::temp_directory_path() /
                ("qvr-bench-" + std::to_string(std::random_device{}()))) {
        fs::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    const fs::path& path() const { return path_; }
    void write(const std::string& name, std::string_view bytes) const {
        std::ofstream(path_ / name, std::ios::binary).write(bytes.data(), bytes.size());
    }

  private:
    fs::path path_;
};

ConfigRecord typicalRecord() {
    ConfigRecord record{};
    record.reportRateCode = 1;
    record.dpiStage = {16, 32, 48, 64, 0, 0};
    for (std::size_t i = 0; i < record.macroData.size(); ++i)
        record.macroData[i] = static_cast<std::uint8_t>(i * 13);
    return record;
}

// The waits the protocol prescribes for one upload, summed without sleeping.
std::chrono::milliseconds prescribedUploadWaits() {
    VirtualMouse mouse;
    auto device = mouse.openCommandCollection();
    ManualClock clock;
    DeviceImages images;
    ConfigRecord record = typicalRecord();
    MouseProtocol(*device, clock, images).uploadConfiguration(record);
    return clock.elapsed;
}

void FullUploadWithRealWaits(benchmark::State& state) {
    const auto prescribed = prescribedUploadWaits();
    VirtualMouse mouse;
    auto device = mouse.openCommandCollection();
    SteadyClock clock;
    DeviceImages images;
    ConfigRecord record = typicalRecord();
    MouseProtocol protocol(*device, clock, images);
    for (auto _ : state)
        protocol.uploadConfiguration(record);
    state.counters["prescribed_ms"] = static_cast<double>(prescribed.count());
}
BENCHMARK(FullUploadWithRealWaits)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

Macro sixtyFourEventMacro(int number) {
    Macro macro;
    macro.name = "Macro_" + std::to_string(number);
    macro.recordDelays = true;
    const std::array<std::string_view, 8> keys = {"A",          "S",     "D",     "F",
                                                  "Left Shift", "Space", "Num 1", "Enter"};
    for (int event = 0; event < 64; ++event) {
        const auto key = keys[static_cast<std::size_t>(event / 2) % keys.size()];
        macro.items.push_back(event % 2 == 0 ? pressItem(key) : releaseItem(key));
        macro.items.push_back(delayItem(static_cast<std::uint32_t>(10 + event * 7)));
    }
    return macro;
}

void MacroTableFromTwelveMacrosOf64Events(benchmark::State& state) {
    ScratchFolder folder;
    folder.write("record.ini", "");
    const MacroStore store(folder.path() / "record.ini");
    for (int n = 0; n < kMacroCount; ++n)
        if (store.save(sixtyFourEventMacro(n)).status != MacroSaveStatus::Saved)
            throw std::runtime_error("could not write the macro store");
    if (store.names().size() != kMacroCount)
        throw std::runtime_error("the store does not list twelve macros");
    for (auto _ : state)
        benchmark::DoNotOptimize(buildMacroTable(store.path()));
}
BENCHMARK(MacroTableFromTwelveMacrosOf64Events)->Unit(benchmark::kMicrosecond);

// Load as start-up and a profile switch do (record file and settings), then
// save as Save does (record file and labels), with a changed label so the
// settings file is really rewritten each time.
void LoadAndSaveProfile(benchmark::State& state) {
    ScratchFolder folder;
    folder.write("str.ini", "[Profile]\r\nCurProfileName=Game\r\nItemCount=1\r\nItem0=Game\r\n");
    const auto image = recordFileImage(typicalRecord(), 1);
    folder.write("config0.bin",
                 std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    folder.write("str0.ini",
                 "[Setting-EN]\r\nItem1=Click\r\nItem2=Menu\r\n[Skins]\r\nRColor=255\r\n"
                 "GColor=0\r\nBColor=0\r\nPath=Carbon\r\nLan=EN\r\n[Point]\r\n"
                 "SensitivityX_Y=10\r\n");
    RecordingMessageSink sink;
    ProfileFiles files(folder.path(), sink);
    RecordState record;
    int round = 0;
    for (auto _ : state) {
        if (!files.loadProfileFiles(record))
            throw std::runtime_error("could not load the profile");
        files.readProfileSettings();
        files.labels()[7] = "Round " + std::to_string(round++);
        files.saveProfileRecord(record.record);
        files.writeButtonLabels();
    }
    if (!sink.messages.empty())
        throw std::runtime_error("a profile file could not be written");
}
BENCHMARK(LoadAndSaveProfile)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace qvr
