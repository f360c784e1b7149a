#pragma once
// The File menu's recent files: the last data files opened or saved, newest first, kept in
// the settings section "Recent File List" ("File1" …) as soon as the list changes, so the
// list survives a crash.

#include <string>
#include <vector>

class ITavSettings;

class CTavRecentFiles {
public:
    static constexpr size_t kMaxFiles = 8;
    static constexpr const char* kSection = "Recent File List";

    explicit CTavRecentFiles(ITavSettings& settings);

    const std::vector<std::string>& Files() const { return m_files; }
    // Puts the file first (once), dropping the oldest beyond the limit.
    void Add(const std::string& path);
    void Remove(const std::string& path);
    // The menu item's text: the number as its mnemonic, then the file's name ("&1 song.vro");
    // an ampersand in the name shows as itself.
    static std::string MenuText(size_t index, const std::string& path);

private:
    void Store();

    ITavSettings& m_settings;
    std::vector<std::string> m_files;
};
