#include <algorithm>
#include <memory>

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "app/core/u_land.h"
#include "app/core/u_sprache.h"
#include "app/core/u_strings.h"
#include "platform/core/errors.h"
#include "platform/ini/inifile.h"

// A radio group as the windows use it: items replaceable as one list.
class FakeRadioGroup : public QGroupBox {
    Q_OBJECT
    Q_PROPERTY(QStringList items READ items WRITE setItems)
public:
    using QGroupBox::QGroupBox;
    QStringList items() const { return m_items; }
    void setItems(const QStringList &i) { m_items = i; }
private:
    QStringList m_items{QStringLiteral("Alle Rechnungen"), QString::fromUtf8("jünger als 6 Monate")};
};

// A grid that takes its titles itself.
class TitledGrid : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    Q_INVOKABLE void setColumnTitle(int column, const QString &title) { titles[column] = title; }
    QMap<int, QString> titles;
};

namespace {

template <class T>
T *add(QWidget *parent, const char *name)
{
    auto *w = new T(parent);
    w->setObjectName(QLatin1String(name));
    if (parent->layout())
        parent->layout()->addWidget(w);
    return w;
}

// The main window's components of each kind, built the way the real window must.
std::unique_ptr<QWidget> fakeMain()
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(QStringLiteral("frm_main"));
    w->setWindowTitle(QStringLiteral("TORVANEX 01.01.2024"));
    new QVBoxLayout(w.get());
    auto *pc = add<QTabWidget>(w.get(), "pc_main");
    for (const char *ts : {"ts_erfassung", "ts_uebersicht", "ts_artikel"}) {
        auto *page = new QWidget;
        page->setObjectName(QLatin1String(ts));
        pc->addTab(page, QStringLiteral("?"));
    }
    add<QLabel>(w.get(), "le_1");
    add<QPushButton>(w.get(), "btn_hilfe");
    add<QPushButton>(w.get(), "btn_rechnung_mailen");
    add<QCheckBox>(w.get(), "cb_rappenrundung");
    add<FakeRadioGroup>(w.get(), "rg_anzeige_re");
    // labelled controls, one per way of finding the label
    add<QLineEdit>(w.get(), "ls_1");
    add<QLabel>(w.get(), "ls_1_label");
    add<QLabel>(w.get(), "ls_6");
    add<QGroupBox>(w.get(), "ls_17");
    auto *subject = add<QLineEdit>(w.get(), "ls_19");
    add<QLabel>(w.get(), "buddy_of_ls_19")->setBuddy(subject);
    auto *overview = add<QTableView>(w.get(), "gr_rechnungen");
    auto *model = new QStandardItemModel(0, 7, overview);
    model->setHeaderData(0, Qt::Horizontal, QStringLiteral("M"));
    overview->setModel(model);
    add<TitledGrid>(w.get(), "gr_kunden_re");
    add<QTableView>(w.get(), "gr_artikeln_re"); // no model yet
    return w;
}

std::unique_ptr<QWidget> fakeWindow(const char *name, const char *title)
{
    auto w = std::make_unique<QWidget>();
    w->setObjectName(QLatin1String(name));
    w->setWindowTitle(QLatin1String(title));
    new QVBoxLayout(w.get());
    return w;
}

QString sourceDir() { return qEnvironmentVariable("TVX_SOURCE_DIR"); }

const char *const kShipped[] = {"Sprache.ini", "Englisch.ini", "France.ini", "Spanish.ini"};

} // namespace

class TstSprache : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void repositoryDefaults_data();
    void repositoryDefaults();
    void repositoryWithoutInstance();
    void fileNames_data();
    void fileNames();

    void shippedFilesComplete_data();
    void shippedFilesComplete();
    void germanFileKeepsExactDefaults();

    void englishThenGerman();
    void selfTranslationLackingKeyKeepsEnglish();
    void trailingBlankTrimmedQuotedKept();
    void listCount();
    void missingSelftransChangesNothing();
    void minusOneLoadsSprache();
    void negativeFormVersionSkipsSection();
    void unknownComponentsSkipped();
    void labelCaptionTargets();
    void childWindowsNotSearched();
    void gridTitles();
    void windowTitles();
    void reports();
    void reportLayoutErrorStopsBeforeLabels();

    void landPreselection_data();
    void landPreselection();
    void landTakeOver();
    void landClosedWithoutChoice();
    void firstStartDefaults();

