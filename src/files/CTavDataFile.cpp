#include "files/CTavDataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "app/CTavTextOut.h"
#include "app/TavStrings.h"
#include "model/CTavBufferManager.h"

namespace {

constexpr size_t kMagicOffset = 0, kMagicWidth = 16;
constexpr size_t kRootOffset = 16, kRootWidth = 64;
constexpr size_t kModelOffset = 80, kModelWidth = 16;

// Left-aligned, blank-padded to width, cut at width.
void PutField(uint8_t* header, size_t offset, size_t width, std::string_view text) {
    std::memset(header + offset, ' ', width);
    std::memcpy(header + offset, text.data(), std::min(width, text.size()));
}

// The field as text up to its width or its first zero byte, blank-padded to the width.
std::string FieldText(const uint8_t* header, size_t offset, size_t width) {
    std::string text(reinterpret_cast<const char*>(header + offset), width);
    const size_t zero = text.find('\0');
    if (zero != std::string::npos)
        text.resize(zero);
    text.resize(width, ' ');
    return text;
}

std::string Padded(std::string_view text, size_t width) {
    std::string padded(text.substr(0, width));
    padded.resize(width, ' ');
    return padded;
}

struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file)
            std::fclose(file);
    }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

// The file a save replaces: the path itself, or the file a symbolic link leads to.
struct SaveTarget {
    std::string path;
    bool exists = false;
    mode_t mode = 0;
};

// Follows a symbolic link and checks that an existing target is a regular file the user
// may write. A link that leads nowhere, a FIFO, a device or a directory, and a file
// without write permission are refused, so that the rename never puts a regular file in
// their place. Root may write anything, but a file without any write bit is still taken
// as protected.
bool ResolveSaveTarget(const std::string& path, SaveTarget& target) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0) {
        if (errno != ENOENT)
            return false;
        target.path = path;
        return true;
    }
    target.path = path;
    if (S_ISLNK(status.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved)
            return false;
        target.path = resolved;
        std::free(resolved);
        if (::stat(target.path.c_str(), &status) != 0)
            return false;
    }
    if (!S_ISREG(status.st_mode) || ::access(target.path.c_str(), W_OK) != 0)
        return false;
    if (::geteuid() == 0 && (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        return false;
    target.exists = true;
    target.mode = status.st_mode & 07777;
    return true;
}

// Creates a new file beside the target for the data, named "." + the target's name + "."
// + a few random characters; the name part is shortened (at a character boundary) so the
// whole never exceeds the folder's name length limit. A new target gets the mode the
// umask allows; an existing one's mode is copied. Answers the descriptor, or -1.
int CreateTemporary(const SaveTarget& target, std::string& temporary) {
    const std::string::size_type slash = target.path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : target.path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? target.path : target.path.substr(slash + 1);
    constexpr size_t kSuffix = 7; // "." and six random characters
    long limit = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    size_t kept = name.size();
    if (1 + kept + kSuffix > static_cast<size_t>(limit)) {
        kept = static_cast<size_t>(std::max<long>(limit - 1 - static_cast<long>(kSuffix), 0));
        while (kept > 0 && (static_cast<unsigned char>(name[kept]) & 0xC0) == 0x80)
            --kept;
    }
    const std::string base =
        (slash == std::string::npos ? std::string() : folder) + "." + name.substr(0, kept) + ".";

    static constexpr char kCharacters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static uint64_t counter = 0;
    const uint64_t seed = static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
                          (static_cast<uint64_t>(::getpid()) << 32);
    for (int attempt = 0; attempt < 100; ++attempt) {
        // A splitmix step per attempt: names differ between attempts, calls and processes.
        uint64_t bits = seed + 0x9E3779B97F4A7C15ULL * ++counter;
        bits = (bits ^ (bits >> 30)) * 0xBF58476D1CE4E5B9ULL;
        bits = (bits ^ (bits >> 27)) * 0x94D049BB133111EBULL;
        bits ^= bits >> 31;
        temporary = base;
        for (size_t i = 1; i < kSuffix; ++i, bits /= 62)
            temporary += kCharacters[bits % 62];
        const int descriptor = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (descriptor < 0) {
            if (errno == EEXIST)
                continue;
            return -1;
        }
        if (target.exists && ::fchmod(descriptor, target.mode) != 0) {
            ::close(descriptor);
            ::unlink(temporary.c_str());
            return -1;
        }
        return descriptor;
    }
    return -1;
}

} // namespace

