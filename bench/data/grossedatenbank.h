#pragma once
// A large main database for benchmarks (library tvx_benchdb, tool tvx-bench-db):
// by default 100 000 invoices with 1 000 000 positions, 50 000 articles and
// 20 000 customers of company 1, written in one transaction through prepared
// inserts. The content is deterministic (fixed seed) and consistent: invoice
// totals and VAT amounts follow the document's rules with the default rates.
//
// Keys: articles "A000001" .. ; customers 1 .. kunden (0 is the one-time
// customer); invoices 1 .. rechnungen of period 20120101, dated over the three
// years before heute; position keys 1 .. positionen.

#include <QDate>
#include <QString>
#include <functional>

struct BenchUmfang {
    int rechnungen = 100000;
    int positionen = 1000000;
    int artikel = 50000;
    int kunden = 20000;
};

struct BenchErgebnis {
    double sekunden = 0; // generation time
    qint64 bytes = 0;    // size of TORVANEXDB.mdb
};

// Creates TORVANEXDB.mdb and TORVANEXDB_Lokal.mdb in ordner (existing files are
// replaced only with ueberschreiben). meldung receives progress lines.
BenchErgebnis GrosseDatenbankErzeugen(const QString &ordner, const BenchUmfang &umfang = {},
                                      bool ueberschreiben = false,
                                      const std::function<void(const QString &)> &meldung = {},
                                      const QDate &heute = {});
