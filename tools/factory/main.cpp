// Writes the factory data files into the factory folder given as the only
// argument. Files that already hold the right bytes are left alone.
#include "core/profiles/factory_files.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FACTORY_FOLDER\n", argc > 0 ? argv[0] : "qvrfactory");
        return 2;
    }
    const qvr::FactoryWriteReport report = qvr::writeFactoryFiles(argv[1]);
    for (const auto& name : report.written) {
        std::printf("wrote %s\n", name.c_str());
    }
    for (const auto& error : report.errors) {
        std::fprintf(stderr, "qvrfactory: %s\n", error.c_str());
    }
    return report.errors.empty() ? 0 : 1;
}
