#pragma once
// The associations and clusters displays: the lines the core builds, drawn as text.
#include <QPlainTextEdit>

#include "analysis/AssociationLists.h"

namespace quorin {

class CAssociationListDisplay : public QPlainTextEdit {
public:
    CAssociationListDisplay(bool clusters, QWidget* parent = nullptr);
    void Show(const CAssociationSnapshot& snapshot);
    // The text drawn, for the tests and the clipboard.
    static QString Text(const CAssociationDisplay& display);

private:
    bool m_Clusters;
};

}  // namespace quorin
