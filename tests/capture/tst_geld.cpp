#include "app/core/u_global.h"
#include "capture/u_geld.h"
#include "capture/u_rechnungsnummer.h"
#include "platform/core/errors.h"
#include "tests/support/testprogrammordner.h"

#include <QLocale>
#include <QtTest>

class TestGeld : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void centRunden_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("erwartet");
        // exact binary ties go to the even cent; decimal "ties" are not ties
        QTest::newRow("0.125 tie down") << 0.125 << 0.12;
        QTest::newRow("0.375 tie up") << 0.375 << 0.38;
        QTest::newRow("-0.125") << -0.125 << -0.12;
        QTest::newRow("33.75 stays") << 33.75 << 33.75;
        QTest::newRow("10.024") << 10.024 << 10.02;
        QTest::newRow("2.345 stored above the tie") << 2.345 << 2.35;
        QTest::newRow("2.675 stored below the tie") << 2.675 << 2.67;
        QTest::newRow("1.005 stored below the tie") << 1.005 << 1.00;
        QTest::newRow("VAT 100 at 20%") << 100.0 * (20.0 / 100) << 20.00;
        QTest::newRow("VAT 10.01 at 20%") << 10.01 * (20.0 / 100) << 2.00;
        QTest::newRow("VAT 10.12 at 20%") << 10.12 * (20.0 / 100) << 2.02;
        QTest::newRow("0") << 0.0 << 0.0;
    }
    void centRunden()
    {
        QFETCH(double, x);
        QFETCH(double, erwartet);
        QCOMPARE(CentRunden(x), erwartet);
    }

    void rappenrunden_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("erwartet");
        QTest::newRow("1.02") << 1.02 << 1.00;
        QTest::newRow("1.03") << 1.03 << 1.05;
        QTest::newRow("1.125 tie") << 1.125 << 1.10;
        QTest::newRow("1.375 tie") << 1.375 << 1.40;
        QTest::newRow("10.02 after cents") << CentRunden(10.024) << 10.00;
        QTest::newRow("VAT 2.02") << CentRunden(10.12 * 0.2) << 2.00;
        QTest::newRow("total 12.12") << 10.12 + 2.00 << 12.10;
    }
    void rappenrunden()
    {
        QFETCH(double, x);
        QFETCH(double, erwartet);
        QCOMPARE(Rappenrunden(x), erwartet);
    }

    void positionsbetrag_data()
    {
        QTest::addColumn<double>("preis");
        QTest::addColumn<double>("menge");
        QTest::addColumn<double>("rabatt");
        QTest::addColumn<double>("erwartet");
        QTest::newRow("12.50 x 3 - 10%") << 12.50 << 3.0 << 10.0 << 33.75;
        QTest::newRow("0.125 x 3") << 0.125 << 3.0 << 0.0 << 0.38;
        QTest::newRow("0.125 x 1 tie") << 0.125 << 1.0 << 0.0 << 0.12;
        QTest::newRow("negative quantity") << 10.0 << -2.0 << 0.0 << -20.0;
        QTest::newRow("discount above 100") << 10.0 << 1.0 << 150.0 << -5.0;
        QTest::newRow("zero quantity") << 99.99 << 0.0 << 5.0 << 0.0;
    }
    void positionsbetrag()
    {
        QFETCH(double, preis);
        QFETCH(double, menge);
        QFETCH(double, rabatt);
        QFETCH(double, erwartet);
        QCOMPARE(Positionsbetrag(preis, menge, rabatt), erwartet);
    }

    void mwstSaetze_data()
    {
        QTest::addColumn<QStringList>("texte");
        QTest::addColumn<QList<double>>("saetze");
        QTest::newRow("defaults") << QStringList{"20", "10", "13", "0"} << QList<double>{20, 10, 13, 0};
        QTest::newRow("all empty") << QStringList{"", " ", "", ""} << QList<double>{0, 0, 0, 0};
        QTest::newRow("decimal comma, blanks") << QStringList{" 7,7 ", "2,5", "", "0"} << QList<double>{7.7, 2.5, 0, 0};
    }
    void mwstSaetze()
    {
        QFETCH(QStringList, texte);
        QFETCH(QList<double>, saetze);
        const char *felder[] = {"ed_mwst_a", "ed_mwst_b", "ed_mwst_c", "ed_mwst_d"};
        for (int i = 0; i < 4; ++i)
            Einstellung::set(QString::fromLatin1(felder[i]), texte[i]);
        const TMwstDaten d = MwstSaetzeLaden();
        QCOMPARE(d.MWST_A, saetze[0]);
        QCOMPARE(d.MWST_B, saetze[1]);
        QCOMPARE(d.MWST_C, saetze[2]);
        QCOMPARE(d.MWST_D, saetze[3]);
    }

    void mwstSatzKeineZahl()
    {
        Einstellung::set("ed_mwst_a", "7.7"); // the German group separator, not a decimal point
        Einstellung::set("ed_mwst_b", "10");
        try {
            MwstSaetzeLaden();
            QFAIL("no conversion error");
        } catch (const EConvertError &e) {
            QVERIFY(e.text().contains("7.7"));
        }
        Einstellung::set("ed_mwst_a", "20");
    }

    void rechnungsnummer()
    {
        TestProgrammordner p; // invoices 1-10 of period 20120101, 7 cancels 4
        QCOMPARE(RechnungsnummerErmitteln(1, 20120101), 11);
        QCOMPARE(RechnungsnummerErmitteln(1, 20990101), 1);
        QCOMPARE(RechnungsnummerErmitteln(2, 20120101), 1);
        // the highest number comes round again once its rows are gone
        p.ausfuehren("delete from Artikelpositionen where Rechnung_nr = 10 and Periode_re = 20120101");
        QCOMPARE(RechnungsnummerErmitteln(1, 20120101), 10);
        // any Status counts, a cancellation included
        p.ausfuehren("update Artikelpositionen set Status = 52, Rechnung_nr = 30 where Rechnung_nr = 9");
        QCOMPARE(RechnungsnummerErmitteln(1, 20120101), 31);
    }
};

QTEST_GUILESS_MAIN(TestGeld)
#include "tst_geld.moc"
