#include "app/TavCommands.h"

#include <algorithm>
#include <iterator>

#include "model/CTavEditHistory.h"

namespace TavCommands {

namespace {

constexpr std::string_view kFile = "&File";
constexpr std::string_view kEdit = "&Edit";
constexpr std::string_view kView = "&View";
constexpr std::string_view kSetup = "&Setup";
constexpr std::string_view kHelp = "&Help";

// The ids of the Edit menu's device commands, by operation.
struct EditIds {
    int partInfo[16];
    int patchTone[4];
    int rhythmSetKey;
};
constexpr EditIds kCopyIds = {{32775, 32776, 32777, 32778, 32779, 32780, 32781, 32782, 32783, 32784, 32785,
                               32786, 32787, 32788, 32789, 32790},
                              {32793, 32794, 32795, 32796},
                              kCopyRhythmKey};
constexpr EditIds kPasteIds = {{32809, 32810, 32811, 32812, 32813, 32814, 32815, 32816, 32817, 32818, 32819,
                                32820, 32821, 32822, 32823, 32824},
                               {32827, 32828, 32829, 32830},
                               32804};

void AddEditPopup(std::vector<MenuItem>& items, std::string_view title, int operation, const EditIds& ids) {
    for (int part = 0; part < 16; ++part)
        items.push_back({kEdit, title, "Part Info Part " + std::to_string(part + 1), ids.partInfo[part],
                         EditCode(operation, kOnePart, part), true});
    items.push_back({kEdit, title, "", 0});
    for (int tone = 0; tone < 4; ++tone)
        items.push_back({kEdit, title, "Patch Tone " + std::to_string(tone + 1), ids.patchTone[tone],
                         EditCode(operation, kPatchTone, 16 + tone), true});
    items.push_back({kEdit, title, "", 0});
    items.push_back({kEdit, title, "Rhythm Set &Key", ids.rhythmSetKey, EditCode(operation, kRhythmSetKey, 0), true});
}

std::vector<MenuItem> BuildMenuItems() {
    std::vector<MenuItem> items = {
        {kFile, "", "&Open...\tCtrl+O", kOpen},
        {kFile, "", "&Save\tCtrl+S", kSave},
        {kFile, "", "Save &As...", kSaveAs},
        {kFile, "", "", 0},
        {kFile, "", "Import S&MF...", kImportSmf, -1, true},
        {kFile, "Export SM&F", "&Part Info...", kExportPartInfo, -1, true},
        {kFile, "Export SM&F", "P&art Info + Patch/Rhythm Set...", kExportPartInfoAndSets, -1, true},
        {kFile, "", "", 0},
        {kFile, "", "E&xit", kExit},
        {kEdit, "", "&Undo\tCtrl+Z", kUndo},
        {kEdit, "", "&Redo\tCtrl+Shift+Z", kRedo},
        {kEdit, "", "", 0},
        {kEdit, "&Initialize", "&Part Info", 32800, EditCode(kInitialize, kAllParts, 0), true},
        {kEdit, "&Initialize", "P&atch", 32799, EditCode(kInitialize, kPatch, 0), true},
        {kEdit, "&Initialize", "&Rhythm Set", 32801, EditCode(kInitialize, kRhythmSet, 0), true},
        {kEdit, "&Initialize", "Rhythm Set &Key", 32797, EditCode(kInitialize, kRhythmSetKey, 0), true},
    };
    AddEditPopup(items, "&Copy", kCopy, kCopyIds);
    AddEditPopup(items, "&Paste", kPaste, kPasteIds);
    const std::vector<MenuItem> rest = {
        {kEdit, "", "", 0},
        {kEdit, "", "Copy &MIDI Message to Clipboard", kCopyMidiMessage},
        {kEdit, "", "", 0},
        {kEdit, "", "Read Patch/Rhythm Set &Names", kReadNames, -1, true},
        {kEdit, "", "&Read Sample Names", kReadSampleNames, -1, true},
        {kView, "", "&Mixer\tCtrl+1", kShowMixer},
        {kView, "", "&Effects\tCtrl+2", kShowEffects},
        {kView, "", "Set&up\tCtrl+3", kShowSetup},
        {kView, "", "", 0},
        {kView, "", "&Tool Bar", kToolBar},
        {kView, "", "&Status Bar", kStatusBar},
        {kSetup, "", "&Set Up MIDI Devices...", kMidiSetup},
        {kHelp, "", "Vireo Editor &Manual", kManual},
        {kHelp, "", "&About Vireo Editor...", kAbout},
    };
    items.insert(items.end(), rest.begin(), rest.end());
    return items;
}

// Prompts of the commands that are not part of the Edit menu's device commands.
struct Prompted {
    int id;
    std::string_view text;
};
constexpr Prompted kPrompts[] = {
    {kUndo, "Take back the last edit\nUndo"},
    {kRedo, "Make the edit taken back again\nRedo"},
    {kOpen, "Open file\nOpen"},
    {kSave, "Save the edit state to its data file\nSave"},
    {kSaveAs, "Save the edit state to a new data file\nSave As"},
    {kImportSmf, "Read part settings from a Standard MIDI File\nImport SMF"},
    {kExportPartInfo, "Write the part settings to a Standard MIDI File\nExport Part Info"},
    {kExportPartInfoAndSets,
     "Write the part settings with their patches and rhythm sets to a Standard MIDI File\nExport Part Info + "
     "Patch/Rhythm Set"},
    {kExit, "Quit the editor; asks to save changes\nExit"},
    {32800, "Initialize the settings of every part\nInitialize Part Info"},
    {32799, "Initialize the current patch\nInitialize Patch"},
    {32801, "Initialize the current rhythm set\nInitialize Rhythm Set"},
    {32797, "Initialize the current rhythm set key\nInitialize Rhythm Set Key"},
    {kCopyMidiMessage, "Copy the last MIDI message sent to the clipboard\nCopy MIDI Message"},
    {kReadNames, "Read the names of the patches and rhythm sets from the Vireo\nRead Names"},
    {kReadSampleNames, "Read the names of the samples from the Vireo\nRead Sample Names"},
    {kShowMixer, "Show the main window's mixer page\nMixer"},
    {kShowEffects, "Show the main window's effects page\nEffects"},
    {kShowSetup, "Show the main window's setup page\nSetup"},
    {kToolBar, "Show or hide the tool bar\nToggle Tool Bar"},
    {kStatusBar, "Show or hide the status bar\nToggle Status Bar"},
    {kMidiSetup, "Choose the MIDI ports and the device ID\nSet Up MIDI Devices"},
    {kManual, "Open the Vireo Editor manual\nManual"},
    {kAbout, "Show the program's version and copyright\nAbout"},
};

// "Part Info Part 3" → "part info of part 3"; "Rhythm Set &Key" → "rhythm set key".
std::string Described(const MenuItem& item) {
    std::string text;
    for (char c : item.text)
        if (c != '&')
            text += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return text;
}

} // namespace

const std::vector<MenuItem>& MenuItems() {
    static const std::vector<MenuItem> items = BuildMenuItems();
    return items;
}

const MenuItem* FindMenuItem(int id) {
    if (id == 0)
        return nullptr;
    const std::vector<MenuItem>& items = MenuItems();
    auto it = std::find_if(items.begin(), items.end(), [id](const MenuItem& item) { return item.id == id; });
    return it == items.end() ? nullptr : &*it;
}

std::string ActionName(const MenuItem& item) {
    auto clean = [](std::string_view text) {
        text = text.substr(0, text.find('\t'));
        std::string shown;
        for (char c : text)
            if (c != '&')
                shown += c;
        while (!shown.empty() && (shown.back() == '.' || shown.back() == ' '))
            shown.pop_back();
        return shown;
    };
    const std::string popup = clean(item.submenu);
    const std::string text = clean(item.text);
    return popup.empty() ? text : text.empty() ? popup : popup + " " + text;
}

std::string ValueStepName(const CTavValue& value) {
    std::string name = CTavEditHistory::NameOfValue(value);
    // Each part has a patch "pat[n]" and a rhythm set "rhy[n]"; a wave layer is "wmt".
    struct Word {
        std::string_view from, to;
    };
    static constexpr Word kStarts[] = {{"Pat ", "Part "}, {"Rhy ", "Part "}};
    static constexpr std::string_view kKinds[] = {" Patch", " Rhythm"};
    for (size_t i = 0; i < std::size(kStarts); ++i) {
        if (name.rfind(kStarts[i].from, 0) != 0)
            continue;
        name.replace(0, kStarts[i].from.size(), kStarts[i].to);
        const size_t number = name.find(' ', kStarts[i].to.size());
        name.insert(number == std::string::npos ? name.size() : number, kKinds[i]);
        break;
    }
    for (size_t at = name.find("Wmt "); at != std::string::npos; at = name.find("Wmt ", at))
        name.replace(at, 3, "Layer");
    return name;
}

std::string Prompt(int id) {
    for (const Prompted& prompted : kPrompts)
        if (prompted.id == id)
            return std::string(prompted.text);
    const MenuItem* item = FindMenuItem(id);
    if (!item || item->editCode < 0)
        return {};
    const int operation = item->editCode / 65536;
    const std::string what = Described(*item);
    return (operation == kCopy ? "Copy the " + what + " to the clipboard\nCopy "
                               : "Paste the clipboard into the " + what + "\nPaste ") +
           what;
}

} // namespace TavCommands
