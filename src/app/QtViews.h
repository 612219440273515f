#pragma once
// Redraw requests and progress from any thread reach the main frame only as posted
// events, so worker threads never touch a widget.
#include <QEvent>
#include <mutex>
#include <set>
#include <string>
#include <utility>

#include "platform/Views.h"

class QObject;

namespace quorin {

// The progress message: cycle count (or column) and status code of one document.
class CProgressEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 1);
    CProgressEvent(const CQuorinDoc* doc, int count, int status)
        : QEvent(kType), m_Doc(doc), m_Count(count), m_Status(status) {}
    const CQuorinDoc* m_Doc;  // compared, never dereferenced: the document may be gone
    int m_Count;
    int m_Status;
};

class CRefreshEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 2);
    CRefreshEvent() : QEvent(kType) {}
};

// A brief status bar note about one document.
class CStatusMessageEvent : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 3);
    CStatusMessageEvent(const CQuorinDoc* doc, std::string text)
        : QEvent(kType), m_Doc(doc), m_Text(std::move(text)) {}
    const CQuorinDoc* m_Doc;  // compared, never dereferenced
    std::string m_Text;
};

class CQtViews : public IViews {
public:
    // The object that receives the events (the main frame).
    void SetReceiver(QObject* receiver);

    void RefreshViews(CQuorinDoc& doc) override;
    void PostProgress(CQuorinDoc& doc, int count, int status) override;
    void PumpEvents() override;
    void ShowStatusMessage(CQuorinDoc& doc, const std::string& text) override;
    void ShowFileProgress(CQuorinDoc& doc, const std::string& caption, int percent) override;

    // The documents whose views asked to be redrawn since the last call.
    std::set<const CQuorinDoc*> TakeRefreshRequests();

private:
    std::mutex m_Mutex;
    QObject* m_Receiver = nullptr;  // cleared by the receiver before it goes
    std::set<const CQuorinDoc*> m_Pending;
};

}  // namespace quorin
