#pragma once
// Standard MIDI Files. CTavSmfRead walks the chunks and events of a file and hands each
// event to a virtual handler; CTavSmfWrite writes a header, tracks and their events. Both
// reach the bytes through one virtual operation, so the same code reads and writes files,
// memory and anything a derived class supplies. The ready-made ends at the bottom read
// from memory or a file and write into memory.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "midi/CTavLongMessage.h"

class CTavSmf {
public:
    // Variable-length quantities: 7 bits per byte, most significant group first, bit 7 set
    // on every byte but the last; at most 4 bytes.
    static constexpr uint32_t kMaxVariableLength = 0x0FFFFFFF;
    static constexpr size_t kMaxVariableLengthBytes = 4;

    static constexpr size_t kHeaderSize = 14;
    // The largest file read: a bound for hostile input, far above any real file.
    static constexpr uint64_t kMaxFileSize = uint64_t(1) << 30;
    static constexpr size_t kTrackHeaderSize = 8;
    static constexpr uint16_t kDivision = 96; // ticks per quarter note
    static constexpr uint8_t kMetaEndOfTrack = 0x2F;

    // Values above kMaxVariableLength are written as kMaxVariableLength.
    static void AppendVariableLength(TavBytes& out, uint32_t value);
    // Decodes one quantity from at most count bytes. Answers how many bytes it took, or 0
    // when none of the first four (or of the count, when fewer) ends it.
    static size_t ParseVariableLength(const uint8_t* bytes, size_t count, uint32_t& value);
    // How many data bytes follow a status byte: one for Cn and Dn, none for F0 and above,
    // two for the other channel messages.
    static size_t DataBytesAfter(uint8_t status);
};

class CTavSmfRead : public CTavSmf {
public:
    // The size of the read buffer (smaller files get one of their size).
    static constexpr size_t kBufferSize = 64 * 1024;

    CTavSmfRead() = default;
    virtual ~CTavSmfRead();
    CTavSmfRead(const CTavSmfRead&) = delete;
    CTavSmfRead& operator=(const CTavSmfRead&) = delete;

    // Reads the header, then every announced track to its end-of-track event. Answers false
    // at the first fault (a short read, a wrong chunk id, a header length other than 6, a
    // delta time or length of more than 4 bytes, a length running past the end of the file,
    // a data byte without a running status) or when a handler stopped it; the handlers have
    // seen everything before it, and Fault() says where and why it stopped. Track lengths
    // are not used: a track ends with its end-of-track event. Running status starts afresh
    // in every track and applies to channel messages only: an exclusive, meta or system
    // event cancels it, so a data byte before the first status of a track, or after any of
    // those, is a fault rather than a guess. The file is read in order, through a buffer:
    // ReadBytes is asked for each part of the file once, never for one it gave before.
    bool Read();

    int32_t NumberOfTracks() const { return m_numberOfTracks; }
    // The read position, for progress.
    uint64_t Position() const { return m_position; }
    // Learned once at the start of Read through Size().
    uint64_t FileSize() const { return m_fileSize; }
    // The status byte of the event being handled: F0, F7, FF or the channel or system
    // status (running status applied).
    uint8_t EventStatus() const { return m_eventStatus; }
    // The track being read (0 based), -1 before the first.
    int32_t CurrentTrack() const { return m_currentTrack; }
    // Why the last Read stopped ("" after a success) and the offset of the item it was
    // reading: the chunk header, the delta time, the event or its length.
    const std::string& Fault() const { return m_fault; }
    uint64_t FaultPosition() const { return m_faultPosition; }
    // The fault with where it happened: "track 2, byte 1502: the data byte 44 has no
    // running status" ("byte 0: ..." before the first track); "" after a success.
    std::string FaultText() const;
    // Whether the last Read ended because a handler called Stop.
    bool Stopped() const { return m_stopped; }

protected:
    virtual void OnHeader(const uint8_t* /*header, kHeaderSize bytes*/) {}
    virtual void OnTrack(const uint8_t* /*trackHeader, kTrackHeaderSize bytes*/) {}
    // A channel message with its status (running status already applied), or a system
    // status byte alone.
    virtual void OnShortEvent(uint32_t /*delta*/, const TavBytes& /*message*/) {}
    // F0 events with F0 put in front, F7 escapes as they are; bytes that fail the message's
    // inner-byte check leave it at its default F0 00 F7 (ExclusiveBytes has them all).
    virtual void OnExclusiveEvent(uint32_t /*delta*/, const CTavLongMessage& /*message*/) {}
    virtual void OnMetaEvent(uint32_t /*delta*/, uint8_t /*type*/, const TavBytes& /*data*/) {}

    // Copies up to count bytes from position; answers how many (fewer at the end of the file).
    virtual size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) = 0;
    virtual uint64_t Size() = 0;

    // While OnExclusiveEvent runs: the event's bytes as the file holds them, F0 put in
    // front of an F0 event's, an escape's as they are, whatever bytes they hold.
    const TavBytes& ExclusiveBytes() const { return m_eventBytes; }
    // Called from a handler: the read ends after the event being handled, and Read answers
    // false with why as its fault.
    void Stop(std::string why);

