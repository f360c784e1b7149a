#pragma once
// The main window's commands: their ids, the menus that hold them, their status-bar
// prompts, and the codes the Edit menu's device commands pass to the device layer.

#include <string>
#include <string_view>
#include <vector>

class CTavValue;

namespace TavCommands {

enum : int {
    kUndo = 57643,
    kRedo = 57644,
    kCopyRhythmKey = 32769,
    kCopyMidiMessage = 32774,
    kExportPartInfo = 32837,
    kExportPartInfoAndSets = 32838,
    kImportSmf = 32839,
    kOpen = 32840,
    kSave = 32841,
    kSaveAs = 32842,
    kAbout = 32844,
    kManual = 32845,
    kMidiSetup = 32846,
    kExit = 32833,
    kReadSampleNames = 32855,
    kReadNames = 32857,
    kToolBar = 59392,
    kStatusBar = 59393,
    kShowMixer = 32870,
    kShowEffects = 32871,
    kShowSetup = 32872,
};

// The main panel's page value, which its page tabs write, and the page a View menu
// command shows (0 mixer, 1 effects, 2 setup); -1 for any other command.
inline constexpr std::string_view kMainPagePath = "vs.control.mainPage";
constexpr int MainPage(int id) {
    return id >= kShowMixer && id <= kShowSetup ? id - kShowMixer : -1;
}

// Edit command code: operation × 65536 + target × 256 + index.
enum EditOperation : int { kInitialize = 0, kCopy = 1, kPaste = 2 };
enum EditTarget : int {
    kAllParts = 0,   // part info of every part
    kOnePart = 1,    // index 0 … 15: parts 1 … 16
    kPatch = 2,
    kRhythmSet = 3,
    kPatchTone = 4,  // index 16 … 19: tones 1 … 4
    kRhythmSetKey = 5,
};
constexpr int EditCode(int operation, int target, int index) {
    return operation * 65536 + target * 256 + index;
}

// One menu item. menu is the top-level menu's title, submenu the title of the pop-up
// inside it (empty for items directly in the menu). An id of 0 is a separator. Device
// commands carry their edit code, or -1; they are enabled and run by the device layer.
struct MenuItem {
    std::string_view menu;
    std::string_view submenu;
    std::string text;
    int id = 0;
    int editCode = -1;
    bool deviceCommand = false;
};

// Every item of the menu bar, menu by menu, in display order.
const std::vector<MenuItem>& MenuItems();
// The item with this id, or none.
const MenuItem* FindMenuItem(int id);
// What the item does, as the Edit menu's Undo names it: the pop-up's title and the item's
// text without mnemonics, shortcut or ellipsis ("Paste Part Info Part 5").
std::string ActionName(const MenuItem& item);
// What an edit of the value is called in Undo ("Part 1 Patch Tone 1 Cutoff"): the value's
// readable path, with the part a patch or rhythm set belongs to.
std::string ValueStepName(const CTavValue& value);
// The status-bar prompt and the tool tip of a command ("Open file\nOpen"); empty when
// the command has none.
std::string Prompt(int id);

} // namespace TavCommands

// The device layer's side of the device commands (the Edit menu's initialise, copy and
// paste, SMF import and export, reading name lists).
class ITavDeviceCommands {
public:
    virtual ~ITavDeviceCommands() = default;
    virtual bool IsEnabled(const TavCommands::MenuItem& item) = 0;
    // Runs the command; for SMF import and export, path is the chosen file. False when it
    // failed (the command has reported why).
    virtual bool Run(const TavCommands::MenuItem& item, const std::string& path) = 0;
};
