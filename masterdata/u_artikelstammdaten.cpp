#include "masterdata/u_artikelstammdaten.h"

Tfrm_artikelstammdaten *frm_artikelstammdaten = nullptr;

Tfrm_artikelstammdaten::Tfrm_artikelstammdaten(QWidget *parent) : QWidget(parent)
{
    frm_artikelstammdaten = this;
    setObjectName(QStringLiteral("frm_artikelstammdaten"));
    setWindowTitle(QStringLiteral("Artikelstammdaten"));
}