private:
    void writeIni(const QString &name, const QString &text);
    void copyShipped();
    QWidget *main() const { return m_main.get(); }
    template <class T>
    T *in(const char *name) const { return m_main->findChild<T *>(QLatin1String(name)); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<QWidget> m_main;
};

void TstSprache::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    Sprache::clearRegistry();
    Sprache::setProgramFolder(m_dir->path());
    frm_strings = new Tfrm_strings;
    MwStKuerzel = QStringLiteral("MwSt");
    m_main = fakeMain();
    Sprache::registerWindow(QStringLiteral("Main"), m_main.get());
}

void TstSprache::cleanup()
{
    m_main.reset();
    delete frm_strings;
    frm_strings = nullptr;
    Sprache::clearRegistry();
    Sprache::setProgramFolder(QString());
    m_dir.reset();
}

void TstSprache::writeIni(const QString &name, const QString &text)
{
    QFile f(m_dir->filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly));
    bool lossless = false;
    f.write(encodeCp1252(text, &lossless));
    QVERIFY(lossless);
}

void TstSprache::copyShipped()
{
    for (const char *n : kShipped)
        QVERIFY(QFile::copy(sourceDir() + QStringLiteral("/install/") + QLatin1String(n),
                            m_dir->filePath(QLatin1String(n))));
}

// label, exact German caption
void TstSprache::repositoryDefaults_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("text");
    const auto row = [](const char *l, const char *t) { QTest::newRow(l) << QString::fromLatin1(l) << QString::fromUtf8(t); };
    row("sko_1", "MwSt");
    row("sk_3", "K O P F T E X T    Ü B E R G E B E N");
    row("sk_4", "Abschlusstext erstellen'");
    row("sk_15", "Storno von Rechnung Nr. ");
    row("sk_18", "_RechnungNr_");
    row("sm_1", "mindestens eine Artikelgruppe muß verbleiben!");
    row("sm_37", "MWST existiert nicht!Überprüfen Sie in den Firmenstammdaten ob eine MWST hinterlegt ist die für dieses Valutadatum greift!");
    row("sm_38", "Transaktion wurde zurückgesetzt!Fehler ");
    row("sm_49", "Sämtliche Statsitiken wirklich löschen?");
    row("sm_55", "Position kann nicht abgespeichert werde!Artikel existiert nicht.");
    row("ps_12", "Emailpfad für PDFs zuordnen ");
    row("ps_16", "Fehler autom. Sicherung: ");
    row("am_3", "Kunde wirklich löschen ?");
    row("ex_5", "Artikel nicht vorhanden!Transaktion wird abgebrochen  ");
    row("lbl_main", "TORVANEX");
    row("lbl_datenbankinitialisieren", "Datenbank leeren");
    row("gr_rechnungen_rechnungsnummer", "Rech.Nr.");
    row("gr_kunden_strassehausnummer", "Strasse_Hnr");
    row("gr_rechnungenk_hinweis", "Hinweis");
    row("rlbl_artikel", "Artikel NR");
    row("rlbl_netto", "Netto ");
    row("rlbl_netto_c", "Netto");
    row("rlbl_uid", "Kunden UID:");
}

void TstSprache::repositoryDefaults()
{
    QFETCH(QString, label);
    QFETCH(QString, text);
    QCOMPARE(Tfrm_strings::germanDefault(label), text);
    QCOMPARE(frm_strings->text(label), text);
    QCOMPARE(txt(label.toLatin1().constData()), text);
    QVERIFY(frm_strings->labels().contains(label));
}

