#pragma once
// The device reader: reads what a read mask names (structs block by block, the number
// information and name lists of the user and card banks, the sample names) and routes the
// device's replies. Name and number answers go to the entity catalog; a write notification
// from the device updates the stored entry and the part that plays it. It also imports
// Standard MIDI Files: the device's data sets in a file are stored and sent to the device
// as they come (CTavSmfImport.cpp). GUI thread only.

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "device/CTavDeviceBindings.h"
#include "device/TavSampleWire.h"
#include "entity/CTavEntityBanks.h"
#include "files/CTavSmf.h"
#include "files/CTavSmfExclusiveJoin.h"
#include "midi/CTavMidiReader.h"

class CTavBufferManager;
class ITavRootStruct;
class ITavProgress;

namespace Brio {

// The bits of a read mask, in the order they are processed.
namespace TavReadMask {
inline constexpr uint32_t Setup = 0x1;
inline constexpr uint32_t System = 0x2;
inline constexpr uint32_t PartInfo = 0x4;
inline constexpr uint32_t PartEntities = 0x8;
inline constexpr uint32_t UserPatchNames = 0x1000;
inline constexpr uint32_t UserRhythmSetNames = 0x2000;
inline constexpr uint32_t CardNames = 0x10000;
inline constexpr uint32_t SampleNames = 0x20000;
inline constexpr uint32_t Sample = 0x40000;
} // namespace TavReadMask

// What each part plays, as the part context knows it.
class ITavPartEntities {
public:
    virtual ~ITavPartEntities() = default;
    virtual CTavEntityId PartEntityId(int32_t part) const = 0;
};

class CTavReader : public CTavMidiReader, public CTavSmfRead {
public:
    static constexpr int kNameTimeoutMs = 19200;
    static constexpr int kSampleTimeoutMs = 15000;
    static constexpr int32_t kNamesPerRequest = 64;
    static constexpr int32_t kUserSamplePages = 40;
    static constexpr int32_t kCardSamplePages = 140;
    // Write notifications kept while a request waits; more are dropped.
    static constexpr size_t kMaxPendingNotifications = 16;

    CTavReader(CTavBufferManager& buffers, CTavEntityManager& entities, CTavTextOut* report,
               ITavClock& clock = TavSystemClock());

    void SetProgress(ITavProgress* progress) { m_progress = progress; }
    void SetPartEntities(const ITavPartEntities* parts) { m_parts = parts; }
    // Called after a write notification changed the catalog, so the owner stores the user
    // names file.
    void SetNamesChanged(std::function<void()> callback) { m_namesChanged = std::move(callback); }

    // Reads what the mask names, bit by bit in table order; stops at the first failure.
    // A part that plays neither a patch nor a rhythm set is skipped (SkippedParts), every
    // other part is read.
    bool ReadBlocks(uint32_t mask);
    // The parts (0-15) the last ReadBlocks skipped because their program names neither a
    // patch nor a rhythm set the catalog holds.
    const std::vector<int32_t>& SkippedParts() const { return m_skipped; }
    // Why the last failed request or check failed, in one line ("No answer to the request
    // for qv.prti.part[3] (part 4) at address 10 00 13 00 (77 bytes)."); empty until one
    // failed since ClearFailure.
    const std::string& Failure() const { return m_failure; }
    void ClearFailure() { m_failure.clear(); }
    // The progress steps ReadBlocks needs for the mask; fetches the number information of
    // the areas whose names the mask names. -1 when a fetch failed.
    int32_t CountSteps(uint32_t mask);
    // The name steps of the mask as the number information last fetched gives them,
    // without asking the device again.
    int32_t CountKnownNameSteps(uint32_t mask) const;

    // Rebuilds the area's patch and rhythm-set banks from the device's number information.
    bool ReadNumberInformation(int32_t area);
    // Reads the names of every bank of the area's type, as the bank counts list them.
    bool ReadNames(int32_t type, int32_t area);
    // Reads the name list of one bank of the given count.
    bool ReadNameList(int32_t type, int32_t area, int32_t subBank, int32_t count);
    // Reads the names of the user and card samples, page by page.
    bool ReadSampleNames();
    // Reads the part's patch or rhythm set; false when it plays neither.
    bool ReadPartEntity(int32_t part);
    // The part's patch or rhythm set struct, as what it plays says; null when it plays
    // neither (or the script lacks the struct).
    static CTavStruct* PartEntityStruct(const CTavDeviceBindings& bound, const ITavPartEntities* parts,
                                        int32_t part);

    // Sends the identity request for the device ID and waits for the Vireo's reply. No
    // reply: code 4; a reply from the maker's device of another family, model or version:
    // code 11. Either way false.
    bool CheckIdentity(uint8_t deviceId);
    // -1 until a reply with the Vireo's identity bytes arrived during the last check, then 0.
    int32_t IdentityState() const { return m_identity; }
    // The eight bytes after the manufacturer ID in the Vireo's identity reply.
    static constexpr uint8_t kIdentityBytes[8] = {0x14, 0x02, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00};
    static constexpr int32_t kUnconnectedCode = 11;

