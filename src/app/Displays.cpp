#include "app/Displays.h"

#include <QHelpEvent>
#include <QPaintEvent>
#include <QToolTip>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <map>
#include <utility>

#include "analysis/NetworkAnalysis.h"
#include "app/ChartDisplays.h"
#include "network/LearningInfo.h"
#include "network/ValidationReport.h"
#include "platform/StringFormat.h"

namespace quorin {

namespace {
// 1, 2 or 5 times a power of ten, the nearest at or above the rough step.
double NiceStep(double rough) {
    if (!(rough > 0.0) || !std::isfinite(rough)) return 1.0;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    const double f = rough / power;
    return (f <= 1.0 ? 1.0 : f <= 2.0 ? 2.0 : f <= 5.0 ? 5.0 : 10.0) * power;
}

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

// Below the network: the legend of colours and thicknesses.
constexpr int kLegendRoom = 110;

void NamesOfType(const CQuorinDoc& doc, int type, std::vector<std::string>& names) {
    names.clear();
    const size_t columns = std::min<size_t>(doc.m_InOuts.size(), std::max(doc.m_ColCount, 0));
    for (size_t c = 0; c < columns; ++c) {
        const CInOut& io = doc.m_InOuts[c];
        if (io.InOutType != type) continue;
        // An Image column feeds three nodes.
        const int nodes = NodesOf(io);
        for (int i = 0; i < nodes; ++i) names.push_back(io.InOutName);
    }
}
// A drawn line as points a few pixels apart, so that long straight pieces count too.
void AddTrace(std::vector<QPointF>& drawn, const QPointF& q) {
    if (!drawn.empty() && drawn.back().x() > -1e8) {
        const QPointF from = drawn.back();
        const double length = std::hypot(q.x() - from.x(), q.y() - from.y());
        const int steps = std::min(static_cast<int>(length / 4.0), 1000);
        for (int i = 1; i < steps; ++i) drawn.push_back(from + (q - from) * (static_cast<double>(i) / steps));
    }
    drawn.push_back(q);
}

// The legend goes in the corner of the plot that covers the fewest drawn points.
void DrawLegend(QPainter& painter, const QRect& plot, const std::vector<std::pair<QString, QColor>>& entries,
                const std::vector<QPointF>& drawn) {
    if (entries.empty()) return;
    const QFontMetrics metrics(painter.font());
    int textWidth = 0;
    for (const auto& [name, colour] : entries) textWidth = std::max(textWidth, metrics.horizontalAdvance(name));
    const QSize size(textWidth + 42, static_cast<int>(entries.size()) * 18 + 8);
    const int m = 8;
    const QPoint corners[] = {
        {plot.right() - m - size.width(), plot.top() + m},      {plot.left() + m, plot.top() + m},
        {plot.right() - m - size.width(), plot.bottom() - m - size.height()},
        {plot.left() + m, plot.bottom() - m - size.height()},   {plot.center().x() - size.width() / 2, plot.top() + m},
        {plot.center().x() - size.width() / 2, plot.bottom() - m - size.height()}};
    QRect best;
    size_t fewest = SIZE_MAX;
    for (const QPoint& corner : corners) {
        const QRectF box(QRect(corner, size).adjusted(-3, -3, 3, 3));
        const size_t covered = static_cast<size_t>(
            std::count_if(drawn.begin(), drawn.end(), [&](const QPointF& p) { return box.contains(p); }));
        if (covered < fewest) {
            fewest = covered;
            best = QRect(corner, size);
        }
    }
    painter.save();
    painter.setPen(QColor(200, 200, 200));
    painter.setBrush(QColor(255, 255, 255, 230));
    painter.drawRect(best);
    int y = best.top() + 4;
    for (const auto& [name, colour] : entries) {
        const QRect line(best.left() + 8, y, best.width() - 12, 18);
        painter.setPen(QPen(colour, 2));
        painter.drawLine(line.left(), line.center().y(), line.left() + 20, line.center().y());
        painter.setPen(Qt::black);
        painter.drawText(line.adjusted(26, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, name);
        y += 18;
    }
    painter.restore();
}
}  // namespace

bool TakeSnapshot(CQuorinDoc& doc, CNetworkSnapshot& s) {
    std::unique_lock lock(doc.m_NetworkMutex, std::defer_lock);
    // The learning thread releases the lock only for a moment between cycles and takes it
    // straight back, so sleeping between tries (or blocking) nearly never gets in: keep trying
    // without pausing, for a short while at most.
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::milliseconds(60);
    for (unsigned tries = 1; !lock.try_lock(); ++tries) {
        if (tries % 1024 == 0 && std::chrono::steady_clock::now() > giveUp) return false;
    }
    s.Nodes = doc.m_Nodes;
    s.Weights = doc.m_Weights;
    s.Points = doc.m_GraphPoints;
    s.Validating = doc.m_ValidatingHistory;
    lock.unlock();
    s.ValidatingText = s.Validating.empty() ? std::string()
                                            : Format("Validating %.2lf %% ", s.Validating.back().Percent) +
                                                  ValidatingRuleText(doc);
    NamesOfType(doc, Input, s.InputNames);
    NamesOfType(doc, Output, s.OutputNames);
    s.Colours = doc.m_Colours;
    s.Status = doc.m_Status.load();
    s.Cycles = doc.m_LearningCycles.load();
    s.TargetError = doc.m_TargetError;
    s.ValidatingTarget = doc.m_ValidatingTarget;
    s.WithinPercentage = doc.m_WithinPercentage;
    s.NetworkExists = doc.m_NetworkExists != 0;
    s.Caption = GraphCaption(doc);
    s.Taken = true;
    return true;
}

CGraphDisplay::CGraphDisplay(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
    setMinimumSize(300, 200);
}

void CGraphDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRect all = rect();
    QFont title = font();
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(Qt::black);
    painter.drawText(QRect(all.left() + 10, 6, all.width() - 20, 22), Qt::AlignLeft | Qt::AlignVCenter,
                     tr("Learning graph"));
    painter.setFont(font());
    // Nothing read yet (the learning thread kept the lock): draw nothing rather than guess.
    if (!m_Snapshot || !m_Snapshot->Taken) return;
    const CNetworkSnapshot& s = *m_Snapshot;
    const std::string& caption = s.Caption;
    painter.drawText(QRect(all.left() + 10, 28, all.width() - 20, 20), Qt::AlignLeft | Qt::AlignVCenter,
                     QString::fromStdString(caption));

