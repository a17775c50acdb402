#include "support/emulated_mouse.h"

#include "core/device/mouse_descriptor.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <linux/hidraw.h>
#include <mutex>
#include <ranges>
#include <stdexcept>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <umockdev.h>
#include <unistd.h>

namespace qvr::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

// A boot keyboard's descriptor, for the foreign node: usage page 1, usage 6.
constexpr auto kKeyboardDescriptor = std::to_array<std::uint8_t>({
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15, 0x00, 0x25,
    0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01, 0x95, 0x06,
    0x75, 0x08, 0x15, 0x00, 0x25, 0x65, 0x05, 0x07, 0x19, 0x00, 0x29, 0x65, 0x81, 0x00, 0xC0,
});

constexpr char kUsbRoot[] = "pci0000:00/0000:00:14.0/usb1";

// The kernel refuses writes longer than this (HID_MAX_BUFFER_SIZE).
constexpr std::size_t kMaxReportSize = 16384;

// One node of one plug-in of the device. Handles of earlier plug-ins stay
// dead, as a file descriptor of a removed device does.
struct NodeInstance {
    EmulatedMouse::Node kind{};
    std::string devnode;
    bool numbered = false;
    Bytes descriptor;
    int ptyMaster = -1;
    bool gone = false;
    bool bellRung = false;
    int clients = 0;
    std::deque<Bytes> queue;
    std::deque<UMockdevIoctlClient*> waitingReaders;
    UMockdevIoctlBase* handler = nullptr;
    EmulatedMouse::Impl* owner = nullptr;
};

} // namespace

struct EmulatedMouse::Impl {
    UMockdevTestbed* testbed = nullptr;
    Order order;
    std::shared_ptr<VirtualMouse> firmware = std::make_shared<VirtualMouse>();
    std::unique_ptr<HidDevice> commandHandle;
    std::unique_ptr<HidDevice> eventHandle;
    bool plugged = false;
    std::string foreignSyspath;
    std::string mouseUsbSyspath;
    std::vector<std::string> mouseSyspaths; // parents before children
    int nextNumber = 1;                     // the next hidraw minor; hid numbers run one ahead

    static std::string hidName(int sequence) {
        char name[32];
        std::snprintf(name, sizeof name, "0003:04D9:A0F4.%04X", sequence);
        return name;
    }
    std::array<std::string, 3> hidrawSyspaths;
    std::array<std::shared_ptr<NodeInstance>, 3> nodes;
    std::vector<std::shared_ptr<NodeInstance>> retired;
    mutable std::mutex mutex;
    mutable std::condition_variable opened;

    static std::size_t index(Node node) { return static_cast<std::size_t>(node); }

    // The node's poll() readiness: a PTY byte present exactly while a report
    // is queued or the node is gone, so hidapi's poll-then-read works while
    // every read itself is answered here, one report at a time.
    static void ringBell(NodeInstance& node) {
        if (node.bellRung || node.ptyMaster < 0)
            return;
        const char bell = '\n';
        if (::write(node.ptyMaster, &bell, 1) == 1)
            node.bellRung = true;
    }

    static void completeRead(UMockdevIoctlClient* client, const Bytes& report) {
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const std::size_t n = std::min<std::size_t>(report.size(), arg->data_len);
        std::copy_n(report.begin(), n, arg->data);
        umockdev_ioctl_client_complete(client, static_cast<glong>(n), 0);
    }

    void markGone(NodeInstance& node) {
        node.gone = true;
        ringBell(node);
        for (UMockdevIoctlClient* client : node.waitingReaders) {
            umockdev_ioctl_client_complete(client, -1, EIO);
            g_object_unref(client);
        }
        node.waitingReaders.clear();
    }

    // The firmware vanished (an armed fault): the nodes go with it.
    void noticeVanished() {
        if (firmware->plugged())
            return;
        for (auto& node : nodes)
            if (node && node->kind != Node::Foreign)
                markGone(*node);
    }

