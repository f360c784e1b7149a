#include "app/TavStrings.h"

#include <algorithm>
#include <iterator>

namespace TavStrings {
namespace {

struct Entry {
    int id;
    std::string_view text;
};

// Sorted by id.
constexpr Entry kTable[] = {
    {kGettingData, "Now, getting data."},
    {kManualPath, "Manual/VireoEditorManual_E.htm"},
    {kSynchronizingData, "Now, synchronizing data."},
    {kUnableToReadWrite,
     "Unable to read/write data.\nChoose \"Help - Vireo Editor Manual,\" and refer to \"6. If the display "
     "indicates 'Unable to read/write data'.\""},
    {kMidiNotSetUp, "MIDI devices aren't set up correctly.\nMake sure the settings in the \"Set Up MIDI "
                    "Devices\" dialog box."},
    {kFileNotLoaded, "This file could not be loaded."},
    {kFileNotSaved, "This file could not be saved."},
    {kUndefinedError, "Undefined error."},
    {kUpdating, "Updating."},
    {kReadingSmf, "Reading SMF."},
    {kCannotReadFileType, "Cannot read files of this type."},
    {kExitedPcMode, "The Vireo exited PC mode. The Vireo will be set to PC mode again."},
    {kCompleteWriteFirst,
     "Please complete the Write operation in Vireo Librarian before you open the Sample Edit window."},
    {kWrongSystemVersion,
     "It appears that the system program version of the Vireo is incorrect.\nPlease check the version."},
    {kAreYouSure, "Are you sure?"},
    {kUnconnected,
     "It appears that the Vireo is unconnected or connected incorrectly.\nPlease check the connections."},
    {kSampleModifyFailed, "Sample Modify did not complete successfully, or sample memory was insufficient."},
    {kSaveChanges, "Save changes to %1?"},
};

static_assert(std::is_sorted(std::begin(kTable), std::end(kTable),
                             [](const Entry& a, const Entry& b) { return a.id < b.id; }));

} // namespace

std::string_view Text(int id) {
    auto it = std::lower_bound(std::begin(kTable), std::end(kTable), id,
                               [](const Entry& e, int key) { return e.id < key; });
    return (it != std::end(kTable) && it->id == id) ? it->text : std::string_view();
}

int MessageStringId(int code) {
    switch (code) {
    case kCodeLoadFailed:
        return kFileNotLoaded;
    case kCodeSaveFailed:
        return kFileNotSaved;
    case kCodeMidiNotSetUp:
        return kMidiNotSetUp;
    case kCodeReadWriteFailed:
        return kUnableToReadWrite;
    case kCodeWrongFileType:
        return kCannotReadFileType;
    case kCodeWrongVersion:
        return kWrongSystemVersion;
    case kCodeUnconnected:
        return kUnconnected;
    case kCodeSampleModifyFailed:
        return kSampleModifyFailed;
    case kCodeExitedPcMode:
        return kExitedPcMode;
    case kCodeCompleteWriteFirst:
        return kCompleteWriteFirst;
    default:
        return kUndefinedError;
    }
}

int QuestionStringId(int code) {
    return code == kCodeAreYouSure ? kAreYouSure : kUndefinedError;
}

std::string_view ProgressText(int code) {
    switch (code) {
    case 1:
        return Text(kGettingData);
    case 2:
        return Text(kSynchronizingData);
    case 4:
        return Text(kUpdating);
    case 6:
        return Text(kReadingSmf);
    default:
        return {};
    }
}

} // namespace TavStrings
