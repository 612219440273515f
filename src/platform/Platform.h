#pragma once
#include "platform/Clock.h"
#include "platform/Prompts.h"
#include "platform/SettingsStore.h"
#include "platform/Shell.h"
#include "platform/Views.h"

namespace quorin {

// Everything the core needs from outside, handed to the application object.
// The pointed-to objects outlive the application object.
struct CPlatform {
    IPrompts* Prompts = nullptr;
    IClock* Clock = nullptr;
    ISettingsStore* Settings = nullptr;
    IShell* Shell = nullptr;
    IViews* Views = nullptr;
};

}  // namespace quorin
