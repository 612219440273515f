#pragma once
// A window of its own showing a text report (the Leave Some Out report in the log file).
#include <QString>
#include <string>

class QWidget;

namespace quorin {

// Opens a read-only text window over the file; does nothing when it cannot be read.
void ShowReportView(QWidget* parent, const std::string& path, const QString& title);

}  // namespace quorin
