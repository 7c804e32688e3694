#include "maintenance/u_datenbankinitialisieren.h"

Tfrm_datenbankinitialisieren *frm_datenbankinitialisieren = nullptr;

Tfrm_datenbankinitialisieren::Tfrm_datenbankinitialisieren(QWidget *parent) : QDialog(parent)
{
    frm_datenbankinitialisieren = this;
    setObjectName(QStringLiteral("frm_datenbankinitialisieren"));
    setWindowTitle(QStringLiteral("Datenbank leeren"));
}
