#pragma once
// The device layer's root: one object that binds the device's structs and values once,
// owns the entity catalog, the device reader and writer and the Edit clipboard, and keeps
// the part context (which part the edit panels show and what it plays). Device-layer
// start registers the device's buffer handlers. GUI thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/TavClock.h"
#include "device/CTavBoundTable.h"
#include "device/CTavReader.h"
#include "device/CTavSampleEditor.h"
#include "device/CTavWriter.h"
#include "entity/CTavEntityManager.h"
#include "entity/CTavUserNameFile.h"
#include "view/ITavPopupMenu.h"

class CTavSystem;
class CTavTextOut;
class ITavProgress;

namespace Brio {

// What a part plays, as "vs.control.entityType" and "vs.control.partEntityType[%d]" hold it.
namespace TavPartPlays {
inline constexpr int32_t Nothing = 0;
inline constexpr int32_t Patch = 1;
inline constexpr int32_t RhythmSet = 2;
} // namespace TavPartPlays

class CTavBufferAccessor : public ITavPartEntities {
public:
    // The pause between writing a part's program and reading what it now plays.
    static constexpr int kReadDelayMs = 50;
    static constexpr int32_t kNoRhythmKey = -1;
    // The MIDI note of rhythm key 0.
    static constexpr int32_t kFirstRhythmNote = 59;

    // The Edit clipboard's slots, each the byte image of one struct.
    enum Slot : int { kPartSlot = 0, kPatchToneSlot = 1, kRhythmKeySlot = 2, kSlotCount = 3 };

    CTavBufferAccessor();
    ~CTavBufferAccessor() override;
    CTavBufferAccessor(const CTavBufferAccessor&) = delete;
    CTavBufferAccessor& operator=(const CTavBufferAccessor&) = delete;

    // The one device layer of the process, made on first use.
    static CTavBufferAccessor& Instance();

    // Device-layer start, once per buffer manager, after the managers exist: takes the
    // reader and writer (replacing earlier ones) and attaches the first MIDI input and output to them,
    // creates the fixed banks, binds the value table and registers the device's buffer handlers. Without a
    // reader the layer works offline: nothing is read from the device. False when the fixed
    // banks cannot be made.
    bool Start(CTavSystem& system, std::unique_ptr<CTavReader> reader, std::unique_ptr<CTavWriter> writer,
               ITavClock& clock = TavSystemClock());
    // Lets go of the reader, the writer and the system; the handlers go with the buffer
    // manager.
    void Shutdown();
    bool IsStarted() const { return m_buffers != nullptr; }

    CTavEntityManager& Entities() { return m_entities; }
    const CTavEntityManager& Entities() const { return m_entities; }
    CTavReader* Reader() { return m_reader.get(); }
    // The sample edit window's exchanges and its open views and lists.
    CTavSampleEditor& SampleEditor() { return m_sampleEditor; }
    CTavWriter* Writer() { return m_writer.get(); }
    const CTavBoundTable& Bound() const { return m_bound; }
    CTavBufferManager* Buffers() const { return m_buffers; }
    CTavSystem* System() const { return m_system; }
    // The bank counts of the user and card areas (the reader keeps them up to date).
    CTavBankCounts& BankCounts() { return m_reader ? m_reader->BankCounts() : m_counts; }

    // ---- Part context ------------------------------------------------------------------
    // "vs.control.partId"; -1 when the script lacks it.
    int32_t CurrentPart() const;
    // The entity whose program ID the part's bank select and program number give, or the
    // invalid ID.
    CTavEntityId PartEntityId(int32_t part) const override;
    // Shows the part: "vs.control.partId", then what it plays.
    void SetCurrentPart(int32_t part);
    // Brings the part's view state in line with its program: "vs.control.partEntityType[%d]",
    // its category and, for the current part while "vs.control.entityType" is non-zero,
    // what it plays. With fallBack a part that plays neither a patch nor a rhythm set is
    // first given the first user patch (unless the layer keeps programs, below).
    void RefreshPart(int32_t part, bool fallBack);
    // While set, a part whose program the catalog does not know keeps it: Read keeps what
    // the device holds, and the command-line tool what a file holds.
    bool KeepsPrograms() const { return m_keepPrograms; }
    void SetKeepPrograms(bool keep) { m_keepPrograms = keep; }
    // "vs.control.entityType": 2 for a rhythm set, 1 for any other valid ID or when the
    // current part is not a part, 0 when the part is valid but the ID is not.
    void ShowEntity(const CTavEntityId& id);
    // Makes the part play the entity: as a user edit (handlers run, data sets go to the
    // device) or silently. With readAfter, reads what the part now plays from the device
    // and answers that result. False, changing nothing, for an entity the catalog lacks.
    bool ApplyEntity(int32_t part, const CTavEntityId& id, bool readAfter, bool asEdit);
    // Reads the part's patch or rhythm set from the device; true offline, code 3 at once
    // while the ports are not ready.
    bool ReadPart(int32_t part);
    // Reads every part's patch or rhythm set, advancing the progress bar (a part that plays
    // neither is skipped and named once); true offline, code 3 at once while the ports are
    // not ready.
    bool ReadAllParts();
    // Offline the reads above are skipped.
    bool IsOffline() const { return !m_reader; }

