#include "base/bounded_read.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

namespace gombocok {
namespace {

class Descriptor {
public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

// The first buffer when the file does not tell its size (files in /proc say 0).
constexpr std::size_t kFirstChunk = 64 * 1024;

// Anything but a regular file is refused, saying what stands there.
bool refusedAsNotRegular(const struct stat& st, FileBytes& out) {
    if (S_ISREG(st.st_mode)) return false;
    out.status = ReadStatus::notRegularFile;
    out.mode = st.st_mode;
    return true;
}

// Reads `fd` to its end, or until it has `cap` bytes, into a buffer that starts at `first` bytes
// and doubles. Nothing when a read fails; `error` then holds the system's error number.
std::optional<std::vector<std::uint8_t>> readUpTo(int fd, std::size_t cap, std::size_t first,
                                                  int& error) {
    std::vector<std::uint8_t> bytes(first);
    std::size_t got = 0;
    for (;;) {
        if (got == bytes.size()) {
            if (bytes.size() == cap) break;
            bytes.resize(std::min(cap, bytes.size() * 2));
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            return std::nullopt;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
}

}  // namespace

FileBytes readRegularFile(const std::string& path, std::size_t maxBytes, Overflow overflow) {
    FileBytes out;
    // Looked at before it is opened: opening a device may itself act on the device.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        out.error = errno;
        return out;
    }
    if (refusedAsNotRegular(st, out)) return out;
    // Without O_NONBLOCK, a FIFO put there since the look above would wait for a writer.
    int raw;
    do {
        raw = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    } while (raw < 0 && errno == EINTR);
    if (raw < 0) {
        out.error = errno;
        return out;
    }
    const Descriptor fd(raw);
    if (::fstat(fd.get(), &st) != 0) {
        out.status = ReadStatus::readError;
        out.error = errno;
        return out;
    }
    if (refusedAsNotRegular(st, out)) return out;
    if (overflow == Overflow::refuse &&
        (st.st_size < 0 || static_cast<std::uintmax_t>(st.st_size) > maxBytes)) {
        out.status = ReadStatus::tooLarge;
        return out;
    }
    // The file may hold more than its size says, or grow while it is read: one byte past the
    // bound is enough to tell.
    const std::size_t cap = maxBytes + 1;
    auto bytes = readUpTo(
        fd.get(), cap,
        std::min(cap, st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : kFirstChunk),
        out.error);
    if (!bytes) {
        out.status = ReadStatus::readError;
        return out;
    }
    if (bytes->size() > maxBytes) {
        if (overflow == Overflow::refuse) {
            out.status = ReadStatus::tooLarge;
            return out;
        }
        bytes->resize(maxBytes);
        out.complete = false;
    }
    out.status = ReadStatus::ok;
    out.bytes = std::move(*bytes);
    return out;
}

}  // namespace gombocok
