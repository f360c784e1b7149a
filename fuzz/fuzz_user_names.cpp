// Reads arbitrary bytes as a user names file, turns what was read into banks and writes
// the catalog back; the written text must read again into the same number of entries.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "entity/CTavUserNameFile.h"

namespace {
constexpr size_t kRoundTripEntries = 256;
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<CTavUserNameEntry> entries;
    if (!CTavUserNameFile::Read(std::string_view(reinterpret_cast<const char*>(data), size), entries))
        return 0;
    CTavEntityManager manager;
    CTavBankCounts counts;
    TavBanksFromUserNames(manager, entries, counts);
    size_t written = 0;
    for (int type = 0; type < 2; ++type)
        for (int area = 0; area < 2; ++area)
            written += static_cast<size_t>(counts.Sum(type, area));
    // One line can make a bank of 128 entries, so a few kilobytes of input write a file a
    // hundred times larger whose lines differ only in their numbers. The round trip is
    // checked up to two full banks, which holds a bank that runs on into the next LSB, at
    // about what reading the input costs.
    if (written > kRoundTripEntries)
        return 0;
    std::string out;
    if (!CTavUserNameFile::Write(manager, out)) {
        std::fprintf(stderr, "Writing the catalog read from a names file failed\n");
        std::abort();
    }
    std::vector<CTavUserNameEntry> reread;
    if (!CTavUserNameFile::Read(out, reread) || reread.size() != written) {
        std::fprintf(stderr, "The written names file reads back as %zu entries, not %zu\n", reread.size(),
                     written);
        std::abort();
    }
    return 0;
}
