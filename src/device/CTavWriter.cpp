#include "device/CTavWriter.h"

#include "device/CTavReader.h"
#include "model/CTavBufferManager.h"
#include "view/ITavProgress.h"

namespace Brio {

CTavWriter::CTavWriter(CTavBufferManager& buffers, ITavClock& clock) : CTavMidiWriter(clock) {
    m_bound.Bind(buffers);
}

bool CTavWriter::SendStruct(CTavStruct* structure) {
    if (!structure || !Output())
        return false;
    structure->ForEachLeaf([&](CTavLeafStruct& leaf) {
        const std::vector<uint8_t>* bytes = leaf.Bytes();
        if (bytes)
            SendData(static_cast<uint32_t>(leaf.AbsoluteRange().begin), bytes->data(), bytes->size());
        if (m_progress)
            m_progress->Step();
    });
    return true;
}

bool CTavWriter::SendBlocks(uint32_t mask) {
    using namespace TavReadMask;
    if ((mask & Setup) && !SendStruct(m_bound.setup))
        return false;
    if ((mask & System) && !SendStruct(m_bound.system))
        return false;
    if ((mask & PartInfo) && !SendStruct(m_bound.partInfo))
        return false;
    if (mask & PartEntities)
        for (int32_t part = 0; part < kTavPartCount; ++part) {
            const int32_t type = m_parts ? m_parts->PartEntityId(part).type : TavInvalidField;
            CTavStruct* structure = type == TavEntityType::Patch       ? m_bound.patches[part]
                                    : type == TavEntityType::RhythmSet ? m_bound.rhythmSets[part]
                                                                       : nullptr;
            if (!SendStruct(structure))
                return false;
        }
    if ((mask & Sample) && !SendStruct(m_bound.sample))
        return false;
    return true;
}

} // namespace Brio
