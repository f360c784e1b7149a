#pragma once
// The device writer: sends what a read mask names ("qv.setup", "qv.system", "qv.prti" and
// every part's patch or rhythm set) as one data set per leaf block. It also exports part
// settings as a Standard MIDI File: for the length of an export it stands in for the
// output's device, so every data set the normal sending path builds becomes one exclusive
// event of the file, spaced as it would go over the cable. GUI thread only.

#include <cstdint>
#include <string>
#include <vector>

#include "device/CTavDeviceBindings.h"
#include "files/CTavSmf.h"
#include "midi/CTavMidiDevice.h"
#include "midi/CTavMidiReader.h"

class CTavBufferManager;
class ITavProgress;

namespace Brio {

class ITavPartEntities;

// What an export holds: the part information alone, or with every part's patch or rhythm
// set (the read mask bits of the same structs).
namespace TavExportMode {
inline constexpr uint32_t PartInfo = 0x4;
inline constexpr uint32_t PartInfoAndSets = 0xC;
} // namespace TavExportMode

class CTavWriter : public CTavMidiWriter, public CTavSmfMemoryWrite, public CTavMidiOutDevice {
public:
    // Files larger than this are refused while they are built.
    static constexpr uint64_t kMaxExportBytes = 64u << 20;

    explicit CTavWriter(CTavBufferManager& buffers, ITavClock& clock = TavSystemClock());

    void SetProgress(ITavProgress* progress) { m_progress = progress; }
    void SetPartEntities(const ITavPartEntities* parts) { m_parts = parts; }

    // Sends the structs of the mask's bits 0x1, 0x2, 0x4, 0x8 and 0x40000 in that order,
    // one step per block. A part that plays neither a patch nor a rhythm set is skipped
    // (SkippedParts); every other part is sent. False, with the reason in Failure(), when
    // a struct is missing or the output is not set.
    bool SendBlocks(uint32_t mask);
    // The parts (0-15) the last SendBlocks skipped.
    const std::vector<int32_t>& SkippedParts() const { return m_skipped; }
    const std::string& Failure() const { return m_failure; }

    // Builds the file of an export mode in memory: the part information, then for mode
    // PartInfoAndSets each part's patch or rhythm set up to the first part that plays
    // neither. The output's device is the writer meanwhile and is given back on every way
    // out. False without an output or a part information struct, or when the file grew
    // too large.
    bool ExportSmf(uint32_t mode, TavBytes& file);
    // The same, saved in one piece through a temporary file (a failed export keeps the old
    // file); why says what failed.
    bool ExportSmf(const std::string& path, uint32_t mode, std::string* why);

    // The ticks (1/96 quarter note at 120 beats per minute) a data set of length bytes
    // takes over the cable, with the writer's pause and one tick more.
    static uint32_t DeltaTicks(uint64_t length);

    // The output's device side during an export: an exclusive message is written as an
    // event; anything else has no place in the file.
    void Send(const TavBytes& bytes) override;

private:
    bool SendStruct(CTavStruct* structure);
    bool SendExport(uint32_t mode);

    CTavDeviceBindings m_bound;
    ITavProgress* m_progress = nullptr;
    std::vector<int32_t> m_skipped;
    std::string m_failure;
    const ITavPartEntities* m_parts = nullptr;
    bool m_exporting = false;
};

} // namespace Brio
