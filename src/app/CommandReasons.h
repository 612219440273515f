#pragma once
// Why a command of the menus is not offered in this build: shown as its tooltip and
// status tip, so that a greyed entry never looks like a fault.
#include <QString>

namespace quorin {

// Empty when the command has no reason on record.
QString NotOfferedReason(const QString& commandName);

}  // namespace quorin
