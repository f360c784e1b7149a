#include "virtual/TavSampleFile.h"

#include <sndfile.h>

#include <algorithm>
#include <vector>

#include "files/TavReadFile.h"

namespace {

// A file held in memory, read through libsndfile's virtual I/O.
struct CMemoryFile {
    const uint8_t* data;
    sf_count_t size;
    sf_count_t at = 0;
};

sf_count_t Length(void* user) {
    return static_cast<CMemoryFile*>(user)->size;
}

sf_count_t Seek(sf_count_t offset, int whence, void* user) {
    CMemoryFile& file = *static_cast<CMemoryFile*>(user);
    sf_count_t base = 0;
    if (whence == SEEK_CUR)
        base = file.at;
    else if (whence == SEEK_END)
        base = file.size;
    else if (whence != SEEK_SET)
        return -1;
    // Far offsets are kept from overflowing; anything outside the file is refused.
    if (offset < -file.size - 1 || offset > file.size + 1)
        return -1;
    const sf_count_t to = base + offset;
    if (to < 0 || to > file.size)
        return -1;
    file.at = to;
    return to;
}

sf_count_t Read(void* out, sf_count_t count, void* user) {
    CMemoryFile& file = *static_cast<CMemoryFile*>(user);
    const sf_count_t n = std::clamp<sf_count_t>(file.size - file.at, 0, std::max<sf_count_t>(count, 0));
    std::copy_n(file.data + file.at, n, static_cast<uint8_t*>(out));
    file.at += n;
    return n;
}

sf_count_t Write(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t Tell(void* user) {
    return static_cast<CMemoryFile*>(user)->at;
}

bool KnownContainer(int format) {
    const int type = format & SF_FORMAT_TYPEMASK;
    return type == SF_FORMAT_WAV || type == SF_FORMAT_WAVEX || type == SF_FORMAT_RF64 || type == SF_FORMAT_FLAC;
}

} // namespace

bool TavDecodeSampleFile(const uint8_t* data, size_t size, CVirtualSampleMemory::Audio& audio, std::string& why) {
    if (!data || size == 0 || size > kTavMaxSampleFileBytes) {
        why = size == 0 ? "empty file" : "larger than " + std::to_string(kTavMaxSampleFileBytes) + " bytes";
        return false;
    }
    CMemoryFile file{data, static_cast<sf_count_t>(size)};
    SF_VIRTUAL_IO io{Length, Seek, Read, Write, Tell};
    SF_INFO info{};
    SNDFILE* sound = sf_open_virtual(&io, SFM_READ, &info, &file);
    if (!sound) {
        why = std::string("not a readable audio file (") + sf_strerror(nullptr) + ")";
        return false;
    }
    auto refuse = [&](std::string reason) {
        sf_close(sound);
        why = std::move(reason);
        return false;
    };
    if (!KnownContainer(info.format))
        return refuse("neither WAV nor FLAC");
    if (info.channels != 1 && info.channels != 2)
        return refuse(std::to_string(info.channels) + " channels; only mono and stereo are taken");
    if (info.samplerate != static_cast<int>(CVirtualSampleMemory::kSampleRate))
        return refuse(std::to_string(info.samplerate) + " Hz; only 44100 Hz is taken");
    if (info.frames <= 0)
        return refuse("no audio frames");
    if (info.frames > CVirtualSampleMemory::kMaxFrames)
        return refuse(std::to_string(info.frames) + " frames; at most " +
                      std::to_string(CVirtualSampleMemory::kMaxFrames) + " are taken");

    // Read in blocks, so a header that claims more frames than the file holds costs no
    // more than the frames that are there.
    const size_t channels = static_cast<size_t>(info.channels);
    constexpr sf_count_t kBlock = 16384;
    std::vector<short> block(static_cast<size_t>(kBlock) * channels);
    CVirtualSampleMemory::Audio read;
    sf_count_t left = info.frames;
    while (left > 0) {
        const sf_count_t got = sf_readf_short(sound, block.data(), std::min(left, kBlock));
        if (got <= 0)
            break;
        for (size_t i = 0; i < static_cast<size_t>(got); ++i) {
            read.left.push_back(block[i * channels]);
            if (channels == 2)
                read.right.push_back(block[i * channels + 1]);
        }
        left -= got;
    }
    if (left > 0)
        return refuse("the audio data ends after " + std::to_string(read.left.size()) + " of " +
                      std::to_string(info.frames) + " frames");
    sf_close(sound);
    audio = std::move(read);
    return true;
}

bool TavReadSampleFile(const std::string& path, CVirtualSampleMemory::Audio& audio, std::string& why) {
    std::vector<uint8_t> bytes;
    std::string reason;
    const TavFileRead read = TavReadWholeFile(path, kTavMaxSampleFileBytes, bytes, &reason);
    if (read != TavFileRead::kRead) {
        // The reason names the path first; the caller does that.
        const std::string prefix = path + " : ";
        if (reason.starts_with(prefix))
            reason.erase(0, prefix.size());
        why = read == TavFileRead::kMissing ? "no such file" : reason;
        return false;
    }
    return TavDecodeSampleFile(bytes.data(), bytes.size(), audio, why);
}
