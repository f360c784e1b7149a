#pragma once
// Opening outside files for reading: the one way the programs open a file they did not
// write themselves (data files, MIDI files, the script and its bitmaps, the names file,
// the virtual device's memory). A file is opened without waiting, so a FIFO in its place
// cannot block the caller until someone writes to it; only a regular file (reached through
// links) is taken; its size is bounded before anything is read.

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum class TavFileRead {
    kRead,    // opened (and read, where the call reads)
    kMissing, // nothing at the path
    kRefused, // there is something, but it is not a readable regular file within the limit
};

// Opens a regular file of at most limit bytes for reading, in blocking mode once open.
// Answers the stream (the caller closes it) and its size, or null with why saying in one
// line what is wrong ("... : not a regular file", "... : larger than N bytes", the system's
// reason) and result telling a missing file from a refused one.
std::FILE* TavOpenForReading(const std::string& path, uint64_t limit, uint64_t& size, std::string* why = nullptr,
                             TavFileRead* result = nullptr);

// Reads the whole of a regular file of at most limit bytes. A file that grows past the
// limit while it is read is refused too.
TavFileRead TavReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>& bytes,
                             std::string* why = nullptr);
TavFileRead TavReadWholeFile(const std::string& path, uint64_t limit, std::string& text, std::string* why = nullptr);