void TstSprache::repositoryWithoutInstance()
{
    const QStringList labels = frm_strings->labels();
    // the 172 texts of the original repository and four of our own, besides the
    // texts of the e-invoice (ei_, eu_)
    const auto erechnung = std::count_if(labels.begin(), labels.end(), [](const QString &l) {
        return l.startsWith(QLatin1String("ei_")) || l.startsWith(QLatin1String("eu_"));
    });
    QCOMPARE(labels.size() - int(erechnung), 176);
    for (const char *own : {"sk_20", "sm_56", "sm_57", "am_7"})
        QVERIFY2(labels.contains(QLatin1String(own)), own);
    QCOMPARE(labels.first(), QStringLiteral("sko_1"));
    QCOMPARE(labels.count(QStringLiteral("sm_13")), 0); // sm_13..sm_16 do not exist

    frm_strings->setText(QStringLiteral("sm_7"), QStringLiteral("changed"));
    QCOMPARE(txt("sm_7"), QStringLiteral("changed"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown label sm_99"));
    QCOMPARE(txt("sm_99"), QStringLiteral("sm_99"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown label sm_99"));
    frm_strings->setText(QStringLiteral("sm_99"), QStringLiteral("x"));
    QVERIFY(!frm_strings->hasLabel(QStringLiteral("sm_99")));

    delete frm_strings;
    frm_strings = nullptr;
    QCOMPARE(txt("sm_7"), QStringLiteral("Verbindung zur Datenbank fehlgeschlagen!"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("unknown label nope"));
    QCOMPARE(txt("nope"), QStringLiteral("nope"));
    frm_strings = new Tfrm_strings;
}

void TstSprache::fileNames_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("file");
    QTest::newRow("0") << 0 << "Sprache.ini";
    QTest::newRow("1") << 1 << "Englisch.ini";
    QTest::newRow("2") << 2 << "France.ini";
    QTest::newRow("3") << 3 << "Spanish.ini";
    QTest::newRow("4") << 4 << "Selftrans.ini";
    QTest::newRow("5") << 5 << "Sprache.ini";
    QTest::newRow("-1 is 255") << -1 << "Sprache.ini";
    QTest::newRow("256 is byte 0") << 256 << "Sprache.ini";
    QTest::newRow("257 is byte 1") << 257 << "Englisch.ini";
}

void TstSprache::fileNames()
{
    QFETCH(int, index);
    QFETCH(QString, file);
    QCOMPARE(Sprache::fileName(index), file);
}

void TstSprache::shippedFilesComplete_data()
{
    QTest::addColumn<QString>("file");
    for (const char *n : kShipped)
        QTest::newRow(n) << QString::fromLatin1(n);
}

// Every key every window reads is in the file, the file is clean Windows-1252,
// and it holds no key the windows do not read (a misspelt key would go unnoticed).
void TstSprache::shippedFilesComplete()
{
    QFETCH(QString, file);
    QFile f(sourceDir() + QStringLiteral("/install/") + file);
    QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(f.fileName()));
    const QByteArray bytes = f.readAll();
    QString text;
    QVERIFY(decodeCp1252Strict(bytes, &text));
    QVERIFY(!text.contains(QChar(0xFFFD)));
    QVERIFY2(!text.contains(QString::fromUtf8("Ã")), "UTF-8 written as Windows-1252");
    QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));

    const IniFile ini = IniFile::parse(bytes);
    for (const QString &section : Sprache::sectionNames()) {
        QStringList expected;
        for (const Sprache::Key &k : Sprache::keys(section)) {
            if (k.property == QLatin1String("Items")) {
                const auto items = ini.readStringList(section + u'.' + k.key);
                QVERIFY2(items && items->size() == 2, qPrintable(section + u' ' + k.key));
                for (const QString &i : *items)
                    QVERIFY(!i.trimmed().isEmpty());
                continue;
            }
            expected << k.key.toLower();
            const auto v = ini.value(section, k.key);
            QVERIFY2(v, qPrintable(file + u' ' + section + u' ' + k.key));
            QVERIFY2(!v->trimmed().isEmpty(), qPrintable(section + u' ' + k.key));
        }
        QStringList present;
        for (const QString &k : ini.keys(section))
            present << k.toLower();
        present.sort();
        expected.sort();
        QCOMPARE(present, expected);
    }
}

// Loading the German file gives exactly the built-in texts, trailing blanks
// included: the shipped file quotes them.
void TstSprache::germanFileKeepsExactDefaults()
{
    copyShipped();
    SpracheLaden(1);
    QCOMPARE(txt("sm_38"), QStringLiteral("Transaction has been rolled back! Error "));
    SpracheLaden(0);
    for (const QString &label : frm_strings->labels())
        QCOMPARE(frm_strings->text(label), Tfrm_strings::germanDefault(label));

    const IniFile ini = IniFile::load(m_dir->filePath(QStringLiteral("Sprache.ini")));
    for (const QString &section : Sprache::sectionNames())
        for (const Sprache::Key &k : Sprache::keys(section))
            if (k.property != QLatin1String("Items"))
                QCOMPARE(ini.value(section, k.key).value_or(QString()), k.german);
}

void TstSprache::englishThenGerman()
{
    copyShipped();
    SpracheLaden(1);
    QCOMPARE(txt("sm_7"), QStringLiteral("Connection to the database failed!"));
    QCOMPARE(MwStKuerzel, QStringLiteral("VAT"));
    QCOMPARE(in<QPushButton>("btn_hilfe")->text(), QStringLiteral("Help"));
    QCOMPARE(in<QLabel>("le_1")->text(), QStringLiteral("Customer no."));
    auto *pc = in<QTabWidget>("pc_main");
    QCOMPARE(pc->tabText(0), QStringLiteral("Entry"));
    QCOMPARE(pc->tabText(2), QStringLiteral("Articles && Customers"));
    QCOMPARE(in<QCheckBox>("cb_rappenrundung")->text(), QStringLiteral("Swiss rounding (0.05)"));
    QCOMPARE(in<FakeRadioGroup>("rg_anzeige_re")->title(), QStringLiteral("Show invoices"));
    QCOMPARE(in<FakeRadioGroup>("rg_anzeige_re")->items(),
             (QStringList{QStringLiteral("All invoices"), QStringLiteral("Younger than 6 months")}));
    QCOMPARE(in<QPushButton>("btn_rechnung_mailen")->text(), QStringLiteral("E-mail "));

    SpracheLaden(3);
    QCOMPARE(txt("sko_1"), QStringLiteral("IVA"));
    QCOMPARE(in<QLabel>("ls_1_label")->text(), QString::fromUtf8("Configuración de impresión de facturas"));

    SpracheLaden(0);
    QCOMPARE(txt("sm_7"), QStringLiteral("Verbindung zur Datenbank fehlgeschlagen!"));
    QCOMPARE(MwStKuerzel, QStringLiteral("MwSt"));
    QCOMPARE(pc->tabText(1), QString::fromUtf8("Übersicht"));
    QCOMPARE(in<QPushButton>("btn_rechnung_mailen")->text(), QStringLiteral("Email "));
    QCOMPARE(in<FakeRadioGroup>("rg_anzeige_re")->items(), Sprache::germanAnzeigeItems());
}

void TstSprache::selfTranslationLackingKeyKeepsEnglish()
{
    copyShipped();
    SpracheLaden(1);
    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[Strings]\nsm_7_Caption=Keine Verbindung, Leute!\n[Main]\nbtn_close_Caption=Tschüss\n"));
    SpracheLaden(4);
    QCOMPARE(txt("sm_7"), QStringLiteral("Keine Verbindung, Leute!"));
    QCOMPARE(txt("sm_8"), QStringLiteral("Connection to the local database failed!"));
    QCOMPARE(in<QPushButton>("btn_hilfe")->text(), QStringLiteral("Help"));
}

void TstSprache::trailingBlankTrimmedQuotedKept()
{
    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[Strings]\nps_16_Caption=Fehler autom. Sicherung: \nsm_38_Caption=\"Zurückgesetzt: \"\n"
                            "sm_22_Caption='Erledigt'\n[Main]\nbtn_hilfe_Caption=\"Hilfe!\"\n"));
    SpracheLaden(4);
    QCOMPARE(txt("ps_16"), QStringLiteral("Fehler autom. Sicherung:"));
    QCOMPARE(txt("sm_38"), QString::fromUtf8("Zurückgesetzt: "));
    QCOMPARE(txt("sm_22"), QStringLiteral("Erledigt"));
    QCOMPARE(in<QPushButton>("btn_hilfe")->text(), QStringLiteral("Hilfe!"));
}

