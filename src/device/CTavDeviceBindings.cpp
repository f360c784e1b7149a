#include "device/CTavDeviceBindings.h"

#include "model/CTavBufferManager.h"

namespace Brio {

void CTavDeviceBindings::Bind(CTavBufferManager& buffers) {
    setup = buffers.FindStruct("qv.setup");
    system = buffers.FindStruct("qv.system");
    partInfo = buffers.FindStruct("qv.prti");
    partInfoCommon = buffers.FindStruct("qv.prti.common");
    mfx1 = buffers.FindStruct("qv.prti.mfx1");
    mfx2 = buffers.FindStruct("qv.prti.mfx2");
    sample = buffers.FindStruct("com.utility.sample");
    for (int32_t i = 0; i < kTavPartCount; ++i) {
        parts[i] = buffers.FindStruct(TavIndexedPath("qv.prti.part[%d]", i));
        patches[i] = buffers.FindStruct(TavIndexedPath("qv.pat[%d]", i));
        rhythmSets[i] = buffers.FindStruct(TavIndexedPath("qv.rhy[%d]", i));
        partBankSelectMsb[i] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].patchBankSelectMsb", i));
        partBankSelectLsb[i] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].patchBankSelectLsb", i));
        partProgramNumber[i] = buffers.FindValue(TavIndexedPath("qv.prti.part[%d].patchProgramNumber", i));
        patchName[i] = buffers.FindValue(TavIndexedPath("qv.pat[%d].common.patchName", i));
        patchCategory[i] = buffers.FindValue(TavIndexedPath("qv.pat[%d].common.patchCategory", i));
        rhythmName[i] = buffers.FindValue(TavIndexedPath("qv.rhy[%d].common.rhythmName", i));
    }
    bankInformation[0][0] = buffers.FindValue("com.utility.command.patchUserBankInformation");
    bankInformation[0][1] = buffers.FindValue("com.utility.command.patchCardBankInformation");
    bankInformation[1][0] = buffers.FindValue("com.utility.command.rhythmSetUserBankInformation");
    bankInformation[1][1] = buffers.FindValue("com.utility.command.rhythmSetCardBankInformation");
    patchNumberInformation = buffers.FindValue("com.utility.command.patchNumberInformation");
    patchNameInformation = buffers.FindValue("com.utility.command.patchNameInformation2");
    rhythmSetNumberInformation = buffers.FindValue("com.utility.command.rhythmSetNumberInformation");
    rhythmSetNameInformation = buffers.FindValue("com.utility.command.rhythmSetNameInformation2");
    waveNumberInformation = buffers.FindValue("com.utility.command.waveNumberInformation");
    waveNameInformation = buffers.FindValue("com.utility.command.waveNameInformation2");
    sampleNumberInformation = buffers.FindValue("com.utility.command.sampleNumberInformation");
    sampleNameInformation = buffers.FindValue("com.utility.command.sampleNameInformation2");
    writeMessage = buffers.FindValue("com.utility.command.writeMessage");
}

} // namespace Brio
