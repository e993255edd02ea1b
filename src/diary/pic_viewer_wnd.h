#pragma once

// The picture viewer: a borderless window that shows one picture, fitted
// into the desktop's work area (when PICTURE REDUCTION is on) and centred.
// It steps through the pictures it was given (the entry's, in strip
// order), zooms, and closes on a click, on Escape or any other key of its
// own, and when it loses the focus.
//
// Keys: Left/Right, Page Up/Down, Backspace/Space the previous and next
// picture; + and - zoom; 0 or * the picture's own size; F or / fitted.
// The wheel zooms; a picture larger than the window is moved by dragging.

#include <QImage>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>
#include <vector>

namespace tl::diary {

class CPicViewerWnd : public QWidget {
    Q_OBJECT

public:
    struct Picture {
        QString name;
        // The file's bytes; nullopt when they cannot be read (told).
        std::function<std::optional<QByteArray>()> bytes;
    };

    CPicViewerWnd(std::vector<Picture> pictures, bool reduce, QRect workArea,
                  QWidget* parent = nullptr);

    // Shows pictures[current] in a new viewer on the screen of near (a
    // viewer already open closes). nullptr when that picture cannot be
    // read or decoded; nothing is shown then.
    static CPicViewerWnd* Open(std::vector<Picture> pictures, std::size_t current, bool reduce,
                               QWidget* near);
    static CPicViewerWnd* current();

    bool showPicture(std::size_t index);
    std::size_t index() const { return m_index; }
    std::size_t count() const { return m_pictures.size(); }
    // The picture's size as it is to be seen (its orientation applied).
    QSize pictureSize() const { return m_pictureSize; }
    double zoom() const { return m_zoom; }
    double fitZoom() const { return m_fit; }
    void zoomIn();
    void zoomOut();
    void zoomFit();
    void zoomActual();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    // Decodes the current picture at a scale of at least scale (the whole
    // picture when more is needed than the fitted size).
    bool decode(double scale);
    void setZoom(double zoom);
    void clampPan();
    void flashCaption();

    std::vector<Picture> m_pictures;
    bool m_reduce;
    QRect m_workArea;
    std::size_t m_index = 0;
    QByteArray m_bytes;
    QImage m_image;  // decoded, at m_imageScale of the picture
    double m_imageScale = 1.0;
    QSize m_pictureSize;
    double m_fit = 1.0;
    double m_zoom = 1.0;
    QPointF m_pan;  // the shown picture's point at the client's top left
    QPoint m_pressAt;
    QPointF m_panAtPress;
    bool m_pressed = false;
    bool m_moved = false;
    QTimer m_captionTimer;
};

}  // namespace tl::diary