    // ---- Selection menus -----------------------------------------------------------------
    // Shows the part's selection menu, by bank or by category, through the system's popup
    // with the entity the part plays marked, and makes the part play the entity chosen as a
    // user edit, reading it back from the device (skipped offline). False, changing
    // nothing, when the menu is dismissed or empty, the part is not a part or there is no
    // popup.
    bool SelectByBank(int32_t part, const TavPopupPosition& position = {});
    bool SelectByCategory(int32_t part, const TavPopupPosition& position = {});

    // ---- Rhythm key ----------------------------------------------------------------------
    int32_t PendingRhythmKey() const { return m_pendingKey; }
    void SetPendingRhythmKey(int32_t key) { m_pendingKey = key; }
    // The editor's idle pass: selects the pending rhythm key, clamped to the range of
    // "vs.control.rhythmTone", when it differs from the selected one.
    void OnIdle();

    // ---- Edit clipboard ------------------------------------------------------------------
    bool HasClip(Slot slot) const { return m_clips[slot].has_value(); }
    const std::vector<uint8_t>* Clip(Slot slot) const { return m_clips[slot] ? &*m_clips[slot] : nullptr; }
    void SetClip(Slot slot, std::vector<uint8_t> bytes) { m_clips[slot] = std::move(bytes); }
    void ClearClip(Slot slot) { m_clips[slot].reset(); }

    // The wait cursor: called with true before a command runs and with false after it.
    // Nested calls share one cursor: the hook sees only the outermost pair.
    void SetWaitCursor(std::function<void(bool)> hook) { m_waitCursor = std::move(hook); }
    // While a command or device procedure runs (the wait cursor is shown).
    bool IsWaiting() const { return m_waitDepth > 0; }
    void ShowWaitCursor(bool on) {
        const bool outermost = on ? m_waitDepth++ == 0 : m_waitDepth > 0 && --m_waitDepth == 0;
        if (outermost && m_waitCursor)
            m_waitCursor(on);
    }

    // ---- Device procedures (CTavDeviceProcedures.cpp) ----------------------------------------
    // The message codes of the progress bar: getting and synchronising data.
    static constexpr int kGettingDataCode = 1;
    static constexpr int kSynchronizingCode = 2;
    // True when the first MIDI input receives the first root struct and listens to a port,
    // the first output has a device, and the layer has its reader and writer.
    bool PortsReady() const;
    // Code 3 ("MIDI devices aren't set up correctly.") at once on the message box output;
    // false.
    bool NotSetUp() const;
    // Whether the first MIDI input listens to an opened port; only the host that opens the
    // ports knows. Without one the input counts as connected (hosts that wire it by hand).
    void SetInputLink(std::function<bool()> connected) { m_inputLink = std::move(connected); }
    // Set while Read or Read Patch/Rhythm Set Names runs; a second call meanwhile fails.
    bool IsBusy() const { return m_busy; }
    // The identity request through the first output's device ID (codes 4 and 11).
    bool CheckIdentity();
    // Reads the whole device: identity, PC mode left, the user names, "qv.setup" and
    // "qv.prti", then "qv.system" and every part's patch or rhythm set with the progress bar,
    // followed under the same bar by the names when no names file gave them.
    bool Read();
    // Whether Read also reads the patch and rhythm-set names, and stores the names file,
    // when there is no names file to take them from (so the parts show names from the
    // first Read on). On unless turned off; a backup turns it off and leaves the file alone.
    void SetReadNamesWithoutFile(bool read) { m_readNamesWithoutFile = read; }
    // The user and card banks from the user names file, else from the device's number
    // information. False when neither worked.
    bool LoadBankLayout();
    // When the banks came from the user names file and it leaves a part's program without
    // an entry (a cut or stale file), the device's number information decides the banks;
    // the file's names stay on the entries that still exist. False when that fetch failed.
    bool CoverParts();
    // The patch and rhythm-set banks of the user and card areas the catalog holds.
    int32_t PlayableBankCount() const;
    // Sends "qv.setup", "qv.system", "qv.prti" and every part's patch or rhythm set.
    bool Sync();
    // Reads the names of the user and card banks, stores the user names file and applies
    // every part's entity again.
    bool ReadNames();
    // Reads the user and card sample names.
    bool ReadSampleNames();
    bool SampleNamesRead() const { return m_sampleNamesRead; }
    // Writes the user names file into the script folder; code 2 at once on failure.
    bool StoreUserNames();
    // Applies every part's current program silently and refreshes each part's view state
    // (without falling back), so part names, types and categories follow the catalog, and
    // shows what the current part plays. The "qv" root keeps its modified flag.
    void ReapplyPartEntities();
    // The one line that tells which parts (0-15) were skipped by a read or sync ("read" or
    // "sent"); empty for none.
    static std::string SkippedPartsText(const std::vector<int32_t>& parts, const char* verb);
    // The sample edit window opened (non-zero) or closed: opening puts the device in PC
    // mode and reads the sample names the first time.
    void OnSampleEditView(int32_t view);
    // The device's PC mode result: 0 while the sample edit window is open means it left
    // PC mode by itself, which is reported (code 18) and asked for again.
    void OnPcModeResult(int32_t result);

