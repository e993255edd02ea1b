#pragma once

// The Display settings command: runs the dialog and applies what it
// decided to the running windows at once. Registered for its one command
// with the main window's registry.

#include <QObject>

#include "res/command_target.h"

namespace tl::frame {

class CMainFrame;
struct Appearance;

class CDisplaySettings : public QObject, public res::CommandTarget {
    Q_OBJECT

public:
    explicit CDisplaySettings(CMainFrame& frame);
    ~CDisplaySettings() override;

    bool isEnabled(res::Cmd cmd) const override;
    void run(res::Cmd cmd) override;
    // Stores the values and redoes what they change: the blink clock, the
    // sticky notes' translucency, the side bar's side, the tabs, the
    // editors' background, the weather fields; then repaints.
    void apply(const Appearance& values);
    // Whether the platform can draw translucent windows.
    static bool layeredWindows();

signals:
    // The sticky notes' translucency settings changed (on or off, the
    // common rate, one rate for all): every note applies them.
    void translucencyChanged();

private:
    CMainFrame& m_frame;
};

}  // namespace tl::frame
