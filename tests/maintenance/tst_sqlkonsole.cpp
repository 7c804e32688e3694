#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "data/u_dm_datenbank.h"
#include "maintenance/u_export.h"
#include "maintenance/u_exportformate.h"
#include "maintenance/u_sqlkonsole.h"
#include "platform/core/dialogs.h"
#include "platform/dataset/datagrid.h"
#include "platform/dataset/dataset.h"
#include "platform/ini/inifile.h"
#include "tests/support/testprogrammordner.h"

#include <QCheckBox>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

namespace {

// The main window started as the program starts it, with the console in its
// hidden panel as the wiring puts it there.
struct Programm {
    TestProgrammordner ordner{TestProgrammordner::Daten::Testdaten, TestProgrammordner::Modul::NichtOeffnen};
    Tfrm_strings strings;
    Tdm_datenbank dm;
    std::unique_ptr<Tfrm_main> f;
    TSqlKonsole *k = nullptr;

    Programm()
    {
        frm_strings = &strings;
        setProgrammordner(ordner.ordner());
        QSettings st(FormStorage::organisation(), FormStorage::organisation());
        st.clear();
        st.setValue("Tfrm_main/cb_ersterstart_Checked", "0");
        st.sync();
        f = std::make_unique<Tfrm_main>();
        k = new TSqlKonsole(f->pnl_sql);
        f->resize(1200, 820);
        f->show();
        if (!QTest::qWaitForWindowExposed(f.get()))
            throw TvxError("window not exposed");
        f->pc_main->setCurrentWidget(f->ts_artikel);
        f->activateWindow();
        QTest::qWait(20);
    }
    ~Programm()
    {
        f.reset();
        Sprache::clearRegistry();
        frm_strings = nullptr;
        setProgrammordner(QString());
    }
    void shiftF2() { QTest::keyClick(f.get(), Qt::Key_F2, Qt::ShiftModifier); }
    void ausfuehren(const QString &sql, QPushButton *knopf)
    {
        k->me_befehl->setPlainText(sql);
        QTest::mouseClick(knopf, Qt::LeftButton);
    }
    int rasterzeilen() const { return k->gr_sql->model()->rowCount(); }
    QVariant wert(const QString &sql) const { return TestProgrammordner::wert(dm.Datenbank_Verbindung.db(), sql); }
};

} // namespace

class TestSqlKonsole : public QObject {
    Q_OBJECT
private slots:
    void init() { Bearbeiter = QStringLiteral("Prüfer"); }

    void shiftF2ShowsTheConsoleAndTheResultStays()
    {
        ScopedScriptedDialogs d;
        Programm p;
        QVERIFY(!p.f->pnl_sql->isVisible());
        p.shiftF2();
        QVERIFY(p.f->pnl_sql->isVisible());
        auto *me = p.f->findChild<QPlainTextEdit *>("me_befehl");
        QVERIFY(me && me->isVisible());
        QCOMPARE(me->toPlainText(), QStringLiteral("select * from Protokoll"));
        QCOMPARE(me->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        for (const char *name : {"btn_ausfuehren", "btn_update", "btn_SQLExport", "gr_sql", "moDBNav1"})
            QVERIFY2(p.f->findChild<QWidget *>(name) && p.f->findChild<QWidget *>(name)->isVisible(), name);
        QCOMPARE(p.f->findChild<QPushButton *>("btn_ausfuehren")->text(), QStringLiteral("Select ausführen"));
        QCOMPARE(p.f->findChild<QPushButton *>("btn_update")->text(), QStringLiteral("Update/Insert ausführen"));
        QVERIFY(!p.k->cb_live->isVisible() && !p.k->cb_live->isChecked());

        QTest::mouseClick(p.k->btn_ausfuehren, Qt::LeftButton);
        const int n = p.wert("select count(*) from Protokoll").toInt();
        QVERIFY(n > 0);
        QCOMPARE(p.rasterzeilen(), n);
        QCOMPARE(p.k->gr_sql->model()->columnCount(), 3);
        QVERIFY(d.shown.isEmpty());
        p.shiftF2();
        QVERIFY(!p.f->pnl_sql->isVisible());
        QVERIFY(p.k->qry_ausfuehren->isOpen());
        p.shiftF2();
        QVERIFY(p.f->pnl_sql->isVisible());
        QCOMPARE(p.rasterzeilen(), n);
    }

    void readOnlyGridWithNavigator()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        p.ausfuehren("select Kunde, Name_KU, Ort from Kundenstamm order by Kunde", p.k->btn_ausfuehren);
        QCOMPARE(p.rasterzeilen(), 21);
        DataGrid *g = p.k->gr_sql;
        QVERIFY(g->alternatingRowColors());
        QCOMPARE(g->alternateColour(), QColor(233, 243, 233));
        QCOMPARE(g->editTriggers(), QAbstractItemView::NoEditTriggers);
        QVERIFY(!(g->model()->flags(g->model()->index(1, 1)) & Qt::ItemIsEditable));
        const QRect zelle = g->visualRect(g->model()->index(1, 1));
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, zelle.center());
        QTest::keyClick(g, Qt::Key_F2);
        QCOMPARE(p.k->qry_ausfuehren->state(), Dataset::State::Browse);

