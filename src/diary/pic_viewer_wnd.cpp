#include "pic_viewer_wnd.h"

#include <QApplication>
#include <QBuffer>
#include <QImageReader>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <cmath>
#include <utility>

#include "viewer_geometry.h"
#include "widgets/wait_cursor.h"

namespace tl::diary {

using widgets::WaitCursor;
namespace {

QPointer<CPicViewerWnd> g_current;
// How long the caption (name, place in the list, zoom) stays after a change.
constexpr int kCaptionMs = 2000;
const QColor kFrame(0x40, 0x40, 0x40);

ViewerRect ToViewer(const QRect& r) {
    return {r.left(), r.top(), r.width(), r.height()};
}

}  // namespace

CPicViewerWnd::CPicViewerWnd(std::vector<Picture> pictures, bool reduce, QRect workArea,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_pictures(std::move(pictures)),
      m_reduce(reduce),
      m_workArea(workArea) {
    setAttribute(Qt::WA_DeleteOnClose);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::ArrowCursor);
    m_captionTimer.setSingleShot(true);
    connect(&m_captionTimer, &QTimer::timeout, this, qOverload<>(&QWidget::update));
}

CPicViewerWnd* CPicViewerWnd::current() {
    return g_current.data();
}

CPicViewerWnd* CPicViewerWnd::Open(std::vector<Picture> pictures, std::size_t current, bool reduce,
                                   QWidget* near) {
    if (current >= pictures.size()) return nullptr;
    if (g_current) g_current->close();
    QScreen* screen = near && near->screen() ? near->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    // Owned by the main window, so that it never outlives the program's
    // windows; still a window of its own.
    auto* viewer =
        new CPicViewerWnd(std::move(pictures), reduce, work, near ? near->window() : nullptr);
    bool shown = false;
    {
        WaitCursor wait;
        shown = viewer->showPicture(current);
    }
    if (!shown) {
        delete viewer;
        return nullptr;
    }
    g_current = viewer;
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    viewer->setFocus(Qt::ActiveWindowFocusReason);
    return viewer;
}

bool CPicViewerWnd::decode(double scale) {
    QBuffer buffer(&m_bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    const QSize stored = reader.size();
    const bool turned = reader.transformation() & QImageIOHandler::TransformationRotate90;
    // A fitted picture is decoded at the fitted size where the format can
    // (JPEG scales while decoding); zooming past it decodes it whole.
    if (stored.isValid() && scale < 1.0 && reader.supportsOption(QImageIOHandler::ScaledSize)) {
        const QSize scaled(std::max(1, static_cast<int>(std::ceil(stored.width() * scale))),
                           std::max(1, static_cast<int>(std::ceil(stored.height() * scale))));
        reader.setScaledSize(scaled);
    } else {
        scale = 1.0;
    }
    QImage image = reader.read();
    if (image.isNull()) return false;
    m_image = std::move(image);
    m_imageScale = scale;
    if (stored.isValid())
        m_pictureSize = turned ? stored.transposed() : stored;
    else
        m_pictureSize = m_image.size();
    return true;
}

bool CPicViewerWnd::showPicture(std::size_t index) {
    if (index >= m_pictures.size()) return false;
    const std::optional<QByteArray> bytes = m_pictures[index].bytes();
    if (!bytes) return false;
    const QByteArray previous = std::exchange(m_bytes, *bytes);
    // The size first (cheap), to know the scale to decode at.
    QSize size;
    {
        QBuffer buffer(&m_bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setAutoTransform(true);
        size = reader.size();
        if (size.isValid() && (reader.transformation() & QImageIOHandler::TransformationRotate90))
            size.transpose();
    }
    const double fit = size.isValid()
                           ? FitScale(size.width(), size.height(), ToViewer(m_workArea), m_reduce)
                           : 1.0;
    if (!decode(fit)) {
        m_bytes = previous;
        return false;
    }
    m_index = index;
    m_fit = FitScale(m_pictureSize.width(), m_pictureSize.height(), ToViewer(m_workArea), m_reduce);
    setWindowTitle(m_pictures[index].name);
    // A new picture starts fitted, from its top left.
    m_zoom = m_fit;
    setZoom(m_fit);
    m_pan = {};
    return true;
}

void CPicViewerWnd::setZoom(double zoom) {
    if (zoom > m_imageScale * 1.001 && m_imageScale < 1.0) {
        WaitCursor wait;
        decode(1.0);
    }
    // Keep the picture's point at the window's centre where it is.
    const QPointF centre = (m_pan + QPointF(width() - 2, height() - 2) / 2) / m_zoom;
    m_zoom = zoom;
    const ViewerPlacement place =
        PlaceViewer(m_pictureSize.width(), m_pictureSize.height(), ToViewer(m_workArea), zoom);
    setGeometry(place.window.left, place.window.top, place.window.width, place.window.height);
    m_pan = centre * zoom - QPointF(place.window.width - 2, place.window.height - 2) / 2;
    clampPan();
    flashCaption();
    update();
}

void CPicViewerWnd::clampPan() {
    const double shownW = m_pictureSize.width() * m_zoom;
    const double shownH = m_pictureSize.height() * m_zoom;
    m_pan.setX(std::clamp(m_pan.x(), 0.0, std::max(0.0, shownW - (width() - 2))));
    m_pan.setY(std::clamp(m_pan.y(), 0.0, std::max(0.0, shownH - (height() - 2))));
}

void CPicViewerWnd::zoomIn() {
    setZoom(NextZoom(m_zoom, true, m_fit));
}
void CPicViewerWnd::zoomOut() {
    setZoom(NextZoom(m_zoom, false, m_fit));
}
void CPicViewerWnd::zoomFit() {
    setZoom(m_fit);
}
void CPicViewerWnd::zoomActual() {
    setZoom(1.0);
}

void CPicViewerWnd::flashCaption() {
    m_captionTimer.start(kCaptionMs);
}

void CPicViewerWnd::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), kFrame);
    const QRect client = rect().adjusted(1, 1, -1, -1);
    p.fillRect(client, Qt::black);
    if (m_image.isNull()) return;
    // The shown picture's part in the client area, mapped back to the
    // decoded image: only that part is scaled.
    const double perImage = m_zoom / m_imageScale;
    const QRectF shown(QPointF(), QSizeF(m_pictureSize) * m_zoom);
    const QRectF visible = shown.intersected(QRectF(m_pan, QSizeF(client.size())));
    const QRectF source(visible.topLeft() / perImage, visible.size() / perImage);
    const QRectF target(QPointF(client.topLeft()) + visible.topLeft() - m_pan, visible.size());
    p.setRenderHint(QPainter::SmoothPixmapTransform, perImage < 2.0);
    p.drawImage(target, m_image, source);
    if (m_captionTimer.isActive()) {
        QString caption = m_pictures[m_index].name;
        if (m_pictures.size() > 1)
            caption =
                QStringLiteral("%1/%2  %3").arg(m_index + 1).arg(m_pictures.size()).arg(caption);
        caption += QStringLiteral("  %1%").arg(std::lround(m_zoom * 100));
        const QRect box =
            p.fontMetrics()
                .boundingRect(caption)
                .adjusted(-6, -3, 6, 3)
                .translated(client.left() + 8, client.bottom() - 8 - p.fontMetrics().height());
        p.fillRect(box, QColor(0, 0, 0, 160));
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, caption);
    }
}