    const bool validating = !s.Validating.empty();
    // The validating results take a second axis on the right, 0 to 100 %.
    const QRect plot(all.left() + 70, 60, std::max(all.width() - (validating ? 150 : 100), 10),
                     std::max(all.height() - 138, 10));
    painter.setPen(QColor(200, 200, 200));
    painter.drawRect(plot);
    if (s.Points.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(plot, Qt::AlignCenter,
                         s.NetworkExists ? tr("No learning yet: start learning to draw the errors.")
                                         : tr("No network: create one with Action > New Network..."));
        return;
    }
    double maxError = 0.0;
    int firstCycle = s.Points.front().Cycles, lastCycle = s.Points.front().Cycles;
    for (const CGraphPoint& p : s.Points) {
        if (std::isfinite(p.MaxError)) maxError = std::max(maxError, p.MaxError);
        if (std::isfinite(p.AveError)) maxError = std::max(maxError, p.AveError);
        firstCycle = std::min(firstCycle, p.Cycles);
        lastCycle = std::max(lastCycle, p.Cycles);
    }
    if (maxError <= 0.0) maxError = 1.0;
    maxError = std::min(maxError * 1.05, 1.0e6);
    maxError = std::ceil(maxError / NiceStep(maxError / 5.0)) * NiceStep(maxError / 5.0);
    for (const CValidatingPoint& v : s.Validating) {
        firstCycle = std::min(firstCycle, v.Cycles);
        lastCycle = std::max(lastCycle, v.Cycles);
    }
    const double cycleSpan = std::max(1, lastCycle - firstCycle);
    auto toPoint = [&](int cycles, double error) {
        const double x = plot.left() + (cycles - firstCycle) / cycleSpan * plot.width();
        const double clamped = std::clamp(std::isfinite(error) ? error : maxError, 0.0, maxError);
        const double y = plot.bottom() - clamped / maxError * plot.height();
        return QPointF(x, y);
    };

