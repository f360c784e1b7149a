#pragma once
// The application's saved settings: sections of named string and integer keys. The
// editor keeps them with QSettings; tests keep them in memory.

#include <charconv>
#include <map>
#include <string>

class ITavSettings {
public:
    virtual ~ITavSettings() = default;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& fallback) const = 0;
    virtual int GetInt(const std::string& section, const std::string& key, int fallback) const = 0;
    virtual void SetString(const std::string& section, const std::string& key, const std::string& value) = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
};

// Settings that live only as long as the object.
class CTavMemorySettings : public ITavSettings {
public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) const override {
        auto it = m_values.find(section + "/" + key);
        return it == m_values.end() ? fallback : it->second;
    }
    int GetInt(const std::string& section, const std::string& key, int fallback) const override {
        auto it = m_values.find(section + "/" + key);
        if (it == m_values.end())
            return fallback;
        int value = 0;
        const std::string& text = it->second;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
        return error == std::errc() && end == text.data() + text.size() ? value : fallback;
    }
    void SetString(const std::string& section, const std::string& key, const std::string& value) override {
        m_values[section + "/" + key] = value;
    }
    void SetInt(const std::string& section, const std::string& key, int value) override {
        m_values[section + "/" + key] = std::to_string(value);
    }
    const std::map<std::string, std::string>& Values() const { return m_values; }

private:
    std::map<std::string, std::string> m_values;
};
