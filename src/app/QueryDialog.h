#pragma once
// The modeless "Query" dialog: a view over the document's query session. Every control calls
// one session operation and the dialog shows the session again; a cycle of seeks runs one
// pass per timer tick, so the window and the rest of the program stay live.
#include <QDialog>
#include <QTimer>
#include <functional>

#include "analysis/QuerySession.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace quorin {
class CChildFrame;
class CQuorinDoc;

class CQueryDialog : public QDialog {
    Q_OBJECT
public:
    // Opens the document's Query dialog, or brings the open one to the front.
    static CQueryDialog* Open(CChildFrame& child);
    explicit CQueryDialog(CChildFrame& child);
    ~CQueryDialog() override;
    CQuerySession& Session() { return m_Session; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Build();
    void ShowSession();
    // Runs a session operation unless learning or associating has started meanwhile.
    void Do(const std::function<void()>& operation);
    void CycleTick();

    CQuorinDoc& m_Doc;
    CQuerySession m_Session;
    QTimer m_CycleTimer;
    bool m_Filling = false;
    QLabel *m_Index = nullptr, *m_Type = nullptr, *m_Name = nullptr;
    QCheckBox *m_Q = nullptr, *m_V = nullptr, *m_T = nullptr, *m_Real = nullptr;
    QListWidget *m_Locks = nullptr, *m_Inputs = nullptr, *m_Values = nullptr;
    QListWidget *m_OutputNames = nullptr, *m_OutputValues = nullptr;
    QLineEdit* m_Edit = nullptr;
    std::vector<QPushButton*> m_ValueButtons;  // enabled only on a Querying row
    QPushButton* m_Cycle = nullptr;
};

}  // namespace quorin
