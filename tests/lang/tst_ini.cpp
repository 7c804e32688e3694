#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include "platform/ini/inifile.h"

class TstIni : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void missingFileIsEmpty();
    void stringList_data();
    void stringList();
    void codePage();
    void binaryAndHugeFiles();
};

// bytes of a file, section and key looked up, expected value ("<none>": missing)
void TstIni::rules_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("expected");
    const QString none = QStringLiteral("<none>");

    QTest::newRow("trimmed") << QByteArray("[S]\r\n  k  =   value  \r\n") << "S" << "k" << "value";
    QTest::newRow("tabs trimmed") << QByteArray("[S]\nk=\tv\t\n") << "S" << "k" << "v";
    QTest::newRow("double quotes") << QByteArray("[S]\nk=\" a b \"\n") << "S" << "k" << " a b ";
    QTest::newRow("single quotes") << QByteArray("[S]\nk='Hilfe'\n") << "S" << "k" << "Hilfe";
    QTest::newRow("quotes after trim") << QByteArray("[S]\nk=  \"x\"  \n") << "S" << "k" << "x";
    QTest::newRow("only one pair") << QByteArray("[S]\nk=\"\"x\"\"\n") << "S" << "k" << "\"x\"";
    QTest::newRow("unmatched quotes") << QByteArray("[S]\nk=\"x'\n") << "S" << "k" << "\"x'";
    QTest::newRow("lone quote") << QByteArray("[S]\nk=\"\n") << "S" << "k" << "\"";
    QTest::newRow("quote inside") << QByteArray("[S]\nk=erstellen'\n") << "S" << "k" << "erstellen'";
    QTest::newRow("key case") << QByteArray("[S]\nBtn_Hilfe_CAPTION=Hilfe\n") << "S" << "btn_hilfe_caption" << "Hilfe";
    QTest::newRow("section case") << QByteArray("[mAiN]\nk=v\n") << "MAIN" << "k" << "v";
    QTest::newRow("section blanks") << QByteArray("[ Main ]\nk=v\n") << "Main" << "k" << "v";
    QTest::newRow("first key wins") << QByteArray("[S]\nk=1\nK=2\n") << "S" << "k" << "1";
    QTest::newRow("repeated section merges") << QByteArray("[S]\na=1\n[T]\n[s]\na=2\nb=3\n") << "S" << "b" << "3";
    QTest::newRow("repeated section first wins") << QByteArray("[S]\na=1\n[s]\na=2\n") << "S" << "a" << "1";
    QTest::newRow("equals in value") << QByteArray("[S]\nk=a=b\n") << "S" << "k" << "a=b";
    QTest::newRow("empty value") << QByteArray("[S]\nk=\n") << "S" << "k" << "";
    QTest::newRow("garbage skipped") << QByteArray("[S]\ngarbage\n=nokey\n\x01\x02\nk=v\n") << "S" << "k" << "v";
    QTest::newRow("comment") << QByteArray("[S]\n;k=commented\n") << "S" << ";k" << none;
    QTest::newRow("before first section") << QByteArray("k=v\n[S]\n") << "S" << "k" << none;
    QTest::newRow("other section") << QByteArray("[S]\nk=v\n[T]\n") << "T" << "k" << none;
    QTest::newRow("broken header keeps section") << QByteArray("[S]\n[broken\nk=v\n") << "S" << "k" << "v";
    QTest::newRow("lone CR") << QByteArray("[S]\rk=v\rj=w") << "S" << "j" << "w";
    QTest::newRow("no final newline") << QByteArray("[S]\nk=v") << "S" << "k" << "v";
    QTest::newRow("cp1252") << QByteArray("[S]\nk=\xfc\xe4\xf6\xdf\xc4\xd6\xdc \x80 \xe9\xe8\xe7\xf1\xbf\xa1\n")
                            << "S" << "k" << QString::fromUtf8("üäößÄÖÜ € éèçñ¿¡");
    QTest::newRow("cp1252 key") << QByteArray("[\xdc" "bersicht]\nk=v\n") << QString::fromUtf8("übersicht") << "k" << "v";
    QTest::newRow("utf-8 bom") << QByteArray("\xEF\xBB\xBF[S]\nk=\xc3\xbc\xe2\x82\xac\n") << "S" << "k"
                               << QString::fromUtf8("ü€");
    QTest::newRow("utf-16 bom") << QByteArray("\xFF\xFE[\0S\0]\0\n\0k\0=\0\xFC\0\n\0", 20) << "S" << "k"
                                << QString::fromUtf8("ü");
}

void TstIni::rules()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, expected);
    const IniFile ini = IniFile::parse(bytes);
    const auto v = ini.value(section, key);
    if (expected == QLatin1String("<none>")) {
        QVERIFY2(!v, qPrintable(v.value_or(QString())));
        QCOMPARE(ini.readString(section, key, QStringLiteral("def")), QStringLiteral("def"));
    } else {
        QVERIFY(v.has_value());
        QCOMPARE(*v, expected);
    }
}

