#pragma once
#include <QObject>

class Tdm_rechnungen : public QObject {
    Q_OBJECT
public:
    explicit Tdm_rechnungen(QObject *parent = nullptr);
};

extern Tdm_rechnungen *dm_rechnungen;
