// A GoogleTest main that runs the suite under umockdev's preload library, so
// every open(), ioctl() and libudev call of the process and of the programs
// it starts sees the emulated /sys and /dev of the test bed.

#include <cstdlib>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    const char* preload = std::getenv("LD_PRELOAD");
    const bool preloaded =
        preload != nullptr && std::string(preload).find("libumockdev-preload") != std::string::npos;
    if (!preloaded) {
        std::string preloads = "libumockdev-preload.so.0";
        if (preload != nullptr && *preload != '\0')
            preloads += std::string(":") + preload;
        setenv("LD_PRELOAD", preloads.c_str(), 1);
        // AddressSanitizer wants to be the first library loaded; the preload
        // library comes first here by design.
        const char* asan = std::getenv("ASAN_OPTIONS");
        std::string asanOptions = "verify_asan_link_order=0";
        if (asan != nullptr && *asan != '\0')
            asanOptions = std::string(asan) + ":" + asanOptions;
        setenv("ASAN_OPTIONS", asanOptions.c_str(), 1);
        execv("/proc/self/exe", argv);
        perror("cannot restart under libumockdev-preload");
        return 1;
    }
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
