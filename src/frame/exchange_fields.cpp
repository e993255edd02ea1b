#include "exchange_fields.h"

#include <QBoxLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "exchange/field_checks.h"
#include "widgets/dialog_parts.h"
#include "widgets/scale.h"

namespace tl::frame {

QHBoxLayout* FolderRow(const QString& label, QWidget* field, QLineEdit* edit,
                       const QString& browseText, QWidget* parent) {
    field->setMinimumWidth(widgets::Scale(320));
    auto* name = new QLabel(label, parent);
    name->setBuddy(field);
    auto* row = new QHBoxLayout;
    row->addWidget(name);
    row->addWidget(field, 1);
    row->addWidget(widgets::BrowseButton(browseText, edit, parent));
    return row;
}

EncodingChoice::EncodingChoice(Qt::Orientation orientation, QWidget* parent)
    : m_group(new QGroupBox(QObject::tr("Encode"), parent)) {
    m_choices = {new QRadioButton(QObject::tr("A&nsi"), m_group),
                 new QRadioButton(QObject::tr("&UNICODE"), m_group),
                 new QRadioButton(QObject::tr("&Rich text"), m_group)};
    auto* layout = new QBoxLayout(
        orientation == Qt::Vertical ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight, m_group);
    for (QRadioButton* choice : m_choices) layout->addWidget(choice);
    layout->addStretch();
}

exchange::Encoding EncodingChoice::encoding() const {
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        if (m_choices[i]->isChecked()) return static_cast<exchange::Encoding>(i);
    return exchange::Encoding::Ansi;
}

void EncodingChoice::setEncoding(exchange::Encoding encoding) {
    m_choices.at(static_cast<std::size_t>(encoding))->setChecked(true);
}

std::optional<std::string> CheckedFolder(QLineEdit* field, res::UserInterface& ui) {
    const exchange::FolderCheck checked = exchange::CheckFolder(field->text().toStdString());
    if (!checked.folder.empty()) field->setText(QString::fromStdString(checked.display()));
    if (!checked.error) return checked.folder;
    ui.warn(*checked.error);
    field->setFocus();
    field->selectAll();
    return std::nullopt;
}

}  // namespace tl::frame
