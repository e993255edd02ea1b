#pragma once

// For tests: acts on the modal dialog of type D once its exec() shows it,
// since exec() does not return to the test until the dialog is closed.

#include <QApplication>
#include <QTimer>
#include <functional>

namespace tl::widgets {

template <class D>
class WhenShown {
public:
    explicit WhenShown(std::function<void(D&)> act) : m_act(std::move(act)) {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
            if (m_done || !dialog || !dialog->isVisible()) return;
            m_done = true;
            m_act(*dialog);
        });
        m_timer.start(5);
    }
    bool done() const { return m_done; }

private:
    std::function<void(D&)> m_act;
    QTimer m_timer;
    bool m_done = false;
};

}  // namespace tl::widgets