        auto nav = [&](const char *n) {
            auto *b = p.k->moDBNav1->findChild<QToolButton *>(QStringLiteral("moDBNav1_") + n);
            QVERIFY2(b && b->isVisible(), n);
            QTest::mouseClick(b, Qt::LeftButton);
        };
        auto *pos = p.k->findChild<QLabel *>("lbl_sqlposition");
        p.k->qry_ausfuehren->first();
        QCOMPARE(pos->text(), QStringLiteral("Datensatz 1 von 21"));
        QVERIFY(!p.k->moDBNav1->findChild<QToolButton *>("moDBNav1_prior")->isEnabled());
        nav("next");
        QCOMPARE(p.k->qry_ausfuehren->recNo(), 2);
        QCOMPARE(g->currentIndex().row(), 1);
        nav("last");
        QCOMPARE(p.k->qry_ausfuehren->recNo(), 21);
        QVERIFY(!p.k->moDBNav1->findChild<QToolButton *>("moDBNav1_next")->isEnabled());
        nav("priorpage");
        QVERIFY(p.k->qry_ausfuehren->recNo() < 21);
        nav("first");
        QCOMPARE(p.k->qry_ausfuehren->recNo(), 1);
        nav("nextpage");
        QVERIFY(p.k->qry_ausfuehren->recNo() > 1);
        QCOMPARE(pos->text(), QStringLiteral("Datensatz %1 von 21").arg(p.k->qry_ausfuehren->recNo()));
        for (const char *n : {"post", "cancel"})
            QVERIFY(!p.k->moDBNav1->findChild<QToolButton *>(QStringLiteral("moDBNav1_") + n)->isEnabled());
        QVERIFY(d.shown.isEmpty());
        if (qEnvironmentVariableIsSet("TVX_SCREENSHOTS"))
            p.f->grab().save(qEnvironmentVariable("TVX_SCREENSHOTS") + "/sqlkonsole.png");
    }

    // Which button, which statement: what is shown and what the database holds after.
    void statementsAndButtons_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<bool>("select");
        QTest::addColumn<int>("art");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("pruefung");
        QTest::addColumn<QString>("erwartet");
        const int info = int(Dialogs::Kind::Info), fehler = int(Dialogs::Kind::Error);
        QTest::newRow("update with Select runs nothing")
            << "update Protokoll set Benutzer = 'X'" << true << fehler << "keine Datenmenge"
            << "select count(*) from Protokoll where Benutzer = 'X'" << "0";
        QTest::newRow("select with Update")
            << "select * from Kundenstamm" << false << info << "Befehl ausgeführt!"
            << "select count(*) from Kundenstamm" << "21";
        QTest::newRow("update with Update")
            << "update Protokoll set Benutzer = 'X'" << false << info << "Befehl ausgeführt!"
            << "select count(*) from Protokoll where Benutzer <> 'X'" << "0";
        QTest::newRow("two inserts")
            << "insert into Kundengruppen (Kundengruppe, Name_KG) values (98, 'A');\n"
               "insert into Kundengruppen (Kundengruppe, Name_KG) values (99, 'B');"
            << false << info << "Befehl ausgeführt!"
            << "select group_concat(Name_KG) from Kundengruppen where Kundengruppe > 97" << "A,B";
        QTest::newRow("syntax error") << "selec * from Protokoll" << true << fehler << "syntax error"
                                      << "select count(*) > 0 from Protokoll" << "1";
        QTest::newRow("missing table") << "select * from GibtEsNicht" << true << fehler << "no such table"
                                       << "select 1" << "1";
        QTest::newRow("constraint") << "insert into Protokoll (Aufzeichnung) values (substr(hex(zeroblob(200)), 1, 300))"
                                    << false << fehler << "Protokoll.Aufzeichnung"
                                    << "select count(*) from Protokoll where length(Aufzeichnung) > 255" << "0";
        QTest::newRow("empty text") << "  " << true << fehler << "" << "select 1" << "1";
    }
    void statementsAndButtons()
    {
        QFETCH(QString, sql);
        QFETCH(bool, select);
        QFETCH(int, art);
        QFETCH(QString, text);
        QFETCH(QString, pruefung);
        QFETCH(QString, erwartet);
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        QTest::mouseClick(p.k->btn_ausfuehren, Qt::LeftButton); // a previous result
        QVERIFY(p.rasterzeilen() > 0);
        p.ausfuehren(sql, select ? p.k->btn_ausfuehren : p.k->btn_update);
        QCOMPARE(d.shown.size(), 1);
        QCOMPARE(int(d.shown[0].kind), art);
        QVERIFY2(d.lastText().contains(text) && !d.lastText().isEmpty(), qPrintable(d.lastText()));
        QCOMPARE(p.rasterzeilen(), 0);
        QVERIFY(!p.k->qry_ausfuehren->isOpen());
        QVERIFY(!p.k->btn_SQLExport->isEnabled());
        QCOMPARE(p.wert(pruefung).toString(), erwartet);
    }

    void enterInTheStatementMovesTheFocus()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        p.k->me_befehl->setFocus();
        QTRY_VERIFY(p.k->me_befehl->hasFocus());
        QTest::keyClick(p.k->me_befehl, Qt::Key_Return);
        QTRY_VERIFY(!p.k->me_befehl->hasFocus());
        QCOMPARE(p.k->me_befehl->toPlainText(), QStringLiteral("select * from Protokoll"));
    }

    void exportOnlyForAnOpenNonEmptyResult()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        bool geoeffnet = false;
        auto beobachten = [&] {
            QTimer::singleShot(0, p.f.get(), [&] {
                if (auto *dlg = qobject_cast<Tfrm_export *>(QApplication::activeModalWidget())) {
                    geoeffnet = true;
                    QVERIFY(dlg->lbl_umfang->text().contains("21 Datensätze, 2 Spalten"));
                    if (qEnvironmentVariableIsSet("TVX_SCREENSHOTS"))
                        dlg->grab().save(qEnvironmentVariable("TVX_SCREENSHOTS") + "/exportdialog_konsole.png");
                    dlg->reject();
                }
            });
        };
        p.k->btn_SQLExportClick(); // closed: nothing
        p.ausfuehren("select * from Protokoll where 1 = 0", p.k->btn_ausfuehren);
        QVERIFY(p.k->qry_ausfuehren->isOpen());
        QVERIFY(!p.k->btn_SQLExport->isEnabled());
        beobachten();
        p.k->btn_SQLExportClick(); // empty: nothing
        QTest::qWait(10);
        QVERIFY(!geoeffnet);
        p.ausfuehren("select Kunde, Name_KU from Kundenstamm", p.k->btn_ausfuehren);
        QVERIFY(p.k->btn_SQLExport->isEnabled());
        beobachten();
        QTest::mouseClick(p.k->btn_SQLExport, Qt::LeftButton);
        QVERIFY(geoeffnet);
        QVERIFY(d.shown.isEmpty());
    }

    // Visible columns in grid order, records in the grid's (sorted) order.
    void exportSourceFollowsTheGrid()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        p.ausfuehren("select Kunde, Name_KU, Ort from Kundenstamm order by Kunde", p.k->btn_ausfuehren);
        QHeaderView *h = p.k->gr_sql->horizontalHeader();
        h->moveSection(2, 0);
        h->hideSection(1);
        ExportQuelle q = TSqlKonsole::exportQuelle(p.k->gr_sql);
        QCOMPARE(q.titel, (QStringList{"Ort", "Kunde"}));
        QCOMPARE(q.zeilen, 21);
        QCOMPARE(q.wert(3, 1).toInt(), 3);
        QCOMPARE(q.wert(3, 0).toString(), p.wert("select Ort from Kundenstamm where Kunde = 3").toString());
        QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, QPoint(h->sectionViewportPosition(0) + 5, 5));
        q = TSqlKonsole::exportQuelle(p.k->gr_sql);
        QCOMPARE(q.wert(0, 0).toString(), p.wert("select min(Ort) from Kundenstamm").toString());
    }

    // 100 000 records: opened, exported through the dialog with its progress bar.
    void hugeResultExports()
    {
        ScopedScriptedDialogs d;
        Programm p;
        p.shiftF2();
        p.ausfuehren("delete from Protokoll;\n"
                     "insert into Protokoll (DatumZeit, Aufzeichnung, Benutzer) "
                     "with recursive n(i) as (select 1 union all select i + 1 from n where i < 100000) "
                     "select '2024-06-14 10:30:00', 'Eintrag ' || i, 'Prüfer' from n;",
                     p.k->btn_update);
        QCOMPARE(d.lastText(), txt("sm_22"));
        p.ausfuehren("select * from Protokoll", p.k->btn_ausfuehren);
        QCOMPARE(p.rasterzeilen(), 100000);
        QList<int> stand;
        QTimer::singleShot(0, p.f.get(), [&] {
            auto *dlg = qobject_cast<Tfrm_export *>(QApplication::activeModalWidget());
            QVERIFY(dlg);
            connect(dlg->pb_export, &QProgressBar::valueChanged, dlg, [&](int v) { stand << v; });
            QTest::mouseClick(dlg->btn_exportieren, Qt::LeftButton);
        });
        QTest::mouseClick(p.k->btn_SQLExport, Qt::LeftButton);
        QVERIFY(stand.size() > 100);
        QCOMPARE(stand.last(), 100000);
        QVERIFY(d.lastText().contains("100000 Datensätze"));
        QFile f(p.ordner.pfad("Sicherungen/Export.TXT"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray roh = f.readAll();
        QCOMPARE(roh.count("\r\n"), 100000);
        QVERIFY(roh.startsWith("14.06.2024 10:30:00\tEintrag 1\tPr\xfc" "fer\r\n"));
    }
};

QTEST_MAIN(TestSqlKonsole)
#include "tst_sqlkonsole.moc"
