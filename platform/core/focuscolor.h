#pragma once
#include <QColor>
#include <QObject>

class QWidget;

// Entry fields of a window take the focus colour while they have the focus and
// return exactly to their resting colour when they lose it. Fields declare a
// resting colour other than the window colour with setRestingColour.
class FocusColour : public QObject {
    Q_OBJECT
public:
    static void install(QWidget *window, const QColor &focus);
    static void setRestingColour(QWidget *field, const QColor &colour);
    static QColor restingColour(QWidget *field);

protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;

private:
    FocusColour(QWidget *window, const QColor &focus);
    static bool isEntryField(QWidget *w);
    static void paint(QWidget *field, const QColor &c);
    QWidget *m_window;
    QColor m_focus;
};