    void deliver(NodeInstance& node, Bytes report) {
        if (node.gone || node.clients == 0)
            return; // nobody holds the node open: the kernel drops it
        if (!node.waitingReaders.empty()) {
            UMockdevIoctlClient* client = node.waitingReaders.front();
            node.waitingReaders.pop_front();
            completeRead(client, report);
            g_object_unref(client);
            return;
        }
        node.queue.push_back(std::move(report));
        ringBell(node);
    }

    // Input reports the firmware has ready (the answer to 0x8C) travel on
    // its interrupt endpoint at once, without the report ID byte.
    void drainCommandReports(NodeInstance& node) {
        std::array<std::uint8_t, 65> buffer{};
        while (commandHandle) {
            const int got = commandHandle->read(buffer, 0);
            if (got <= 1)
                break;
            deliver(node, Bytes(buffer.begin() + 1, buffer.begin() + got));
        }
    }

    void drainEventReports() {
        auto& node = nodes[index(Node::Event)];
        std::array<std::uint8_t, 64> buffer{};
        while (eventHandle && node) {
            const int got = eventHandle->read(buffer, 0);
            if (got <= 0)
                break;
            deliver(*node, Bytes(buffer.begin(), buffer.begin() + got));
        }
    }

    std::string addUsbDevice(const char* name, const char* vendor, const char* product,
                             const char* productName, int devnum) {
        const std::string path = std::string(kUsbRoot) + "/" + name;
        const std::string dev = std::to_string(devnum);
        gchar* syspath = umockdev_testbed_add_device(
            testbed, "usb", path.c_str(), nullptr, "idVendor", vendor, "idProduct", product,
            "manufacturer", "Example", "product", productName, "bcdDevice", "0100", "busnum", "1",
            "devnum", dev.c_str(), "speed", "12", nullptr, "DEVTYPE", "usb_device", "BUSNUM", "001",
            "DEVNUM", dev.c_str(), nullptr);
        std::string result = syspath;
        g_free(syspath);
        return result;
    }

    std::string addInterface(const std::string& usbSyspath, const char* usbName, int number) {
        const std::string name = std::string(usbName) + ":1." + std::to_string(number);
        const std::string numberText = "0" + std::to_string(number);
        gchar* syspath = umockdev_testbed_add_device(
            testbed, "usb", name.c_str(), usbSyspath.c_str(), "bInterfaceNumber",
            numberText.c_str(), "bInterfaceClass", "03", nullptr, "DEVTYPE", "usb_interface",
            "INTERFACE", "3/0/0", nullptr);
        std::string result = syspath;
        g_free(syspath);
        return result;
    }

    std::string addHid(const std::string& interfaceSyspath, const char* hidName, const char* hidId,
                       const char* hidName2, std::span<const std::uint8_t> rd) {
        gchar* syspath = umockdev_testbed_add_device(
            testbed, "hid", hidName, interfaceSyspath.c_str(), nullptr, "HID_ID", hidId, "HID_NAME",
            hidName2, "HID_UNIQ", "", "DRIVER", "hid-generic", nullptr);
        std::string result = syspath;
        g_free(syspath);
        Bytes copy(rd.begin(), rd.end());
        umockdev_testbed_set_attribute_binary(testbed, result.c_str(), "report_descriptor",
                                              copy.data(), static_cast<gssize>(copy.size()));
        return result;
    }

