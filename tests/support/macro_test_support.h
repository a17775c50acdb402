#pragma once

#include "core/macros/macro_encoder.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <span>
#include <string>
#include <vector>

namespace qvr::test {

// Compares an image with its expected leading bytes; every byte after them
// must be zero.
inline void expectImage(std::span<const std::uint8_t> image,
                        const std::vector<std::uint8_t>& leading) {
    ASSERT_LE(leading.size(), image.size());
    for (std::size_t i = 0; i < image.size(); ++i) {
        const std::uint8_t want = i < leading.size() ? leading[i] : 0;
        EXPECT_EQ(image[i], want) << "byte " << i;
    }
}

inline std::span<const std::uint8_t> imageOf(const MacroTable& table, std::size_t k) {
    return std::span<const std::uint8_t>(table).subspan(k * kMacroImageSize, kMacroImageSize);
}

// A fresh folder per test, removed afterwards.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qvr-macros-" +
                   std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::filesystem::path file(const std::string& name) const { return folder_ / name; }

    static void put(const std::filesystem::path& path, std::string_view bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }
    static std::string contents(const std::filesystem::path& path) {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    std::filesystem::path folder_;
};

} // namespace qvr::test
