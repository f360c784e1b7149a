#include "device/CTavWriter.h"

#include <algorithm>

#include "device/CTavReader.h"
#include "files/TavSafeFile.h"
#include "model/CTavBufferManager.h"
#include "view/ITavProgress.h"

namespace Brio {

namespace {

// Puts the writer in place of the output's device for a scope and gives the previous
// device back however the scope ends.
class COutputDeviceSwap {
public:
    COutputDeviceSwap(CTavMidiOut& output, CTavMidiOutDevice& stand_in, bool& active)
        : m_output(output), m_previous(output.Device()), m_active(active) {
        m_output.SetDevice(&stand_in);
        m_active = true;
    }
    ~COutputDeviceSwap() {
        m_output.SetDevice(m_previous);
        m_active = false;
    }
    COutputDeviceSwap(const COutputDeviceSwap&) = delete;
    COutputDeviceSwap& operator=(const COutputDeviceSwap&) = delete;

private:
    CTavMidiOut& m_output;
    CTavMidiOutDevice* m_previous;
    bool& m_active;
};

} // namespace

CTavWriter::CTavWriter(CTavBufferManager& buffers, ITavClock& clock)
    : CTavMidiWriter(clock), CTavSmfMemoryWrite(kMaxExportBytes) {
    m_bound.Bind(buffers);
}

bool CTavWriter::SendStruct(CTavStruct* structure) {
    if (!structure || !Output())
        return false;
    structure->ForEachLeaf([&](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>* bytes = leaf.Bytes();
        if (bytes)
            SendData(static_cast<uint32_t>(leaf.AbsoluteRange().begin), bytes->data(), bytes->size());
        if (m_progress && !m_exporting)
            m_progress->Step();
    });
    return true;
}

bool CTavWriter::SendBlocks(uint32_t mask) {
    using namespace TavReadMask;
    m_skipped.clear();
    m_failure.clear();
    if (!Output()) {
        m_failure = "There is no MIDI output to send through.";
        return false;
    }
    const auto send = [this](CTavStruct* structure, const char* path) {
        if (SendStruct(structure))
            return true;
        m_failure = std::string("The editor script has no ") + path + ".";
        return false;
    };
    if ((mask & Setup) && !send(m_bound.setup, "qv.setup"))
        return false;
    if ((mask & System) && !send(m_bound.system, "qv.system"))
        return false;
    if ((mask & PartInfo) && !send(m_bound.partInfo, "qv.prti"))
        return false;
    if (mask & PartEntities)
        for (int32_t part = 0; part < kTavPartCount; ++part) {
            const int32_t type = m_parts ? m_parts->PartEntityId(part).type : TavInvalidField;
            if (type != TavEntityType::Patch && type != TavEntityType::RhythmSet) {
                m_skipped.push_back(part);
                continue;
            }
            CTavStruct* structure = CTavReader::PartEntityStruct(m_bound, m_parts, part);
            const std::string path =
                TavIndexedPath(type == TavEntityType::Patch ? "qv.pat[%d]" : "qv.rhy[%d]", part);
            if (!send(structure, path.c_str()))
                return false;
        }
    if ((mask & Sample) && !send(m_bound.sample, "com.utility.sample"))
        return false;
    return true;
}

// ---- Standard MIDI File export ------------------------------------------------------------

uint32_t CTavWriter::DeltaTicks(uint64_t length) {
    const uint64_t ticks = (std::min<uint64_t>(length, kMaxExportBytes) * 600 + 41664) / 10850 + 1;
    return static_cast<uint32_t>(std::min<uint64_t>(ticks, kMaxVariableLength));
}

bool CTavWriter::SendExport(uint32_t mode) {
    if (!SendStruct(m_bound.partInfo))
        return false;
    if (!(mode & TavReadMask::PartEntities))
        return true;
    // The list ends at the first part that plays neither a patch nor a rhythm set.
    for (int32_t part = 0; part < kTavPartCount; ++part) {
        const int32_t type = m_parts ? m_parts->PartEntityId(part).type : TavInvalidField;
        CTavStruct* structure = type == TavEntityType::Patch       ? m_bound.patches[part]
                                : type == TavEntityType::RhythmSet ? m_bound.rhythmSets[part]
                                                                   : nullptr;
        if (!structure)
            break;
        SendStruct(structure);
    }
    return true;
}

bool CTavWriter::ExportSmf(uint32_t mode, TavBytes& file) {
    CTavMidiOut* output = Output();
    if (!output)
        return false;
    BeginFile();
    BeginTrack();
    bool sent = false;
    {
        const COutputDeviceSwap swap(*output, *this, m_exporting);
        sent = SendExport(mode);
    }
    EndTrack();
    EndFile();
    const bool good = sent && Good();
    TavBytes written = TakeBytes();
    if (good)
        file = std::move(written);
    return good;
}

bool CTavWriter::ExportSmf(const std::string& path, uint32_t mode, std::string* why) {
    TavBytes file;
    if (!ExportSmf(mode, file)) {
        if (why)
            *why = Output() ? "the part information could not be recorded" : "there is no MIDI output";
        return false;
    }
    return TavSaveFileSafely(path, file.data(), file.size(), why);
}

void CTavWriter::Send(const TavBytes& bytes) {
    if (!m_exporting || bytes.empty() || bytes.front() != 0xF0)
        return;
    CTavLongMessage message;
    if (message.SetBytes(bytes))
        WriteExclusiveEvent(DeltaTicks(bytes.size()), message);
}

} // namespace Brio
