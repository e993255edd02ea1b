#pragma once

#include <QElapsedTimer>
#include <QObject>

namespace tl::frame {

// Handles the pending events of the interface thread, at most once every
// kIntervalMs: long work may call pump() as often as it likes and the
// program still paints, runs its timers and sees a click on Cancel at once.
class EventPump {
public:
    static constexpr int kIntervalMs = 10;
    void pump();

private:
    QElapsedTimer m_since;
};

// The time of one long operation of a command: while it lasts, the user's
// input is dropped unless a modal window (the progress window, a message
// box, a dialog the operation opens) has it, as the progress window does
// for the rest of the program. So the operation may let events through
// between its steps without ever being entered twice.
class OperationScope : public QObject {
public:
    OperationScope();
    ~OperationScope() override;
    Q_DISABLE_COPY_MOVE(OperationScope)

    // Whether an operation is running now.
    static bool active();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tl::frame