    CTavBankCounts& BankCounts() { return m_counts; }
    const CTavDeviceBindings& Bindings() const { return m_bound; }
    CTavEntityManager& Entities() { return m_entities; }

    // Replies in this order: the write notification (in any state); then, only while
    // waiting, number answers, name and sample records; anything else to the generic reader.
    void OnDataSet(const CTavHaldenMessage& message) override;
    // During an identity check only an identity reply of the maker's device ends the wait.
    void OnUniversalMessage(const CTavLongMessage& message) override;
    // Handles the write notifications that arrived while a request waited.
    void HandlePendingNotifications();

    // ---- Sample edit exchanges (CTavSampleReader.cpp) -----------------------------------
    static constexpr int kWaveTimeoutMs = 10000;
    static constexpr int32_t kSamplesPerPage = 50;
    static constexpr int32_t kMaxChopPoints = 15;
    // Sends the wave request and appends the answer's points; the reply time-out is at
    // least kWaveTimeoutMs meanwhile. An answer that does not fit the request is ignored.
    bool RequestWave(const TavWaveRequest& request, std::vector<TavWavePoint>& points);
    // Sends a modify command (one attempt) and waits: a progress message sets the progress
    // bar's position and starts the time-out again, the command's echo or a chop, auto chop
    // or unload result ends it, and an error message ends it with code 13, once.
    bool SendModifyCommand(uint32_t address, const uint8_t* data, size_t size);
    // A memory figure ("com.utility.command.sampleMemoryRemain" or "sampleMemoryWhole"):
    // a one-byte request answered with the byte count in 5 bytes of 7 bits.
    bool RequestMemory(const CTavValue* value, int64_t& bytes);
    // The number of chop points of the selected sample (0-15).
    bool RequestChopPointCount(int32_t& count);
    // The frame of chop point index (asked with size index + 1).
    bool RequestChopPoint(int32_t index, int64_t& frame);
    // Reads the sample name page that holds the sample again (area user or card, number
    // 1 and up), so the catalog follows the device after a command.
    bool ReadSampleInformation(int32_t area, int32_t number);

    // ---- Standard MIDI File import (CTavSmfImport.cpp) ----------------------------------
    // Files larger than this show the progress bar ("Reading SMF.") with the file size as
    // its range, advanced by the read position.
    static constexpr uint64_t kSmfProgressThreshold = 16383;
    // Pending changes delivered to the views while an import runs, so a long file does not
    // pile them up.
    static constexpr size_t kSmfPendingLimit = 1u << 16;

    // Reads the file and, for every complete exclusive message that is a data set for the
    // output (F0, its manufacturer, model ID and device ID, command 12, a correct checksum,
    // F7), hands it to the root struct and sends it unchanged through the output. A message
    // divided over an F0 event and F7 continuations is joined first; an escape counts only
    // when it holds a whole message; one left unterminated, and every other event, is
    // skipped. The pending changes are published and cleared at the end. False when the
    // file cannot be opened (only a regular file of at most kMaxFileSize bytes is) or read
    // to its end, or the user cancelled the progress bar; what came before has been stored
    // and sent, and SmfFault() says why it stopped.
    bool ImportSmf(const std::string& path, ITavRootStruct& root);
    // The same over bytes in memory.
    bool ImportSmf(const uint8_t* bytes, size_t size, ITavRootStruct& root);
    // The data sets the last import stored and sent.
    size_t ImportedDataSets() const { return m_smfImported; }
    // Why the last import failed, in one line: where and why the file stopped ("track 2,
    // byte 1502: the data byte 44 has no running status"), why it could not be opened, or
    // that it was cancelled. "" after a success.
    const std::string& SmfFault() const { return m_smfFault; }
    // Whether the last import ended because the user cancelled it.
    bool SmfCancelled() const { return m_smfCancelled; }
    static constexpr const char* kSmfCancelled = "the import was cancelled";

protected:
    void OnTrack(const uint8_t* trackHeader) override;
    void OnExclusiveEvent(uint32_t delta, const CTavLongMessage& message) override;
    void OnShortEvent(uint32_t delta, const TavBytes& message) override;
    void OnMetaEvent(uint32_t delta, uint8_t type, const TavBytes& data) override;
    size_t ReadBytes(uint64_t position, uint8_t* bytes, size_t count) override;
    uint64_t Size() override;

private:
    struct Notification {
        CTavProgramId program;
        int32_t part;
    };

    // What a request asks for, put into words only when it fails: most requests are
    // answered, and a description built for each would be thrown away. Made of a literal
    // or of a function that builds the text; it lives as long as the call it is passed to.
    class CSubject {
    public:
        CSubject(const char* text) : m_text(text) {}
        template <class Make, class = std::enable_if_t<std::is_invocable_r_v<std::string, const Make&>>>
        CSubject(const Make& make)
            : m_make(&make), m_build([](const void* f) -> std::string { return (*static_cast<const Make*>(f))(); }) {}
        std::string Text() const { return m_build ? m_build(m_make) : std::string(m_text); }

