#pragma once

#include "core/device/virtual_mouse.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace qvr::test {

// The mouse as the Linux kernel presents it, in a umockdev test bed: a USB
// device 04d9:a0f4 with the command collection on interface 1 (no report
// IDs) and the event collection on interface 2 (report ID 6), each a hid
// device with its report descriptor and a /dev/hidrawN node, and a foreign
// USB keyboard's hidraw node listed before them. The virtual mouse's
// firmware answers behind the nodes, through the kernel's hidraw contract:
// feature ioctl buffers start with the report number and count it; write()
// passes the report number first; each read() returns one input report, with
// the report ID byte only for numbered reports; a report arriving while
// nobody holds its node open is lost; a node of an unplugged mouse fails
// with ENODEV (ioctl, write) and EIO (read).
//
// The test bed is process-wide: the process (and the programs it starts,
// which inherit UMOCKDEV_DIR) must run under libumockdev-preload, see
// umockdev_main.cpp. One EmulatedMouse at a time.
class EmulatedMouse {
  public:
    // udev lists hidraw nodes in sysfs path order, that is by interface
    // number. CommandFirst is the mouse (command on interface 1, events on
    // 2); EventFirst numbers the two interfaces the other way round.
    enum class Order { CommandFirst, EventFirst };
    enum class Node { Foreign, Command, Event };

    explicit EmulatedMouse(Order order = Order::CommandFirst);
    ~EmulatedMouse();
    EmulatedMouse(const EmulatedMouse&) = delete;
    EmulatedMouse& operator=(const EmulatedMouse&) = delete;

    std::string devnode(Node node) const; // "/dev/hidrawN"
    std::string syspath(Node node) const; // of the hidraw device
    std::string rootDir() const;          // the test bed (UMOCKDEV_DIR)

    // The firmware behind the nodes; arm its faults to make the nodes fail
    // (VanishAt makes the mouse vanish: the nodes then fail as unplugged).
    VirtualMouse& firmware();

    // The firmware presses one of its own switches: an event report 06 07
    // type value on the event interface.
    void emitEvent(std::uint8_t type, std::uint8_t value);
    // An input report as the device sends it (with the report ID byte only
    // on the event node), queued for the node's readers.
    void sendInputReport(Node node, std::vector<std::uint8_t> report);

    // The USB device goes: open nodes fail at once, then "remove" uevents
    // for the hidraw nodes and the sysfs tree is taken down. plug() brings a
    // fresh device with fresh nodes (new hidrawN numbers), announced by "add".
    void unplug();
    void plug();
    bool plugged() const;

    // The mouse's nodes become root-only (mode 0600), as without the udev rule.
    void restrictToRoot();

    // Number of open file descriptors on a node of the current device. The
    // emulation learns of an open() shortly after it returned: a test that
    // sends a report right after opening first waits for the open to count.
    int openCount(Node node) const;
    bool waitUntilOpen(Node node, int count = 1, int timeoutMs = 5000) const;

    struct Impl;

  private:
    std::unique_ptr<Impl> impl_;
};

} // namespace qvr::test
