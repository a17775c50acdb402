#pragma once

#include "core/device/clock.h"
#include "core/device/device_images.h"
#include "core/device/hid_device.h"
#include "core/record/config_record.h"

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>

namespace qvr {

// A command as it travels: code, p1..p6 and the checksum slot. A read command
// is replaced by the mouse's eight answer bytes.
using Command = std::array<std::uint8_t, 8>;

inline constexpr std::size_t kFeatureReportSize = 9;
inline constexpr std::size_t kDataReportSize = 65; // report ID + 64 data bytes
inline constexpr std::size_t kDataChunk = 64;

namespace command {
inline constexpr std::uint8_t kOpen = 0x01;
inline constexpr std::uint8_t kBeginUpload = 0x02;
inline constexpr std::uint8_t kReportRate = 0x03;
inline constexpr std::uint8_t kWriteConfig = 0x0C;
inline constexpr std::uint8_t kWriteButtons = 0x0D;
inline constexpr std::uint8_t kWriteMacro = 0x0F;
inline constexpr std::uint8_t kReadSlot = 0x82;
inline constexpr std::uint8_t kReadConfig = 0x8C;
inline constexpr std::uint8_t kReadBit = 0x80;
} // namespace command

// The mouse's pacing: how long it needs after each kind of report.
namespace pacing {
using std::chrono::milliseconds;
inline constexpr milliseconds kAfterShortCommand{10};
inline constexpr milliseconds kAfterDataReport{20};
inline constexpr milliseconds kAfterConfigBlock{10};
inline constexpr milliseconds kAfterButtonBlock{2};
inline constexpr milliseconds kAfterMacroBlock{20};
// Not the mouse's: how long a data-report read may wait before the mouse is
// taken to have nothing more to say.
inline constexpr int kDataReadTimeoutMs = 1000;
} // namespace pacing

// 0xFF minus the sum of bytes 1..7 of the report, modulo 256.
std::uint8_t commandChecksum(std::span<const std::uint8_t, 7> codeAndParameters);
std::array<std::uint8_t, kFeatureReportSize> buildCommandReport(const Command& command);

// The conversation with the mouse's command collection. Stateless between
// commands; results of single reports are not acted on (the device-present
// flag is the only gate, checked by the callers).
class MouseProtocol {
  public:
    // inputReportLength: the command collection's declared input report
    // length, used to read data reports (65 expected).
    MouseProtocol(HidDevice& device, Clock& clock, DeviceImages& images,
                  std::size_t inputReportLength = kDataReportSize);

    bool sendCommand(Command& command);
    // Write: sends ceil(p2 / 64) data reports from data (zero-filled past its
    // end). Read: the answer's byte 2 gives the length; at most data.size()
    // bytes are stored, the rest is read and dropped. True when every report
    // went out.
    bool sendBlock(Command& command, std::span<std::uint8_t> data);

    void readActiveSlot();
    void sendOpenCommand();
    // Returns the number of bytes stored in profileBlocks[0].
    std::size_t readConfigurationBlock();
    // True when every report of the block(s) went out.
    bool writeConfigurationBlock();
    bool writeButtonBlock();
    bool writeMacroBlocks();

    // Right after the mouse is opened: clear the images, read the slot into
    // the record's activeProfile and send the open command.
    void openSequence(ConfigRecord& record);

    // The whole upload of Save and Reset. afterUpload is where the profile
    // files are saved; it runs whatever happened on the wire. Returns whether
    // every report reached the mouse, so the caller can say when it did not.
    bool uploadConfiguration(ConfigRecord& record,
                             const std::function<void(const ConfigRecord&)>& afterUpload = {});
    // Called after each step of an upload (the two short commands, then each
    // block) with the steps done and their total.
    using Progress = std::function<void(int done, int total)>;
    void setProgress(Progress progress) { progress_ = std::move(progress); }
    int uploadSteps() const { return 4 + static_cast<int>(images_.macroBlocks.size()); }

  private:
    bool writeDataReports(std::span<const std::uint8_t> data, std::size_t length);
    std::size_t readDataReports(std::span<std::uint8_t> data, std::size_t length);

    HidDevice& device_;
    Clock& clock_;
    DeviceImages& images_;
    std::size_t inputReportLength_;
    Progress progress_;
};

} // namespace qvr
