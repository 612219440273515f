#include "app/QtServices.h"

#include <QDesktopServices>
#include <QUrl>
#include <chrono>
#include <thread>

#include "app/GuiThread.h"

namespace quorin {

namespace {
QString SettingsKey(const std::string& section, const std::string& key) {
    return QString::fromStdString(section) + "/" + QString::fromStdString(key);
}
QSettings Store() { return QSettings(QStringLiteral("Quorin"), QStringLiteral("Quorin")); }
}  // namespace

CQtSettingsStore::CQtSettingsStore() = default;

int CQtSettingsStore::GetInt(const std::string& section, const std::string& key, int defaultValue) {
    bool ok = false;
    const int value = Store().value(SettingsKey(section, key), defaultValue).toInt(&ok);
    return ok ? value : defaultValue;
}

void CQtSettingsStore::SetInt(const std::string& section, const std::string& key, int value) {
    Store().setValue(SettingsKey(section, key), value);
}

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& key,
                                        const std::string& defaultValue) {
    return Store()
        .value(SettingsKey(section, key), QString::fromStdString(defaultValue))
        .toString()
        .toStdString();
}

void CQtSettingsStore::SetString(const std::string& section, const std::string& key,
                                 const std::string& value) {
    Store().setValue(SettingsKey(section, key), QString::fromStdString(value));
}

bool CQtShell::OpenFile(const std::string& path) {
    return CallOnGuiThread(
        [&] { return QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(path))); });
}

std::uint32_t CQtClock::GetTickCount() {
    using namespace std::chrono;
    return static_cast<std::uint32_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void CQtClock::Sleep(std::uint32_t milliseconds) {
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

}  // namespace quorin