    std::shared_ptr<NodeInstance> addHidraw(Node kind, const std::string& hidSyspath,
                                            const char* hidName, int minor,
                                            std::span<const std::uint8_t> descriptor,
                                            bool numbered) {
        const std::string name = "hidraw" + std::to_string(minor);
        const std::string devpath = hidSyspath.substr(4) + "/hidraw/" + name; // chop "/sys"
        const std::string record = "P: " + devpath + "\nN: " + name +
                                   "\nE: SUBSYSTEM=hidraw\nE: DEVNAME=/dev/" + name +
                                   "\nE: MAJOR=241\nE: MINOR=" + std::to_string(minor) +
                                   "\nA: dev=241:" + std::to_string(minor) + "\n";
        GError* error = nullptr;
        if (!umockdev_testbed_add_from_string(testbed, record.c_str(), &error)) {
            const std::string message = error ? error->message : "unknown error";
            g_clear_error(&error);
            throw std::runtime_error("cannot add " + name + ": " + message);
        }
        const std::string syspath = "/sys" + devpath;
        // The kernel links hidrawN/device to the hid device; umockdev does not.
        umockdev_testbed_set_attribute_link(testbed, syspath.c_str(), "device",
                                            (std::string("../../../") + hidName).c_str());
        hidrawSyspaths[index(kind)] = syspath;

        auto node = std::make_shared<NodeInstance>();
        node->kind = kind;
        node->devnode = "/dev/" + name;
        node->numbered = numbered;
        node->descriptor.assign(descriptor.begin(), descriptor.end());
        node->ptyMaster = umockdev_testbed_get_dev_fd(testbed, node->devnode.c_str());
        node->owner = this;
        node->handler = umockdev_ioctl_base_new();
        g_signal_connect(node->handler, "handle-ioctl", G_CALLBACK(onIoctl), node.get());
        g_signal_connect(node->handler, "handle-read", G_CALLBACK(onRead), node.get());
        g_signal_connect(node->handler, "handle-write", G_CALLBACK(onWrite), node.get());
        g_signal_connect(node->handler, "client-connected", G_CALLBACK(onConnected), node.get());
        if (!umockdev_testbed_attach_ioctl(testbed, node->devnode.c_str(), node->handler, &error)) {
            const std::string message = error ? error->message : "unknown error";
            g_clear_error(&error);
            throw std::runtime_error("cannot emulate " + name + ": " + message);
        }
        return node;
    }

    void addMouse() {
        // udev lists nodes in sysfs path order, which follows the interface
        // numbers: the interface numbered first is listed first. EventFirst
        // is a device that numbers its interfaces the other way round.
        const bool commandFirst = order == Order::CommandFirst;
        const int commandNumber =
            commandFirst ? kMouseCommandInterfaceNumber : kMouseEventInterfaceNumber;
        const int eventNumber =
            commandFirst ? kMouseEventInterfaceNumber : kMouseCommandInterfaceNumber;
        mouseUsbSyspath = addUsbDevice("1-2", "04d9", "a0f4", "Gaming Mouse", 3);
        const std::string commandInterface = addInterface(mouseUsbSyspath, "1-2", commandNumber);
        const std::string eventInterface = addInterface(mouseUsbSyspath, "1-2", eventNumber);
        // The kernel numbers hid devices and hidraw minors in probe order;
        // a device plugged in again gets new hid numbers, and here new minors
        // too (umockdev cannot reuse a node name).
        const int first = nextNumber;
        nextNumber += 2;
        const std::string firstHid = hidName(first + 1);
        const std::string secondHid = hidName(first + 2);
        const std::string commandHidName = commandFirst ? firstHid : secondHid;
        const std::string eventHidName = commandFirst ? secondHid : firstHid;
        const char* commandHid = commandHidName.c_str();
        const char* eventHid = eventHidName.c_str();
        const int commandMinor = commandFirst ? first : first + 1;
        const int eventMinor = commandFirst ? first + 1 : first;
        const std::string commandHidPath =
            addHid(commandInterface, commandHid, "0003:000004D9:0000A0F4", "Gaming Mouse",
                   mouseCommandInterfaceDescriptor());
        const std::string eventHidPath = addHid(eventInterface, eventHid, "0003:000004D9:0000A0F4",
                                                "Gaming Mouse", mouseEventInterfaceDescriptor());
        auto command = addHidraw(Node::Command, commandHidPath, commandHid, commandMinor,
                                 mouseCommandInterfaceDescriptor(), false);
        auto event = addHidraw(Node::Event, eventHidPath, eventHid, eventMinor,
                               mouseEventInterfaceDescriptor(), true);
        mouseSyspaths = {mouseUsbSyspath,
                         commandInterface,
                         eventInterface,
                         commandHidPath,
                         eventHidPath,
                         hidrawSyspaths[index(Node::Command)],
                         hidrawSyspaths[index(Node::Event)]};
        std::lock_guard lock(mutex);
        nodes[index(Node::Command)] = std::move(command);
        nodes[index(Node::Event)] = std::move(event);
        commandHandle = firmware->openCommandCollection();
        eventHandle = firmware->openEventCollection();
        plugged = true;
    }

