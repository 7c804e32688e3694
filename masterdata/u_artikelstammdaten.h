#pragma once
#include <QWidget>

class Tfrm_artikelstammdaten : public QWidget {
    Q_OBJECT
public:
    explicit Tfrm_artikelstammdaten(QWidget *parent = nullptr);
};

extern Tfrm_artikelstammdaten *frm_artikelstammdaten;
