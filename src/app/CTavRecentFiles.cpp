#include "app/CTavRecentFiles.h"

#include <algorithm>

#include "app/ITavSettings.h"

namespace {

std::string Key(size_t index) {
    return "File" + std::to_string(index + 1);
}

} // namespace

CTavRecentFiles::CTavRecentFiles(ITavSettings& settings) : m_settings(settings) {
    for (size_t i = 0; i < kMaxFiles; ++i) {
        const std::string path = m_settings.GetString(kSection, Key(i), std::string());
        // Only absolute names, each once; a hand-edited list may hold anything.
        if (!path.empty() && path.front() == '/' && path.size() < 4096 &&
            std::find(m_files.begin(), m_files.end(), path) == m_files.end())
            m_files.push_back(path);
    }
}

void CTavRecentFiles::Add(const std::string& path) {
    if (path.empty())
        return;
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    m_files.insert(m_files.begin(), path);
    if (m_files.size() > kMaxFiles)
        m_files.resize(kMaxFiles);
    Store();
}

void CTavRecentFiles::Remove(const std::string& path) {
    const size_t before = m_files.size();
    m_files.erase(std::remove(m_files.begin(), m_files.end(), path), m_files.end());
    if (m_files.size() != before)
        Store();
}

void CTavRecentFiles::Store() {
    for (size_t i = 0; i < kMaxFiles; ++i)
        m_settings.SetString(kSection, Key(i), i < m_files.size() ? m_files[i] : std::string());
}

std::string CTavRecentFiles::MenuText(size_t index, const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string text = "&" + std::to_string(index + 1) + " ";
    for (char c : slash == std::string::npos ? path : path.substr(slash + 1)) {
        text += c;
        if (c == '&')
            text += '&';
    }
    return text;
}