void TstIni::missingFileIsEmpty()
{
    QTemporaryDir dir;
    QVERIFY(IniFile::load(dir.filePath(QStringLiteral("nope.ini"))).isEmpty());
    QVERIFY(IniFile::load(dir.path()).isEmpty()); // a folder, not a file
    QVERIFY(IniFile::load(QString()).isEmpty());

    QFile f(dir.filePath(QStringLiteral("a.ini")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[Main]\nbtn_hilfe_Caption=Help\n");
    f.close();
    const IniFile ini = IniFile::load(f.fileName());
    QCOMPARE(ini.readString(QStringLiteral("main"), QStringLiteral("BTN_HILFE_CAPTION")), QStringLiteral("Help"));
    QCOMPARE(ini.sections(), QStringList{QStringLiteral("Main")});
}

// section text, expected lines ("<unchanged>": no list)
void TstIni::stringList_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");
    const QStringList unchanged{QStringLiteral("<unchanged>")};
    QTest::newRow("two") << QByteArray("Count=2\nItem0=Alle Rechnungen\nItem1=j\xfcnger\n")
                         << QStringList{"Alle Rechnungen", QString::fromUtf8("jünger")};
    QTest::newRow("one") << QByteArray("Count=1\nItem0=Nur eine\nItem1=zwei\n") << QStringList{"Nur eine"};
    QTest::newRow("items as they are") << QByteArray("Count=2\nItem0= a \nItem1=\"q\"\n")
                                       << QStringList{" a ", "\"q\""};
    QTest::newRow("missing item empty") << QByteArray("Count=2\nItem1=b\n") << QStringList{"", "b"};
    QTest::newRow("count blanks") << QByteArray("count = 1 \nitem0=x\n") << QStringList{"x"};
    QTest::newRow("zero") << QByteArray("Count=0\nItem0=x\n") << unchanged;
    QTest::newRow("negative") << QByteArray("Count=-3\nItem0=x\n") << unchanged;
    QTest::newRow("not a number") << QByteArray("Count=zwei\nItem0=x\n") << unchanged;
    QTest::newRow("missing") << QByteArray("Item0=x\n") << unchanged;
}

void TstIni::stringList()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const IniFile ini = IniFile::parse("[Main.rg_anzeige_re_Items]\n" + bytes);
    const auto l = ini.readStringList(QStringLiteral("Main.rg_anzeige_re_Items"));
    if (expected == QStringList{QStringLiteral("<unchanged>")})
        QVERIFY(!l);
    else
        QCOMPARE(l.value_or(QStringList{"<unchanged>"}), expected);
}

void TstIni::codePage()
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(char(b));
    const QString s = decodeCp1252(all);
    QCOMPARE(s.size(), 256);
    QCOMPARE(s.at(0x80), QChar(0x20AC));
    QCOMPARE(s.at(0x9F), QChar(0x0178));
    QCOMPARE(s.at(0x81), QChar(0x81)); // undefined bytes as Windows maps them
    QVERIFY(!s.contains(QChar(0xFFFD)));
    bool lossless = false;
    QCOMPARE(encodeCp1252(s, &lossless), all);
    QVERIFY(lossless);
    QVERIFY(!decodeCp1252Strict(QByteArray("a\x8d"), nullptr));
    QString out;
    QVERIFY(decodeCp1252Strict(QByteArray("\x80\xe4"), &out));
    QCOMPARE(out, QString::fromUtf8("€ä"));
    encodeCp1252(QString::fromUtf8("Ω"), &lossless);
    QVERIFY(!lossless);
}

void TstIni::binaryAndHugeFiles()
{
    QRandomGenerator rng(4711);
    QByteArray noise(4 * 1024 * 1024, Qt::Uninitialized);
    for (char &c : noise)
        c = char(rng.bounded(256));
    const IniFile fromNoise = IniFile::parse(noise + "\n[S]\nk=v\n");
    QCOMPARE(fromNoise.readString(QStringLiteral("S"), QStringLiteral("k")), QStringLiteral("v"));

    // Only the first kMaxBytes of a file are read.
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("huge.ini")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("[S]\nfirst=1\n");
    const QByteArray filler(1024 * 1024, 'x');
    for (qint64 n = 0; n <= IniFile::kMaxBytes / filler.size(); ++n)
        f.write(filler);
    f.write("\nlast=2\n");
    f.close();
    const IniFile huge = IniFile::load(f.fileName());
    QCOMPARE(huge.readString(QStringLiteral("S"), QStringLiteral("first")), QStringLiteral("1"));
    QVERIFY(!huge.hasKey(QStringLiteral("S"), QStringLiteral("last")));

    // An absurd Count is bounded.
    const auto l = IniFile::parse("[L]\nCount=2000000000\nItem0=a\n").readStringList(QStringLiteral("L"));
    QVERIFY(l);
    QCOMPARE(l->size(), IniFile::kMaxListCount);
    QCOMPARE(l->first(), QStringLiteral("a"));
}

QTEST_GUILESS_MAIN(TstIni)
#include "tst_ini.moc"