void TstSprache::listCount()
{
    auto *rg = in<FakeRadioGroup>("rg_anzeige_re");
    const QStringList before = rg->items();
    writeIni(QStringLiteral("Selftrans.ini"), QStringLiteral("[Main.rg_anzeige_re_Items]\nCount=0\nItem0=weg\n"));
    SpracheLaden(4);
    QCOMPARE(rg->items(), before);

    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[main.RG_ANZEIGE_RE_ITEMS]\nCount=1\nItem0=Nur eine Zeile\nItem1=zweite\n"));
    SpracheLaden(4);
    QCOMPARE(rg->items(), QStringList{QStringLiteral("Nur eine Zeile")});
}

void TstSprache::missingSelftransChangesNothing()
{
    copyShipped();
    SpracheLaden(2);
    const QString before = txt("sm_38");
    const QString tab = in<QTabWidget>("pc_main")->tabText(0);
    SpracheLaden(4);
    QCOMPARE(txt("sm_38"), before);
    QCOMPARE(in<QTabWidget>("pc_main")->tabText(0), tab);
    QCOMPARE(tab, QStringLiteral("Saisie"));
    QCOMPARE(MwStKuerzel, QStringLiteral("TVA"));
}

void TstSprache::minusOneLoadsSprache()
{
    writeIni(QStringLiteral("Sprache.ini"), QStringLiteral("[Strings]\nsm_22_Caption=aus Sprache.ini\n"));
    writeIni(QStringLiteral("Englisch.ini"), QStringLiteral("[Strings]\nsm_22_Caption=from Englisch.ini\n"));
    SpracheLaden(-1);
    QCOMPARE(txt("sm_22"), QStringLiteral("aus Sprache.ini"));
    SpracheLaden(257);
    QCOMPARE(txt("sm_22"), QStringLiteral("from Englisch.ini"));
    SpracheLaden(7);
    QCOMPARE(txt("sm_22"), QStringLiteral("aus Sprache.ini"));
}

