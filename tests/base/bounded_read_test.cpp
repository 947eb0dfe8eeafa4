#include "base/bounded_read.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/test_support.h"

namespace gombocok {
namespace {

namespace fs = std::filesystem;

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// Whatever a program directory may hold under a run-time file's name.
TEST(BoundedRead, ReadsOnlyRegularFilesAndNeverPastTheBound) {
    testing::TempProgramDir dir("");
    const std::string ten = "0123456789";
    struct Case {
        const char* what;
        std::function<void(const std::string& path)> make;
        std::size_t maxBytes;
        ReadStatus status;
        unsigned type = 0;  // what the reader says stands at the path, for notRegularFile
    };
    const std::vector<Case> cases = {
        {"a file within the bound", [&](auto& p) { writeFile(p, ten); }, 10, ReadStatus::ok},
        {"an empty file", [](auto& p) { writeFile(p, ""); }, 10, ReadStatus::ok},
        {"missing", [](auto&) {}, 10, ReadStatus::cannotOpen},
        {"a directory", [](auto& p) { fs::create_directory(p); }, 10, ReadStatus::notRegularFile,
         S_IFDIR},
        {"a FIFO without a writer", [](auto& p) { ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0); }, 10,
         ReadStatus::notRegularFile, S_IFIFO},
        {"a link to /dev/zero", [](auto& p) { fs::create_symlink("/dev/zero", p); }, 10,
         ReadStatus::notRegularFile, S_IFCHR},
        {"a link to /dev/urandom", [](auto& p) { fs::create_symlink("/dev/urandom", p); }, 10,
         ReadStatus::notRegularFile, S_IFCHR},
        {"a socket", [](auto& p) { ASSERT_TRUE(testing::makeSocket(p)); }, 10,
         ReadStatus::notRegularFile, S_IFSOCK},
        {"a dangling link", [&](auto& p) { fs::create_symlink(dir.file("nowhere"), p); }, 10,
         ReadStatus::cannotOpen},
        {"a link loop", [](auto& p) { fs::create_symlink(fs::path(p).filename(), p); }, 10,
         ReadStatus::cannotOpen},
        {"one byte past the bound", [&](auto& p) { writeFile(p, ten); }, 9, ReadStatus::tooLarge},
        // Sparse: refused by its size, before a byte of it is read.
        {"a 100 GB file",
         [](auto& p) {
             writeFile(p, "");
             fs::resize_file(p, 100'000'000'000);
         },
         16 << 20, ReadStatus::tooLarge},
        // Files in /proc say their size is 0 and hold more.
        {"a file longer than its size says",
         [](auto& p) { fs::create_symlink("/proc/self/maps", p); }, 16, ReadStatus::tooLarge},
        // Regular, size 0, and every read of it at offset 0 fails.
        {"a file whose read fails", [](auto& p) { fs::create_symlink("/proc/self/mem", p); }, 10,
         ReadStatus::readError},
    };
    int n = 0;
    for (const auto& c : cases) {
        const std::string path = dir.file("case" + std::to_string(n++) + ".bin");
        c.make(path);
        const auto start = std::chrono::steady_clock::now();
        const FileBytes got = readRegularFile(path, c.maxBytes);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
        EXPECT_EQ(got.status, c.status) << c.what;
        if (c.type) {
            EXPECT_EQ(got.mode & S_IFMT, c.type) << c.what;
        }
        const std::string expected =
            got.status == ReadStatus::ok ? dir.read(path.substr(dir.path().size() + 1)) : "";
        EXPECT_EQ(std::string(got.bytes.begin(), got.bytes.end()), expected) << c.what;
    }
}

TEST(BoundedRead, ReadsAFileThatHidesItsSizeToItsEnd) {
    testing::TempProgramDir dir("");
    const std::string path = dir.file("maps");
    fs::create_symlink("/proc/self/maps", path);
    const FileBytes got = readRegularFile(path, 16 << 20);
    ASSERT_EQ(got.status, ReadStatus::ok);
    // It says 0 bytes: read on to its end, its last line whole.
    ASSERT_FALSE(got.bytes.empty());
    EXPECT_EQ(got.bytes.back(), '\n');
}

}  // namespace
}  // namespace gombocok
