#pragma once
// Reading audio files into the virtual device's sample memory with libsndfile: WAV (also
// WAVE_FORMAT_EXTENSIBLE and RF64) and FLAC, mono or stereo, at 44100 Hz, at most
// CVirtualSampleMemory::kMaxFrames frames. Any sample format libsndfile decodes is taken
// and converted to 16 bits. Everything else is refused with one line saying why.

#include <cstddef>
#include <cstdint>
#include <string>

#include "virtual/CVirtualSampleMemory.h"

// The largest file that is read at all: the longest stereo file of 32-bit samples.
constexpr uint64_t kTavMaxSampleFileBytes = uint64_t{CVirtualSampleMemory::kMaxFrames} * 2 * 4 + (1u << 20);

// Decodes a whole file held in memory.
bool TavDecodeSampleFile(const uint8_t* data, size_t size, CVirtualSampleMemory::Audio& audio, std::string& why);
// Reads and decodes a file; why starts with the reason, not the path.
bool TavReadSampleFile(const std::string& path, CVirtualSampleMemory::Audio& audio, std::string& why);