void TstSprache::negativeFormVersionSkipsSection()
{
    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[Main]\nFormVersion=-1\nbtn_hilfe_Caption=Help\n[Strings]\nFormVersion=3\nsm_22_Caption=Done\n"));
    in<QPushButton>("btn_hilfe")->setText(QStringLiteral("Hilfe"));
    SpracheLaden(4);
    QCOMPARE(in<QPushButton>("btn_hilfe")->text(), QStringLiteral("Hilfe"));
    QCOMPARE(txt("sm_22"), QStringLiteral("Done"));
}

void TstSprache::unknownComponentsSkipped()
{
    auto w = fakeWindow("frm_kopftext", "Kopftext erfassen");
    add<QPushButton>(w.get(), "btn_close");
    Sprache::registerWindow(QStringLiteral("Kopftexte"), w.get());
    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[Kopftexte]\nbtn_uebergeben_Caption=fehlt im Fenster\nbtn_close_Caption=Zu\n"
                            "btn_unbekannt_Caption=nicht in der Liste\n[Strings]\nsm_99_Caption=nope\n"
                            "sm_22_Caption=ok\n"));
    SpracheLaden(4); // no warning either: the table decides what is read
    QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("btn_close"))->text(), QStringLiteral("Zu"));
    QCOMPARE(txt("sm_22"), QStringLiteral("ok"));
    QVERIFY(!frm_strings->hasLabel(QStringLiteral("sm_99")));

    w.reset(); // a destroyed window is no longer loaded
    SpracheLaden(4);
    QVERIFY(!Sprache::window(QStringLiteral("Kopftexte")));
}

