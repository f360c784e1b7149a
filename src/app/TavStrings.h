#pragma once
// The editor's string table: numeric ids and their English texts, and the mapping of
// message codes and question codes to string ids.

#include <string_view>

namespace TavStrings {

enum : int {
    kGettingData = 10000,
    kManualPath = 10001,
    kSynchronizingData = 10002,
    kUnableToReadWrite = 10003,
    kMidiNotSetUp = 10004,
    kFileNotLoaded = 10005,
    kFileNotSaved = 10006,
    kUndefinedError = 10007,
    kUpdating = 10008,
    kReadingSmf = 10009,
    kCannotReadFileType = 10010,
    kExitedPcMode = 10011,
    kCompleteWriteFirst = 10012,
    kWrongSystemVersion = 10013,
    kAreYouSure = 10014,
    kUnconnected = 10015,
    kSampleModifyFailed = 10016,
    kSaveChanges = 61699,
};

// Message codes reported through the text outputs.
enum : int {
    kCodeLoadFailed = 1,
    kCodeSaveFailed = 2,
    kCodeMidiNotSetUp = 3,
    kCodeReadWriteFailed = 4,
    kCodeWrongFileType = 5,
    kCodeWrongVersion = 10,
    kCodeUnconnected = 11,
    kCodeSampleModifyFailed = 13,
    kCodeAreYouSure = 14,
    kCodeExitedPcMode = 18,
    kCodeCompleteWriteFirst = 19,
};

// The text of a string id; an empty text for an id the table does not hold.
std::string_view Text(int id);
// The string id shown for a reported message code (10007 for an unknown code).
int MessageStringId(int code);
// The string id of a question code for Ask (10007 for an unknown code).
int QuestionStringId(int code);
// The text the progress bar shows for a progress message code (ITavProgress); empty for
// a code without one.
std::string_view ProgressText(int code);

} // namespace TavStrings
