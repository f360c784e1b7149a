#include "device/CTavBoundTable.h"

#include <cstdio>
#include <type_traits>

#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {


template <typename T, size_t N> int32_t CountNull(const std::array<T, N>& entries) {
    int32_t missing = 0;
    for (const auto& entry : entries) {
        if constexpr (std::is_pointer_v<T>)
            missing += entry == nullptr;
        else
            missing += CountNull(entry);
    }
    return missing;
}

} // namespace

void CTavBoundTable::Bind(CTavBufferManager& buffers) {
    CTavDeviceBindings::Bind(buffers);
    root = buffers.FindStruct("qv");
    reverb = buffers.FindStruct("qv.prti.rev");
    mfx1Type = buffers.FindValue("qv.prti.mfx1.mfxType");
    mfx2Type = buffers.FindValue("qv.prti.mfx2.mfxType");
    reverbType = buffers.FindValue("qv.prti.rev.reverbType");
    for (int32_t p = 0; p < kTavPartCount; ++p) {
        receiveSwitch[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].receiveSwitch", p));
        voiceReserve[p] = buffers.FindValue(TavIndexedPath("qv.prti.common.voiceReserve[%d]", p));
        partLevel[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].partLevel", p));
        partPan[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].partPan", p));
        partCoarseTune[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].partCoarseTune", p));
        partReverbSendLevel[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].partReverbSendLevel", p));
        partAutoSyncSwitch[p] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].partAutoSyncSwitch", p));
        partEntityType[p] = buffers.FindValue(TavIndexedPath("vs.control.partEntityType[%d]", p));
        partCategoryType[p] = buffers.FindValue(TavIndexedPath("vs.control.partCategoryType[%d]", p));
        for (int32_t t = 0; t < kTavPatchToneCount; ++t) {
            patchTones[p][t] = buffers.FindStruct(TavIndexedPath("qv.pat[%d].tone[%d]", p, t));
            tmtKeyboardRangeLower[p][t] =
                buffers.FindValue(TavIndexedPath("qv.pat[%d].tmt.tmtKeyboardRangeLower[%d]", p, t));
            tmtKeyboardRangeUpper[p][t] =
                buffers.FindValue(TavIndexedPath("qv.pat[%d].tmt.tmtKeyboardRangeUpper[%d]", p, t));
            tmtVelocityRangeLower[p][t] =
                buffers.FindValue(TavIndexedPath("qv.pat[%d].tmt.tmtVelocityRangeLower[%d]", p, t));
            tmtVelocityRangeUpper[p][t] =
                buffers.FindValue(TavIndexedPath("qv.pat[%d].tmt.tmtVelocityRangeUpper[%d]", p, t));
        }
        for (int32_t k = 0; k < kTavRhythmToneCount; ++k) {
            rhythmTones[p][k] = buffers.FindStruct(TavIndexedPath("qv.rhy[%d].tone[%d]", p, k));
            toneReverbSendLevelMfx[p][k] =
                buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].toneReverbSendLevelMFX", p, k));
            toneReverbSendLevelNonMfx[p][k] =
                buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].toneReverbSendLevelNonMFX", p, k));
            wmtWaveNumberL0[p][k] = buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].wmtWaveNumberL[0]", p, k));
            for (int32_t l = 0; l < kTavLayerCount; ++l) {
                wmtVelocityRangeLower[p][k][l] =
                    buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].wmtVelocityRangeLower[%d]", p, k, l));
                wmtVelocityRangeUpper[p][k][l] =
                    buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].wmtVelocityRangeUpper[%d]", p, k, l));
                wmtWaveSwitch[p][k][l] =
                    buffers.FindValue(TavIndexedPath("qv.rhy[%d].tone[%d].wmtWaveSwitch[%d]", p, k, l));
            }
        }
    }
    sampleMemoryWhole = buffers.FindValue("com.utility.command.sampleMemoryWhole");
    sampleMemoryRemain = buffers.FindValue("com.utility.command.sampleMemoryRemain");
    pcModeRequest = buffers.FindValue("com.utility.command.pcModeRequest");
    pcModeResult = buffers.FindValue("com.utility.command.pcModeResult");
    for (int32_t c = 0; c < kTavMidiChannelCount; ++c) {
        notes[c] = buffers.FindValue(TavIndexedPath("qvMidi.ch[%d].note", c));
        for (int32_t n = 0; n < kTavControllerCount; ++n)
            controllers[c][n] = buffers.FindValue(TavIndexedPath("qvMidi.ch[%d].cc[%d]", c, n));
    }
    partId = buffers.FindValue("vs.control.partId");
    entityType = buffers.FindValue("vs.control.entityType");
    rhythmTone = buffers.FindValue("vs.control.rhythmTone");
    patchToneStateValue = buffers.FindValue("vs.control.patchToneStateValue");
    rhythmWmtStateValue = buffers.FindValue("vs.control.rhythmWMTStateValue");
    mode = buffers.FindValue("vs.control.mode");
    sampleModifyMark = buffers.FindValue("vs.multisampleEdit.sampleEntityInformationModifyMark");
    sampleValues.clear();
    for (const char* path : {"com.utility.sampleEdit", "com.utility.sample", "vs.sampleEdit"})
        if (CTavStruct* structure = buffers.FindStruct(path))
            structure->ForEachValue(
                [this](CTavValue& value) { sampleValues.emplace(value.FullPath(), &value); });
}

int32_t CTavBoundTable::MissingCount() const {
    int32_t missing = 0;
    for (const void* entry :
         {static_cast<const void*>(root), static_cast<const void*>(setup), static_cast<const void*>(system),
          static_cast<const void*>(partInfo), static_cast<const void*>(partInfoCommon),
          static_cast<const void*>(mfx1), static_cast<const void*>(mfx2), static_cast<const void*>(reverb),
          static_cast<const void*>(sample), static_cast<const void*>(mfx1Type),
          static_cast<const void*>(mfx2Type), static_cast<const void*>(reverbType),
          static_cast<const void*>(partId), static_cast<const void*>(entityType),
          static_cast<const void*>(rhythmTone), static_cast<const void*>(patchToneStateValue),
          static_cast<const void*>(rhythmWmtStateValue), static_cast<const void*>(mode)})
        missing += entry == nullptr;
    missing += CountNull(parts) + CountNull(patches) + CountNull(rhythmSets) + CountNull(patchTones) +
               CountNull(rhythmTones);
    for (const Values* values :
         {&partBankSelectMsb, &partBankSelectLsb, &partProgramNumber, &patchName, &patchCategory, &rhythmName,
          &receiveSwitch, &voiceReserve, &partLevel, &partPan, &partCoarseTune, &partReverbSendLevel, &partAutoSyncSwitch,
          &partEntityType, &partCategoryType})
        missing += CountNull(*values);
    missing += CountNull(tmtKeyboardRangeLower) + CountNull(tmtKeyboardRangeUpper) +
               CountNull(tmtVelocityRangeLower) + CountNull(tmtVelocityRangeUpper) +
               CountNull(wmtVelocityRangeLower) + CountNull(wmtVelocityRangeUpper) +
               CountNull(toneReverbSendLevelMfx) + CountNull(toneReverbSendLevelNonMfx) +
               CountNull(wmtWaveNumberL0) + CountNull(wmtWaveSwitch) + CountNull(notes) +
               CountNull(controllers);
    return missing;
}

} // namespace Brio
