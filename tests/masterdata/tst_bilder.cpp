// Picture references, fitting and the file-choice rule, on real files.
#include "app/core/u_global.h"
#include "masterdata/u_bilder.h"

#include <QDir>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class TstBilder : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_prog;

    void speichern(const QString &pfad, int b, int h)
    {
        QImage i(b, h, QImage::Format_RGB32);
        i.fill(Qt::red);
        QVERIFY(i.save(pfad));
    }

private slots:
    void initTestCase()
    {
        m_prog = m_dir.path() + QStringLiteral("/Prog/");
        QVERIFY(QDir().mkpath(m_prog + QStringLiteral("BilderArchiv")));
        setProgrammordner(m_prog);
        speichern(m_prog + QStringLiteral("BilderArchiv/nur_im_ordner.png"), 200, 100);
        speichern(m_dir.path() + QStringLiteral("/absolut.bmp"), 520, 160);
        QFile kaputt(m_prog + QStringLiteral("BilderArchiv/kaputt.jpg"));
        QVERIFY(kaputt.open(QIODevice::WriteOnly));
        kaputt.write("kein Bild");
    }
    void cleanupTestCase() { setProgrammordner(QString()); }

    void einpassen_data()
    {
        QTest::addColumn<QSize>("bild");
        QTest::addColumn<QSize>("gezeigt");
        QTest::addColumn<bool>("gestreckt");
        QTest::newRow("passt") << QSize(200, 100) << QSize(200, 100) << false;
        QTest::newRow("genau") << QSize(260, 160) << QSize(260, 160) << false;
        QTest::newRow("breit") << QSize(520, 160) << QSize(260, 80) << true;
        QTest::newRow("hoch") << QSize(100, 400) << QSize(40, 160) << true;
        QTest::newRow("halb auf gerade ab") << QSize(520, 161) << QSize(260, 80) << true;  // 80.5
        QTest::newRow("halb auf gerade auf") << QSize(520, 163) << QSize(260, 82) << true; // 81.5
        QTest::newRow("gleiches Verhältnis") << QSize(520, 320) << QSize(260, 160) << true;
    }
    void einpassen()
    {
        QFETCH(QSize, bild);
        QFETCH(QSize, gezeigt);
        QFETCH(bool, gestreckt);
        const TBildmass m = BildEinpassen(bild.width(), bild.height(), 260, 160);
        QCOMPARE(QSize(m.breite, m.hoehe), gezeigt);
        QCOMPARE(m.gestreckt, gestreckt);
    }

    void aufloesen_data()
    {
        QTest::addColumn<QString>("referenz");
        QTest::addColumn<QString>("datei");
        const QString ordner = QStringLiteral("BilderArchiv/nur_im_ordner.png");
        QTest::newRow("bloßer Name") << "nur_im_ordner.png" << ordner;
        QTest::newRow("in Anführungszeichen") << "\"nur_im_ordner.png\"" << ordner;
        QTest::newRow("nur hinten") << "nur_im_ordner.png\"" << ordner;
        QTest::newRow("leer") << "" << "";
        QTest::newRow("blank") << "  " << "";
        QTest::newRow("fehlt") << "gibtsnicht.png" << "";
    }
    void aufloesen()
    {
        QFETCH(QString, referenz);
        QFETCH(QString, datei);
        QCOMPARE(BildpfadAufloesen(referenz), datei.isEmpty() ? QString() : m_prog + datei);
        const QString absolut = m_dir.path() + QStringLiteral("/absolut.bmp");
        QCOMPARE(BildpfadAufloesen(QLatin1Char('"') + absolut + QLatin1Char('"')), absolut);
    }

    void dateiwahl()
    {
        QCOMPARE(BildpfadFuerDatei(m_prog + QStringLiteral("BilderArchiv/nur_im_ordner.png")),
                 QStringLiteral("nur_im_ordner.png"));
        const QString fremd = m_dir.path() + QStringLiteral("/absolut.bmp");
        QCOMPARE(BildpfadFuerDatei(fremd), fremd);
        // the same folder spelt in other case is another text: the full path, which still resolves
        const QString anders = m_prog + QStringLiteral("bilderarchiv/nur_im_ordner.png");
        QVERIFY(QDir().mkpath(m_prog + QStringLiteral("bilderarchiv")));
        QVERIFY(QFile::copy(m_prog + QStringLiteral("BilderArchiv/nur_im_ordner.png"), anders));
        QCOMPARE(BildpfadFuerDatei(anders), anders);
        QCOMPARE(BildpfadAufloesen(BildpfadFuerDatei(anders)), anders);
    }

    void laden()
    {
        QLabel box;
        BildLaden(QStringLiteral("nur_im_ordner.png"), &box, 260, 160);
        QCOMPARE(box.size(), QSize(200, 100));
        QVERIFY(!box.hasScaledContents());
        QVERIFY(!box.pixmap().isNull());
        BildLaden(m_dir.path() + QStringLiteral("/absolut.bmp"), &box, 260, 160);
        QCOMPARE(box.size(), QSize(260, 80));
        QVERIFY(box.hasScaledContents());
        // unreadable, empty, no room: an empty box, no complaint
        for (const QString &r : {QStringLiteral("kaputt.jpg"), QString(), QStringLiteral("nur_im_ordner.png")}) {
            BildLaden(r, &box, r.startsWith(QLatin1Char('n')) ? 0 : 260, 160);
            QVERIFY(box.pixmap().isNull());
            QCOMPARE(box.size(), QSize(0, 0));
        }
    }

    void mitgelieferteBilder()
    {
        const QString quelle = qEnvironmentVariable("TVX_SOURCE_DIR") + QStringLiteral("/install/BilderArchiv");
        const QStringList dateien = QDir(quelle).entryList(QDir::Files);
        QVERIFY(dateien.size() >= 3);
        for (const QString &d : dateien) {
            QImageReader r(quelle + QLatin1Char('/') + d);
            QVERIFY2(r.canRead(), qPrintable(d));
            QVERIFY(QFileInfo(quelle + QLatin1Char('/') + d).size() < 64 * 1024);
        }
    }
};

QTEST_MAIN(TstBilder)
#include "tst_bilder.moc"
