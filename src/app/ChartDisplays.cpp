#include "app/ChartDisplays.h"

#include <QEvent>
#include <QFontMetricsF>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <mutex>

#include "app/Displays.h"
#include "grid/QuorinDoc.h"

namespace quorin {

namespace {
QString Q(const std::string& s) { return QString::fromStdString(s); }
QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

const QColor kImportanceBar(60, 110, 200);
const QColor kAboveTarget(210, 70, 60);
const QColor kBelowTarget(60, 160, 90);
}  // namespace

bool TakeChart(CQuorinDoc& doc, EChart which, CRankingChart& chart, bool& networkExists) {
    std::unique_lock lock(doc.m_NetworkMutex, std::defer_lock);
    // As for the network snapshot: the learning thread leaves the lock only between cycles.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(60);
    for (unsigned tries = 1; !lock.try_lock(); ++tries)
        if (tries % 1024 == 0 && std::chrono::steady_clock::now() > giveUp) return false;
    chart = which == EChart::InputImportance ? InputImportanceChart(doc) : ExampleErrorsChart(doc);
    networkExists = doc.m_NetworkExists != 0 && !doc.m_Nodes.empty();
    return true;
}

CChartDisplay::CChartDisplay(EChart which, QWidget* parent) : QWidget(parent), m_Which(which) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMouseTracking(true);
}

void CChartDisplay::SetChart(const CRankingChart& chart, bool networkExists) {
    m_Chart = chart;
    m_NetworkExists = networkExists;
    m_Taken = true;
    updateGeometry();
    setMinimumSize(minimumSizeHint());
    update();
}

CChartDisplay::CLayout CChartDisplay::Layout() const {
    const QFontMetricsF fm(font());
    QFont bold = font();
    bold.setBold(true);
    const QFontMetricsF boldMetrics(bold);
    CLayout l;
    l.Margin = fm.height();
    l.RowHeight = std::ceil(fm.height() * 1.45);
    // Below the title and the two heading lines.
    l.TitleTop = l.Margin + fm.height() * 1.2 * 3 + fm.height() * 0.6;
    l.FirstRow = l.TitleTop + l.RowHeight * 1.2;
    const std::vector<std::string>& titles = m_Chart.ColumnTitles;
    auto title = [&](size_t i) { return i < titles.size() ? boldMetrics.horizontalAdvance(Q(titles[i])) : 0.0; };
    l.IndexWidth = std::max(title(0), fm.horizontalAdvance("00000")) + fm.height();
    double widest = title(1);
    for (const CRankingEntry& e : m_Chart.Entries) widest = std::max(widest, fm.horizontalAdvance(Q(e.Name)));
    l.NameWidth = widest + fm.height();
    l.ValueWidth = std::max(title(2), fm.horizontalAdvance("0.0000000")) + fm.height();
    l.BarLeft = l.Margin + l.IndexWidth + l.NameWidth + l.ValueWidth + fm.height() * 0.5;
    l.BarWidth = std::max(width() - l.BarLeft - l.Margin, fm.horizontalAdvance("Relative Importance") * 1.2);
    return l;
}

QSize CChartDisplay::minimumSizeHint() const {
    const CLayout l = Layout();
    const QFontMetricsF fm(font());
    const double rows = std::max<double>(static_cast<double>(m_Chart.Entries.size()), 2.0);
    const double headings = std::max(fm.horizontalAdvance(Q(m_Chart.Heading)),
                                     fm.horizontalAdvance(Q(m_Chart.Subheading)));
    const double w = std::max(l.BarLeft + fm.horizontalAdvance("Relative Importance") * 1.2 + l.Margin,
                              headings + 2 * l.Margin);
    return {static_cast<int>(std::ceil(w)), static_cast<int>(std::ceil(l.FirstRow + rows * l.RowHeight + l.Margin * 3))};
}

QSize CChartDisplay::sizeHint() const { return minimumSizeHint().expandedTo(QSize(640, 400)); }

QString CChartDisplay::ValueText(double value) const {
    return QString::number(value, 'f', m_Which == EChart::InputImportance ? 4 : 6);
}

void CChartDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFontMetricsF fm(font());
    const CLayout l = Layout();
    QFont bold = font();
    bold.setBold(true);
    const double right = width() - l.Margin;
    painter.setPen(Qt::black);
    painter.setFont(bold);
    painter.drawText(QRectF(l.Margin, l.Margin, right - l.Margin, fm.height() * 1.2),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     m_Which == EChart::InputImportance ? tr("Input Importance") : tr("Example Errors"));
    painter.setFont(font());
    if (!m_Taken) return;
    if (!m_NetworkExists) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter, tr("No network: create one with Action > New Network..."));
        return;
    }
    const double line = fm.height() * 1.2;
    painter.drawText(QRectF(l.Margin, l.Margin + line, right - l.Margin, line), Qt::AlignLeft | Qt::AlignVCenter,
                     Q(m_Chart.Heading));
    painter.drawText(QRectF(l.Margin, l.Margin + 2 * line, right - l.Margin, line), Qt::AlignLeft | Qt::AlignVCenter,
                     Q(m_Chart.Subheading));

    // Legend of the bar colours, at the right of the headings.
    if (m_Which == EChart::ExampleErrors) {
        const QString above = tr("Above target"), below = tr("Below target");
        const double swatch = fm.height() * 0.8;
        double x = right - fm.horizontalAdvance(above) - fm.horizontalAdvance(below) - 4 * swatch - fm.height();
        const double y = l.Margin + line * 0.2;
        for (const auto& [text, colour] : {std::pair{above, kAboveTarget}, std::pair{below, kBelowTarget}}) {
            painter.fillRect(QRectF(x, y + (line - swatch) / 2, swatch, swatch), colour);
            painter.drawText(QRectF(x + swatch * 1.4, y, fm.horizontalAdvance(text) + 2, line),
                             Qt::AlignLeft | Qt::AlignVCenter, text);
            x += swatch * 2.4 + fm.horizontalAdvance(text) + fm.height();
        }
    }

    // Column titles.
    const std::vector<std::string>& t = m_Chart.ColumnTitles;
    auto titleAt = [&](size_t i) { return i < t.size() ? Q(t[i]) : QString(); };
    painter.setFont(bold);
    const double x0 = l.Margin, x1 = x0 + l.IndexWidth, x2 = x1 + l.NameWidth;
    const QRectF titles(0, l.TitleTop, 0, l.RowHeight);
    painter.drawText(titles.adjusted(x0, 0, x0 + l.IndexWidth - fm.height() * 0.5, 0), Qt::AlignRight | Qt::AlignVCenter,
                     titleAt(0));
    painter.drawText(titles.adjusted(x1, 0, x1 + l.NameWidth, 0), Qt::AlignLeft | Qt::AlignVCenter, titleAt(1));
    painter.drawText(titles.adjusted(x2, 0, x2 + l.ValueWidth, 0), Qt::AlignRight | Qt::AlignVCenter, titleAt(2));
    painter.drawText(titles.adjusted(l.BarLeft, 0, l.BarLeft + l.BarWidth, 0), Qt::AlignLeft | Qt::AlignVCenter,
                     titleAt(3));
    painter.setFont(font());
    painter.setPen(QColor(180, 180, 180));
    painter.drawLine(QPointF(l.Margin, l.FirstRow - 2), QPointF(l.BarLeft + l.BarWidth, l.FirstRow - 2));

    const double rows = static_cast<double>(m_Chart.Entries.size());
    // Guides at quarters of the scale, labelled with the value they stand for.
    const double bottom = l.FirstRow + std::max(rows, 1.0) * l.RowHeight;
    for (int q = 0; q <= 4; ++q) {
        const double x = l.BarLeft + l.BarWidth * q / 4.0;
        painter.setPen(QColor(225, 225, 225));
        painter.drawLine(QPointF(x, l.FirstRow), QPointF(x, bottom));
        painter.setPen(QColor(110, 110, 110));
        const QString label = ValueText(m_Chart.Scale * q / 4.0);
        const double w = fm.horizontalAdvance(label) + 4;
        painter.drawText(QRectF(std::min(x - w / 2, l.BarLeft + l.BarWidth - w), bottom + 2, w, line),
                         Qt::AlignCenter, label);
    }
    // Where the target error lies on the errors' scale.
    if (m_Which == EChart::ExampleErrors && m_Chart.TargetError > 0.0 && m_Chart.TargetError <= m_Chart.Scale) {
        const double x = l.BarLeft + l.BarWidth * m_Chart.TargetError / m_Chart.Scale;
        painter.setPen(QPen(QColor(60, 60, 60), 1.2, Qt::DashLine));
        painter.drawLine(QPointF(x, l.FirstRow - 4), QPointF(x, bottom));
        const QString label = tr("Target %1").arg(ValueText(m_Chart.TargetError));
        // Beside the line, but never over the bars' heading.
        const double titleEnd = l.BarLeft + QFontMetricsF(bold).horizontalAdvance(titleAt(3)) + fm.height();
        const double labelX = x + 3 < titleEnd && x > l.BarLeft - 3 ? std::max(x + 3, titleEnd) : x + 3;
        painter.drawText(QRectF(labelX, l.TitleTop, fm.horizontalAdvance(label) + 4, l.RowHeight),
                         Qt::AlignLeft | Qt::AlignVCenter, label);
    }
    if (m_Chart.Entries.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(QRectF(l.Margin, l.FirstRow, right - l.Margin, l.RowHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         m_Which == EChart::InputImportance
                             ? tr("No input has any connected weight yet.")
                             : tr("No training or validating row has an error yet: start learning."));
        return;
    }
    for (size_t i = 0; i < m_Chart.Entries.size(); ++i) {
        const CRankingEntry& e = m_Chart.Entries[i];
        const QRectF row(0, l.FirstRow + i * l.RowHeight, 0, l.RowHeight);
        painter.setPen(Qt::black);
        painter.drawText(row.adjusted(x0, 0, x0 + l.IndexWidth - fm.height() * 0.5, 0), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(e.Index));
        painter.drawText(row.adjusted(x1, 0, x1 + l.NameWidth, 0), Qt::AlignLeft | Qt::AlignVCenter, Q(e.Name));
        painter.drawText(row.adjusted(x2, 0, x2 + l.ValueWidth, 0), Qt::AlignRight | Qt::AlignVCenter,
                         ValueText(e.Value));
        const QColor colour = m_Which == EChart::InputImportance ? kImportanceBar
                              : e.AboveTarget                    ? kAboveTarget
                                                                 : kBelowTarget;
        const double length = std::clamp(e.Relative, 0.0, 1.0) * l.BarWidth;
        painter.fillRect(QRectF(l.BarLeft, row.top() + l.RowHeight * 0.18, std::max(length, 1.0), l.RowHeight * 0.64),
                         colour);
    }
}

