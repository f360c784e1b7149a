#pragma once
// The Edit menu's Initialize, Copy and Paste commands, by edit command code (operation ×
// 65536 + target × 256 + index, see TavCommands::EditCode). One handler decides whether a
// command may run and runs it on the current part's structs; the clipboard lives in the
// device layer. GUI thread only.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/TavCommands.h"

class CTavStruct;

namespace Brio {

class CTavBufferAccessor;

inline constexpr size_t kTavRhythmToneRecordSize = 193;
// The record Initialize Rhythm Set writes at the start of each key's tone: "INIT TONE   "
// with the key's own wave bytes at 40 to 42.
std::array<uint8_t, kTavRhythmToneRecordSize> TavInitialRhythmTone(int32_t key);

class CTavEditCommands {
public:
    explicit CTavEditCommands(CTavBufferAccessor& accessor) : m_accessor(accessor) {}

    // The command's text as the menu shows it without its mnemonics ("Copy Patch Tone 2");
    // empty for a code no menu item carries.
    static std::string Name(int code);
    // The code of the command with that text, or -1.
    static int CodeOf(std::string_view name);

    // Why the command cannot run now ("Initialize Patch needs the part to play a patch.");
    // empty when it can.
    std::string DisabledReason(int code) const;
    bool IsEnabled(int code) const { return DisabledReason(code).empty(); }
    // Runs an enabled command with the wait cursor. False when it is disabled, or when the
    // read after Paste Part Info or Initialize Part Info failed.
    bool Run(int code);

private:
    // The struct the command works on; null when the script lacks it.
    CTavStruct* Target(int target, int index) const;
    void Copy(int target, CTavStruct& structure);
    bool Paste(int target, int index, CTavStruct& structure);
    bool Initialize(int target, CTavStruct& structure);
    // Sends the struct's leaves once, then whatever else the handlers changed, and tells
    // the views.
    void Commit(CTavStruct& structure);
    // Writes a whole byte image into the struct's leaves as a user edit; nothing when the
    // sizes differ.
    void WriteBytes(CTavStruct& structure, const std::vector<uint8_t>& bytes);

    CTavBufferAccessor& m_accessor;
};

// The device commands of the editor's menu: the Edit menu's commands run through the
// handler above, the name reads and the SMF import and export through the device layer.
class CTavDeviceCommands : public ITavDeviceCommands {
public:
    explicit CTavDeviceCommands(CTavBufferAccessor& accessor) : m_accessor(accessor), m_edit(accessor) {}
    // The name reads need the MIDI link (CTavBufferAccessor::PortsReady). SMF import needs
    // the layer's reader and export its writer; after an import every part's entity is
    // applied again.
    bool IsEnabled(const TavCommands::MenuItem& item) override;
    bool Run(const TavCommands::MenuItem& item, const std::string& path) override;

private:
    CTavBufferAccessor& m_accessor;
    CTavEditCommands m_edit;
};

} // namespace Brio
