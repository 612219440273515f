#pragma once
// One view per child window: the Grid, the network drawing or the learning graph of
// its document, chosen from the View menu.
#include <QWidget>

#include "app/ChartDisplays.h"
#include "app/AssociationDisplays.h"
#include "app/Displays.h"

class QStackedWidget;
class QTableView;
class QScrollArea;
class QTimer;
class QLabel;

namespace quorin {
class CGridModel;
class CQuorinDoc;

enum class EDisplay { Grid, Network, Graph, ExampleErrors, InputImportance, Associations, Clusters };
enum class EZoom { In, Out, Min, Max, ScaleUp, ScaleDown };

class CQuorinView : public QWidget {
    Q_OBJECT
public:
    CQuorinView(CQuorinDoc& doc, QWidget* parent = nullptr);
    const CQuorinDoc& Document() const { return m_Doc; }

    void SetDisplay(EDisplay display);
    EDisplay Display() const { return m_Display; }
    // Re-reads the document into the current display.
    void RefreshFromDocument();
    void Zoom(EZoom how);

    CGridModel& Model() { return *m_Model; }
    QTableView& Table() { return *m_Table; }
    // The widget that draws the current display (inside its scroll area, if it has one).
    QWidget* DisplayWidget() const;
    bool ShowsEmptyHint() const;
    int CurrentRow() const;
    int CurrentColumn() const;
    void SelectCell(int row, int column);
    // Shows the Grid with a row (or column; -1 keeps the current one) just added in view.
    void ShowInserted(int row, int column);

    // Edit menu entries carried out by the view.
    void CopySelection();
    void PasteText();
    void DeleteSelection();
    void Find();
    void Goto();

    // The Querying rows' automatic refresh while learning.
    void AutoRefresh();

signals:
    // A view command changed the document (the frame updates its commands).
    void DocumentChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveDown();
    void ShowGridMenu(const QPoint& at);
    void RenameRow(int row);
    void RenameColumn(int column);
    void SetRowType(int row, int type);
    void SetColumnType(int column, int type);
    void ApplyZoom();
    // The model re-read and the row headers in sight repainted.
    void ReloadGrid();

    CQuorinDoc& m_Doc;
    EDisplay m_Display = EDisplay::Grid;
    QStackedWidget* m_Stack;
    CGridModel* m_Model;
    QTableView* m_Table;
    QLabel* m_EmptyHint;
    QScrollArea* m_NetworkScroll;
    CNetworkDisplay* m_Network;
    CGraphDisplay* m_Graph;
    CChartDisplay* m_ErrorsChart;
    CChartDisplay* m_ImportanceChart;
    CAssociationListDisplay* m_AssociationList;
    CAssociationListDisplay* m_ClusterList;
    CAssociationSnapshot m_AssociationSnapshot;
    QTimer* m_AutoRefresh;
    QTimer* m_SnapshotRetry;  // the learning thread held the network: try again shortly
    CNetworkSnapshot m_Snapshot;
    double m_Zoom = 1.0;
    double m_Scale = 1.0;
    QString m_LastFind;
};

}  // namespace quorin
