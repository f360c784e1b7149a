#pragma once
// The start-up steps that need no window: finding the script folder, reading the script
// and creating the managers. The editor and the command-line companion both run them.

#include <cstdint>
#include <string>
#include <string_view>

#include "app/CTavSystem.h"

class CTavTextOut;

// The script folder: the folder given on the command line, else the one named by the
// environment, else "Script/" beside the program. Always ends with '/'.
std::string TavResolveScriptFolder(std::string_view programFolder, std::string_view commandLineFolder,
                                   std::string_view environmentFolder);

// The folder of the running executable, ending with '/'.
std::string TavProgramFolder();

// The file named on the command line as the editor opens it: a symbolic link is replaced
// by its target and the name is made absolute. Names are the file system's bytes, in
// whatever encoding they were given; empty stays empty.
std::string TavResolveCommandLineFile(const std::string& fileName);

// A message box output that writes to standard error instead of showing boxes.
CTavTextOut* TavNewStdErrOutput();

// Installs the headless outputs the command-line companion uses: the error output
// collects, the buffer output keeps the pending code, and the message box output writes
// to standard error.
void TavInstallHeadlessOutputs(CTavSystem& system);

// Opens and reads the script in the system's script folder and creates the managers.
// On failure returns false with the text the start-up message box shows: "Unable to open
// script.\n" alone, or the collected error text followed by the failing step's line.
// Scripts are read whole; a larger file is refused before it is read.
inline constexpr uint64_t kTavMaxScriptFileSize = 64u << 20;

// The whole text of the system's script file; empty (with why set) when it cannot be read.
// The virtual device lays out its memory from it.
std::string TavReadScriptText(const CTavSystem& system, std::string* why = nullptr);

bool TavLoadScriptAndCreateManagers(CTavSystem& system, std::string& failureText,
                                    CTavSystem::Views views = CTavSystem::Views::Build);
