#pragma once
// The Input Importance and Example Errors charts, and the network drawing's legend and node
// details. The charts are computed under the document's network lock and painted from a copy.
#include <QString>
#include <QWidget>

#include "analysis/NetworkAnalysis.h"

class QPainter;

namespace quorin {
class CQuorinDoc;
struct CNetworkSnapshot;

enum class EChart { InputImportance, ExampleErrors };

// Computes one chart; false (chart untouched) when the learning thread kept the lock.
bool TakeChart(CQuorinDoc& doc, EChart which, CRankingChart& chart, bool& networkExists);

class CChartDisplay : public QWidget {
    Q_OBJECT
public:
    explicit CChartDisplay(EChart which, QWidget* parent = nullptr);
    void SetChart(const CRankingChart& chart, bool networkExists);
    const CRankingChart& Chart() const { return m_Chart; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    struct CLayout {
        double Margin, RowHeight, TitleTop, FirstRow;
        double IndexWidth, NameWidth, ValueWidth, BarLeft, BarWidth;
    };
    CLayout Layout() const;
    QString ValueText(double value) const;
    EChart m_Which;
    CRankingChart m_Chart;
    bool m_NetworkExists = false;
    bool m_Taken = false;
};

// What the network drawing's colours and thicknesses mean, in the top left corner.
void DrawNetworkLegend(QPainter& painter, const QRectF& area, const CNetworkSnapshot& s,
                       double weightScale, double activationScale);
// The details of one node as its hover text.
QString NodeDetails(const CNetworkSnapshot& s, int node);

}  // namespace quorin
