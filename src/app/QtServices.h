#pragma once
// The settings store, the shell and the clock of the desktop program.
#include <QSettings>

#include "platform/Clock.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"

namespace quorin {

// Per-user settings under "Quorin"; sections become groups. Safe from any thread
// (QSettings is reentrant and each call uses its own instance).
class CQtSettingsStore : public ISettingsStore {
public:
    CQtSettingsStore();
    int GetInt(const std::string& section, const std::string& key, int defaultValue) override;
    void SetInt(const std::string& section, const std::string& key, int value) override;
    std::string GetString(const std::string& section, const std::string& key,
                          const std::string& defaultValue) override;
    void SetString(const std::string& section, const std::string& key,
                   const std::string& value) override;
};

class CQtShell : public IShell {
public:
    bool OpenFile(const std::string& path) override;
};

class CQtClock : public IClock {
public:
    std::uint32_t GetTickCount() override;
    void Sleep(std::uint32_t milliseconds) override;
};

}  // namespace quorin
