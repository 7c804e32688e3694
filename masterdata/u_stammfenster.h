#pragma once
// Building blocks shared by the customer and the article window: the record
// navigator, the letter bar, the bullet pictures of the marker values, the
// gradient button bars, the window's key rules (Enter moves on, function keys)
// and the per-user storage of placement and free captions.

#include "platform/dataset/datagrid.h"

#include <QColor>
#include <QFrame>
#include <QPixmap>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

class Dataset;
class QComboBox;
class QLabel;
class QLineEdit;
class QSettings;
class QTabWidget;
class QToolButton;
class QUrl;

// Bullet picture 1 to 8 (16 x 16); a null pixmap for any other number.
QPixmap Aufzaehlungszeichen(int nummer);
// Grid column painter: the cell is cleared and the bullet of the value is drawn
// 4 pixels from the left edge and 1 pixel below the top; 0 draws nothing.
CellPainter AufzaehlungsMaler();
// Fills a non-editable combo with the marker values 0 to 8 and their bullets;
// returns the value list for a ComboBoxBinding.
QList<QPair<QString, QVariant>> MarkierungsWerte();
void MarkierungsBilderSetzen(QComboBox *combo);


// The group list of a search panel (GruppenlisteSql: "all groups" first) and
// its combo. Opening reopens the list, keeps the chosen group chosen and fills
// the combo; with no rows the combo shows the "all groups" text as placeholder.
void GruppenlisteAufbauen(Dataset *liste, const QString &tabelle, const QString &nummer, const QString &name);
void GruppenlisteOeffnen(Dataset *liste, QComboBox *wahl, const QString &tabelle, const QString &nummer,
                         const QString &name);
void GruppenwahlFuellen(Dataset *liste, QComboBox *wahl, const QString &nummer, const QString &name);
// Name and number of every group of an open group table for a lookup binding,
// leaving out a row that is being inserted.
QList<QPair<QString, QVariant>> GruppenWerte(Dataset *tabelle, const QString &nummer, const QString &name);

// The record navigator: first, previous page, previous, next, next page, last
// and the copy button (hidden unless switched on). It moves the dataset it is
// given; a page is the number of rows the attached grid shows.
class TDatensatzNavigator : public QFrame {
    Q_OBJECT
public:
    explicit TDatensatzNavigator(QWidget *parent = nullptr);
    void setDataset(Dataset *ds, QAbstractItemView *grid = nullptr);
    Dataset *dataset() const { return m_ds; }
    void setKopierenSichtbar(bool on);
    bool kopierenSichtbar() const;
    QToolButton *knopf(const QString &name) const;

    // After the user confirmed the copy question.
    std::function<void()> onKopieren;
    // The navigator's own question before a copy.
    static QString kopierfrage();

private:
    void bewegen(int wie);
    int seite() const;
    Dataset *m_ds = nullptr;
    QAbstractItemView *m_grid = nullptr;
    QToolButton *m_kopieren = nullptr;
};

// The letter bar: 26 buttons "  A" .. "  Z" tagged 1 to 26 (objectName FA .. FZ)
// and "Alle" tagged 27 (Falle).
class TBuchstabenleiste : public QFrame {
    Q_OBJECT
public:
    explicit TBuchstabenleiste(QWidget *parent = nullptr);
    static QString buchstabe(int tag); // "A" .. "Z", empty for 27
signals:
    void gewaehlt(int tag);
};

// A bar painted with a vertical gradient.
QFrame *Verlaufsleiste(const QString &name, const QColor &oben, const QColor &unten, QWidget *parent);
// Tabs drawn as buttons.
void TabsAlsKnoepfe(QTabWidget *tabs);

// The key rules of a master-data window: Enter moves to the next control
// except in the multi-line fields named; the function keys run their actions.
// The filter sees every key of the window first.
class TFensterTasten : public QObject {
    Q_OBJECT
public:
    TFensterTasten(QWidget *fenster, QSet<QString> mehrzeilig);
    QHash<int, std::function<void()>> tasten; // Qt::Key -> action
protected:
    bool eventFilter(QObject *obj, QEvent *ev) override;
private:
    QWidget *m_fenster;
    QSet<QString> m_mehrzeilig;
};

// Moves the focus of the window to the next control of the tab order.
void NaechstesFeld(QWidget *fenster);

// Keeps a field at its resting colour while it has the focus (fields that do
// not take the focus colour).
void OhneFokusfarbe(QWidget *feld);

// A caption the user can overwrite: a borderless edit on the page colour.
QLineEdit *Beschriftungsfeld(const QString &name, const QString &text, QWidget *parent);

// Per-user store of a window (group = class name): placement, check boxes,
// texts and lines under "<component>_<property>".
class TFensterSpeicher {
public:
    explicit TFensterSpeicher(const QString &gruppe) : m_gruppe(gruppe) {}
    void platzierungLaden(QWidget *fenster) const;
    void platzierungSpeichern(const QWidget *fenster) const;
    QVariant wert(const QString &schluessel, const QVariant &vorgabe) const;
    void setzen(const QString &schluessel, const QVariant &wert) const;
    QStringList zeilen(const QString &schluessel, const QStringList &vorgabe) const;
    void zeilenSetzen(const QString &schluessel, const QStringList &zeilen) const;

private:
    QString m_gruppe;
};

// The desktop shell's "open" verb (tests put a recorder in its place).
extern std::function<bool(const QUrl &)> UrlOeffnen;

// Runs a step whose failure is to be ignored.
void Ignorieren(const std::function<void()> &schritt);