    // ---- Standard MIDI Files (CTavDeviceProcedures.cpp) ------------------------------------
    // Plays the file's data sets into the root struct "qv" and to the device through the
    // reader. A file that cannot be opened or read to its end: the reason on the error
    // output ("Unable to import PATH : REASON") and code 1 at once on the message box
    // output. A cancelled import says so on the error output only. Either way what came
    // before stays and has been sent.
    bool ImportSmf(const std::string& path);
    // Writes the part information (TavExportMode::PartInfo) or the part information with
    // every part's patch or rhythm set (PartInfoAndSets) as a file through the writer. On
    // failure the old file stays, the reason goes to the error output and code 2 ("This
    // file could not be saved.") is shown at once.
    bool ExportSmf(const std::string& path, uint32_t mode);

    // Writes a value's raw value without running the handlers and records the change, so
    // the views follow. Nothing for a null value.
    void Notify(CTavValue* value, int32_t raw);

private:
    void RegisterHandlers();
    // The entries of the user names file; false when it is missing or foreign.
    bool LoadUserNames(std::vector<CTavUserNameEntry>& entries) const;
    // Shows SkippedPartsText once on the message box output.
    void ReportSkippedParts(const std::vector<int32_t>& parts, const char* verb);
    // The popup of a selection menu for a part; null (and a line on the error output)
    // when the layer has no system or the system no popup.
    ITavPopupMenu* SelectionPopup(int32_t part) const;
    void Detach();

    CTavSystem* m_system = nullptr;
    CTavBufferManager* m_buffers = nullptr;
    ITavClock* m_clock = nullptr;
    CTavEntityManager m_entities;
    CTavBoundTable m_bound;
    CTavBankCounts m_counts;
    std::unique_ptr<CTavReader> m_reader;
    std::unique_ptr<CTavWriter> m_writer;
    CTavSampleEditor m_sampleEditor{*this};
    int32_t m_pendingKey = kNoRhythmKey;
    std::array<std::optional<std::vector<uint8_t>>, kSlotCount> m_clips;
    std::function<void(bool)> m_waitCursor;
    int m_waitDepth = 0;
    std::function<bool()> m_inputLink;
    bool m_busy = false;
    bool m_sampleNamesRead = false;
    bool m_handlingPcModeResult = false;
    bool m_keepPrograms = false;
    // The user and card banks came from the user names file (not the device).
    bool m_banksFromFile = false;
    bool m_readNamesWithoutFile = true;
};

// Shows the device layer's wait cursor for its lifetime.
class CTavWaitCursor {
public:
    explicit CTavWaitCursor(CTavBufferAccessor& accessor) : m_accessor(accessor) { accessor.ShowWaitCursor(true); }
    ~CTavWaitCursor() { m_accessor.ShowWaitCursor(false); }
    CTavWaitCursor(const CTavWaitCursor&) = delete;
    CTavWaitCursor& operator=(const CTavWaitCursor&) = delete;

private:
    CTavBufferAccessor& m_accessor;
};

// The whole byte image of a struct: its leaves' bytes, depth first.
std::vector<uint8_t> TavStructBytes(CTavStruct& structure);

} // namespace Brio