    private:
        const char* m_text = "";
        const void* m_make = nullptr;
        std::string (*m_build)(const void*) = nullptr;
    };

    bool Request(uint32_t address, int32_t size);
    // The same; a failure is remembered as "No answer to the request for <what> ...".
    bool Request(uint32_t address, int32_t size, const CSubject& what);
    // A data request whose size field carries the query (00, b1, b2, b3); a failure names
    // the value and what was asked.
    bool RequestQuery(const CTavValue* value, int32_t b1, int32_t b2, int32_t b3, const CSubject& what);
    // Reads every leaf; a failure names the leaf, and the part when one is given.
    bool ReadStruct(CTavStruct* structure, int32_t part = -1);
    void Step();
    void HandleWriteNotification(const Notification& notification);
    // True when the reply's address is the value's.
    static bool IsAt(const CTavValue* value, uint32_t address);
    // Learns the sample edit addresses; called once by the constructor.
    void BindSampleAddresses();
    // The sample edit answers while waiting; true when the message was one of them
    // (taken or ignored), so the generic match does not see it.
    bool OnSampleAnswer(uint32_t address, const uint8_t* data, size_t size);
    // Runs the import over the source set up by ImportSmf.
    bool Import(ITavRootStruct& root);
    void AdvanceSmfProgress();

    CTavBufferManager& m_buffers;
    CTavEntityManager& m_entities;
    CTavTextOut* m_report;
    CTavDeviceBindings m_bound;
    // The absolute addresses replies are routed by; -1 for a value the script lacks.
    struct DispatchAddresses {
        int64_t writeMessage = -1;
        int64_t patchNumberInformation = -1;
        int64_t rhythmSetNumberInformation = -1;
        int64_t patchNameInformation = -1;
        int64_t rhythmSetNameInformation = -1;
        int64_t waveNameInformation = -1;
        int64_t sampleNameInformation = -1;
    } m_at;
    CTavBankCounts m_counts;
    ITavProgress* m_progress = nullptr;
    const ITavPartEntities* m_parts = nullptr;
    std::function<void()> m_namesChanged;
    std::vector<int32_t> m_skipped;
    std::string m_failure;

    // While a name list is read: the inserter records go into.
    CTavEntityManager::IInserter* m_inserter = nullptr;
    // While number information is asked for: the value asked and the LSB expected.
    const CTavValue* m_numberValue = nullptr;
    int32_t m_numberLsb = -1;
    int32_t m_numberCount = -1;
    bool m_readingSamples = false;
    // While an identity check waits: the device ID the reply must carry.
    int32_t m_identityDeviceId = -1;
    int32_t m_identity = -1;
    std::string m_identityReply; // the family, model and version bytes of the last reply

    // The sample edit addresses; -1 for a value the script lacks.
    struct SampleAddresses {
        int64_t waveRequest = -1, waveData = -1, progress = -1, error = -1, chopResult = -1,
                autoChopResult = -1, unloadResult = -1, chopPointSize = -1, chopPoint = -1;
    } m_sampleAt;
    // What the sample exchange that waits expects.
    const TavWaveRequest* m_waveRequest = nullptr;
    std::vector<TavWavePoint>* m_wavePoints = nullptr;
    bool m_modifyPending = false;
    int64_t m_memoryAt = -1;
    int64_t m_memoryBytes = -1;
    bool m_chopCountPending = false;
    int32_t m_chopCount = -1;
    int32_t m_chopIndex = -1;
    int64_t m_chopFrame = -1;

    int m_depth = 0;
    Notification m_pending[kMaxPendingNotifications] = {};
    size_t m_pendingCount = 0;
    bool m_handlingNotifications = false;

    // While an import runs: its source (a file or bytes), the root struct, the progress
    // bar when the file is large and the position it shows.
    std::FILE* m_smfFile = nullptr;
    const uint8_t* m_smfBytes = nullptr;
    uint64_t m_smfSize = 0;
    uint64_t m_smfFilePosition = 0;
    ITavRootStruct* m_smfRoot = nullptr;
    ITavProgress* m_smfProgress = nullptr;
    uint64_t m_smfShown = 0;
    size_t m_smfImported = 0;
    std::string m_smfFault;
    bool m_smfCancelled = false;
    CTavSmfExclusiveJoin m_smfJoin;
    // Kept from message to message, so the import allocates only while messages grow.
    CTavHaldenMessage m_smfDataSet;
};

// A reader where no device answers (offline imports, tools): nothing is waited for.
class CTavOfflineReader : public CTavReader {
public:
    using CTavReader::CTavReader;

protected:
    void Pump() override {}
};

} // namespace Brio
