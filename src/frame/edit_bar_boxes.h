#pragma once

// The edit bar's two boxes: the font name box lists the installed families,
// each drawn in its own face; the font size box offers the usual sizes and
// takes any typed one. Both apply their value on Enter (the name box only
// when the typed name is in its list) and offer Cut, Copy and Paste on a
// right click.

#include <QComboBox>
#include <QFontComboBox>
#include <optional>

namespace tl::frame {

class CFontConboBox : public QFontComboBox {
    Q_OBJECT

public:
    explicit CFontConboBox(QWidget* parent = nullptr);
    // Shows the face, selected in the list when it is there; an empty
    // face clears the box (the selection has several).
    void showFace(const QString& face);

signals:
    void faceChosen(const QString& face);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
};

class CFontSizeCombo : public QComboBox {
    Q_OBJECT

public:
    explicit CFontSizeCombo(QWidget* parent = nullptr);
    // Shows the size; none clears the box.
    void showSize(std::optional<double> points);

signals:
    void sizeChosen(double points);

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void chooseTyped();
};

}  // namespace tl::frame