bool CChartDisplay::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    const CLayout l = Layout();
    const double at = (help->pos().y() - l.FirstRow) / l.RowHeight;
    if (at >= 0 && at < static_cast<double>(m_Chart.Entries.size())) {
        const CRankingEntry& e = m_Chart.Entries[static_cast<size_t>(at)];
        QToolTip::showText(help->globalPos(), tr("%1 %2: %3\n%4 of the largest")
                                                  .arg(e.Index)
                                                  .arg(Q(e.Name), ValueText(e.Value))
                                                  .arg(QString::number(e.Relative * 100.0, 'f', 1) + "%"),
                           this);
    } else {
        QToolTip::hideText();
    }
    return true;
}

void DrawNetworkLegend(QPainter& painter, const QRectF& area, const CNetworkSnapshot& s, double weightScale,
                       double activationScale) {
    painter.save();
    QFont small = painter.font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() * 0.9));
    painter.setFont(small);
    const QFontMetricsF fm(small);
    const double line = fm.height() * 1.25;
    const QString texts[] = {
        QObject::tr("Positive weight"), QObject::tr("Negative weight"),
        QObject::tr("Line width: |weight| up to %1").arg(weightScale, 0, 'f', 3),
        QObject::tr("Node fill: activation up to %1").arg(activationScale, 0, 'f', 3),
        QObject::tr("Point at a node for its values")};
    double widest = 0;
    for (const QString& t : texts) widest = std::max(widest, fm.horizontalAdvance(t));
    const double sample = fm.height() * 1.8;
    const QRectF box(area.left(), area.top(), widest + sample + fm.height() * 1.2, line * 5 + fm.height() * 0.6);
    painter.setPen(QColor(200, 200, 200));
    painter.setBrush(QColor(255, 255, 255, 225));
    painter.drawRoundedRect(box, 4, 4);
    const double x = box.left() + fm.height() * 0.4;
    for (int i = 0; i < 5; ++i) {
        const double y = box.top() + fm.height() * 0.3 + i * line;
        const double mid = y + line / 2;
        if (i < 2) {
            painter.setPen(QPen(ToQColor(s.Colours[i == 0 ? PositiveWeightsColour : NegativeWeightsColour]), 2.5));
            painter.drawLine(QPointF(x, mid), QPointF(x + sample, mid));
        } else if (i == 2) {
            painter.setPen(QPen(Qt::darkGray, 0.5));
            painter.drawLine(QPointF(x, mid - 2), QPointF(x + sample, mid - 2));
            painter.setPen(QPen(Qt::darkGray, 3.5));
            painter.drawLine(QPointF(x, mid + 2), QPointF(x + sample, mid + 2));
        } else if (i == 3) {
            const double r = fm.height() * 0.4;
            painter.setPen(QPen(Qt::black, 0.8));
            painter.setBrush(Qt::white);
            painter.drawEllipse(QPointF(x + r, mid), r, r);
            painter.setBrush(ToQColor(s.Colours[HiddenNodesColour]));
            painter.drawEllipse(QPointF(x + sample - r, mid), r, r);
        }
        painter.setPen(Qt::black);
        painter.drawText(QRectF(x + sample + fm.height() * 0.4, y, widest + 4, line), Qt::AlignLeft | Qt::AlignVCenter,
                         texts[i]);
    }
    painter.restore();
}

