#include "platform/MemorySettings.h"

#include <cstdlib>

namespace quorin {

namespace {
std::string KeyOf(const std::string& section, const std::string& key) { return section + "\\" + key; }
}  // namespace

int CMemorySettings::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    std::lock_guard lock(m_Mutex);
    const auto it = m_Values.find(KeyOf(section, key));
    return it == m_Values.end() ? defaultValue : std::atoi(it->second.c_str());
}

void CMemorySettings::SetInt(const std::string& section, const std::string& key, int value) {
    std::lock_guard lock(m_Mutex);
    m_Values[KeyOf(section, key)] = std::to_string(value);
}

std::string CMemorySettings::GetString(const std::string& section, const std::string& key,
                                       const std::string& defaultValue) {
    std::lock_guard lock(m_Mutex);
    const auto it = m_Values.find(KeyOf(section, key));
    return it == m_Values.end() ? defaultValue : it->second;
}

void CMemorySettings::SetString(const std::string& section, const std::string& key,
                                const std::string& value) {
    std::lock_guard lock(m_Mutex);
    m_Values[KeyOf(section, key)] = value;
}

}  // namespace quorin
