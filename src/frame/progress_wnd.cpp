#include "progress_wnd.h"

#include <QApplication>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "res/messages.h"
#include "widgets/scale.h"

namespace tl::frame {

using widgets::Scale;

CProgressWnd::CProgressWnd(const QString& title, QWidget* owner) : QDialog(owner) {
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   (owner ? Qt::WindowFlags() : Qt::WindowStaysOnTopHint));
    setWindowModality(Qt::ApplicationModal);
    createControls();
    setFixedSize(Scale(300), Scale(66));
    // Centred on the owner, or on the screen without one.
    const QRect around =
        owner ? owner->frameGeometry() : QApplication::primaryScreen()->availableGeometry();
    move(around.center() - rect().center());
    QApplication::setOverrideCursor(Qt::BusyCursor);
    show();
    QCoreApplication::processEvents();
}

CProgressWnd::~CProgressWnd() {
    QApplication::restoreOverrideCursor();
}

void CProgressWnd::createControls() {
    m_bar = new QProgressBar(this);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_bar->setTextVisible(false);
    m_bar->setFixedSize(Scale(253), Scale(15));
    m_cancel = new QPushButton(QString::fromUtf8(res::Text(res::Msg::Cancel)), this);
    m_cancel->setFixedSize(Scale(85), Scale(20) + Scale(4));
    connect(m_cancel, &QPushButton::clicked, this, &CProgressWnd::reject);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(Scale(8), Scale(8), Scale(8), Scale(6));
    layout->setSpacing(Scale(6));
    layout->addWidget(m_bar, 0, Qt::AlignHCenter);
    layout->addWidget(m_cancel, 0, Qt::AlignHCenter);
}

bool CProgressWnd::step(int percent) {
    m_bar->setValue(percent < 0 ? 0 : percent > 100 ? 100 : percent);
    m_pump.pump();
    return !m_cancelled;
}

void CProgressWnd::reject() {
    m_cancelled = true;
    m_cancel->setEnabled(false);
}

}  // namespace tl::frame
