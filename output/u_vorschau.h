#pragma once
#include <QDialog>

class Tfrm_vorschau : public QDialog {
    Q_OBJECT
public:
    explicit Tfrm_vorschau(QWidget *parent = nullptr);
};

extern Tfrm_vorschau *frm_vorschau;
