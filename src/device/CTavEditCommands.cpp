#include "device/CTavEditCommands.h"

#include <algorithm>

#include "device/CTavBufferAccessor.h"
#include "model/CTavBufferManager.h"
#include "model/CTavValue.h"

namespace Brio {

namespace {

using namespace TavCommands;

constexpr std::array<uint8_t, kTavRhythmToneRecordSize> kInitialRhythmTone = {
    0x49, 0x4E, 0x49, 0x54, 0x20, 0x54, 0x4F, 0x4E, 0x45, 0x20, 0x20, 0x20, 0x00, 0x00, 0x7F, 0x3C, 0x40,
    0x00, 0x40, 0x00, 0x40, 0x01, 0x7F, 0x7F, 0x7F, 0x7F, 0x7F, 0x00, 0x0C, 0x01, 0x01, 0x00, 0x01, 0x01,
    0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
    0x01, 0x40, 0x40, 0x40, 0x01, 0x01, 0x7F, 0x01, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x40, 0x40, 0x40, 0x01,
    0x01, 0x7F, 0x01, 0x7F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x40, 0x40, 0x40, 0x01, 0x01, 0x7F, 0x01, 0x7F, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00,
    0x00, 0x00, 0x01, 0x40, 0x40, 0x40, 0x01, 0x01, 0x7F, 0x01, 0x7F, 0x00, 0x00, 0x40, 0x40, 0x40, 0x40,
    0x00, 0x00, 0x50, 0x28, 0x40, 0x7F, 0x7F, 0x40, 0x40, 0x01, 0x7F, 0x01, 0x40, 0x00, 0x40, 0x40, 0x01,
    0x40, 0x40, 0x40, 0x00, 0x00, 0x0A, 0x40, 0x00, 0x7F, 0x7F, 0x7F, 0x00, 0x01, 0x60, 0x40, 0x40, 0x00,
    0x00, 0x0A, 0x0A, 0x7F, 0x7F, 0x7F,
};
// Bytes 40 to 42 of each key's record.
constexpr uint8_t kInitialKeyBytes[kTavRhythmToneCount][3] = {
    {0x01, 0x0A, 0x02}, {0x01, 0x0B, 0x01}, {0x01, 0x0B, 0x06}, {0x01, 0x0C, 0x0C},
    {0x01, 0x0E, 0x0B}, {0x01, 0x0F, 0x01}, {0x02, 0x01, 0x0C}, {0x01, 0x04, 0x05},
    {0x02, 0x02, 0x02}, {0x02, 0x02, 0x03}, {0x02, 0x02, 0x04}, {0x02, 0x02, 0x07},
    {0x02, 0x04, 0x06}, {0x02, 0x04, 0x0E}, {0x02, 0x06, 0x01}, {0x02, 0x06, 0x0A},
};
constexpr size_t kKeyBytesAt = 40;

constexpr int kFirstTone = 16;

std::string WithoutMnemonics(std::string_view text) {
    std::string plain;
    for (char c : text)
        if (c != '&')
            plain += c;
    return plain;
}

CTavBufferAccessor::Slot SlotOf(int target) {
    if (target == kPatchTone)
        return CTavBufferAccessor::kPatchToneSlot;
    if (target == kRhythmSetKey)
        return CTavBufferAccessor::kRhythmKeySlot;
    return CTavBufferAccessor::kPartSlot;
}

// Whether some menu item carries the code.
bool IsKnown(int code) {
    if (code < 0)
        return false;
    for (const MenuItem& item : MenuItems())
        if (item.editCode == code)
            return true;
    return false;
}

// True when the buffer lies inside the struct.
bool IsInside(const CTavBuffer* buffer, const CTavStruct& structure) {
    for (const CTavBuffer* at = buffer; at; at = at->Parent())
        if (at == &structure)
            return true;
    return false;
}

} // namespace

std::array<uint8_t, kTavRhythmToneRecordSize> TavInitialRhythmTone(int32_t key) {
    std::array<uint8_t, kTavRhythmToneRecordSize> record = kInitialRhythmTone;
    const int32_t k = std::clamp<int32_t>(key, 0, kTavRhythmToneCount - 1);
    std::copy(std::begin(kInitialKeyBytes[k]), std::end(kInitialKeyBytes[k]), record.begin() + kKeyBytesAt);
    return record;
}

std::string CTavEditCommands::Name(int code) {
    for (const MenuItem& item : MenuItems())
        if (item.editCode == code && code >= 0)
            return WithoutMnemonics(item.submenu) + " " + WithoutMnemonics(item.text);
    return {};
}

int CTavEditCommands::CodeOf(std::string_view name) {
    for (const MenuItem& item : MenuItems())
        if (item.editCode >= 0 && Name(item.editCode) == name)
            return item.editCode;
    return -1;
}

std::string CTavEditCommands::DisabledReason(int code) const {
    if (!IsKnown(code))
        return "Unknown edit command.";
    const int operation = code / 65536;
    const int target = code / 256 % 256;
    const int index = code % 256;
    const std::string name = Name(code);
    if (operation == kPaste && !m_accessor.HasClip(SlotOf(target)))
        return name + " needs something copied first.";
    const CTavValue* entityType = m_accessor.Bound().entityType;
    const int32_t plays = entityType ? entityType->GetRaw() : TavPartPlays::Nothing;
    const int32_t part = m_accessor.CurrentPart();
    switch (target) {
    case kAllParts:
        return {};
    case kOnePart:
        return index >= 0 && index < kTavPartCount ? std::string() : name + " needs a part from 1 to 16.";
    case kPatch:
    case kPatchTone:
        if (plays != TavPartPlays::Patch)
            return name + " needs the part to play a patch.";
        break;
    case kRhythmSet:
    case kRhythmSetKey:
        if (plays != TavPartPlays::RhythmSet)
            return name + " needs the part to play a rhythm set.";
        break;
    default:
        return "Unknown edit command.";
    }
    if (part < 0 || part >= kTavPartCount)
        return name + " needs a part from 1 to 16 to be shown.";
    return {};
}

CTavStruct* CTavEditCommands::Target(int target, int index) const {
    const CTavBoundTable& bound = m_accessor.Bound();
    const int32_t part = m_accessor.CurrentPart();
    const bool partValid = part >= 0 && part < kTavPartCount;
    switch (target) {
    case kAllParts:
        return bound.partInfo;
    case kOnePart:
        return index >= 0 && index < kTavPartCount ? bound.parts[index] : nullptr;
    case kPatch:
        return partValid ? bound.patches[part] : nullptr;
    case kRhythmSet:
        return partValid ? bound.rhythmSets[part] : nullptr;
    case kPatchTone: {
        const int tone = index - kFirstTone;
        return partValid && tone >= 0 && tone < kTavPatchToneCount ? bound.patchTones[part][tone] : nullptr;
    }
    case kRhythmSetKey: {
        const int32_t key = bound.rhythmTone ? bound.rhythmTone->GetRaw() : -1;
        return partValid && key >= 0 && key < kTavRhythmToneCount ? bound.rhythmTones[part][key] : nullptr;
    }
    default:
        return nullptr;
    }
}

bool CTavEditCommands::Run(int code) {
    if (!IsEnabled(code) || !m_accessor.Buffers())
        return false;
    const int operation = code / 65536;
    const int target = code / 256 % 256;
    const int index = code % 256;
    CTavStruct* structure = Target(target, index);
    if (!structure)
        return false;
    CTavWaitCursor wait(m_accessor);
    switch (operation) {
    case kCopy:
        Copy(target, *structure);
        return true;
    case kPaste:
        return Paste(target, index, *structure);
    default:
        return Initialize(target, *structure);
    }
}

void CTavEditCommands::Copy(int target, CTavStruct& structure) {
    m_accessor.SetClip(SlotOf(target), TavStructBytes(structure));
}

bool CTavEditCommands::Paste(int target, int index, CTavStruct& structure) {
    const std::vector<uint8_t>* clip = m_accessor.Clip(SlotOf(target));
    if (!clip)
        return true;
    CTavBufferManager& buffers = *m_accessor.Buffers();
    // A pasted part keeps whether it listens to MIDI.
    CTavValue* receive = target == kOnePart ? m_accessor.Bound().receiveSwitch[index] : nullptr;
    const int32_t listening = receive ? receive->GetRaw() : 0;
    WriteBytes(structure, *clip);
    if (receive && receive->GetRaw() != listening)
        buffers.WriteInteger(*receive, listening);
    Commit(structure);
    return target == kOnePart ? m_accessor.ReadPart(index) : true;
}

bool CTavEditCommands::Initialize(int target, CTavStruct& structure) {
    CTavBufferManager& buffers = *m_accessor.Buffers();
    const CTavBoundTable& bound = m_accessor.Bound();
    buffers.ResetStruct(structure);
    if (target == kRhythmSet) {
        const int32_t part = m_accessor.CurrentPart();
        for (int32_t key = 0; key < kTavRhythmToneCount; ++key) {
            CTavStruct* tone = bound.rhythmTones[part][key];
            if (!tone)
                continue;
            std::vector<uint8_t> bytes = TavStructBytes(*tone);
            const std::array<uint8_t, kTavRhythmToneRecordSize> record = TavInitialRhythmTone(key);
            std::copy_n(record.begin(), std::min(bytes.size(), record.size()), bytes.begin());
            WriteBytes(*tone, bytes);
        }
    }
    if (target != kAllParts) {
        Commit(structure);
        return true;
    }
    for (CTavValue* receive : bound.receiveSwitch)
        if (receive)
            buffers.WriteInteger(*receive, 1);
    Commit(structure);
    // Part 10 plays the first user rhythm set.
    constexpr int32_t kRhythmPart = 9;
    m_accessor.ApplyEntity(kRhythmPart, {TavEntityType::RhythmSet, 0, 0, 0}, false, true);
    return m_accessor.ReadAllParts();
}

void CTavEditCommands::WriteBytes(CTavStruct& structure, const std::vector<uint8_t>& bytes) {
    if (bytes.size() != CTavBufferManager::BodySize(structure))
        return;
    CTavBufferManager& buffers = *m_accessor.Buffers();
    size_t at = 0;
    structure.ForEachLeaf([&](CTavLeafStruct& leaf) {
        const size_t size = leaf.Bytes()->size();
        buffers.ReplaceLeafBytes(leaf,
                                 std::vector<uint8_t>(bytes.begin() + static_cast<ptrdiff_t>(at),
                                                      bytes.begin() + static_cast<ptrdiff_t>(at + size)));
        at += size;
    });
}

void CTavEditCommands::Commit(CTavStruct& structure) {
    CTavBufferManager& buffers = *m_accessor.Buffers();
    // Every value of the struct would send its whole leaf; the struct goes once instead.
    for (CTavBuffer* buffer : buffers.PendingChanges())
        if (IsInside(buffer, structure))
            buffers.ExcludeFromTransmission(*buffer);
    structure.Transmit();
    buffers.TransmitPending();
    buffers.PublishPending();
    buffers.ClearPending();
}

bool CTavDeviceCommands::IsEnabled(const TavCommands::MenuItem& item) {
    switch (item.id) {
    case TavCommands::kReadNames:
    case TavCommands::kReadSampleNames:
        return m_accessor.PortsReady();
    case TavCommands::kImportSmf:
        return m_accessor.IsStarted() && m_accessor.Reader();
    case TavCommands::kExportPartInfo:
    case TavCommands::kExportPartInfoAndSets:
        return m_accessor.IsStarted() && m_accessor.Writer();
    default:
        return item.editCode >= 0 && m_edit.IsEnabled(item.editCode);
    }
}

bool CTavDeviceCommands::Run(const TavCommands::MenuItem& item, const std::string& path) {
    switch (item.id) {
    case TavCommands::kReadNames:
        return m_accessor.ReadNames();
    case TavCommands::kReadSampleNames:
        return m_accessor.ReadSampleNames();
    case TavCommands::kImportSmf: {
        // What the parts play may have changed with the file, what came before a fault
        // included.
        const bool imported = m_accessor.ImportSmf(path);
        m_accessor.ReapplyPartEntities();
        return imported;
    }
    case TavCommands::kExportPartInfo:
        return m_accessor.ExportSmf(path, TavExportMode::PartInfo);
    case TavCommands::kExportPartInfoAndSets:
        return m_accessor.ExportSmf(path, TavExportMode::PartInfoAndSets);
    default:
        return item.editCode >= 0 && m_edit.Run(item.editCode);
    }
}

} // namespace Brio