    // --- the kernel side of the nodes, on umockdev's worker thread ---

    static void onConnected(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
        auto* node = static_cast<NodeInstance*>(data);
        {
            std::lock_guard lock(node->owner->mutex);
            ++node->clients;
        }
        node->owner->opened.notify_all();
        g_signal_connect(client, "notify::connected", G_CALLBACK(onConnectionChanged), node);
    }

    static void onConnectionChanged(GObject* object, GParamSpec*, gpointer data) {
        auto* client = UMOCKDEV_IOCTL_CLIENT(object);
        auto* node = static_cast<NodeInstance*>(data);
        if (umockdev_ioctl_client_get_connected(client))
            return;
        std::lock_guard lock(node->owner->mutex);
        node->clients = std::max(0, node->clients - 1);
        if (node->clients == 0) {
            // The kernel frees a file's report buffer on its last close.
            node->queue.clear();
        }
    }

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
        auto* node = static_cast<NodeInstance*>(data);
        const unsigned long request = umockdev_ioctl_client_get_request(client);
        if (_IOC_TYPE(request) != 'H')
            return FALSE;
        Impl& self = *node->owner;
        std::lock_guard lock(self.mutex);
        if (node->gone) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return TRUE;
        }
        const std::size_t size = _IOC_SIZE(request);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        GError* error = nullptr;
        UMockdevIoctlData* buffer =
            size > 0 ? umockdev_ioctl_data_resolve(arg, 0, size, &error) : nullptr;
        if (size > 0 && buffer == nullptr) {
            g_clear_error(&error);
            umockdev_ioctl_client_complete(client, -1, EFAULT);
            return TRUE;
        }
        long result = -1;
        int errorCode = 0;
        switch (_IOC_NR(request)) {
        case _IOC_NR(HIDIOCGRDESCSIZE): {
            const int descriptorSize = static_cast<int>(node->descriptor.size());
            std::copy_n(reinterpret_cast<const std::uint8_t*>(&descriptorSize), sizeof(int),
                        buffer->data);
            result = 0;
            break;
        }
        case _IOC_NR(HIDIOCGRDESC): {
            auto* descriptor = reinterpret_cast<hidraw_report_descriptor*>(buffer->data);
            if (descriptor->size > HID_MAX_DESCRIPTOR_SIZE - 1) {
                errorCode = EINVAL;
                break;
            }
            const std::size_t n = std::min<std::size_t>(descriptor->size, node->descriptor.size());
            std::copy_n(node->descriptor.begin(), n, descriptor->value);
            result = 0;
            break;
        }
        case _IOC_NR(HIDIOCGRAWINFO): {
            hidraw_devinfo info{};
            info.bustype = 3; // BUS_USB
            const bool foreign = node->kind == Node::Foreign;
            info.vendor = static_cast<__s16>(foreign ? 0x046D : 0x04D9);
            info.product = static_cast<__s16>(foreign ? 0xC31C : 0xA0F4);
            std::copy_n(reinterpret_cast<const std::uint8_t*>(&info), sizeof info, buffer->data);
            result = 0;
            break;
        }
        case 0x06: // HIDIOCSFEATURE(len)
            result = self.setFeature(*node, std::span(buffer->data, size), errorCode);
            break;
        case 0x07: // HIDIOCGFEATURE(len)
            result = self.getFeature(*node, std::span(buffer->data, size), errorCode);
            break;
        default:
            errorCode = ENOTTY;
            break;
        }
        umockdev_ioctl_client_complete(client, result, result < 0 ? errorCode : 0);
        return TRUE;
    }

    // What the USB layer reports when the firmware refuses a transfer (a
    // stall), or ENODEV when the device has gone meanwhile.
    int transferError(NodeInstance& node) {
        noticeVanished();
        return node.gone ? ENODEV : EPIPE;
    }

    long setFeature(NodeInstance& node, std::span<std::uint8_t> buffer, int& errorCode) {
        if (buffer.empty()) {
            errorCode = EINVAL;
            return -1;
        }
        if (node.kind != Node::Command || !commandHandle) {
            errorCode = EPIPE; // no feature reports on this interface
            return -1;
        }
        if (!commandHandle->setFeature(buffer)) {
            errorCode = transferError(node);
            return -1;
        }
        drainCommandReports(node);
        return static_cast<long>(buffer.size());
    }

    long getFeature(NodeInstance& node, std::span<std::uint8_t> buffer, int& errorCode) {
        if (buffer.empty()) {
            errorCode = EINVAL;
            return -1;
        }
        if (node.kind != Node::Command || !commandHandle) {
            errorCode = EPIPE;
            return -1;
        }
        const int got = commandHandle->getFeature(buffer);
        if (got < 0) {
            errorCode = transferError(node);
            return -1;
        }
        return got;
    }

    static gboolean onWrite(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
        auto* node = static_cast<NodeInstance*>(data);
        Impl& self = *node->owner;
        std::lock_guard lock(self.mutex);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        const std::span<const std::uint8_t> report(arg->data,
                                                   static_cast<std::size_t>(arg->data_len));
        if (node->gone) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return TRUE;
        }
        if (report.size() < 2 || report.size() > kMaxReportSize) {
            umockdev_ioctl_client_complete(client, -1, EINVAL);
            return TRUE;
        }
        if (node->kind != Node::Command || !self.commandHandle) {
            umockdev_ioctl_client_complete(client, -1, EPIPE);
            return TRUE;
        }
        // Report number 0 is stripped before the device sees the report; any
        // other number goes out as the first data byte of an unnumbered
        // report, which the firmware does not take for a data block.
        Bytes seen{0};
        seen.insert(seen.end(), report.begin() + (report[0] == 0 ? 1 : 0), report.end());
        if (self.commandHandle->write(seen) < 0) {
            umockdev_ioctl_client_complete(client, -1, self.transferError(*node));
            return TRUE;
        }
        umockdev_ioctl_client_complete(client, static_cast<glong>(report.size()), 0);
        return TRUE;
    }

    static gboolean onRead(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer data) {
        auto* node = static_cast<NodeInstance*>(data);
        Impl& self = *node->owner;
        std::lock_guard lock(self.mutex);
        if (node->gone) {
            umockdev_ioctl_client_complete(client, -1, EIO);
            return TRUE;
        }
        if (node->queue.empty()) {
            // A blocking read sleeps until a report comes.
            node->waitingReaders.push_back(UMOCKDEV_IOCTL_CLIENT(g_object_ref(client)));
            return TRUE;
        }
        Bytes report = std::move(node->queue.front());
        node->queue.pop_front();
        if (node->queue.empty() && node->bellRung) {
            // Let the client's own read take the PTY byte back, so poll()
            // stops reporting data; the report then replaces what it read.
            int clientErrno = 0;
            GError* error = nullptr;
            umockdev_ioctl_client_execute(client, &clientErrno, &error);
            g_clear_error(&error);
            node->bellRung = false;
        }
        completeRead(client, report);
        return TRUE;
    }
};

