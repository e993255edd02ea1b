#include "edit_bar_boxes.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDoubleValidator>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

#include "selection_format.h"
#include "widgets/font_faces.h"

namespace tl::frame {

namespace {

// The boxes' own menu: Cut, Copy and Paste of the box's text.
void ClipboardMenu(QLineEdit* edit, QPoint globalPos) {
    QMenu menu(edit);
    QAction* cut = menu.addAction(QObject::tr("Cu&t\tCtrl+X"), edit, &QLineEdit::cut);
    QAction* copy = menu.addAction(QObject::tr("&Copy\tCtrl+C"), edit, &QLineEdit::copy);
    QAction* paste = menu.addAction(QObject::tr("&Paste\tCtrl+V"), edit, &QLineEdit::paste);
    const QMimeData* clipboard = QApplication::clipboard()->mimeData();
    cut->setEnabled(edit->hasSelectedText() && !edit->isReadOnly());
    copy->setEnabled(edit->hasSelectedText());
    paste->setEnabled(clipboard && clipboard->hasText() && !edit->isReadOnly());
    menu.exec(globalPos);
}

}  // namespace

CFontConboBox::CFontConboBox(QWidget* parent) : QFontComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setAccessibleName(tr("Font name"));
    setToolTip(tr("Font name"));
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit faceChosen(itemText(index)); });
}

// The field passes its menu to the box (as every combo box's field does).
void CFontConboBox::contextMenuEvent(QContextMenuEvent* event) {
    ClipboardMenu(lineEdit(), event->globalPos());
}

void CFontConboBox::showFace(const QString& stored) {
    // A Windows face shows as what draws it here.
    const QString face = widgets::ShownFace(stored);
    if (currentText() == face) return;
    const QSignalBlocker block(this);
    const int index = face.isEmpty() ? -1 : findText(face, Qt::MatchFixedString);
    setCurrentIndex(index);
    // A face that is not installed is still named.
    if (index < 0) setEditText(face);
}

CFontSizeCombo::CFontSizeCombo(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setAccessibleName(tr("Font size"));
    setToolTip(tr("Font size"));
    for (int size : {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72})
        addItem(QString::number(size));
    // Sizes the editor can store: up to 1638 points, in tenths.
    auto* validator = new QDoubleValidator(1, 1638, 1, this);
    validator->setNotation(QDoubleValidator::StandardNotation);
    validator->setLocale(QLocale::c());
    lineEdit()->setValidator(validator);
    // Numbers only: no input method while typing a size.
    lineEdit()->setAttribute(Qt::WA_InputMethodEnabled, false);
    lineEdit()->setInputMethodHints(Qt::ImhFormattedNumbersOnly);
    connect(this, &QComboBox::activated, this,
            [this](int index) { emit sizeChosen(itemText(index).toDouble()); });
    connect(lineEdit(), &QLineEdit::returnPressed, this, &CFontSizeCombo::chooseTyped);
}

// A size of the list is applied by activated(), which Enter emits too.
void CFontSizeCombo::chooseTyped() {
    bool ok = false;
    const double points = QLocale::c().toDouble(currentText(), &ok);
    if (ok && points > 0 && findText(currentText()) < 0) emit sizeChosen(points);
}

void CFontSizeCombo::contextMenuEvent(QContextMenuEvent* event) {
    ClipboardMenu(lineEdit(), event->globalPos());
}

void CFontSizeCombo::showSize(std::optional<double> points) {
    const QString text = points ? SizeText(*points) : QString();
    if (currentText() == text) return;
    const QSignalBlocker block(this);
    setCurrentIndex(findText(text));
    setEditText(text);
}

}  // namespace tl::frame
