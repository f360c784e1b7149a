#include "files/TavSafeFile.h"

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

namespace {

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

bool Refuse(std::string* why, const std::string& text) {
    if (why)
        *why = text;
    return false;
}

std::string Reason(const std::string& what, const std::string& path) {
    return what + " " + path + ": " + std::strerror(errno);
}

} // namespace

bool TavSaveFileSafely(const std::string& path, const uint8_t* data, size_t size, std::string* why) {
    if (path.empty())
        return Refuse(why, "No file name given");
    SaveTarget target;
    errno = 0;
    if (!ResolveSaveTarget(path, target))
        return Refuse(why, errno != 0 ? Reason("Cannot replace", path)
                                      : "Cannot replace " + path + ": not a writable regular file");
    std::string temporary;
    const int descriptor = CreateTemporary(target, temporary);
    if (descriptor < 0)
        return Refuse(why, Reason("Cannot create a temporary file beside", target.path));
    FilePtr file(fdopen(descriptor, "wb"));
    if (!file) {
        const std::string reason = Reason("Cannot write", temporary);
        ::close(descriptor);
        ::unlink(temporary.c_str());
        return Refuse(why, reason);
    }
    bool written = size == 0 || std::fwrite(data, 1, size, file.get()) == size;
    written = written && std::fflush(file.get()) == 0 && ::fsync(fileno(file.get())) == 0;
    const bool closed = std::fclose(file.release()) == 0;
    if (!written || !closed) {
        const std::string reason = Reason("Cannot write", temporary);
        ::unlink(temporary.c_str());
        return Refuse(why, reason);
    }
    if (std::rename(temporary.c_str(), target.path.c_str()) != 0) {
        const std::string reason = Reason("Cannot replace", target.path);
        ::unlink(temporary.c_str());
        return Refuse(why, reason);
    }
    return true;
}
