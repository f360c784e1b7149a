#pragma once
// Every struct and value the device layer works on, resolved once when the layer starts.
// The reader's and writer's entries come from CTavDeviceBindings; the rest are the part
// mixer, the patch and rhythm tones, the MIDI channel values and the view state under
// "vs.control". A path the script does not define leaves its entry null, and whatever
// would use that entry does nothing.

#include <array>
#include <map>
#include <string>

#include "device/CTavDeviceBindings.h"

namespace Brio {

inline constexpr int32_t kTavPatchToneCount = 4;
inline constexpr int32_t kTavRhythmToneCount = 16;
inline constexpr int32_t kTavLayerCount = 4;
inline constexpr int32_t kTavMidiChannelCount = 16;
inline constexpr int32_t kTavControllerCount = 120;

struct CTavBoundTable : CTavDeviceBindings {
    template <size_t N> using ValueArray = std::array<CTavValue*, N>;
    using PatchToneValues = std::array<ValueArray<kTavPatchToneCount>, kTavPartCount>;
    using RhythmToneValues = std::array<ValueArray<kTavRhythmToneCount>, kTavPartCount>;
    using RhythmLayerValues =
        std::array<std::array<ValueArray<kTavLayerCount>, kTavRhythmToneCount>, kTavPartCount>;

    CTavStruct* root = nullptr;
    CTavStruct* reverb = nullptr;
    std::array<std::array<CTavStruct*, kTavPatchToneCount>, kTavPartCount> patchTones{};
    std::array<std::array<CTavStruct*, kTavRhythmToneCount>, kTavPartCount> rhythmTones{};

    CTavValue* mfx1Type = nullptr;
    CTavValue* mfx2Type = nullptr;
    CTavValue* reverbType = nullptr;

    Values receiveSwitch{};
    // "qv.prti.common.voiceReserve[%d]", one per part.
    Values voiceReserve{};
    Values partLevel{};
    Values partPan{};
    Values partCoarseTune{};
    Values partReverbSendLevel{};
    Values partAutoSyncSwitch{};

    PatchToneValues tmtKeyboardRangeLower{};
    PatchToneValues tmtKeyboardRangeUpper{};
    PatchToneValues tmtVelocityRangeLower{};
    PatchToneValues tmtVelocityRangeUpper{};
    RhythmLayerValues wmtVelocityRangeLower{};
    RhythmLayerValues wmtVelocityRangeUpper{};
    RhythmToneValues toneReverbSendLevelMfx{};
    RhythmToneValues toneReverbSendLevelNonMfx{};
    RhythmToneValues wmtWaveNumberL0{};
    RhythmLayerValues wmtWaveSwitch{};

    CTavValue* sampleMemoryWhole = nullptr;
    CTavValue* sampleMemoryRemain = nullptr;
    CTavValue* pcModeRequest = nullptr;
    CTavValue* pcModeResult = nullptr;

    ValueArray<kTavMidiChannelCount> notes{};
    std::array<ValueArray<kTavControllerCount>, kTavMidiChannelCount> controllers{};

    CTavValue* partId = nullptr;
    CTavValue* entityType = nullptr;
    CTavValue* rhythmTone = nullptr;
    CTavValue* patchToneStateValue = nullptr;
    CTavValue* rhythmWmtStateValue = nullptr;
    CTavValue* mode = nullptr;
    Values partEntityType{};
    Values partCategoryType{};
    CTavValue* sampleModifyMark = nullptr;

    // The sample editing values (under "com.utility.sampleEdit", "com.utility.sample" and
    // "vs.sampleEdit") by path, for the sample commands.
    std::map<std::string, CTavValue*, std::less<>> sampleValues;

    // Resolves every entry; the reader's and writer's entries through the base.
    void Bind(CTavBufferManager& buffers);
    // The number of entries the script does not define (structs and values alike).
    int32_t MissingCount() const;
};

} // namespace Brio