void TstSprache::labelCaptionTargets()
{
    writeIni(QStringLiteral("Selftrans.ini"),
             QStringLiteral("[Main]\nls_1_LabelCaption=Eins\nls_6_LabelCaption=Sechs\nls_17_LabelCaption=Siebzehn\n"
                            "ls_19_LabelCaption=Neunzehn\n"));
    SpracheLaden(4);
    QCOMPARE(in<QLabel>("ls_1_label")->text(), QStringLiteral("Eins"));
    QCOMPARE(in<QLineEdit>("ls_1")->text(), QString());
    QCOMPARE(in<QLabel>("ls_6")->text(), QStringLiteral("Sechs"));
    QCOMPARE(in<QGroupBox>("ls_17")->title(), QStringLiteral("Siebzehn"));
    QCOMPARE(in<QLabel>("buddy_of_ls_19")->text(), QStringLiteral("Neunzehn"));
}

// A dialog parented to a window has a section of its own; its components do not
// shadow the window's, even when they come first and lie shallower.
void TstSprache::childWindowsNotSearched()
{
    auto w = fakeWindow("frm_datenbankinitialisieren", "x");
    auto *dialog = new QDialog(w.get());
    auto *foreign = add<QPushButton>(dialog, "btn_schliessen");
    foreign->setText(QStringLiteral("Dialog"));
    auto *bar = add<QWidget>(w.get(), "pnl_fuss");
    new QVBoxLayout(bar);
    auto *own = add<QPushButton>(add<QWidget>(bar, "pnl_innen"), "btn_schliessen");
    Sprache::registerWindow(QStringLiteral("Datenbankinitialisieren"), w.get());
    writeIni(QStringLiteral("Selftrans.ini"), QStringLiteral("[Datenbankinitialisieren]\nbtn_schliessen_Caption=Zu\n"));
    SpracheLaden(4);
    QCOMPARE(own->text(), QStringLiteral("Zu"));
    QCOMPARE(foreign->text(), QStringLiteral("Dialog"));
}

