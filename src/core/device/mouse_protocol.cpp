#include "core/device/mouse_protocol.h"

#include "core/buttons/button_encoding.h"
#include "core/device/config_block.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace qvr {
namespace {

constexpr std::size_t kMaxDataReportLength = 4096; // guards against a nonsense declared length

Command makeCommand(std::uint8_t code, std::uint8_t p1 = 0, std::uint8_t p2 = 0) {
    return Command{code, p1, p2, 0, 0, 0, 0, 0};
}

std::size_t reportCount(std::size_t length) {
    return (length + kDataChunk - 1) / kDataChunk;
}

} // namespace

std::uint8_t commandChecksum(std::span<const std::uint8_t, 7> codeAndParameters) {
    unsigned sum = 0;
    for (auto byte : codeAndParameters)
        sum += byte;
    return static_cast<std::uint8_t>(0xFF - sum);
}

std::array<std::uint8_t, kFeatureReportSize> buildCommandReport(const Command& command) {
    std::array<std::uint8_t, kFeatureReportSize> report{};
    std::copy_n(command.begin(), 7, report.begin() + 1);
    report[8] = commandChecksum(std::span<const std::uint8_t, 7>(command.data(), 7));
    return report;
}

MouseProtocol::MouseProtocol(HidDevice& device, Clock& clock, DeviceImages& images,
                             std::size_t inputReportLength)
    : device_(device), clock_(clock), images_(images),
      inputReportLength_(std::min(inputReportLength, kMaxDataReportLength)) {}

bool MouseProtocol::sendCommand(Command& command) {
    const auto report = buildCommandReport(command);
    bool ok = device_.setFeature(report);
    if (command[0] & command::kReadBit) {
        // A failed answer leaves the zeroed buffer: 0x82 then reports slot 0.
        std::array<std::uint8_t, kFeatureReportSize> answer{};
        ok = device_.getFeature(answer) > 0;
        std::copy_n(answer.begin() + 1, command.size(), command.begin());
    }
    return ok;
}

bool MouseProtocol::writeDataReports(std::span<const std::uint8_t> data, std::size_t length) {
    bool allSent = true;
    for (std::size_t chunk = 0; chunk < reportCount(length); ++chunk) {
        std::array<std::uint8_t, kDataReportSize> report{};
        const std::size_t start = chunk * kDataChunk;
        if (start < data.size()) {
            const std::size_t n = std::min(kDataChunk, data.size() - start);
            std::copy_n(data.begin() + static_cast<std::ptrdiff_t>(start), n, report.begin() + 1);
        }
        if (device_.write(report) != static_cast<int>(report.size()))
            allSent = false;
        clock_.sleepFor(pacing::kAfterDataReport);
    }
    return allSent;
}

std::size_t MouseProtocol::readDataReports(std::span<std::uint8_t> data, std::size_t length) {
    if (inputReportLength_ < 2)
        return 0;
    std::vector<std::uint8_t> report(inputReportLength_);
    std::size_t stored = 0;
    for (std::size_t chunk = 0; chunk < reportCount(length); ++chunk) {
        std::fill(report.begin(), report.end(), 0);
        const int got = device_.read(report, pacing::kDataReadTimeoutMs);
        if (got <= 0)
            break; // silent or gone: do not wait once more per missing report
        const std::size_t payload =
            std::min({kDataChunk, static_cast<std::size_t>(got) - 1, length - chunk * kDataChunk});
        const std::size_t start = chunk * kDataChunk;
        // Longer answers than the block are read to keep the stream in step,
        // but only what fits is kept.
        if (start < data.size()) {
            const std::size_t n = std::min(payload, data.size() - start);
            std::copy_n(report.begin() + 1, n, data.begin() + static_cast<std::ptrdiff_t>(start));
            stored = start + n;
        }
    }
    return stored;
}

