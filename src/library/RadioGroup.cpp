#include "library/RadioGroup.h"

#include <QButtonGroup>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QCoreApplication>

#include <algorithm>

namespace vpx {

TRadioGroup::TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent)
    : QGroupBox(caption, parent), m_group(new QButtonGroup(this)), m_columns(std::max(1, columns))
{
    auto* grid = new QGridLayout(this);
    const int count = static_cast<int>(items.size());
    const int rows = (count + m_columns - 1) / m_columns;
    m_group->setExclusive(true);
    for (int i = 0; i < count; ++i) {
        auto* button = new QRadioButton(items[i], this);
        m_group->addButton(button, i);
        grid->addWidget(button, rows > 0 ? i % rows : 0, rows > 0 ? i / rows : 0);
        m_buttons.push_back(button);
    }
}

int TRadioGroup::ItemIndex() const
{
    return m_group->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (index >= 0 && index < Count()) {
        m_buttons[static_cast<std::size_t>(index)]->setChecked(true);
        return;
    }
    // An exclusive group never lets its last checked button go by itself.
    m_group->setExclusive(false);
    for (QRadioButton* b : m_buttons)
        b->setChecked(false);
    m_group->setExclusive(true);
}

QRadioButton* TRadioGroup::Button(int index) const
{
    return index >= 0 && index < Count() ? m_buttons[static_cast<std::size_t>(index)] : nullptr;
}

QHBoxLayout* OkCancelButtons(QDialog& dialog, QPushButton*& ok, QPushButton*& cancel)
{
    ok = new QPushButton(QStringLiteral("OK"), &dialog);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    cancel = new QPushButton(QCoreApplication::translate("RadioGroup", "キャンセル"), &dialog);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void SetFixedDialogFrame(QDialog& dialog, bool closeButton)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (closeButton)
        flags |= Qt::WindowCloseButtonHint;
    dialog.setWindowFlags(flags);
    dialog.setSizeGripEnabled(false);
    if (QLayout* layout = dialog.layout())
        layout->setSizeConstraint(QLayout::SetFixedSize);
    // QDialog centres itself on its parent window when it is shown.
}

} // namespace vpx
