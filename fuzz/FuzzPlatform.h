#pragma once
// A silent platform for the fuzz targets: questions take their default button,
// dialogs are cancelled, time moves only when slept.
#include <memory>

#include "platform/QuorinApp.h"

namespace quorin::fuzz {

struct CFuzzPlatform {
    CFuzzPlatform();
    ~CFuzzPlatform();
    std::unique_ptr<CQuorinApp> App;

private:
    struct CImpl;
    std::unique_ptr<CImpl> m_Impl;
};

}  // namespace quorin::fuzz