private:
    bool ReadEvent();
    // Makes at least count bytes (at most the buffer's size) from the read position ready
    // in the buffer, fewer only where the file ends; answers how many are ready.
    size_t Fill(size_t count);
    size_t Buffered() const { return static_cast<size_t>(m_bufferStart + m_bufferFill - m_position); }
    const uint8_t* Cursor() const { return m_buffer.get() + (m_position - m_bufferStart); }
    bool ReadExact(uint8_t* bytes, size_t count);
    bool ReadVariableLength(uint32_t& value, const char* what);
    // Reads length bytes after checking that the file still holds them.
    bool ReadData(uint32_t length, TavBytes& bytes, const char* what);
    bool Fail(std::string why);

    int32_t m_numberOfTracks = 0;
    int32_t m_currentTrack = -1;
    uint64_t m_position = 0;
    uint64_t m_fileSize = 0;
    uint64_t m_itemStart = 0;
    bool m_endOfTrack = false;
    uint8_t m_runningStatus = 0; // 0: none
    uint8_t m_eventStatus = 0;
    std::string m_fault;
    uint64_t m_faultPosition = 0;
    bool m_stopped = false;
    std::string m_stopReason;

    // The buffer holds the file's bytes from m_bufferStart on, m_bufferFill of them; the
    // read position is always among them or just after them. It is used up to m_bufferSize
    // and grows only, without clearing, when a larger file needs more.
    std::unique_ptr<uint8_t[]> m_buffer;
    size_t m_bufferSize = 0;
    size_t m_bufferCapacity = 0;
    uint64_t m_bufferStart = 0;
    size_t m_bufferFill = 0;
    // Kept from event to event, so reading allocates only while events grow.
    TavBytes m_eventBytes;
    CTavLongMessage m_message;
};

class CTavSmfWrite : public CTavSmf {
public:
    CTavSmfWrite() = default;
    virtual ~CTavSmfWrite();
    CTavSmfWrite(const CTavSmfWrite&) = delete;
    CTavSmfWrite& operator=(const CTavSmfWrite&) = delete;

    // "MThd" 00 00 00 06, format 0, the number of tracks (written last, by EndFile), and a
    // division of 96 ticks per quarter note.
    void BeginFile();
    // "MTrk" with length 0; EndTrack writes the real length.
    void BeginTrack();
    // Delta, F0, the length of the bytes after the first, and those bytes (the first byte is
    // taken to be F0).
    void WriteExclusiveEvent(uint32_t delta, const CTavLongMessage& message);
    // Channel messages (80 to EF) only, each with its status: running status is never used.
    // System messages and incomplete messages are skipped without fault.
    void WriteChannelEvent(uint32_t delta, const TavBytes& message);
    void WriteMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data);
    // Writes the end-of-track event and the track's length; does nothing outside a track.
    void EndTrack();
    // Ends a track still open, then writes the number of tracks into the header.
    void EndFile();

    // False once a WriteBytes wrote fewer bytes than asked, or something did not fit the
    // format (a length above kMaxVariableLength, more than 65535 tracks).
    bool Good() const { return m_good; }
    int32_t NumberOfTracks() const { return m_numberOfTracks; }
    uint64_t Position() const { return m_position; }

protected:
    // Writes count bytes at position (past the end grows the file); answers how many.
    virtual size_t WriteBytes(uint64_t position, const uint8_t* bytes, size_t count) = 0;
    // Called by BeginFile before anything is written, so an end can drop an earlier file.
    virtual void OnBeginFile() {}

private:
    void Put(uint64_t position, const TavBytes& bytes);
    void Append(const TavBytes& bytes);
    TavBytes HeaderChunk() const;

    int32_t m_numberOfTracks = 0;
    uint64_t m_position = 0;
    uint64_t m_trackStart = 0;
    bool m_inTrack = false;
    bool m_good = true;
    // The event being written, kept so writing allocates only while events grow.
    TavBytes m_event;
};

// Reads a file held in memory (a copy of the bytes).
class CTavSmfMemoryRead : public CTavSmfRead {
public:
    explicit CTavSmfMemoryRead(TavBytes bytes) : m_bytes(std::move(bytes)) {}
    CTavSmfMemoryRead(const uint8_t* bytes, size_t size) : m_bytes(bytes, bytes + size) {}

protected:
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override;
    uint64_t Size() override { return m_bytes.size(); }

private:
    TavBytes m_bytes;
};

// Reads an open stream (left open) or a file by path (opened and closed here). The size
// is learned by seeking to the end; a stream that cannot seek reads as empty. A path is
// opened as every outside file is (TavOpenForReading): a folder, a FIFO, a device or a
// file larger than kMaxFileSize is refused at once, and OpenFault() says why.
class CTavSmfFileRead : public CTavSmfRead {
public:
    explicit CTavSmfFileRead(std::FILE* file) : m_file(file) {}
    explicit CTavSmfFileRead(const std::string& path);
    ~CTavSmfFileRead() override;

    bool IsOpen() const { return m_file != nullptr; }
    // Why the path could not be opened: one line naming it ("" when it was).
    const std::string& OpenFault() const { return m_openFault; }

protected:
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override;
    uint64_t Size() override;

private:
    std::FILE* m_file = nullptr;
    bool m_owned = false;
    // Where the stream stands, so reading on needs no seek.
    uint64_t m_streamPosition = UINT64_MAX;
    std::string m_openFault;
};

// Writes into a growing byte sequence; the finished file is Bytes().
class CTavSmfMemoryWrite : public CTavSmfWrite {
public:
    // A file that would grow past limit bytes is refused (the writer is no longer good).
    explicit CTavSmfMemoryWrite(uint64_t limit = UINT64_MAX) : m_limit(limit) {}

    const TavBytes& Bytes() const { return m_bytes; }
    // Hands the bytes over and leaves the writer empty.
    TavBytes TakeBytes() { return std::exchange(m_bytes, TavBytes()); }

protected:
    size_t WriteBytes(uint64_t position, const uint8_t* bytes, size_t count) override;
    void OnBeginFile() override { m_bytes.clear(); }

private:
    uint64_t m_limit;
    TavBytes m_bytes;
};
