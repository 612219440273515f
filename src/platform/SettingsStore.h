#pragma once
#include <string>

namespace quorin {

// Per-user settings by section and key (window placement, "Information"/"ShowInfo", ...).
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual int GetInt(const std::string& section, const std::string& key, int defaultValue) = 0;
    virtual void SetInt(const std::string& section, const std::string& key, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue) = 0;
    virtual void SetString(const std::string& section, const std::string& key,
                           const std::string& value) = 0;
};

}  // namespace quorin
