#pragma once
#include <QDialog>

class QCheckBox;
class QLabel;
class QPushButton;

// Empties the main database area by area for a fresh start. Plain deletes on
// the main connection, no transaction: the backup taken before the window opens
// is the only way back. A failing statement stops its step (and "Alle Daten
// löschen"); the statements before it stay executed and the step's check box
// stays unchecked.
class Tfrm_datenbankinitialisieren : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_datenbankinitialisieren(QWidget *parent = nullptr);
    ~Tfrm_datenbankinitialisieren() override;

    QLabel *lbl_head = nullptr;
    QLabel *l1 = nullptr;
    QLabel *l4 = nullptr;
    QLabel *l7 = nullptr;
    QLabel *l8 = nullptr;
    QLabel *l9 = nullptr;
    QPushButton *btn_erfassungen = nullptr;
    QPushButton *btn_artikel = nullptr;
    QPushButton *btn_kunden = nullptr;
    QPushButton *btn_statistiken = nullptr;
    QPushButton *btn_lieferanten = nullptr;
    QPushButton *btn_nummernkreise = nullptr;
    QPushButton *btn_initialisieren = nullptr;
    QPushButton *btn_schliessen = nullptr;
    QCheckBox *cb_erfassungen = nullptr;
    QCheckBox *cb_artikel = nullptr;
    QCheckBox *cb_kunden = nullptr;
    QCheckBox *cb_statistiken = nullptr;
    QCheckBox *cb_lieferanten = nullptr;
    QCheckBox *cb_nummernkreise = nullptr;

    // The statements, lines joined by '\n'.
    static const QString SQL_qry_artikelpositionen;
    static const QString SQL_qry_angebote;
    static const QString SQL_qry_angebotevorlagen;
    static const QString SQL_qry_artikelpositionenvorschau;
    static const QString SQL_qry_textbausteine;
    static const QString SQL_qry_protokoll_loeschen;
    static const QString SQL_qry_kunden;
    static const QString SQL_qry_sonderkonditionen;
    static const QString SQL_qry_seriennummern;
    static const QString SQL_qry_artikelstamm;
    static const QString SQL_qry_artikelgruppen;
    static const QString SQL_qry_artikelgruppeinsert;

    // Steps. Each receives the control that started it: only its own button
    // asks and reports; run by "Alle Daten löschen" it does neither. Database
    // errors propagate (EDatabaseError).
    void btn_erfassungenClick(QObject *sender);
    void btn_kundenClick(QObject *sender);
    void btn_artikelClick(QObject *sender);
    void btn_statistikenClick(QObject *sender);
    void btn_lieferantenClick(QObject *sender);
    void btn_nummernkreiseClick(QObject *sender);
    void btn_initialisierenClick(QObject *sender);
    void btn_schliessenClick();

private:
    static void ausfuehren(const QString &sql);
};

extern Tfrm_datenbankinitialisieren *frm_datenbankinitialisieren;

// "Datenbank leeren für Neubeginn" of the main window: asks am_6, logs ps_15,
// backs the main database up into <program folder>Sicherungen/ and shows the
// window modally. When the copy cannot be made, ps_9 is logged and shown and
// the window stays closed: emptying without a way back is not offered.
void btn_datenbankleerenClick(Tfrm_datenbankinitialisieren *fenster);
