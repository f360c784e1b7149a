#pragma once
// The virtual device: our own stand-in for the Vireo, for tests, for ./run and for anyone
// without the hardware. It keeps a memory image laid out by the same editor script (every
// root struct the script's first MIDI input receives), answers data requests with one data
// set of exactly the requested address and size, stores the data sets it is sent and
// answers the identity request. It also keeps a catalog of patch, rhythm-set and sample
// names (CVirtualCatalog) and answers the editor's catalog queries from it, and a sample
// memory of real audio (CVirtualSampleMemory) that it selects, shows, draws, plays and
// processes as the sample exchanges ask (CVirtualSampleAnswers). Replies come
// back instantly or at MIDI cable speed, and tests can make it misbehave on purpose.
//
// Plain logic without threads: the caller hands in each message with the time it was sent
// and collects the replies that are due at a given time. The port layer drives it.

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "app/TavClock.h"
#include "midi/CTavLongMessage.h"
#include "model/TavAddress.h"
#include "virtual/CVirtualCatalog.h"
#include "virtual/CVirtualCatalogAnswers.h"
#include "virtual/CVirtualSampleAnswers.h"
#include "virtual/CVirtualSampleMemory.h"

class CTavLeafStruct;
class CTavSystem;
class CTavTextOut;

class CVirtualDevice {
public:
    // The name under which the device is listed as an input and an output port.
    static constexpr const char* kPortName = "Vireo Virtual Device";
    // Bytes per second on a MIDI cable (31250 baud, 10 bits a byte).
    static constexpr int kWireBytesPerSecond = 3125;

    enum class Speed { Instant, Wire };

    // Misbehaviour for tests. Each counter applies to that many of the next replies to
    // data requests and then runs out.
    struct Faults {
        int dropReplies = 0;            // no answer at all
        int splitReplies = 0;           // the answer comes as two data sets of half the data each
        int foreignDeviceIdReplies = 0; // the answer carries device ID + 1
        int lateReplies = 0;            // the answer is held back by lateBy on top of its time
        TavDuration lateBy{0};
        // Identity requests: no reply, or a reply whose version bytes are another model's.
        int dropIdentityReplies = 0;
        int foreignIdentityReplies = 0;

        // Lasting faults, as a user or a black-box test chooses them.
        bool foreignIdentity = false; // every identity reply carries another model's version
        bool silent = false;          // nothing is answered at all (data sets are still stored)
        bool leavePcMode = false;     // PC mode is left again, by itself, as soon as it is entered
        bool modifyError = false;     // every sample modify command ends with the error answer
        int dropEvery = 0;            // every Nth answer to a request is not sent (0: none)
        int corruptByte = -1;         // byte N of every data set's data is stored with bit 0 flipped
    };

    CVirtualDevice();
    ~CVirtualDevice();
    CVirtualDevice(const CVirtualDevice&) = delete;
    CVirtualDevice& operator=(const CVirtualDevice&) = delete;

    // Lays out the memory from the editor script text with every value at its default.
    // False, with the reason on errors, when the script does not build or has no MIDI input.
    bool Create(const std::string& scriptText, CTavTextOut* errors);
    bool IsCreated() const;

    uint8_t DeviceId() const { return m_deviceId; }
    void SetDeviceId(uint8_t id) { m_deviceId = id; }
    Speed GetSpeed() const { return m_speed; }
    void SetSpeed(Speed speed) { m_speed = speed; }
    Faults& InjectedFaults() { return m_faults; }

    // One complete message from the editor whose first byte left the sender at 'sent'.
    // Data sets with this device's ID (or 7F), model ID and a correct checksum are stored;
    // data requests and identity requests queue their reply; channel messages (notes from
    // the editor's keyboard) are heard; everything else is ignored.
    void Receive(const TavBytes& bytes, TavTime sent);
    // The channel messages heard most recently, oldest first; at most kHeardLimit.
    static constexpr size_t kHeardLimit = 64;
    const std::deque<TavBytes>& HeardChannelMessages() const { return m_heard; }
    // Takes the oldest reply whose last byte has arrived by 'now'. False when none is due.
    bool TakeDue(TavTime now, TavBytes& reply);
    // When the next queued reply is due; false when none is queued.
    bool NextDue(TavTime& due) const;
    size_t QueuedReplies() const { return m_replies.size(); }
    // How many data sets were stored since the device was built.
    size_t DataSetsStored() const { return m_dataSetsStored; }

    // Direct access to the memory image. Addresses are linear (as TavDecodeAddress gives
    // them); a range outside the image fails and touches nothing.
    bool ReadMemory(uint32_t address, size_t size, TavBytes& out) const;
    bool WriteMemory(uint32_t address, const uint8_t* data, size_t size);
    // Every value back to its default.
    void ResetMemory();

