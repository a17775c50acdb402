#include "core/device/trace.h"

#include <cstdio>

namespace qvr {

std::string hexBytes(std::span<const std::uint8_t> bytes, const char* separator) {
    std::string text;
    text.reserve(bytes.size() * 3);
    char digits[3];
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0)
            text += separator;
        std::snprintf(digits, sizeof digits, "%02x", bytes[i]);
        text += digits;
    }
    return text;
}

void Trace::add(std::string line) {
    std::lock_guard lock(mutex_);
    if (file_.is_open())
        file_ << line << '\n' << std::flush;
    lines_.push_back(std::move(line));
}

void Trace::addBytes(const char* operation, std::span<const std::uint8_t> bytes, bool ok) {
    std::string line = operation;
    if (!bytes.empty())
        line += ' ' + hexBytes(bytes);
    if (!ok)
        line += " failed";
    add(std::move(line));
}

std::vector<std::string> Trace::lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

void Trace::clear() {
    std::lock_guard lock(mutex_);
    lines_.clear();
}

bool Trace::writeTo(const std::string& path) {
    std::lock_guard lock(mutex_);
    file_.open(path, std::ios::out | std::ios::trunc);
    if (!file_)
        return false;
    for (const auto& line : lines_)
        file_ << line << '\n';
    file_.flush();
    return true;
}

TracingDevice::TracingDevice(std::unique_ptr<HidDevice> inner, std::shared_ptr<Trace> trace)
    : inner_(std::move(inner)), trace_(std::move(trace)) {}

bool TracingDevice::setFeature(std::span<const std::uint8_t> report) {
    const bool ok = inner_->setFeature(report);
    trace_->addBytes("set-feature", report, ok);
    return ok;
}

int TracingDevice::getFeature(std::span<std::uint8_t> buffer) {
    const int result = inner_->getFeature(buffer);
    trace_->addBytes("get-feature",
                     result > 0 ? buffer.first(static_cast<std::size_t>(result))
                                : std::span<std::uint8_t>{},
                     result > 0);
    return result;
}

int TracingDevice::write(std::span<const std::uint8_t> report) {
    const int result = inner_->write(report);
    trace_->addBytes("write", report, result >= 0);
    return result;
}

int TracingDevice::read(std::span<std::uint8_t> buffer, int timeoutMs) {
    const int result = inner_->read(buffer, timeoutMs);
    // Timeouts are left out: the listener polls and would flood the trace.
    if (result > 0)
        trace_->addBytes("read", buffer.first(static_cast<std::size_t>(result)));
    else if (result < 0)
        trace_->add("read failed");
    return result;
}

void TracingClock::sleepFor(std::chrono::milliseconds duration) {
    trace_->add("wait " + std::to_string(duration.count()));
    inner_.sleepFor(duration);
}

} // namespace qvr
