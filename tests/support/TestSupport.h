#pragma once
// Helpers shared by the test programs.

#include <filesystem>
#include <string>
#include <vector>

namespace test {

struct ProcessResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs a program with arguments and an optional extra environment ("NAME=value"),
// capturing its standard output and error.
ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& arguments,
                         const std::vector<std::string>& environment = {});

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

// Test data folder and the shipped script folder.
std::filesystem::path DataDir();
std::filesystem::path ShippedScriptDir();

} // namespace test
