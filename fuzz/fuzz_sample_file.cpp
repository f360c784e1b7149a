// Feeds arbitrary bytes to the virtual device's sample file reader, as a WAV or FLAC file
// held in memory would reach it: whatever the bytes claim, the reader must refuse them or
// give audio within its bounds.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "virtual/TavSampleFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CVirtualSampleMemory::Audio audio;
    std::string why;
    if (TavDecodeSampleFile(data, size, audio, why)) {
        if (audio.Frames() == 0 || audio.Frames() > CVirtualSampleMemory::kMaxFrames ||
            (audio.Stereo() && audio.right.size() != audio.left.size()))
            std::abort();
    } else if (why.empty()) {
        std::abort();
    }
    return 0;
}