void TstSprache::gridTitles()
{
    copyShipped();
    SpracheLaden(1);
    auto *overview = in<QTableView>("gr_rechnungen");
    const auto header = [overview](int c) { return overview->model()->headerData(c, Qt::Horizontal).toString(); };
    QCOMPARE(header(0), QStringLiteral("M"));
    QCOMPARE(header(1), QStringLiteral("Date"));
    QCOMPARE(header(2), QStringLiteral("Inv. no."));
    QCOMPARE(header(6), QStringLiteral("Note"));

    auto *picker = in<TitledGrid>("gr_kunden_re");
    QCOMPARE(picker->titles.value(0), QStringLiteral("Customer"));
    QCOMPARE(picker->titles.value(1), QStringLiteral("Name"));

    // a grid that gets its model after the load takes the titles over
    auto *articles = in<QTableView>("gr_artikeln_re");
    auto *model = new QStandardItemModel(0, 2, articles);
    articles->setModel(model);
    Sprache::applyColumnTitles(articles);
    QCOMPARE(model->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Article"));
    QCOMPARE(model->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Name"));

    SpracheLaden(0);
    QCOMPARE(header(5), QStringLiteral("Re.betrag"));
}

void TstSprache::windowTitles()
{
    auto artikel = fakeWindow("frm_artikelstammdaten", "ARTIKELSTAMMDATEN");
    auto init = fakeWindow("frm_datenbankinitialisieren", "initialise database");
    auto header = add<QLabel>(init.get(), "lbl_head");
    Sprache::registerWindow(QStringLiteral("Artikelstamm"), artikel.get());
    Sprache::registerWindow(QStringLiteral("Datenbankinitialisieren"), init.get());
    copyShipped();
    SpracheLaden(0);
    QCOMPARE(artikel->windowTitle(), QStringLiteral("Artikelstammdaten"));
    QCOMPARE(init->windowTitle(), QStringLiteral("Datenbank leeren"));
    QCOMPARE(header->text(), QString::fromUtf8("Hier können sie die Datenbank für einen Neuanfang initialisieren."));
    QCOMPARE(main()->windowTitle(), QStringLiteral("TORVANEX 01.01.2024"));
    SpracheLaden(2);
    QCOMPARE(artikel->windowTitle(), QStringLiteral("Fichier des articles"));
    QCOMPARE(main()->windowTitle(), QStringLiteral("TORVANEX 01.01.2024"));
}

void TstSprache::reports()
{
    QStringList calls;
    for (int order : {1, 0}) { // registered out of order, run invoice report first
        Sprache::registerReport(order, {[&calls, order](const QString &file) {
                                            calls << QStringLiteral("layout%1 %2").arg(order).arg(QFileInfo(file).fileName());
                                            QVERIFY(file.endsWith(QLatin1String("/Reports/Rechnung.rtm")));
                                        },
                                        [&calls, order](const QString &label, const QString &caption) {
                                            calls << QStringLiteral("%1 %2=%3").arg(order).arg(label, caption);
                                        }});
    }
    copyShipped();
    SpracheLaden(1);
    QCOMPARE(calls.size(), 2 + 2 * 29);
    QCOMPARE(calls[0], QStringLiteral("layout0 Rechnung.rtm"));
    QCOMPARE(calls[1], QStringLiteral("layout1 Rechnung.rtm"));
    QCOMPARE(calls[2], QStringLiteral("0 rlbl_artikel=Article no."));
    QVERIFY(calls.contains(QStringLiteral("0 rlbl_seite=Page")));
    QCOMPARE(calls[2 + 29], QStringLiteral("1 rlbl_artikel=Article no."));
    QCOMPARE(calls.last(), QStringLiteral("1 rlbl_uid=Customer VAT ID:"));
}

void TstSprache::reportLayoutErrorStopsBeforeLabels()
{
    QStringList labels;
    Sprache::registerReport(0, {[](const QString &file) { throw TvxError(QStringLiteral("cannot read ") + file); },
                                [&labels](const QString &l, const QString &) { labels << l; }});
    copyShipped();
    bool thrown = false;
    try {
        SpracheLaden(1);
    } catch (const TvxError &e) {
        thrown = true;
        QVERIFY(e.text().contains(QLatin1String("Rechnung.rtm")));
    }
    QVERIFY(thrown);
    QVERIFY(labels.isEmpty());
    // the steps before the layout have run
    QCOMPARE(txt("sm_7"), QStringLiteral("Connection to the database failed!"));
    QCOMPARE(MwStKuerzel, QStringLiteral("VAT"));
}

void TstSprache::landPreselection_data()
{
    QTest::addColumn<int>("language");
    QTest::addColumn<int>("index");
    QTest::newRow("German") << int(QLocale::German) << 0;
    QTest::newRow("English") << int(QLocale::English) << 1;
    QTest::newRow("French") << int(QLocale::French) << 2;
    QTest::newRow("Spanish") << int(QLocale::Spanish) << 3;
    QTest::newRow("Italian") << int(QLocale::Italian) << 1;
    QTest::newRow("Austrian locale") << int(QLocale(QStringLiteral("de_AT")).language()) << 0;
}

void TstSprache::landPreselection()
{
    QFETCH(int, language);
    QFETCH(int, index);
    QCOMPARE(Tfrm_land::vorauswahl(QLocale::Language(language)), index);
    Tfrm_land land;
    land.setSystemLanguage(QLocale::Language(language));
    land.show();
    QVERIFY(QTest::qWaitForWindowExposed(&land));
    QCOMPARE(land.itemIndex(), index);
    land.close();
}

void TstSprache::landTakeOver()
{
    Tfrm_land land;
    QCOMPARE(land.windowTitle(), QStringLiteral("Country/Land"));
    auto *ok = land.findChild<QPushButton *>(QStringLiteral("btn_uebernehmen"));
    QVERIFY(ok);
    QCOMPARE(ok->text(), QStringLiteral(" OK - Take Over"));
    auto *rg = land.findChild<QGroupBox *>(QStringLiteral("rg_sprache"));
    QVERIFY(rg);
    QStringList items;
    for (auto *b : rg->findChildren<QRadioButton *>())
        items << b->text();
    QCOMPARE(items, (QStringList{"Deutsch", "English", QString::fromUtf8("Français"), QString::fromUtf8("Español")}));
    QVERIFY(land.findChild<QLabel *>(QStringLiteral("img_land"))->pixmap().width() > 0);

    int target = -7;
    land.setUebernahmeZiel([&target](int i) { target = i; });
    land.setSystemLanguage(QLocale::German);
    land.show();
    QVERIFY(QTest::qWaitForWindowExposed(&land));
    QCOMPARE(land.itemIndex(), 0);
    // keyboard: arrows move the choice, Enter takes it over
    QTRY_VERIFY(rg->findChildren<QRadioButton *>().at(0)->hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(land.itemIndex(), 2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(target, 2);
    QVERIFY(!land.isVisible());
    QCOMPARE(land.result(), int(QDialog::Accepted));

    // mouse: pick Español, click the button
    land.show();
    QVERIFY(QTest::qWaitForWindowExposed(&land));
    QCOMPARE(land.itemIndex(), 0); // preselected again at every showing
    auto *es = land.findChild<QRadioButton *>(QStringLiteral("rg_sprache_item3"));
    QTest::mouseClick(es, Qt::LeftButton, {}, QPoint(6, es->height() / 2));
    QSignalSpy spy(&land, &Tfrm_land::uebernommen);
    QTest::mouseClick(ok, Qt::LeftButton);
    QCOMPARE(target, 3);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.at(0).at(0).toInt(), 3);
}

void TstSprache::landClosedWithoutChoice()
{
    Tfrm_land land;
    int target = -7;
    land.setUebernahmeZiel([&target](int i) { target = i; });
    land.show();
    QVERIFY(QTest::qWaitForWindowExposed(&land));
    QTest::keyClick(&land, Qt::Key_Escape);
    QVERIFY(!land.isVisible());
    QCOMPARE(target, -7);
}

void TstSprache::firstStartDefaults()
{
    QCOMPARE(ErststartVorgabenFuer(0).waehrung, QString::fromUtf8("€"));
    QCOMPARE(ErststartVorgabenFuer(0).fusstextvorschlag,
             QString::fromUtf8("Bitte den Betrag innerhalb von 14 Tagen überweisen."));
    QCOMPARE(ErststartVorgabenFuer(3).waehrung, QString::fromUtf8("€"));
    QCOMPARE(ErststartVorgabenFuer(3).markerrot, QStringLiteral("Inconbrables"));
    QCOMPARE(ErststartVorgabenFuer(2).fusstextvorschlag,
             QString::fromUtf8("Sil vous plaît transférer le montant dans les 14 jours suivant le transfert."));
    QCOMPARE(ErststartVorgabenFuer(1).waehrung, QStringLiteral("USD"));
    QCOMPARE(ErststartVorgabenFuer(1).markergruen, QStringLiteral("Payed"));
    QCOMPARE(ErststartVorgabenFuer(4).body, QStringLiteral("Attached the invoice for you."));
    QCOMPARE(ErststartVorgabenFuer(-1).subject, QStringLiteral("Invoice from Company MOSKERA"));
}

QTEST_MAIN(TstSprache)
#include "tst_sprache.moc"
