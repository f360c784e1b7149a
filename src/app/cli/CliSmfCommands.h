#pragma once
// vireo-cli commands on Standard MIDI Files; they need no editor script.

#include <string>
#include <vector>

// smf-dump IN.mid: prints the header, every track and every event (delta, kind, bytes in
// hex). A file that cannot be read to its end prints what was read, then one line on
// standard error saying where and why it stopped, and answers 1. Only a regular file is
// opened, without waiting: a folder, FIFO or device is refused at once.
int CliSmfDump(const std::vector<std::string>& arguments);
