#pragma once
// Data files: the whole edit state of the device's parameter tree behind a 256-byte
// header ("TavDataFile00001", the root name, the model name). The body is every leaf's
// bytes in tree order, so a file can only be read by an editor running the same script.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTavBufferManager;
class CTavTextOut;

struct TavDataFileSettings {
    std::string rootName = "qv";
    std::string modelName = "Vireo";
    std::string extension = ".vro";

    // "Vireo Editor Files(*.vro)|*.vro|All Files(*.*)|*.*||"
    std::string Filter() const;
    // The extension without its dot.
    std::string DefaultExtension() const;
};

class CTavDataFile {
public:
    static constexpr std::string_view kMagic = "TavDataFile00001";
    static constexpr size_t kHeaderSize = 256;

    // Failures are reported as message codes on report (the buffer output).
    CTavDataFile(CTavBufferManager& buffers, CTavTextOut* report, TavDataFileSettings settings = {});

    // Writes the file. The data goes to a temporary file beside the target, which replaces
    // the target only when everything was written and closed, so a failed save leaves the
    // previous file as it was. A symbolic link is followed to its file. An existing target
    // must be a regular file the user may write (with at least one write bit, even for
    // root), and keeps its mode; a new one gets the mode the umask allows. Reports code 2
    // on failure. Clears the modified flag.
    bool Save(const std::string& path);
    // The bytes Save would write, header and body; false (with Why) when the state holds a
    // byte the file could not be read back with. Changes nothing.
    bool Encode(std::vector<uint8_t>& file);
    // Reads the file. The header is checked first (code 5 for another kind of file) and
    // the whole body is read before anything changes (code 1 when it is short or holds a
    // byte the values cannot: a status byte, or more than a nibble in a nibble value), so a
    // failed load leaves the edit state untouched. Loaded values become pending changes;
    // the modified flag is cleared.
    bool Load(const std::string& path);

    // Why the last Save failed, in one line, where more is known than the code says.
    const std::string& Why() const { return m_why; }

    std::array<uint8_t, kHeaderSize> Header() const;
    const TavDataFileSettings& Settings() const { return m_settings; }

private:
    bool Fail(int code);

    CTavBufferManager& m_buffers;
    CTavTextOut* m_report;
    TavDataFileSettings m_settings;
    std::string m_why;
};