    // The names the device answers catalog queries with: the generated catalog (from the
    // script's "categoryTable") until a memory file or StorePart changes it.
    const CVirtualCatalog& Catalog() const { return m_catalog; }
    CVirtualCatalog& Catalog() { return m_catalog; }
    void ResetCatalog();
    // What a user's write on the device does: puts the name and category of the patch
    // (MSB 81, "qv.pat[part]") or rhythm set (MSB 82, "qv.rhy[part]") that part 'part'
    // (0-15) holds in the memory image into the catalog entry of the program ID and sends
    // the write notification (MSB, LSB, program, part) as a data set on
    // "com.utility.command.writeMessage", queued at 'now'. False, changing nothing, for a
    // program ID the catalog lacks, another part or a script without those values.
    bool StorePart(int part, uint8_t msb, uint8_t lsb, uint8_t program, TavTime now);

    // The sample memory: the synthetic set at creation, what the memory file kept, or what
    // ImportSamples took. The catalog's sample lists always follow it; after changing it
    // directly, SamplesChanged brings the catalog and the shown sample up to date.
    CVirtualSampleMemory& Samples() { return m_samples; }
    const CVirtualSampleMemory& Samples() const { return m_samples; }
    void SamplesChanged();
    const CVirtualSampleAnswers& SampleAnswers() const { return m_sampleAnswers; }
    // Replaces the user samples by the WAV and FLAC files of a folder (files that cannot be
    // taken are refused on errors, one line each). False when the folder cannot be read.
    bool ImportSamples(const std::string& folder, CTavTextOut* errors);
    // The file the samples are kept in beside the memory file.
    static std::string SamplePath(const std::string& memoryPath) { return memoryPath + ".samples"; }

    // PC mode, as "com.utility.command.pcModeRequest" holds it: a data set there enters (1)
    // or leaves (0) it, and a one-byte request reads it like any memory.
    bool InPcMode() const;
    // The device leaving PC mode by itself: clears the request value and sends
    // "com.utility.command.pcModeResult" = 0, queued at 'now'. False for a script without
    // those values.
    bool LeavePcMode(TavTime now);

    // The memory image kept across runs, with the catalog after it. Loading a missing file
    // is not an error (the image stays at its defaults); a file of another layout, or whose
    // image holds a byte above 0x7F, is refused with a message and leaves the image untouched. A file without a catalog (written
    // before the device had one) loads with the generated catalog, and so does one whose
    // catalog part is damaged, with a message. Saving replaces the file only when
    // completely written. The samples are kept in SamplePath(path): a missing file keeps
    // the synthetic set, a damaged one is refused with a message and the synthetic set is
    // used (the image still loads).
    bool LoadMemory(const std::string& path, CTavTextOut* errors);
    bool SaveMemory(const std::string& path, CTavTextOut* errors) const;
    // $VIREO_VIRTUAL_DEVICE_MEMORY, else "VirtualDeviceMemory.bin" in the user's data
    // folder ($XDG_DATA_HOME or ~/.local/share, then "Halden/VireoEditor").
    static std::string DefaultMemoryPath();

private:
    struct Reply {
        TavTime due;
        TavBytes bytes;
    };
    // One leaf of the image: where it lies and the bytes it held right after creation.
    struct Leaf {
        CTavLeafStruct* leaf;
        TavRange range;
        TavBytes defaults;
    };
    // The address of a value of the image, or false.
    bool AddressOf(const std::string& path, uint32_t& address) const;
    void QueueReply(TavBytes bytes, TavTime ready, TavDuration extraDelay = TavDuration{0});
    void AnswerDataRequest(const CTavHaldenMessage& request, TavTime arrived);
    // The lasting faults that take an answer away: silence, or every Nth answer dropped.
    bool AnswerDropped();
    // What the lasting faults make of a data set once it is stored.
    void AfterDataSet(uint32_t address, const uint8_t* data, size_t size, TavTime arrived);
    void ReceiveHalden(const TavBytes& bytes, TavTime arrived);
    // The catalog's sample lists from the sample memory.
    void SyncSampleCatalog();
    // Calls f(leaf, first byte of the range inside the leaf, first byte inside the range,
    // byte count) for every leaf the range overlaps, in address order. False, without a
    // call, when the range is not inside one root struct or touches no leaf.
    template <typename F> bool ForEachOverlap(uint32_t address, size_t size, F&& f) const;

    std::unique_ptr<CTavSystem> m_system;
    std::vector<Leaf> m_leaves;            // tree order of the receiving root structs
    std::vector<size_t> m_leavesByAddress; // indices into m_leaves, by address
    std::vector<TavRange> m_roots;
    size_t m_imageSize = 0;
    std::vector<std::string> m_categoryNames;
    CVirtualCatalog m_catalog;
    CVirtualCatalogAnswers m_catalogAnswers;
    CVirtualSampleMemory m_samples;
    CVirtualSampleAnswers m_sampleAnswers;

    uint8_t m_manufacturerId = 0x41;
    TavBytes m_modelId;
    int m_addressSize = 4;
    uint8_t m_deviceId = 0x10;
    Speed m_speed = Speed::Instant;
    Faults m_faults;
    size_t m_dataSetsStored = 0;
    uint64_t m_answers = 0; // requests answered, for dropEvery
    std::deque<TavBytes> m_heard;
    std::deque<Reply> m_replies;
    TavTime m_wireFreeAt{}; // when the device's sending line is free again
};
