#include "core/device/virtual_mouse.h"

#include "core/device/device_events.h"
#include "core/device/mouse_protocol.h"
#include "core/record/config_record.h"

#include <algorithm>
#include <chrono>

namespace qvr {

// Shared by the mouse object and its handles, so a handle outliving the
// mouse object stays safe.
struct VirtualMouse::State {
    mutable std::mutex mutex;
    std::condition_variable eventArrived;

    bool plugged = true;
    unsigned generation = 0; // handles of an older generation are dead

    std::uint8_t slot = 0;
    std::uint8_t openModeByte = 0;
    std::uint8_t reportRateCode = 1;
    // The DPI stage the mouse's own buttons are at; it answers 0x8C with it
    // in its block, whatever an upload sent there.
    std::uint8_t dpiStage = 1;
    Block configBlock{};
    Block buttonBlock{};
    std::array<Block, 12> macroBlocks{};
    int uploadsBegun = 0;
    std::uint8_t configAnswerLength = kBlockSize;

    // The command in progress.
    std::array<std::uint8_t, kFeatureReportSize> answer{};
    bool answerReady = false;
    std::uint8_t pendingWrite = 0; // command whose data reports are awaited
    std::uint8_t pendingWriteParam = 0;
    std::vector<std::uint8_t> incoming;
    std::size_t incomingExpected = 0;
    std::deque<std::array<std::uint8_t, kDataReportSize>> outgoing;

    std::deque<std::vector<std::uint8_t>> events;

    FaultKind fault = FaultKind::None;
    int faultAt = 0;
    int calls = 0;

    // Counts the call and says whether it may go through.
    bool admit(unsigned handleGeneration) {
        const int index = calls++;
        if (!plugged || handleGeneration != generation)
            return false;
        switch (fault) {
        case FaultKind::None:
            return true;
        case FaultKind::FailOnce:
            return index != faultAt;
        case FaultKind::FailFromThenOn:
            return index < faultAt;
        case FaultKind::VanishAt:
            if (index >= faultAt) {
                plugged = false;
                ++generation;
                eventArrived.notify_all();
                return false;
            }
            return true;
        }
        return true;
    }

    void storeBlock() {
        Block block{};
        std::copy_n(incoming.begin(), std::min(incoming.size(), block.size()), block.begin());
        switch (pendingWrite) {
        case command::kWriteConfig:
            configBlock = block;
            break;
        case command::kWriteButtons:
            buttonBlock = block;
            break;
        case command::kWriteMacro:
            if (pendingWriteParam >= 1 && pendingWriteParam <= macroBlocks.size())
                macroBlocks[pendingWriteParam - 1] = block;
            break;
        default:
            break;
        }
        pendingWrite = 0;
        incoming.clear();
    }

    void command(std::span<const std::uint8_t> report) {
        std::array<std::uint8_t, kFeatureReportSize> bytes{};
        std::copy_n(report.begin(), std::min(report.size(), bytes.size()), bytes.begin());
        const std::uint8_t code = bytes[1];
        answer = {};
        answerReady = false;
        pendingWrite = 0;
        incoming.clear();
        switch (code) {
        case command::kOpen:
            openModeByte = bytes[2];
            break;
        case command::kBeginUpload:
            ++uploadsBegun;
            break;
        case command::kReportRate:
            reportRateCode = bytes[3];
            break;
        case command::kWriteConfig:
        case command::kWriteButtons:
        case command::kWriteMacro:
            pendingWrite = code;
            pendingWriteParam = bytes[2];
            incomingExpected = bytes[3];
            break;
        case command::kReadSlot:
            answer[1] = slot;
            answerReady = true;
            break;
        case command::kReadConfig: {
            answer[1] = code;
            answer[2] = configAnswerLength;
            answerReady = true;
            outgoing.clear();
            const std::size_t reports = (configAnswerLength + kDataChunk - 1) / kDataChunk;
            for (std::size_t r = 0; r < reports; ++r) {
                std::array<std::uint8_t, kDataReportSize> data{};
                for (std::size_t i = 0; i < kDataChunk; ++i) {
                    const std::size_t at = r * kDataChunk + i;
                    // Past its block the model repeats a marker byte, so a
                    // reader that stores too much is caught.
                    data[1 + i] = at < configBlock.size() ? configBlock[at] : 0xEE;
                    if (at == kBlockActiveStageOffset)
                        data[1 + i] = dpiStage;
                }
                outgoing.push_back(data);
            }
            break;
        }
        default:
            break;
        }
        if (answerReady) {
            answer[8] = commandChecksum(std::span<const std::uint8_t, 7>(answer.data() + 1, 7));
        }
    }
};

class VirtualMouse::CommandCollection final : public HidDevice {
  public:
    CommandCollection(std::shared_ptr<State> state, unsigned generation)
        : state_(std::move(state)), generation_(generation) {}

