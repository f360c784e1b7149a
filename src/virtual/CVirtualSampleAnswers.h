#pragma once
// The virtual device's side of the sample exchanges under "com.utility.sampleEdit" and
// "com.utility.sample", worked on its sample memory:
//   - select: the sample that the struct image "com.utility.sample" shows from then on;
//     data sets into that image (markers, name, tempo ...) change the sample;
//   - wave request: one wave data answer of min/max points (raw 14-bit values when a
//     point is one frame);
//   - preview: the mode and frames are kept;
//   - memory figures and chop points: answered to their data requests; chop points set,
//     added and cleared by data sets;
//   - modify commands (truncate, emphasis, normalize, amp, time stretch, chop, auto chop)
//     and unload: real processing of the selected sample, progress data sets (0, 25, 50,
//     75, 100) and then the echo of the command or its result value, or the error answer.
// The addresses come from the editor script; what it lacks is simply not answered.

#include <cstdint>
#include <vector>

#include "midi/CTavLongMessage.h"
#include "model/TavAddress.h"
#include "virtual/CVirtualSampleMemory.h"

class CTavBufferManager;
class CTavValue;

class CVirtualSampleAnswers {
public:
    static constexpr size_t kMaxWavePoints = 117;
    static constexpr int kProgressSteps[] = {0, 25, 50, 75, 100};

    // A data set the device sends back.
    struct Reply {
        uint32_t address = 0;
        TavBytes data;
    };

    // Finds the sample values in the device's tree.
    void Bind(CTavBufferManager& buffers);

    // A data set the device stored. Does what it asks of the memory and appends what the
    // device sends back, in order. Answers true when the list of samples (names, kinds,
    // sizes) may have changed. failModify: every modify command and unload ends with the
    // error answer and changes nothing.
    bool DataSet(CVirtualSampleMemory& memory, uint32_t address, const uint8_t* data, size_t size,
                 bool failModify, std::vector<Reply>& replies);
    // A data request that the sample memory answers (memory figures, chop points): fills the
    // payload of the one data set on the request's address and answers true. An empty
    // payload means the request is not answered at all (a chop point beyond the count).
    bool Request(const CVirtualSampleMemory& memory, uint32_t address, const uint8_t* size, size_t sizeLength,
                 TavBytes& payload) const;

    // The selected sample into the image, or an empty one when none is selected.
    void ShowSelected(const CVirtualSampleMemory& memory);
    void Deselect() { m_group = 0, m_number = 0; }
    int SelectedGroup() const { return m_group; }
    int SelectedNumber() const { return m_number; }
    int PreviewMode() const { return m_previewMode; }
    uint32_t PreviewStart() const { return m_previewStart; }
    uint32_t PreviewEnd() const { return m_previewEnd; }

    // The wave data answer to a 12-byte wave request.
    static TavBytes WaveData(const CVirtualSampleMemory& memory, const uint8_t* request);

private:
    enum Command { kTruncate, kEmphasis, kNormalize, kAmp, kTimeStretch, kChop, kAutoChop, kUnload, kCommandCount };
    enum Address {
        kSelect,
        kWaveRequest,
        kWaveData,
        kPreview,
        kChopPoint,
        kChopPointClear,
        kChopPointSize,
        kProgress,
        kError,
        kChopResult,
        kAutoChopResult,
        kUnloadResult,
        kMemoryWhole,
        kMemoryRemain,
        kAddressCount
    };
    struct Binding {
        bool bound = false;
        uint32_t address = 0;
    };
    // The sample values of the image, by the fields of a sample.
    enum Field { kName, kStart, kLoop, kEnd, kAbsoluteEnd, kLoopMode, kKey, kTempo, kGain, kFine, kLevel, kFieldCount };

    CVirtualSampleMemory::Sample* Selected(CVirtualSampleMemory& memory, int* base = nullptr) const;
    // Runs a modify command or unload; false, with the memory untouched, on failure.
    bool Modify(CVirtualSampleMemory& memory, Command command, const uint8_t* data, size_t size);
    // Takes what a data set wrote into the image back into the selected sample.
    void TakeImage(CVirtualSampleMemory& memory);

    Binding m_commands[kCommandCount];
    Binding m_addresses[kAddressCount];
    CTavValue* m_fields[kFieldCount] = {};
    CTavValue* m_beatCount = nullptr;
    std::vector<CTavValue*> m_beatPoints;
    TavRange m_image{0, 0};

    int m_group = 0;  // 0 while nothing is selected
    int m_number = 0; // as selected: a pair's right number selects the pair
    int m_previewMode = 0;
    uint32_t m_previewStart = 0, m_previewEnd = 0;
};
