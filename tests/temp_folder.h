// A fresh folder for a test's files, removed with everything in it after
// the test, and whole-file helpers for what a test puts there.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace testfiles {

namespace fs = std::filesystem;

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class TempFolder : public ::testing::Test {
protected:
    void SetUp() override {
        // create_directory is false for a folder that exists, e.g. another run's.
        for (int k = 0; dir_.empty() || !fs::create_directory(dir_); ++k)
            dir_ = fs::temp_directory_path() / ("brennick-files-" + std::to_string(k));
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(const std::string& name) const { return (dir_ / name).string(); }

    // The names in the folder, sorted.
    std::vector<std::string> names() const {
        std::vector<std::string> all;
        for (const fs::directory_entry& e : fs::directory_iterator(dir_))
            all.push_back(e.path().filename().string());
        std::sort(all.begin(), all.end());
        return all;
    }

    fs::path dir_;
};

} // namespace testfiles
