#include "app/CommandReasons.h"

#include <QCoreApplication>
#include <map>

namespace quorin {

QString NotOfferedReason(const QString& name) {
    // Commands the table keeps without an action, each with why.
    static const std::map<QString, const char*> reasons = {
    };
    auto it = reasons.find(name);
    return it == reasons.end() ? QString() : QCoreApplication::translate("Commands", it->second);
}

}  // namespace quorin
