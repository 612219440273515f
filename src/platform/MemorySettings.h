#pragma once
#include <map>
#include <mutex>
#include <string>

#include "platform/SettingsStore.h"

namespace quorin {

// Settings kept for the life of the process: the batch runner's store, and the tests'.
class CMemorySettings : public ISettingsStore {
public:
    int GetInt(const std::string& section, const std::string& key, int defaultValue) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;

private:
    std::mutex m_Mutex;
    std::map<std::string, std::string> m_Values;
};

}  // namespace quorin
