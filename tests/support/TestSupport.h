#pragma once
// Helpers shared by the test programs.

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

namespace test {

struct ProcessResult {
    int exitCode = -1;
    bool timedOut = false; // the program was killed when its time ran out
    std::string out;
    std::string err;
};

// Runs a program with arguments and an optional extra environment ("NAME=value"),
// capturing its standard output and error. A program still running after timeout is
// killed.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {},
                         std::chrono::milliseconds timeout = std::chrono::seconds(60));

// Runs the built vireo-cli.
ProcessResult RunCli(const std::vector<std::string>& arguments,
                     const std::vector<std::string>& environment = {});

// A folder under the system's temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return m_path; }
    // Writes a file below the folder and returns its path.
    std::filesystem::path Write(const std::string& name, const std::string& content) const;

private:
    std::filesystem::path m_path;
};

std::string ReadFile(const std::filesystem::path& path);

// What a user may have standing where a file belongs: a folder, a FIFO nobody writes to,
// a link to an endless device, a link to nothing. Each is made at its path (replacing
// nothing) by MakeNotAFile.
enum class NotAFile { kFolder, kFifo, kEndless, kDangling };
inline constexpr NotAFile kNotAFiles[] = {NotAFile::kFolder, NotAFile::kFifo, NotAFile::kEndless,
                                          NotAFile::kDangling};
const char* Describe(NotAFile kind);
void MakeNotAFile(NotAFile kind, const std::filesystem::path& path);

// For its lifetime, writes beyond limit bytes into any file fail (as on a full disk)
// instead of raising SIGXFSZ.
class FileSizeLimit {
public:
    explicit FileSizeLimit(unsigned long limit);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    unsigned long m_saved = 0;
    bool m_set = false;
};

// Test data folder, the shipped script folder and the build tree's script folder (the
// shipped script with the drawn bitmaps).
std::filesystem::path DataDir();
std::filesystem::path ShippedScriptDir();
std::filesystem::path BuiltScriptDir();

// A private copy of a script folder in a temporary folder. Whatever a system saves beside
// its script (window positions, user names) lands in the copy, never in the source or
// build tree.
class ScriptFolderCopy {
public:
    explicit ScriptFolderCopy(const std::filesystem::path& source = BuiltScriptDir());
    const std::filesystem::path& Path() const { return m_path; }
    std::string String() const { return m_path.string(); }

private:
    TempDir m_dir;
    std::filesystem::path m_path;
};

// A script of the given values with one root panel "main" of the given size ("400,200")
// holding the controls.
inline std::string MainPanelScript(const std::string& values, const char* size, const std::string& controls) {
    return values + "<panelType><type>Main</type><name>main</name><size>" + size + "</size>" + controls +
           "</panelType><panel><type>Main</type><name>main</name></panel>";
}

} // namespace test