std::string TavDataFileSettings::Filter() const {
    return modelName + " Editor Files(*" + extension + ")|*" + extension + "|All Files(*.*)|*.*||";
}

std::string TavDataFileSettings::DefaultExtension() const {
    return extension.starts_with('.') ? extension.substr(1) : extension;
}

CTavDataFile::CTavDataFile(CTavBufferManager& buffers, CTavTextOut* report, TavDataFileSettings settings)
    : m_buffers(buffers), m_report(report), m_settings(std::move(settings)) {}

bool CTavDataFile::Fail(int code) {
    if (m_report)
        m_report->Report(code);
    return false;
}

std::array<uint8_t, CTavDataFile::kHeaderSize> CTavDataFile::Header() const {
    std::array<uint8_t, kHeaderSize> header{};
    PutField(header.data(), kMagicOffset, kMagicWidth, kMagic);
    PutField(header.data(), kRootOffset, kRootWidth, m_settings.rootName);
    PutField(header.data(), kModelOffset, kModelWidth, m_settings.modelName);
    return header;
}

bool CTavDataFile::Save(const std::string& path) {
    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    SaveTarget target;
    if (!root || path.empty() || !ResolveSaveTarget(path, target))
        return Fail(TavStrings::kCodeSaveFailed);
    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0)
        return Fail(TavStrings::kCodeSaveFailed);
    FilePtr file(fdopen(descriptor, "wb"));
    if (!file) {
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return Fail(TavStrings::kCodeSaveFailed);
    }

    const auto header = Header();
    bool written = std::fwrite(header.data(), 1, header.size(), file.get()) == header.size();
    root->ForEachLeaf([&](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>& bytes = *leaf.Bytes();
        if (written && !bytes.empty())
            written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    });
    written = written && std::fflush(file.get()) == 0 && ::fsync(fileno(file.get())) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed || std::rename(temporary.c_str(), target.path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return Fail(TavStrings::kCodeSaveFailed);
    }
    root->SetModified(false);
    return true;
}

bool CTavDataFile::Load(const std::string& path) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file)
        return Fail(TavStrings::kCodeLoadFailed);
    std::array<uint8_t, kHeaderSize> header{};
    if (std::fread(header.data(), 1, header.size(), file.get()) != header.size())
        return Fail(TavStrings::kCodeLoadFailed);
    if (FieldText(header.data(), kMagicOffset, kMagicWidth) != Padded(kMagic, kMagicWidth) ||
        FieldText(header.data(), kModelOffset, kModelWidth) != Padded(m_settings.modelName, kModelWidth) ||
        FieldText(header.data(), kRootOffset, kRootWidth) != Padded(m_settings.rootName, kRootWidth))
        return Fail(TavStrings::kCodeWrongFileType);

    CTavRootStruct* root = m_buffers.FindRoot(m_settings.rootName);
    if (!root)
        return Fail(TavStrings::kCodeLoadFailed);
    // The whole body is read before any buffer changes; bytes after it are ignored.
    std::vector<uint8_t> body(CTavBufferManager::BodySize(*root));
    if (std::fread(body.data(), 1, body.size(), file.get()) != body.size())
        return Fail(TavStrings::kCodeLoadFailed);
    if (std::fclose(file.release()) != 0)
        return Fail(TavStrings::kCodeLoadFailed);
    // Every byte is later sent to the device as it is, so a byte the values cannot hold
    // (a status byte, or more than a nibble in a nibble value) makes the file unreadable.
    if (!CTavBufferManager::CanHoldBody(*root, body.data(), body.size()))
        return Fail(TavStrings::kCodeLoadFailed);
    m_buffers.LoadStruct(*root, body.data(), body.size());
    root->SetModified(false);
    return true;
}