EmulatedMouse::EmulatedMouse(Order order) : impl_(std::make_unique<Impl>()) {
    impl_->order = order;
    impl_->testbed = umockdev_testbed_new();
    // Programs run as another user (the permission test) must reach it.
    gchar* root = umockdev_testbed_get_root_dir(impl_->testbed);
    ::chmod(root, 0755);
    g_free(root);

    // A keyboard on the first port: listed before the mouse.
    impl_->foreignSyspath = impl_->addUsbDevice("1-1", "046d", "c31c", "USB Keyboard", 2);
    const std::string keyboardInterface = impl_->addInterface(impl_->foreignSyspath, "1-1", 0);
    const std::string keyboardHid =
        impl_->addHid(keyboardInterface, "0003:046D:C31C.0001", "0003:0000046D:0000C31C",
                      "USB Keyboard", kKeyboardDescriptor);
    impl_->nodes[Impl::index(Node::Foreign)] = impl_->addHidraw(
        Node::Foreign, keyboardHid, "0003:046D:C31C.0001", 0, kKeyboardDescriptor, false);
    impl_->addMouse();
}

EmulatedMouse::~EmulatedMouse() {
    {
        std::lock_guard lock(impl_->mutex);
        for (auto& node : impl_->nodes)
            if (node)
                impl_->markGone(*node);
    }
    for (auto& node : impl_->nodes)
        if (node)
            umockdev_testbed_detach_ioctl(impl_->testbed, node->devnode.c_str(), nullptr);
    g_object_unref(impl_->testbed);
    for (auto& node : impl_->nodes)
        if (node)
            g_object_unref(node->handler);
    for (auto& node : impl_->retired)
        g_object_unref(node->handler);
}

