#include "masterdata/u_kundenstammdaten.h"

Tfrm_kundenstammdaten *frm_kundenstammdaten = nullptr;

Tfrm_kundenstammdaten::Tfrm_kundenstammdaten(QWidget *parent) : QWidget(parent)
{
    frm_kundenstammdaten = this;
    setObjectName(QStringLiteral("frm_kundenstammdaten"));
    setWindowTitle(QStringLiteral("Kundenstammdaten"));
}
