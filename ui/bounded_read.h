// Reading a run-time file whole, whatever the program directory holds in its place: nothing
// here waits (a FIFO without a writer, a device) and nothing reads past a bound the caller
// gives. Only a regular file is read; anything else is refused like a damaged file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace gombocok {

enum class ReadStatus {
    ok,
    cannotOpen,      // missing, or no permission
    notRegularFile,  // a directory, FIFO, socket or device
    tooLarge,        // more than the bound, by its size or by what a read returned
    readError,
};

struct FileBytes {
    ReadStatus status = ReadStatus::cannotOpen;
    std::vector<std::uint8_t> bytes;  // the whole file when ok, else empty
};

// `path` is in the file system's own bytes, whatever encoding its names have.
FileBytes readRegularFile(const std::string& path, std::size_t maxBytes);

}  // namespace gombocok
