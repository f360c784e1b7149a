#pragma once
// Saving a finished file without ever leaving a half-written one behind.

#include <cstddef>
#include <cstdint>
#include <string>

// Writes the bytes to a temporary file beside the target, which replaces the target only
// when everything was written, flushed and closed, so a failed save leaves the previous
// file as it was. A symbolic link is followed to its file. An existing target must be a
// regular file the user may write (with at least one write bit, even for root) and keeps
// its mode; a new one gets the mode the umask allows. On failure answers false and, when
// why is given, sets it to one line saying what went wrong.
bool TavSaveFileSafely(const std::string& path, const uint8_t* data, size_t size, std::string* why = nullptr);