    // Axes: round numbers, about five steps each way.
    const double errorStep = NiceStep(maxError / 5.0);
    const int errorDecimals = std::clamp(static_cast<int>(std::ceil(-std::log10(errorStep))), 0, 8);
    for (int i = 0; i * errorStep <= maxError * (1 + 1e-9); ++i) {
        const double e = i * errorStep;
        const QPointF p = toPoint(firstCycle, e);
        painter.setPen(QColor(230, 230, 230));
        painter.drawLine(QPointF(plot.left(), p.y()), QPointF(plot.right(), p.y()));
        painter.setPen(QColor(90, 90, 90));
        painter.drawText(QRectF(plot.left() - 66, p.y() - 8, 60, 16), Qt::AlignRight | Qt::AlignVCenter,
                         QString::number(e, 'f', errorDecimals));
    }
    const double cycleStep = std::max(1.0, NiceStep(cycleSpan / 5.0));
    for (double c = std::ceil(firstCycle / cycleStep) * cycleStep; c <= lastCycle; c += cycleStep) {
        const QPointF q = toPoint(static_cast<int>(c), 0.0);
        painter.drawText(QRectF(q.x() - 40, plot.bottom() + 4, 80, 16), Qt::AlignCenter,
                         QString::number(static_cast<long long>(c)));
    }
    painter.drawText(QRect(plot.left(), plot.bottom() + 22, plot.width(), 16), Qt::AlignCenter, tr("Cycles"));
    painter.save();
    painter.translate(14, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRect(-50, -8, 100, 16), Qt::AlignCenter, tr("Error"));
    painter.restore();

    if (s.TargetError > 0.0 && s.TargetError < maxError) {
        QPen target(QColor(150, 150, 150), 1, Qt::DashLine);
        painter.setPen(target);
        const QPointF p = toPoint(firstCycle, s.TargetError);
        painter.drawLine(QPointF(plot.left(), p.y()), QPointF(plot.right(), p.y()));
    }

    struct CSeries {
        QString Name;
        QColor Colour;
        double CGraphPoint::*Field;
    };
    const CSeries series[] = {{tr("Maximum error"), QColor(220, 50, 50), &CGraphPoint::MaxError},
                              {tr("Average error"), QColor(30, 80, 220), &CGraphPoint::AveError},
                              {tr("Minimum error"), QColor(20, 150, 60), &CGraphPoint::MinError}};
    std::vector<std::pair<QString, QColor>> legend;
    std::vector<QPointF> drawn;  // every line drawn, so that the legend can avoid them
    for (const CSeries& line : series) {
        QPainterPath path;
        bool first = true;
        for (const CGraphPoint& p : s.Points) {
            const QPointF q = toPoint(p.Cycles, p.*(line.Field));
            if (first) path.moveTo(q); else path.lineTo(q);
            first = false;
            AddTrace(drawn, q);
        }
        painter.setPen(QPen(line.Colour, 1.6));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(path);
        legend.emplace_back(line.Name, line.Colour);
        drawn.emplace_back(-1e9, -1e9);  // a break between lines
    }
    if (validating) {
        const QColor colour(150, 60, 180);
        auto toValidating = [&](int cycles, double percent) {
            const double x = plot.left() + (cycles - firstCycle) / cycleSpan * plot.width();
            return QPointF(x, plot.bottom() - std::clamp(percent, 0.0, 100.0) / 100.0 * plot.height());
        };
        painter.setPen(colour);
        for (int percent = 0; percent <= 100; percent += 20) {
            const QPointF p = toValidating(firstCycle, percent);
            painter.drawText(QRectF(plot.right() + 6, p.y() - 8, 44, 16), Qt::AlignLeft | Qt::AlignVCenter,
                             QString("%1 %").arg(percent));
        }
        painter.save();
        painter.translate(all.right() - 12, plot.center().y());
        painter.rotate(90);
        painter.drawText(QRect(-80, -8, 160, 16), Qt::AlignCenter, tr("Validating %"));
        painter.restore();
        QPainterPath path;
        for (size_t i = 0; i < s.Validating.size(); ++i) {
            const QPointF q = toValidating(s.Validating[i].Cycles, s.Validating[i].Percent);
            if (i == 0) path.moveTo(q); else path.lineTo(q);
            AddTrace(drawn, q);
        }
        painter.setPen(QPen(colour, 1.6, Qt::SolidLine));
        painter.drawPath(path);
        if (s.Validating.size() < 200) {
            painter.setBrush(colour);
            for (const CValidatingPoint& v : s.Validating)
                painter.drawEllipse(toValidating(v.Cycles, v.Percent), 2.5, 2.5);
            painter.setBrush(Qt::NoBrush);
        }
        legend.emplace_back(tr("Validating"), colour);
    }
    DrawLegend(painter, plot, legend, drawn);
    const CGraphPoint& last = s.Points.back();
    painter.setPen(Qt::black);
    if (!s.ValidatingText.empty())
        painter.drawText(QRect(plot.left(), plot.bottom() + 58, plot.width(), 16), Qt::AlignLeft,
                         QString::fromStdString(s.ValidatingText));
    painter.drawText(QRect(plot.left(), plot.bottom() + 40, plot.width(), 16), Qt::AlignLeft,
                     tr("Cycles %1    Average error %2    Maximum error %3    Minimum error %4")
                         .arg(last.Cycles)
                         .arg(last.AveError, 0, 'f', 6)
                         .arg(last.MaxError, 0, 'f', 6)
                         .arg(last.MinError, 0, 'f', 6));
}

CNetworkDisplay::CNetworkDisplay(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, Qt::white);
    setPalette(p);
}