    bool setFeature(std::span<const std::uint8_t> report) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->admit(generation_) || report.size() < kFeatureReportSize)
            return false;
        state_->command(report);
        return true;
    }

    int getFeature(std::span<std::uint8_t> buffer) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->admit(generation_) || !state_->answerReady || buffer.empty())
            return -1;
        const std::size_t n = std::min(buffer.size(), state_->answer.size());
        std::copy_n(state_->answer.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }

    int write(std::span<const std::uint8_t> report) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->admit(generation_) || report.size() != kDataReportSize)
            return -1;
        if (state_->pendingWrite != 0) {
            state_->incoming.insert(state_->incoming.end(), report.begin() + 1, report.end());
            if (state_->incoming.size() >= state_->incomingExpected)
                state_->storeBlock();
        }
        return static_cast<int>(report.size());
    }

    int read(std::span<std::uint8_t> buffer, int /*timeoutMs*/) override {
        std::lock_guard lock(state_->mutex);
        if (!state_->admit(generation_))
            return -1;
        if (state_->outgoing.empty())
            return 0; // the model answers at once or not at all
        const auto report = state_->outgoing.front();
        state_->outgoing.pop_front();
        const std::size_t n = std::min(buffer.size(), report.size());
        std::copy_n(report.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }

  private:
    std::shared_ptr<State> state_;
    unsigned generation_;
};

class VirtualMouse::EventCollection final : public HidDevice {
  public:
    EventCollection(std::shared_ptr<State> state, unsigned generation)
        : state_(std::move(state)), generation_(generation) {}

    bool setFeature(std::span<const std::uint8_t>) override { return false; }
    int getFeature(std::span<std::uint8_t>) override { return -1; }
    int write(std::span<const std::uint8_t>) override { return -1; }

    int read(std::span<std::uint8_t> buffer, int timeoutMs) override {
        std::unique_lock lock(state_->mutex);
        const auto alive = [&] { return state_->plugged && state_->generation == generation_; };
        state_->eventArrived.wait_for(lock, std::chrono::milliseconds(std::max(timeoutMs, 0)),
                                      [&] { return !alive() || !state_->events.empty(); });
        if (!alive())
            return -1;
        if (state_->events.empty())
            return 0;
        const auto report = std::move(state_->events.front());
        state_->events.pop_front();
        const std::size_t n = std::min(buffer.size(), report.size());
        std::copy_n(report.begin(), n, buffer.begin());
        return static_cast<int>(n);
    }

  private:
    std::shared_ptr<State> state_;
    unsigned generation_;
};

VirtualMouse::VirtualMouse()
    : state_(std::make_shared<State>()), trace_(std::make_shared<Trace>()) {
    // A plausible factory block: the template with four stages and colours.
    ConfigRecord factory{};
    factory.dpiStage = {16, 32, 48, 64, 0, 0};
    state_->configBlock = kBlockTemplate;
    std::copy_n(factory.dpiStage.begin(), 4, state_->configBlock.begin() + 0x54);
    std::copy_n(factory.dpiStage.begin(), 4, state_->configBlock.begin() + 0x5C);
}

VirtualMouse::~VirtualMouse() {
    std::lock_guard lock(state_->mutex);
    state_->plugged = false;
    ++state_->generation;
    state_->eventArrived.notify_all();
}