QString NodeDetails(const CNetworkSnapshot& s, int node) {
    if (node < 0 || node >= static_cast<int>(s.Nodes.size())) return {};
    const CNode& n = s.Nodes[node];
    QString where = n.Layer == kInputLayer ? QObject::tr("input") : n.Layer == kOutputLayer ? QObject::tr("output")
                                                                                          : QObject::tr("hidden layer %1").arg(n.Layer);
    double sum = 0.0;
    int connected = 0, removed = 0;
    for (const CWeight& w : s.Weights) {
        if (w.FromNode != node && w.ToNode != node) continue;
        (w.WeightType == 0 ? connected : removed) += 1;
        if (w.FromNode == node && w.WeightType == 0) sum += std::fabs(w.Weight);
    }
    QString name;
    int inputs = 0, outputs = 0;
    for (int i = 0; i < node; ++i) {
        inputs += s.Nodes[i].Layer == kInputLayer;
        outputs += s.Nodes[i].Layer == kOutputLayer;
    }
    if (n.Layer == kInputLayer && inputs < static_cast<int>(s.InputNames.size())) name = Q(s.InputNames[inputs]);
    if (n.Layer == kOutputLayer && outputs < static_cast<int>(s.OutputNames.size())) name = Q(s.OutputNames[outputs]);
    QString text = QObject::tr("Node %1, %2").arg(node).arg(where);
    if (!name.isEmpty()) text += QObject::tr(" (%1)").arg(name);
    text += QObject::tr("\nNet input: %1\nActivation: %2\nBias: %3\nError: %4\nSum of weights out: %5\n"
                        "Connections: %6 connected, %7 removed")
                .arg(n.NetInput, 0, 'f', 4)
                .arg(n.Activation, 0, 'f', 4)
                .arg(n.Bias, 0, 'f', 4)
                .arg(n.Error, 0, 'f', 6)
                .arg(sum, 0, 'f', 4)
                .arg(connected)
                .arg(removed);
    return text;
}

}  // namespace quorin
