#pragma once
// The structs and values the device reader and writer work on, resolved once from their
// paths. A path the script does not define leaves its entry null; whatever needs it then
// fails or does nothing.

#include <array>
#include <cstdint>
#include <cstdio>
#include <string>

class CTavBufferManager;
class CTavStruct;
class CTavValue;

namespace Brio {

inline constexpr int32_t kTavPartCount = 16;

// The path with each "%d" replaced by the indices in order.
template <typename... Index> std::string TavIndexedPath(const char* format, Index... index) {
    char path[200];
    std::snprintf(path, sizeof path, format, static_cast<int>(index)...);
    return path;
}

struct CTavDeviceBindings {
    using Structs = std::array<CTavStruct*, kTavPartCount>;
    using Values = std::array<CTavValue*, kTavPartCount>;

    CTavStruct* setup = nullptr;
    CTavStruct* system = nullptr;
    CTavStruct* partInfo = nullptr;
    CTavStruct* partInfoCommon = nullptr;
    CTavStruct* mfx1 = nullptr;
    CTavStruct* mfx2 = nullptr;
    CTavStruct* sample = nullptr;
    Structs parts{};
    Structs patches{};
    Structs rhythmSets{};

    Values partBankSelectMsb{};
    Values partBankSelectLsb{};
    Values partProgramNumber{};
    Values patchName{};
    Values patchCategory{};
    Values rhythmName{};

    // Under "com.utility.command"; [type: patch, rhythm set][area: user, card].
    CTavValue* bankInformation[2][2] = {};
    CTavValue* patchNumberInformation = nullptr;
    CTavValue* patchNameInformation = nullptr;
    CTavValue* rhythmSetNumberInformation = nullptr;
    CTavValue* rhythmSetNameInformation = nullptr;
    CTavValue* waveNumberInformation = nullptr;
    CTavValue* waveNameInformation = nullptr;
    CTavValue* sampleNumberInformation = nullptr;
    CTavValue* sampleNameInformation = nullptr;
    CTavValue* writeMessage = nullptr;

    void Bind(CTavBufferManager& buffers);
};

} // namespace Brio
