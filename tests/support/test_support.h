// A private program directory for one test: copies of the run-time pictures and sounds and,
// unless told otherwise, a settings file.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "base/assets.h"
#include "settings/settings_file.h"

namespace gombocok::testing {

class TempProgramDir {
public:
    // `settings` is written as settings.txt unless it is empty.
    explicit TempProgramDir(const std::string& settings = defaultSettings()) {
        namespace fs = std::filesystem;
        std::random_device rd;
        path_ = fs::temp_directory_path() /
                ("gombocok-test-" + std::to_string(rd()) + "-" + std::to_string(rd()));
        fs::create_directories(path_);
        for (const Asset* a : assets::all)
            fs::copy_file(fs::path(GOMBOCOK_ASSETS_DIR) / a->file, path_ / a->file);
        if (!settings.empty()) write("settings.txt", settings);
    }
    ~TempProgramDir() {
        std::error_code ec;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempProgramDir(const TempProgramDir&) = delete;
    TempProgramDir& operator=(const TempProgramDir&) = delete;

    std::string path() const { return path_.string(); }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    void write(const std::string& name, const std::string& content) const {
        std::ofstream(path_ / name, std::ios::binary) << content;
    }
    std::string read(const std::string& name) const {
        std::ifstream in(path_ / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

private:
    std::filesystem::path path_;
};

// A Unix socket bound at `path`; false when it could not be made.
inline bool makeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return bound;
}

}  // namespace gombocok::testing
