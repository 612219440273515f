#include "FuzzPlatform.h"

#include <map>

namespace quorin::fuzz {

namespace {
class CSilentPrompts : public IPrompts {
public:
    int MessageBox(const CMessage& m) override { return m.DefaultButton; }
    bool FileDialog(CFileDialogRequest&) override { return false; }
    int ShowDialog(CDialogForm&) override { return IdCancel; }
    std::unique_ptr<IModelessWindow> OpenModeless(const CDialogForm&) override { return nullptr; }
    void SetWaitCursor(bool) override {}
};
class CStillClock : public IClock {
public:
    std::uint32_t GetTickCount() override { return m_Now; }
    void Sleep(std::uint32_t ms) override { m_Now += ms; }
    std::uint32_t m_Now = 0;
};
class CNoSettings : public ISettingsStore {
public:
    int GetInt(const std::string&, const std::string&, int d) override { return d; }
    void SetInt(const std::string&, const std::string&, int) override {}
    std::string GetString(const std::string&, const std::string&, const std::string& d) override {
        return d;
    }
    void SetString(const std::string&, const std::string&, const std::string&) override {}
};
class CNoShell : public IShell {
public:
    bool OpenFile(const std::string&) override { return false; }
};
class CNoViews : public IViews {
public:
    void RefreshViews(CQuorinDoc&) override {}
    void PostProgress(CQuorinDoc&, int, int) override {}
    void PumpEvents() override {}
};
}  // namespace

struct CFuzzPlatform::CImpl {
    CSilentPrompts Prompts;
    CStillClock Clock;
    CNoSettings Settings;
    CNoShell Shell;
    CNoViews Views;
};

CFuzzPlatform::CFuzzPlatform() : m_Impl(std::make_unique<CImpl>()) {
    CPlatform p{&m_Impl->Prompts, &m_Impl->Clock, &m_Impl->Settings, &m_Impl->Shell,
                &m_Impl->Views};
    App = std::make_unique<CQuorinApp>(p);
}

CFuzzPlatform::~CFuzzPlatform() = default;

}  // namespace quorin::fuzz
