#include "output/u_vorschau.h"

Tfrm_vorschau *frm_vorschau = nullptr;

Tfrm_vorschau::Tfrm_vorschau(QWidget *parent) : QDialog(parent)
{
    frm_vorschau = this;
    setObjectName(QStringLiteral("frm_vorschau"));
    setWindowTitle(QStringLiteral("Vorschau"));
}
