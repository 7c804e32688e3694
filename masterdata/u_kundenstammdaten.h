#pragma once
#include <QWidget>

class Tfrm_kundenstammdaten : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_kundenstammdaten(QWidget *parent = nullptr);
};

extern Tfrm_kundenstammdaten *frm_kundenstammdaten;
