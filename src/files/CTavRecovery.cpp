#include "files/CTavRecovery.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "files/TavSafeFile.h"

namespace {

constexpr const char* kCleanExitFile = "last-clean-exit";

bool SetWhy(std::string* why, std::string text) {
    if (why)
        *why = std::move(text);
    return false;
}

// The file's modification time, or none when it is not a regular file.
std::optional<std::time_t> RegularFileTime(const std::string& path) {
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    return status.st_mtime;
}

} // namespace

// ---- Store ------------------------------------------------------------------------

CTavRecoveryStore::~CTavRecoveryStore() {
    if (m_lock >= 0)
        ::close(m_lock);
}

std::string CTavRecoveryStore::DefaultFolder() {
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && state[0] == '/')
        return std::string(state) + "/vireo-editor";
    if (const char* home = std::getenv("HOME"); home && home[0] == '/')
        return std::string(home) + "/.local/state/vireo-editor";
    return {};
}

std::string CTavRecoveryStore::SlotPath(int slot, const char* suffix) const {
    return m_folder + "/recovery-" + std::to_string(slot + 1) + suffix;
}

int CTavRecoveryStore::Lock(int slot) const {
    const std::string path = SlotPath(slot, ".lock");
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK, 0600);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool CTavRecoveryStore::Open(const std::string& folder, std::string* why) {
    if (folder.empty())
        return SetWhy(why, "no folder for recovery files: neither XDG_STATE_HOME nor HOME is set");
    m_folder = folder;
    // The parents are made as a shell's mkdir -p would; the folder itself must be ours.
    for (size_t at = folder.find('/', 1); at != std::string::npos; at = folder.find('/', at + 1))
        ::mkdir(folder.substr(0, at).c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    struct stat status {};
    if (::lstat(folder.c_str(), &status) != 0 || !S_ISDIR(status.st_mode))
        return SetWhy(why, folder + " is not a folder");
    if (status.st_uid != ::geteuid())
        return SetWhy(why, folder + " belongs to another user");
    for (int slot = 0; slot < kSlots; ++slot) {
        const int fd = Lock(slot);
        if (fd < 0)
            continue;
        m_slot = slot;
        m_lock = fd;
        return true;
    }
    return SetWhy(why, "every recovery slot in " + folder + " is held by a running editor");
}

std::time_t CTavRecoveryStore::LastCleanExit() const {
    return RegularFileTime(m_folder + "/" + kCleanExitFile).value_or(0);
}

std::vector<CTavRecoveryStore::Left> CTavRecoveryStore::FindLeft() {
    std::vector<Left> left;
    if (!IsOpen())
        return left;
    const std::time_t cleanExit = LastCleanExit();
    for (int slot = 0; slot < kSlots; ++slot) {
        const std::string path = SlotPath(slot, ".vro");
        const std::optional<std::time_t> saved = RegularFileTime(path);
        if (!saved)
            continue;
        // A running editor's file is its own business.
        if (slot != m_slot) {
            const int fd = Lock(slot);
            if (fd < 0)
                continue;
            ::close(fd);
        }
        const Left found{path, *saved, slot};
        if (*saved < cleanExit) {
            PutAside(found, ".old");
            continue;
        }
        left.push_back(found);
    }
    std::sort(left.begin(), left.end(), [](const Left& a, const Left& b) { return a.saved > b.saved; });
    return left;
}

std::string CTavRecoveryStore::PutAside(const Left& left, const char* suffix) {
    // An earlier file put aside is kept as well: the new one gets a number.
    for (int n = 0; n < 100; ++n) {
        const std::string target = left.path + suffix + (n == 0 ? std::string() : "." + std::to_string(n));
        struct stat existing {};
        if (::lstat(target.c_str(), &existing) == 0)
            continue;
        if (std::rename(left.path.c_str(), target.c_str()) == 0)
            return target;
        return {};
    }
    return {};
}

bool CTavRecoveryStore::Remove(const std::string& path) {
    return ::unlink(path.c_str()) == 0 || errno == ENOENT;
}

void CTavRecoveryStore::CloseCleanly() {
    if (!IsOpen())
        return;
    Remove(Path());
    const uint8_t nothing = 0;
    TavSaveFileSafely(m_folder + "/" + kCleanExitFile, &nothing, 0);
    ::unlink(SlotPath(m_slot, ".lock").c_str());
    ::close(m_lock);
    m_lock = -1;
    m_slot = -1;
}

// ---- Writer -----------------------------------------------------------------------

CTavRecoveryWriter::CTavRecoveryWriter() : m_thread([this] { Run(); }) {}

CTavRecoveryWriter::~CTavRecoveryWriter() {
    {
        const std::lock_guard lock(m_mutex);
        m_stop = true;
        m_waiting.reset();
    }
    m_wake.notify_all();
    m_thread.join();
}

void CTavRecoveryWriter::Post(std::string path, std::vector<uint8_t> bytes) {
    {
        const std::lock_guard lock(m_mutex);
        m_waiting.emplace(std::move(path), std::move(bytes));
    }
    m_wake.notify_all();
}

void CTavRecoveryWriter::Flush() {
    std::unique_lock lock(m_mutex);
    m_idle.wait(lock, [this] { return !m_waiting && !m_writing; });
}

std::string CTavRecoveryWriter::TakeFailure() {
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_failure, std::string());
}

uint64_t CTavRecoveryWriter::Written() const {
    const std::lock_guard lock(m_mutex);
    return m_written;
}

void CTavRecoveryWriter::Run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || m_waiting; });
        if (m_stop)
            break;
        auto [path, bytes] = std::move(*m_waiting);
        m_waiting.reset();
        m_writing = true;
        lock.unlock();
        std::string why;
        const bool written = TavSaveFileSafely(path, bytes.data(), bytes.size(), &why);
        lock.lock();
        m_writing = false;
        if (written)
            ++m_written;
        else
            m_failure = "The recovery file " + path + " could not be written: " + why;
        m_idle.notify_all();
    }
    m_writing = false;
    m_idle.notify_all();
}

// ---- Scheduler --------------------------------------------------------------------

bool CTavRecoveryScheduler::Due() {
    if (m_revision == m_writtenRevision) {
        m_soon = false;
        return false;
    }
    const TavTime now = m_clock.Now();
    if (!m_soon && TavMilliseconds(m_last, now) < m_intervalMs)
        return false;
    m_soon = false;
    m_last = now;
    m_writtenRevision = m_revision;
    return true;
}
