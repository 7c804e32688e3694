#include "platform/core/radiogroup.h"
#include <QGridLayout>
#include <QRadioButton>

TRadioGroup::TRadioGroup(const QString &title, QWidget *parent) : QGroupBox(title, parent)
{
    m_group.setExclusive(true);
    new QGridLayout(this);
    connect(&m_group, &QButtonGroup::idClicked, this, [this](int id) {
        emit itemIndexChanged(id);
        emit clicked(id);
    });
}

void TRadioGroup::setItems(const QStringList &items)
{
    const int old = itemIndex();
    m_items = items;
    rebuild();
    if (old >= 0 && old < m_items.size())
        setItemIndex(old);
}

int TRadioGroup::itemIndex() const { return m_group.checkedId(); }

void TRadioGroup::setItemIndex(int index)
{
    if (index == itemIndex())
        return;
    if (QAbstractButton *b = m_group.button(index)) {
        b->setChecked(true);
    } else if (QAbstractButton *c = m_group.checkedButton()) {
        m_group.setExclusive(false);
        c->setChecked(false);
        m_group.setExclusive(true);
    }
    emit itemIndexChanged(itemIndex());
}

void TRadioGroup::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    rebuild();
}

void TRadioGroup::rebuild()
{
    const int old = itemIndex();
    for (QAbstractButton *b : m_group.buttons()) {
        m_group.removeButton(b);
        delete b;
    }
    auto *grid = static_cast<QGridLayout *>(layout());
    const int rows = (int(m_items.size()) + m_columns - 1) / m_columns;
    for (int i = 0; i < m_items.size(); ++i) {
        auto *b = new QRadioButton(m_items[i], this);
        b->setObjectName(objectName() + QStringLiteral("_item%1").arg(i));
        m_group.addButton(b, i);
        grid->addWidget(b, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    if (old >= 0 && old < m_items.size())
        m_group.button(old)->setChecked(true);
}
