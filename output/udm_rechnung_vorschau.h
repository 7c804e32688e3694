#pragma once
#include <QObject>

class Tdm_rechnung_vorschau : public QObject {
    Q_OBJECT
public:
    explicit Tdm_rechnung_vorschau(QObject *parent = nullptr);
};

extern Tdm_rechnung_vorschau *dm_rechnung_vorschau;
