#include "files/TavReadFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

TavFileRead Refuse(std::string* why, TavFileRead* result, const std::string& text,
                   TavFileRead kind = TavFileRead::kRefused) {
    if (why)
        *why = text;
    if (result)
        *result = kind;
    return kind;
}

template <typename Bytes>
TavFileRead ReadAll(const std::string& path, uint64_t limit, Bytes& bytes, std::string* why) {
    bytes.clear();
    uint64_t size = 0;
    TavFileRead result = TavFileRead::kRead;
    std::FILE* file = TavOpenForReading(path, limit, size, why, &result);
    if (!file)
        return result;
    // The size is a hint: the file may change meanwhile, so reading stops one byte past the
    // limit and checks what it got.
    bytes.resize(static_cast<size_t>(size));
    size_t got = size == 0 ? 0 : std::fread(bytes.data(), 1, bytes.size(), file);
    bool failed = got < bytes.size() && std::ferror(file);
    if (!failed) {
        char more[4096];
        for (size_t read; (read = std::fread(more, 1, sizeof more, file)) > 0;) {
            if (got + read > limit) {
                std::fclose(file);
                bytes.clear();
                return Refuse(why, nullptr, path + " : larger than " + std::to_string(limit) + " bytes");
            }
            bytes.resize(got + read);
            std::memcpy(bytes.data() + got, more, read);
            got += read;
        }
        failed = std::ferror(file) != 0;
    }
    const int error = errno;
    std::fclose(file);
    if (failed) {
        bytes.clear();
        return Refuse(why, nullptr, path + " : " + std::strerror(error));
    }
    bytes.resize(got);
    return TavFileRead::kRead;
}

} // namespace

std::FILE* TavOpenForReading(const std::string& path, uint64_t limit, uint64_t& size, std::string* why,
                             TavFileRead* result) {
    size = 0;
    if (result)
        *result = TavFileRead::kRead;
    if (path.empty()) {
        Refuse(why, result, "No file name given", TavFileRead::kMissing);
        return nullptr;
    }
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (descriptor < 0) {
        const int error = errno;
        Refuse(why, result, path + " : " + std::strerror(error),
               error == ENOENT || error == ENOTDIR ? TavFileRead::kMissing : TavFileRead::kRefused);
        return nullptr;
    }
    struct stat status {};
    std::string problem;
    if (::fstat(descriptor, &status) != 0)
        problem = std::strerror(errno);
    else if (!S_ISREG(status.st_mode))
        problem = S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file";
    else if (status.st_size < 0 || static_cast<uint64_t>(status.st_size) > limit)
        problem = "larger than " + std::to_string(limit) + " bytes";
    else {
        // Reads of a regular file never wait; the flag goes only to keep the stream simple.
        const int flags = ::fcntl(descriptor, F_GETFL);
        if (flags < 0 || ::fcntl(descriptor, F_SETFL, flags & ~O_NONBLOCK) != 0)
            problem = std::strerror(errno);
    }
    std::FILE* file = problem.empty() ? ::fdopen(descriptor, "rb") : nullptr;
    if (!file) {
        if (problem.empty())
            problem = std::strerror(errno);
        ::close(descriptor);
        Refuse(why, result, path + " : " + problem);
        return nullptr;
    }
    size = static_cast<uint64_t>(status.st_size);
    return file;
}

TavFileRead TavReadWholeFile(const std::string& path, uint64_t limit, std::vector<uint8_t>& bytes, std::string* why) {
    return ReadAll(path, limit, bytes, why);
}

TavFileRead TavReadWholeFile(const std::string& path, uint64_t limit, std::string& text, std::string* why) {
    return ReadAll(path, limit, text, why);
}