void CNetworkDisplay::SetSnapshot(const CNetworkSnapshot* snapshot) {
    m_Snapshot = snapshot;
    setMinimumSize(ContentSize());
    updateGeometry();
    update();
}

void CNetworkDisplay::SetZoom(double zoom, double horizontalScale) {
    m_Zoom = zoom;
    m_HorizontalScale = horizontalScale;
    setMinimumSize(ContentSize());
    updateGeometry();
    update();
}

QSize CNetworkDisplay::ContentSize() const {
    int largestLayer = 1;
    if (m_Snapshot) {
        std::map<int, int> counts;
        for (const CNode& n : m_Snapshot->Nodes) largestLayer = std::max(largestLayer, ++counts[n.Layer]);
    }
    // Room for legible nodes: at least 7 pixels a node, more for small networks.
    const int height = static_cast<int>((80 + largestLayer * std::max(7.0, 300.0 / largestLayer)) * m_Zoom) + kLegendRoom;
    const int width = static_cast<int>(500 * m_Zoom * m_HorizontalScale);
    return {std::max(width, 300), std::max(height, 300)};
}

QSize CNetworkDisplay::sizeHint() const { return ContentSize(); }

void CNetworkDisplay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!m_Snapshot || !m_Snapshot->Taken) return;
    if (!m_Snapshot->NetworkExists || m_Snapshot->Nodes.empty()) {
        painter.setPen(Qt::darkGray);
        painter.drawText(rect(), Qt::AlignCenter, tr("No network: create one with Action > New Network..."));
        return;
    }
    const CNetworkSnapshot& s = *m_Snapshot;
    std::map<int, std::vector<int>> layers;  // layer code -> node indices, in order
    for (size_t i = 0; i < s.Nodes.size(); ++i) layers[s.Nodes[i].Layer].push_back(static_cast<int>(i));
    const int layerCount = static_cast<int>(layers.size());
    size_t largest = 1;
    for (auto& entry : layers) largest = std::max(largest, entry.second.size());
    const double top = 40, bottom = 20 + kLegendRoom;
    const double radius = std::clamp((height() - top - bottom) / (largest * 2.6), 2.0, 14.0 * m_Zoom);
    const bool labels = radius >= 4.0;
    QFont small = font();
    small.setPointSizeF(std::max(6.0, std::min(9.0, radius)));
    const QFontMetricsF metrics(small);
    // The side layers move inwards far enough for their names, up to a quarter of the width each.
    auto margin = [&](const std::vector<std::string>& names) {
        double widest = 0.0;
        if (labels)
            for (const std::string& name : names)
                widest = std::max(widest, metrics.horizontalAdvance(QString::fromStdString(name)));
        return std::clamp(widest + radius + 12.0, 70.0, std::max(70.0, width() / 4.0));
    };
    const double left = margin(s.InputNames), right = margin(s.OutputNames);
    const QRectF area = QRectF(rect()).adjusted(left, top, -right, -bottom);
    std::vector<QPointF> position(s.Nodes.size());
    int li = 0;
    for (auto& [layer, nodes] : layers) {
        const double x = layerCount == 1 ? area.center().x() : area.left() + area.width() * li / (layerCount - 1);
        for (size_t k = 0; k < nodes.size(); ++k) {
            const double y = area.top() + area.height() * (k + 0.5) / nodes.size();
            position[nodes[k]] = QPointF(x, y);
        }
        painter.setPen(Qt::black);
        const QString name = layer == kInputLayer    ? tr("Input")
                             : layer == kOutputLayer ? tr("Output")
                                                     : tr("Hidden %1").arg(layer);
        painter.drawText(QRectF(x - 60, 8, 120, 18), Qt::AlignCenter,
                         tr("%1 (%2)").arg(name).arg(nodes.size()));
        ++li;
    }

    // Thickness against the largest connected weight of either sign; fill against the
    // largest activation.
    double maxWeight = std::max(GetGreatestWeight(s.Weights, 1), GetGreatestWeight(s.Weights, 0));
    if (!(maxWeight > 0.0) || !std::isfinite(maxWeight)) maxWeight = 1.0;
    double maxActivation = GetGreatestNode(s.Nodes, NodeActivation, 1);
    if (!(maxActivation > 0.0) || !std::isfinite(maxActivation)) maxActivation = 1.0;
    const QColor positive = ToQColor(s.Colours[PositiveWeightsColour]);
    const QColor negative = ToQColor(s.Colours[NegativeWeightsColour]);
    // Many weights: thinner and fainter so that the strong ones still show.
    const double crowd = s.Weights.size() > 2000 ? 0.35 : s.Weights.size() > 300 ? 0.6 : 1.0;
    for (const CWeight& w : s.Weights) {
        if (w.WeightType != 0 || w.FromNode < 0 || w.ToNode < 0 ||
            w.FromNode >= static_cast<int>(position.size()) || w.ToNode >= static_cast<int>(position.size()))
            continue;
        const double strength = std::isfinite(w.Weight) ? std::fabs(w.Weight) / maxWeight : 1.0;
        QColor c = w.Weight >= 0 ? positive : negative;
        c.setAlphaF(std::clamp((0.15 + 0.85 * strength) * crowd, 0.05, 1.0));
        painter.setPen(QPen(c, std::max(0.3, 4.0 * strength * crowd)));
        painter.drawLine(position[w.FromNode], position[w.ToNode]);
    }
    painter.setFont(small);
    size_t inputIndex = 0, outputIndex = 0;
    for (size_t i = 0; i < s.Nodes.size(); ++i) {
        const CNode& n = s.Nodes[i];
        const Colour colour = n.Layer == kInputLayer    ? s.Colours[InputNodesColour]
                              : n.Layer == kOutputLayer ? s.Colours[OutputNodesColour]
                                                        : s.Colours[HiddenNodesColour];
        painter.setPen(QPen(Qt::black, radius > 5 ? 1.0 : 0.5));
        const double fill = std::isfinite(n.Activation) ? std::clamp(n.Activation / maxActivation, 0.0, 1.0) : 0.0;
        const QColor full = ToQColor(colour);
        painter.setBrush(QColor::fromRgbF(1.0 - fill * (1.0 - full.redF()), 1.0 - fill * (1.0 - full.greenF()),
                                          1.0 - fill * (1.0 - full.blueF())));
        painter.drawEllipse(position[i], radius, radius);
        if (!labels) continue;
        painter.setPen(Qt::black);
        if (n.Layer == kInputLayer && inputIndex < s.InputNames.size()) {
            const double room = left - radius - 8;
            painter.drawText(QRectF(position[i].x() - radius - 4 - room, position[i].y() - 8, room, 16),
                             Qt::AlignRight | Qt::AlignVCenter,
                             metrics.elidedText(QString::fromStdString(s.InputNames[inputIndex]), Qt::ElideRight,
                                                room));
        } else if (n.Layer == kOutputLayer && outputIndex < s.OutputNames.size()) {
            const double room = right - radius - 8;
            painter.drawText(QRectF(position[i].x() + radius + 4, position[i].y() - 8, room, 16),
                             Qt::AlignLeft | Qt::AlignVCenter,
                             metrics.elidedText(QString::fromStdString(s.OutputNames[outputIndex]), Qt::ElideRight,
                                                room));
        }
        if (n.Layer == kInputLayer) ++inputIndex;
        if (n.Layer == kOutputLayer) ++outputIndex;
    }
    m_Positions = position;
    m_Radius = radius;
    painter.setFont(font());
    DrawNetworkLegend(painter, QRectF(10, height() - kLegendRoom + 8, width() - 20, kLegendRoom - 16), s, maxWeight,
                      maxActivation);
}

bool CNetworkDisplay::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    int nearest = -1;
    double best = std::max(m_Radius, 4.0) + 2.0;
    for (size_t i = 0; i < m_Positions.size(); ++i) {
        const QPointF d = m_Positions[i] - QPointF(help->pos());
        const double distance = std::hypot(d.x(), d.y());
        if (distance <= best) {
            best = distance;
            nearest = static_cast<int>(i);
        }
    }
    if (nearest >= 0 && m_Snapshot && nearest < static_cast<int>(m_Snapshot->Nodes.size()))
        QToolTip::showText(help->globalPos(), NodeDetails(*m_Snapshot, nearest), this);
    else
        QToolTip::hideText();
    return true;
}

}  // namespace quorin