std::unique_ptr<HidDevice> VirtualMouse::openCommandCollection() {
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged)
        return nullptr;
    return std::make_unique<TracingDevice>(
        std::make_unique<CommandCollection>(state_, state_->generation), trace_);
}

std::unique_ptr<HidDevice> VirtualMouse::openEventCollection() {
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged)
        return nullptr;
    return std::make_unique<TracingDevice>(
        std::make_unique<EventCollection>(state_, state_->generation), trace_);
}

void VirtualMouse::unplug() {
    std::lock_guard lock(state_->mutex);
    state_->plugged = false;
    ++state_->generation;
    state_->events.clear();
    state_->eventArrived.notify_all();
}

void VirtualMouse::plug() {
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged) {
        state_->plugged = true;
        ++state_->generation;
    }
}

bool VirtualMouse::plugged() const {
    std::lock_guard lock(state_->mutex);
    return state_->plugged;
}

void VirtualMouse::emitEvent(std::uint8_t type, std::uint8_t value) {
    // A DPI event is the mouse's buttons switching the stage.
    if (type >= 1 && type <= 3 && value >= 1 && value <= 6) {
        std::lock_guard lock(state_->mutex);
        state_->dpiStage = value;
    }
    std::vector<std::uint8_t> report(kEventReportLength, 0);
    report[0] = 0x06;
    report[1] = 0x07;
    report[2] = type;
    report[3] = value;
    emitInputReport(std::move(report));
}

void VirtualMouse::emitInputReport(std::vector<std::uint8_t> report) {
    std::lock_guard lock(state_->mutex);
    if (!state_->plugged)
        return;
    state_->events.push_back(std::move(report));
    state_->eventArrived.notify_all();
}

std::size_t VirtualMouse::eventsWaiting() const {
    std::lock_guard lock(state_->mutex);
    return state_->events.size();
}

void VirtualMouse::armFault(FaultKind kind, int atCall) {
    std::lock_guard lock(state_->mutex);
    state_->fault = kind;
    state_->faultAt = atCall;
}

void VirtualMouse::resetCallCount() {
    std::lock_guard lock(state_->mutex);
    state_->calls = 0;
}

int VirtualMouse::callCount() const {
    std::lock_guard lock(state_->mutex);
    return state_->calls;
}

void VirtualMouse::setConfigAnswerLength(std::uint8_t length) {
    std::lock_guard lock(state_->mutex);
    state_->configAnswerLength = length;
}

void VirtualMouse::setSlot(std::uint8_t slot) {
    std::lock_guard lock(state_->mutex);
    state_->slot = slot;
}

void VirtualMouse::setDpiStage(std::uint8_t stage) {
    std::lock_guard lock(state_->mutex);
    state_->dpiStage = stage;
}

std::uint8_t VirtualMouse::dpiStage() const {
    std::lock_guard lock(state_->mutex);
    return state_->dpiStage;
}

std::uint8_t VirtualMouse::slot() const {
    std::lock_guard lock(state_->mutex);
    return state_->slot;
}

std::uint8_t VirtualMouse::openModeByte() const {
    std::lock_guard lock(state_->mutex);
    return state_->openModeByte;
}

std::uint8_t VirtualMouse::reportRateCode() const {
    std::lock_guard lock(state_->mutex);
    return state_->reportRateCode;
}

Block VirtualMouse::configurationBlock() const {
    std::lock_guard lock(state_->mutex);
    return state_->configBlock;
}

Block VirtualMouse::buttonBlock() const {
    std::lock_guard lock(state_->mutex);
    return state_->buttonBlock;
}

Block VirtualMouse::macroBlock(int number) const {
    std::lock_guard lock(state_->mutex);
    if (number < 1 || number > 12)
        return Block{};
    return state_->macroBlocks[static_cast<std::size_t>(number - 1)];
}

int VirtualMouse::uploadsBegun() const {
    std::lock_guard lock(state_->mutex);
    return state_->uploadsBegun;
}

} // namespace qvr