void CPicViewerWnd::keyPressEvent(QKeyEvent* event) {
    const auto step = [this](int delta) {
        if (m_pictures.size() < 2) return;
        const std::size_t n = m_pictures.size();
        // Pictures that cannot be shown are passed over.
        for (std::size_t tried = 1; tried < n; ++tried) {
            const std::size_t next = (m_index + n + static_cast<std::size_t>(delta) * tried) % n;
            WaitCursor wait;
            if (showPicture(next)) return;
        }
    };
    switch (event->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_PageUp:
        case Qt::Key_Backspace:
            step(-1);
            return;
        case Qt::Key_Right:
        case Qt::Key_Down:
        case Qt::Key_PageDown:
        case Qt::Key_Space:
            step(+1);
            return;
        case Qt::Key_Plus:
        case Qt::Key_Equal:
            zoomIn();
            return;
        case Qt::Key_Minus:
            zoomOut();
            return;
        case Qt::Key_0:
        case Qt::Key_Asterisk:
            zoomActual();
            return;
        case Qt::Key_F:
        case Qt::Key_Slash:
            zoomFit();
            return;
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_Meta:
            return;  // a modifier alone waits for its key
        default:
            close();  // Escape, Enter and every other key
            return;
    }
}

void CPicViewerWnd::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        close();
        return;
    }
    m_pressed = true;
    m_moved = false;
    m_pressAt = event->globalPosition().toPoint();
    m_panAtPress = m_pan;
}

void CPicViewerWnd::mouseMoveEvent(QMouseEvent* event) {
    if (!m_pressed) return;
    const QPoint delta = event->globalPosition().toPoint() - m_pressAt;
    if (!m_moved && delta.manhattanLength() < QApplication::startDragDistance()) return;
    m_moved = true;
    m_pan = m_panAtPress - QPointF(delta);
    clampPan();
    update();
}

void CPicViewerWnd::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !m_pressed) return;
    m_pressed = false;
    // A click closes; a drag only moved the picture.
    if (!m_moved) close();
}

void CPicViewerWnd::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

void CPicViewerWnd::wheelEvent(QWheelEvent* event) {
    const int turn = event->angleDelta().y();
    if (turn > 0)
        zoomIn();
    else if (turn < 0)
        zoomOut();
    event->accept();
}

void CPicViewerWnd::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow() && isVisible() &&
        !QApplication::overrideCursor())
        close();
}

}  // namespace tl::diary