std::string EmulatedMouse::devnode(Node node) const {
    std::lock_guard lock(impl_->mutex);
    const auto& instance = impl_->nodes[Impl::index(node)];
    return instance ? instance->devnode : std::string();
}

std::string EmulatedMouse::syspath(Node node) const {
    return impl_->hidrawSyspaths[Impl::index(node)];
}

std::string EmulatedMouse::rootDir() const {
    gchar* root = umockdev_testbed_get_root_dir(impl_->testbed);
    std::string result = root;
    g_free(root);
    return result;
}

VirtualMouse& EmulatedMouse::firmware() {
    return *impl_->firmware;
}

void EmulatedMouse::emitEvent(std::uint8_t type, std::uint8_t value) {
    impl_->firmware->emitEvent(type, value);
    std::lock_guard lock(impl_->mutex);
    impl_->drainEventReports();
}

void EmulatedMouse::sendInputReport(Node node, std::vector<std::uint8_t> report) {
    std::lock_guard lock(impl_->mutex);
    if (auto& instance = impl_->nodes[Impl::index(node)])
        impl_->deliver(*instance, std::move(report));
}

void EmulatedMouse::unplug() {
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->plugged)
            return;
        impl_->plugged = false;
        impl_->firmware->unplug();
        impl_->commandHandle.reset();
        impl_->eventHandle.reset();
        for (Node kind : {Node::Command, Node::Event})
            impl_->markGone(*impl_->nodes[Impl::index(kind)]);
    }
    for (Node kind : {Node::Command, Node::Event})
        umockdev_testbed_uevent(impl_->testbed, impl_->hidrawSyspaths[Impl::index(kind)].c_str(),
                                "remove");
    for (Node kind : {Node::Command, Node::Event}) {
        auto& node = impl_->nodes[Impl::index(kind)];
        umockdev_testbed_detach_ioctl(impl_->testbed, node->devnode.c_str(), nullptr);
        std::lock_guard lock(impl_->mutex);
        impl_->retired.push_back(node);
        node.reset();
    }
    // Children first: removing a parent leaves their class and bus links.
    for (const std::string& path : impl_->mouseSyspaths | std::views::reverse)
        umockdev_testbed_remove_device(impl_->testbed, path.c_str());
    impl_->mouseSyspaths.clear();
}

void EmulatedMouse::plug() {
    if (plugged())
        return;
    impl_->firmware->plug();
    // umockdev announces every device it adds with an "add" uevent.
    impl_->addMouse();
}

bool EmulatedMouse::plugged() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->plugged;
}

void EmulatedMouse::restrictToRoot() {
    const std::string root = rootDir();
    for (Node kind : {Node::Command, Node::Event}) {
        // The node is a symlink to a PTY; its target carries the mode.
        const std::string path = root + devnode(kind);
        ::chown(path.c_str(), 0, 0);
        ::chmod(path.c_str(), 0600);
        // umockdev's preload connects to the node's emulation socket even
        // when the open itself failed, and exits when it may not: the socket
        // must let everyone in, so only the node's own mode decides.
        ::chmod((root + "/ioctl" + devnode(kind)).c_str(), 0777);
    }
}

int EmulatedMouse::openCount(Node node) const {
    std::lock_guard lock(impl_->mutex);
    const auto& instance = impl_->nodes[Impl::index(node)];
    return instance ? instance->clients : 0;
}

bool EmulatedMouse::waitUntilOpen(Node node, int count, int timeoutMs) const {
    std::unique_lock lock(impl_->mutex);
    return impl_->opened.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        const auto& instance = impl_->nodes[Impl::index(node)];
        return instance && instance->clients >= count;
    });
}

} // namespace qvr::test
