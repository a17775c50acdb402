#pragma once

#include "core/device/hid_backend.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace qvr::test {

// Counts the HID calls made on the thread that built it (the window's), where
// none may run: a wait there freezes the window. A test can also hold every
// search before it lists the interfaces, as a system that hangs would.
class ThreadCheckingBackend final : public HidBackend {
  public:
    explicit ThreadCheckingBackend(HidBackend& inner) : inner_(inner) {}
    ~ThreadCheckingBackend() override { releaseSearches(); }

    std::vector<HidInterfaceInfo> enumerate() override {
        note();
        {
            std::unique_lock lock(gateMutex_);
            gateChanged_.wait(lock, [this] { return !searchesHeld_; });
        }
        return inner_.enumerate();
    }
    void holdSearches() {
        std::lock_guard lock(gateMutex_);
        searchesHeld_ = true;
    }
    void releaseSearches() {
        std::lock_guard lock(gateMutex_);
        searchesHeld_ = false;
        gateChanged_.notify_all();
    }
    std::unique_ptr<HidDevice> open(const HidInterfaceInfo& info, OpenMode mode) override {
        note();
        auto device = inner_.open(info, mode);
        if (!device)
            return nullptr;
        return std::make_unique<Device>(std::move(device), *this);
    }
    HidOpenError lastOpenError() const override { return inner_.lastOpenError(); }

    int callsOnOwnThread() const { return callsOnOwnThread_; }

  private:
    class Device final : public HidDevice {
      public:
        Device(std::unique_ptr<HidDevice> inner, ThreadCheckingBackend& owner)
            : inner_(std::move(inner)), owner_(owner) {}
        bool setFeature(std::span<const std::uint8_t> report) override {
            owner_.note();
            return inner_->setFeature(report);
        }
        int getFeature(std::span<std::uint8_t> buffer) override {
            owner_.note();
            return inner_->getFeature(buffer);
        }
        int write(std::span<const std::uint8_t> report) override {
            owner_.note();
            return inner_->write(report);
        }
        int read(std::span<std::uint8_t> buffer, int timeoutMs) override {
            owner_.note();
            return inner_->read(buffer, timeoutMs);
        }

      private:
        std::unique_ptr<HidDevice> inner_;
        ThreadCheckingBackend& owner_;
    };

    void note() {
        if (std::this_thread::get_id() == owner_)
            ++callsOnOwnThread_;
    }

    HidBackend& inner_;
    const std::thread::id owner_ = std::this_thread::get_id();
    std::atomic<int> callsOnOwnThread_{0};
    std::mutex gateMutex_;
    std::condition_variable gateChanged_;
    bool searchesHeld_ = false;
};

} // namespace qvr::test
