#pragma once
// A fresh directory per test, removed with everything in it afterwards, and
// small helpers to lay out fixture files in it.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "tavrin-test-XXXXXX").string();
        if (mkdtemp(pattern.data())) path_ = pattern;
        EXPECT_FALSE(path_.empty()) << "cannot create a temporary directory";
    }
    ~TempDir() {
        std::error_code ignored;
        // Read-only fixtures must become writable again to be removed.
        for (auto& entry : std::filesystem::recursive_directory_iterator(path_, ignored))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_write,
                                         std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& relative) const { return path_ + "/" + relative; }

    // Writes bytes to a file below the directory, creating its folders.
    std::string Write(const std::string& relative, const std::string& bytes) const {
        const std::string full = *this / relative;
        std::filesystem::create_directories(std::filesystem::path(full).parent_path());
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }

    static std::string Read(const std::string& full) {
        std::ifstream in(full, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};
