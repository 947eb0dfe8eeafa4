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
    std::vector<std::uint8_t> bytes;  // the file (or its first maxBytes when cut) when ok
    bool complete = true;             // false: cut at the bound
    int error = 0;                    // the system's error number, for cannotOpen and readError
    std::uint32_t mode = 0;           // what stands at the path (st_mode), for notRegularFile
};

// What a file longer than the bound gets: refused as tooLarge, or its first maxBytes read.
enum class Overflow { refuse, cut };

// `path` is in the file system's own bytes, whatever encoding its names have.
FileBytes readRegularFile(const std::string& path, std::size_t maxBytes,
                          Overflow overflow = Overflow::refuse);

}  // namespace gombocok
