#pragma once
// The application's settings in QSettings (organisation and application names and the
// INI format are set at start-up).

#include "app/ITavSettings.h"

class CQtSettings : public ITavSettings {
public:
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& fallback) const override;
    int GetInt(const std::string& section, const std::string& key, int fallback) const override;
    void SetString(const std::string& section, const std::string& key, const std::string& value) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
};
