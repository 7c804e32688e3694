#pragma once
// Helpers of the master-data window tests: real key and mouse events, and a
// screenshot when TVX_BILDER names a folder.
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "tests/support/testprogrammordner.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QWidget>
#include <functional>
#include <memory>

namespace stamm {

// A master-data window on a fresh program folder with the shipped test data,
// shown and active; vorbereiten runs before the window is built.
template <class W>
struct StammFenster {
    TestProgrammordner ordner;
    Tfrm_strings strings;
    std::unique_ptr<W> w;

    explicit StammFenster(const std::function<void()> &vorbereiten = {})
    {
        frm_strings = &strings;
        setProgrammordner(ordner.ordner());
        Bearbeiter = QStringLiteral("Prüfer");
        if (vorbereiten)
            vorbereiten();
        w = std::make_unique<W>();
        zeigen();
    }
    ~StammFenster()
    {
        w.reset();
        Sprache::clearRegistry();
        frm_strings = nullptr;
        setProgrammordner(QString());
    }
    void zeigen()
    {
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    QString letzterLog() const
    {
        return ordner.wert(QStringLiteral("select Aufzeichnung from Protokoll order by rowid desc limit 1")).toString();
    }
};

inline void klick(QWidget *w)
{
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(w->width() / 2, w->height() / 2));
    QApplication::processEvents();
}

// Key clicks, umlauts included (QTest's own helper takes ASCII only).
inline void tasten(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
    }
    QApplication::processEvents();
}

// Focus into the field, select its text and type over it.
inline void tippen(QLineEdit *e, const QString &text)
{
    e->setFocus(Qt::MouseFocusReason);
    QApplication::processEvents();
    e->selectAll();
    tasten(e, text);
}

inline void taste(QWidget *w, int key)
{
    QTest::keyClick(w, Qt::Key(key));
    QApplication::processEvents();
}

// Picks an item of a combo box as the user does: open, choose, Enter.
inline void waehlen(QComboBox *c, int index)
{
    c->setFocus();
    c->showPopup();
    QApplication::processEvents();
    c->view()->setCurrentIndex(c->model()->index(index, c->modelColumn()));
    QTest::keyClick(c->view(), Qt::Key_Return);
    QApplication::processEvents();
}

inline void bild(QWidget *w, const QString &name)
{
    const QString ordner = qEnvironmentVariable("TVX_BILDER");
    if (ordner.isEmpty())
        return;
    QCoreApplication::processEvents(); // pending layout requests
    w->grab().save(ordner + QLatin1Char('/') + name);
}

} // namespace stamm
