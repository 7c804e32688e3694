#pragma once
#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

class QVBoxLayout;

// A captioned group of radio buttons addressed by item index, with its items
// replaceable as one list (the language files replace them).
class TRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)
public:
    explicit TRadioGroup(const QString &title = {}, QWidget *parent = nullptr);

    QStringList items() const { return m_items; }
    void setItems(const QStringList &items); // keeps the index where it still exists
    int itemIndex() const;                   // -1: nothing chosen
    void setItemIndex(int index);            // does not emit clicked
    void setColumns(int columns);

signals:
    void clicked(int index);          // the user chose an item
    void itemIndexChanged(int index); // any change, also programmatic

private:
    void rebuild();
    QStringList m_items;
    QButtonGroup m_group;
    int m_columns = 1;
};
