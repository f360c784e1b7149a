#pragma once
// Recovery of edits after a crash.
//
// CTavRecoveryStore keeps the recovery data files in the user's own state folder. Each
// running editor holds one slot ("recovery-N.vro" beside "recovery-N.lock") locked for as
// long as it runs, so two copies never share a file; the lock goes with the process, so a
// slot whose lock can be taken and whose file exists was left by an editor that died.
// CTavRecoveryWriter writes the bytes on a thread of its own (a temporary file, then a
// rename), so an edit never waits for the disk. CTavRecoveryScheduler says when the state
// is due to be written.

#include <condition_variable>
#include <cstdint>
#include <ctime>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/TavClock.h"

class CTavRecoveryStore {
public:
    static constexpr int kSlots = 16;

    struct Left {
        std::string path;  // the recovery file
        std::time_t saved; // when it was last written
        int slot;
    };

    CTavRecoveryStore() = default;
    ~CTavRecoveryStore();
    CTavRecoveryStore(const CTavRecoveryStore&) = delete;
    CTavRecoveryStore& operator=(const CTavRecoveryStore&) = delete;

    // $XDG_STATE_HOME/vireo-editor, else ~/.local/state/vireo-editor; empty when neither
    // can be named.
    static std::string DefaultFolder();

    // Makes the folder (mode 700) when missing and takes the first free slot. False, with
    // why, when the folder is not a directory of this user's or every slot is taken.
    bool Open(const std::string& folder, std::string* why = nullptr);
    bool IsOpen() const { return m_slot >= 0; }
    const std::string& Folder() const { return m_folder; }
    // This editor's recovery file.
    std::string Path() const { return SlotPath(m_slot, ".vro"); }

    // The files editors that died left behind (this editor's own slot included, from an
    // earlier run), newest first; those written before the last clean exit are moved aside
    // ("….vro.old") and not listed.
    std::vector<Left> FindLeft();
    // Moves a file that could not be loaded aside ("….vro.unreadable"), never deleting it;
    // the new name, or empty when it could not be moved.
    std::string PutAside(const Left& left, const char* suffix = ".unreadable");
    // Removes a file the user declined or that has been recovered.
    static bool Remove(const std::string& path);

    // A clean exit: removes this editor's file, notes the time and gives the slot up.
    void CloseCleanly();

private:
    std::string SlotPath(int slot, const char* suffix) const;
    // Takes the slot's lock; the descriptor, or -1 when another editor holds it.
    int Lock(int slot) const;
    std::time_t LastCleanExit() const;

    std::string m_folder;
    int m_slot = -1;
    int m_lock = -1;
};

// Writes the newest bytes handed to it, one file at a time, on its own thread. Bytes handed
// over while a write runs replace any that still wait, so it never falls behind.
class CTavRecoveryWriter {
public:
    CTavRecoveryWriter();
    // Finishes the write under way and drops any that waits.
    ~CTavRecoveryWriter();
    CTavRecoveryWriter(const CTavRecoveryWriter&) = delete;
    CTavRecoveryWriter& operator=(const CTavRecoveryWriter&) = delete;

    void Post(std::string path, std::vector<uint8_t> bytes);
    // Waits until everything handed over has been written.
    void Flush();
    // The failure of the last write, in one line, once; empty when it succeeded.
    std::string TakeFailure();
    uint64_t Written() const;

private:
    void Run();

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::optional<std::pair<std::string, std::vector<uint8_t>>> m_waiting;
    bool m_writing = false;
    bool m_stop = false;
    uint64_t m_written = 0;
    std::string m_failure;
    std::thread m_thread;
};

// When to write: every interval while the state is modified, at once after a command that
// changes much (Paste, Initialize, an import), and not again while nothing changed.
class CTavRecoveryScheduler {
public:
    static constexpr int kIntervalSeconds = 30;

    explicit CTavRecoveryScheduler(ITavClock& clock, int intervalSeconds = kIntervalSeconds)
        : m_clock(clock), m_intervalMs(int64_t{intervalSeconds} * 1000), m_last(clock.Now()) {}

    // The state changed (revision grows with every change).
    void Changed(uint64_t revision) { m_revision = revision; }
    // Write at the next check.
    void WriteSoon() { m_soon = true; }
    // Whether to write now; the caller writes when it answers true.
    bool Due();

private:
    ITavClock& m_clock;
    int64_t m_intervalMs;
    TavTime m_last;
    uint64_t m_revision = 0;
    uint64_t m_writtenRevision = 0;
    bool m_soon = false;
};
