#pragma once
// The learning graph and the network drawing. Both paint from a snapshot taken under
// the document's network lock, so a running learning thread is never read mid-cycle.
#include <QWidget>
#include <string>
#include <vector>

#include "grid/QuorinDoc.h"

namespace quorin {

struct CNetworkSnapshot {
    std::vector<CNode> Nodes;
    std::vector<CWeight> Weights;
    std::vector<CGraphPoint> Points;
    std::vector<CValidatingPoint> Validating;  // this session's validating results
    std::string ValidatingText;                // the last of them, as the status bar says it
    std::vector<std::string> InputNames;   // one per input node
    std::vector<std::string> OutputNames;  // one per output node
    std::array<Colour, ColourCount> Colours{};
    int Status = StatusStopped;
    int Cycles = 0;
    double TargetError = 0.0;
    double ValidatingTarget = 0.0;
    double WithinPercentage = 0.0;
    bool NetworkExists = false;
    std::string Caption;
    bool Taken = false;  // read from a document at least once
};

// Copies what the displays draw; false (snapshot untouched) when the learning thread
// held the lock for the whole wait.
bool TakeSnapshot(CQuorinDoc& doc, CNetworkSnapshot& snapshot);

class CGraphDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CGraphDisplay(QWidget* parent = nullptr);
    void SetSnapshot(const CNetworkSnapshot* snapshot) { m_Snapshot = snapshot; update(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CNetworkSnapshot* m_Snapshot = nullptr;
};

class CNetworkDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CNetworkDisplay(QWidget* parent = nullptr);
    void SetSnapshot(const CNetworkSnapshot* snapshot);
    void SetZoom(double zoom, double horizontalScale);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;  // a node's values on hover

private:
    QSize ContentSize() const;
    const CNetworkSnapshot* m_Snapshot = nullptr;
    std::vector<QPointF> m_Positions;  // of the nodes as last painted
    double m_Radius = 0.0;
    double m_Zoom = 1.0;
    double m_HorizontalScale = 1.0;
};

}  // namespace quorin