bool MouseProtocol::sendBlock(Command& command, std::span<std::uint8_t> data) {
    const bool sent = sendCommand(command);
    if (command[0] & command::kReadBit)
        return sent; // never reached: a read's answer replaced the code
    return writeDataReports(data, command[2]) && sent;
}

void MouseProtocol::readActiveSlot() {
    Command command = makeCommand(command::kReadSlot);
    sendCommand(command);
    images_.deviceState[0] = command[0];
}

void MouseProtocol::sendOpenCommand() {
    Command command = makeCommand(command::kOpen, images_.deviceState[1]);
    sendCommand(command);
}

std::size_t MouseProtocol::readConfigurationBlock() {
    Command command = makeCommand(command::kReadConfig);
    sendCommand(command);
    Block buffer{};
    const std::size_t stored = readDataReports(buffer, command[1]);
    std::copy_n(buffer.begin(), stored, images_.profileBlocks[0].begin());
    clock_.sleepFor(pacing::kAfterConfigBlock);
    return stored;
}

bool MouseProtocol::writeConfigurationBlock() {
    Command command = makeCommand(command::kWriteConfig, 0, kBlockSize);
    const bool sent = sendBlock(command, images_.profileBlocks[0]);
    clock_.sleepFor(pacing::kAfterConfigBlock);
    return sent;
}

bool MouseProtocol::writeButtonBlock() {
    Command command = makeCommand(command::kWriteButtons, images_.deviceState[0], kBlockSize);
    const bool sent = sendBlock(command, images_.buttonBlock);
    clock_.sleepFor(pacing::kAfterButtonBlock);
    return sent;
}

bool MouseProtocol::writeMacroBlocks() {
    bool allSent = true;
    for (std::size_t n = 0; n < images_.macroBlocks.size(); ++n) {
        Command command =
            makeCommand(command::kWriteMacro, static_cast<std::uint8_t>(n + 1), kBlockSize);
        if (!sendBlock(command, images_.macroBlocks[n]))
            allSent = false;
        clock_.sleepFor(pacing::kAfterMacroBlock);
        if (progress_)
            progress_(5 + static_cast<int>(n), uploadSteps());
    }
    return allSent;
}

void MouseProtocol::openSequence(ConfigRecord& record) {
    images_.clear();
    readActiveSlot();
    record.activeProfile = images_.deviceState[0];
    images_.deviceState[1] = 0xFC;
    sendOpenCommand();
}

bool MouseProtocol::uploadConfiguration(
    ConfigRecord& record, const std::function<void(const ConfigRecord&)>& afterUpload) {
    record.activeProfile = 0;
    images_.deviceState[0] = 0;
    const auto stepDone = [this](int done) {
        if (progress_)
            progress_(done, uploadSteps());
    };

    // A failure does not stop the upload: the mouse takes each block on its
    // own, so whatever still gets through is kept.
    Command begin = makeCommand(command::kBeginUpload);
    bool allSent = sendCommand(begin);
    clock_.sleepFor(pacing::kAfterShortCommand);
    stepDone(1);

    Command rate = makeCommand(command::kReportRate, images_.deviceState[0], record.reportRateCode);
    allSent = sendCommand(rate) && allSent;
    clock_.sleepFor(pacing::kAfterShortCommand);
    stepDone(2);

    images_.profileBlocks[record.activeProfile] = buildConfigurationBlock(record);
    allSent = writeConfigurationBlock() && allSent;
    stepDone(3);

    buildButtonBlock(record, images_.buttonBlock);
    allSent = writeButtonBlock() && allSent;
    stepDone(4);

    for (std::size_t n = 0; n < images_.macroBlocks.size(); ++n)
        std::copy_n(record.macroData.begin() + static_cast<std::ptrdiff_t>(n * kBlockSize),
                    kBlockSize, images_.macroBlocks[n].begin());
    allSent = writeMacroBlocks() && allSent;

    if (afterUpload)
        afterUpload(record);
    return allSent;
}

} // namespace qvr
