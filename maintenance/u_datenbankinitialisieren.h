#pragma once
#include <QDialog>

class Tfrm_datenbankinitialisieren : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_datenbankinitialisieren(QWidget *parent = nullptr);
};

extern Tfrm_datenbankinitialisieren *frm_datenbankinitialisieren;
