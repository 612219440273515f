#pragma once
// The core calls the platform from worker threads too; widgets live on the GUI thread.
#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>
#include <type_traits>
#include <utility>

namespace quorin {

inline bool OnGuiThread() {
    return QCoreApplication::instance() == nullptr ||
           QThread::currentThread() == QCoreApplication::instance()->thread();
}

// Runs `fn` on the GUI thread and returns its result, waiting for it when called
// from another thread (a blocking queued call).
template <class F>
auto CallOnGuiThread(F&& fn) -> std::invoke_result_t<F&> {
    using R = std::invoke_result_t<F&>;
    if (OnGuiThread()) return fn();
    if constexpr (std::is_void_v<R>) {
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&fn] { fn(); },
                                  Qt::BlockingQueuedConnection);
    } else {
        R result{};
        QMetaObject::invokeMethod(QCoreApplication::instance(), [&fn, &result] { result = fn(); },
                                  Qt::BlockingQueuedConnection);
        return result;
    }
}

}  // namespace quorin
