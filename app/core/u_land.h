#pragma once
#include <functional>

#include <QDialog>
#include <QLocale>
#include <QString>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QPushButton;

// The language chooser of the first start (caption "Country/Land"). It is shown
// modally; " OK - Take Over" hands the chosen index (0 Deutsch, 1 English,
// 2 Français, 3 Español) to the target and closes. Closing it any other way
// hands nothing over. It has no language section: its texts are the same in
// every language.
class Tfrm_land : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_land(QWidget *parent = nullptr);

    // Where the chosen index goes (the main window's rg_sprache).
    void setUebernahmeZiel(std::function<void(int)> ziel) { m_ziel = std::move(ziel); }

    int itemIndex() const;
    void setItemIndex(int index);

    // The item preselected for a system language: German 0, French 2, Spanish 3,
    // anything else 1.
    static int vorauswahl(QLocale::Language language);
    // The system language the next showing preselects by; by default
    // QLocale::system().language() at the time of showing.
    void setSystemLanguage(QLocale::Language language);

signals:
    void uebernommen(int index);

protected:
    void showEvent(QShowEvent *event) override; // FormShow

private:
    void btn_uebernehmenClick();

    QLabel *m_bild = nullptr;
    QGroupBox *m_rg = nullptr;
    QButtonGroup *m_gruppe = nullptr;
    QPushButton *m_ok = nullptr;
    std::function<void(int)> m_ziel;
    bool m_festeSprache = false;
    QLocale::Language m_sprache = QLocale::AnyLanguage;
};

extern Tfrm_land *frm_land;

// The texts a first start fills in after the choice, by language index
// (1 English, 4 Selftranslation and any other index take the English column).
// The neutral marker keeps its text; the e-mail body is this one line.
struct ErststartVorgaben {
    QString waehrung;               // ed_waehrung
    QString kopftextvorschlag;      // re_kopftextvorschlag_re
    QString fusstextvorschlag;      // re_fusstextvorschlag_re
    QString gutschrifttext;         // ed_gutschrifttext_re
    QString markergruen;            // ed_markergruen
    QString markerrot1;             // ed_markerrot1
    QString markerrot2;             // ed_markerrot2
    QString markerrot3;             // ed_markerrot3
    QString markerrot;              // ed_markerrot
    QString markergelb;             // ed_markergelb
    QString markerblau;             // ed_markerblau
    QString subject;                // ed_subject_re
    QString body;                   // me_body_re
};
ErststartVorgaben ErststartVorgabenFuer(int index);
