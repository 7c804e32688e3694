#include "einvoice/u_ecodes.h"

#include <QHash>
#include <QLocale>
#include <QRegularExpression>

namespace EInvoice {

namespace {

// case, accents, dots and surplus blanks do not matter: "Österreich", "osterreich", "ÖSTERREICH"
QString schluessel(const QString &s)
{
    const QString nfd = s.normalized(QString::NormalizationForm_D);
    QString out;
    out.reserve(nfd.size());
    for (const QChar c : nfd) {
        if (c.category() == QChar::Mark_NonSpacing || c == u'.')
            continue;
        out += c.isSpace() || c == u'-' ? QChar(u' ') : c.toCaseFolded();
    }
    return out.simplified();
}

// The countries a small business in the German-speaking area meets most, by
// their names in the shipped languages (German, English, French, Spanish) and
// usual short forms. Every other country is found by its English name or its
// own name through the locale data.
struct Land {
    const char *code;
    const char *namen; // '|'-separated, UTF-8
};
const Land kLaender[] = {
    {"AT", "Österreich|Austria|Autriche|Republik Österreich"},
    {"DE", "Deutschland|Germany|Allemagne|Alemania|BRD|Bundesrepublik Deutschland"},
    {"CH", "Schweiz|Switzerland|Suisse|Suiza|Svizzera|Schweizerische Eidgenossenschaft"},
    {"LI", "Liechtenstein"},
    {"IT", "Italien|Italy|Italie|Italia"},
    {"FR", "Frankreich|France|Francia"},
    {"ES", "Spanien|Spain|Espagne|España"},
    {"PT", "Portugal"},
    {"NL", "Niederlande|Netherlands|Pays Bas|Países Bajos|Holland|Holanda"},
    {"BE", "Belgien|Belgium|Belgique|Bélgica"},
    {"LU", "Luxemburg|Luxembourg|Luxemburgo"},
    {"DK", "Dänemark|Denmark|Danemark|Dinamarca"},
    {"SE", "Schweden|Sweden|Suède|Suecia"},
    {"NO", "Norwegen|Norway|Norvège|Noruega"},
    {"FI", "Finnland|Finland|Finlande|Finlandia"},
    {"IS", "Island|Iceland|Islande|Islandia"},
    {"IE", "Irland|Ireland|Irlande|Irlanda"},
    {"GB", "Großbritannien|Vereinigtes Königreich|United Kingdom|Great Britain|UK|England|Royaume Uni|Reino Unido|Gran Bretaña"},
    {"PL", "Polen|Poland|Pologne|Polonia"},
    {"CZ", "Tschechien|Tschechische Republik|Czech Republic|Czechia|République tchèque|Tchéquie|República Checa|Chequia"},
    {"SK", "Slowakei|Slovakia|Slovaquie|Eslovaquia"},
    {"HU", "Ungarn|Hungary|Hongrie|Hungría"},
    {"SI", "Slowenien|Slovenia|Slovénie|Eslovenia"},
    {"HR", "Kroatien|Croatia|Croatie|Croacia"},
    {"RO", "Rumänien|Romania|Roumanie|Rumania"},
    {"BG", "Bulgarien|Bulgaria|Bulgarie"},
    {"GR", "Griechenland|Greece|Grèce|Grecia"},
    {"CY", "Zypern|Cyprus|Chypre|Chipre"},
    {"MT", "Malta|Malte"},
    {"EE", "Estland|Estonia|Estonie"},
    {"LV", "Lettland|Latvia|Lettonie|Letonia"},
    {"LT", "Litauen|Lithuania|Lituanie|Lituania"},
    {"MC", "Monaco|Mónaco"},
    {"SM", "San Marino|Saint Marin"},
    {"AD", "Andorra|Andorre"},
    {"RS", "Serbien|Serbia|Serbie"},
    {"BA", "Bosnien und Herzegowina|Bosnia and Herzegovina|Bosnie Herzégovine|Bosnia y Herzegovina"},
    {"TR", "Türkei|Turkey|Türkiye|Turquie|Turquía"},
    {"UA", "Ukraine|Ucrania"},
    {"RU", "Russland|Russia|Russie|Rusia|Russische Föderation"},
    {"US", "Vereinigte Staaten|Vereinigte Staaten von Amerika|USA|United States|United States of America|États Unis|Estados Unidos|Amerika"},
    {"CA", "Kanada|Canada|Canadá"},
    {"MX", "Mexiko|Mexico|Mexique|México"},
    {"BR", "Brasilien|Brazil|Brésil|Brasil"},
    {"AR", "Argentinien|Argentina|Argentine"},
    {"CN", "China|Chine|Volksrepublik China"},
    {"JP", "Japan|Japon|Japón"},
    {"IN", "Indien|India|Inde"},
    {"AU", "Australien|Australia|Australie"},
    {"NZ", "Neuseeland|New Zealand|Nouvelle Zélande|Nueva Zelanda"},
    {"ZA", "Südafrika|South Africa|Afrique du Sud|Sudáfrica"},
    {"IL", "Israel|Israël"},
    {"AE", "Vereinigte Arabische Emirate|United Arab Emirates|Émirats arabes unis|Emiratos Árabes Unidos"},
};

const QHash<QString, QString> &namenstabelle()
{
    static const QHash<QString, QString> tabelle = [] {
        QHash<QString, QString> t;
        // the locale data first: English and own names of every country ...
        for (const QLocale &l : QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory)) {
            const QString code = QLocale::territoryToCode(l.territory());
            if (code.size() != 2)
                continue;
            t.insert(schluessel(QLocale::territoryToString(l.territory())), code);
            if (!l.nativeTerritoryName().isEmpty())
                t.insert(schluessel(l.nativeTerritoryName()), code);
        }
        // ... then the shipped languages, which win
        for (const Land &land : kLaender)
            for (const QString &n : QString::fromUtf8(land.namen).split(QLatin1Char('|')))
                t.insert(schluessel(n), QString::fromLatin1(land.code));
        return t;
    }();
    return tabelle;
}

} // namespace

QString Laendercode(const QString &land)
{
    const QString k = schluessel(land);
    if (k.isEmpty())
        return {};
    const auto &t = namenstabelle();
    const auto it = t.constFind(k);
    if (it != t.constEnd())
        return *it;
    // a code as such
    if (k.size() == 2 && k.at(0).isLetter() && k.at(1).isLetter()) {
        const QString code = k.toUpper();
        const QLocale::Territory terr = QLocale::codeToTerritory(code);
        if (terr != QLocale::AnyTerritory)
            return code;
    }
    return {};
}

QString Einheitencode(const QString &einheit)
{
    static const QHash<QString, QString> codes{
        {QStringLiteral("stk"), QStringLiteral("H87")},   {QStringLiteral("stück"), QStringLiteral("H87")},
        {QStringLiteral("st"), QStringLiteral("H87")},    {QStringLiteral("pcs"), QStringLiteral("H87")},
        {QStringLiteral("kg"), QStringLiteral("KGM")},    {QStringLiteral("g"), QStringLiteral("GRM")},
        {QStringLiteral("m"), QStringLiteral("MTR")},     {QStringLiteral("lfm"), QStringLiteral("MTR")},
        {QStringLiteral("m²"), QStringLiteral("MTK")},    {QStringLiteral("m2"), QStringLiteral("MTK")},
        {QStringLiteral("qm"), QStringLiteral("MTK")},    {QStringLiteral("m³"), QStringLiteral("MTQ")},
        {QStringLiteral("m3"), QStringLiteral("MTQ")},    {QStringLiteral("cbm"), QStringLiteral("MTQ")},
        {QStringLiteral("to"), QStringLiteral("TNE")},    {QStringLiteral("t"), QStringLiteral("TNE")},
        {QStringLiteral("std"), QStringLiteral("HUR")},   {QStringLiteral("h"), QStringLiteral("HUR")},
        {QStringLiteral("km"), QStringLiteral("KMT")},    {QStringLiteral("l"), QStringLiteral("LTR")},
        {QStringLiteral("ltr"), QStringLiteral("LTR")},   {QStringLiteral("pauschal"), QStringLiteral("LS")},
        {QStringLiteral("psch"), QStringLiteral("LS")},   {QStringLiteral("min"), QStringLiteral("MIN")},
    };
    QString k = einheit.trimmed().toLower();
    if (k.endsWith(QLatin1Char('.')))
        k.chop(1);
    return codes.value(k, QStringLiteral("C62"));
}

QString Waehrungscode(const QString &waehrung)
{
    static const QHash<QString, QString> codes{
        {QStringLiteral("€"), QStringLiteral("EUR")},   {QStringLiteral("euro"), QStringLiteral("EUR")},
        {QStringLiteral("$"), QStringLiteral("USD")},   {QStringLiteral("us$"), QStringLiteral("USD")},
        {QStringLiteral("fr"), QStringLiteral("CHF")},  {QStringLiteral("sfr"), QStringLiteral("CHF")},
        {QStringLiteral("£"), QStringLiteral("GBP")},
    };
    QString k = waehrung.trimmed().toLower();
    if (k.endsWith(QLatin1Char('.')))
        k.chop(1);
    if (codes.contains(k))
        return codes.value(k);
    static const QRegularExpression iso(QStringLiteral("^[a-z]{3}$"));
    return iso.match(k).hasMatch() ? k.toUpper() : QString();
}

bool IbanGueltig(const QString &text)
{
    QString iban;
    for (const QChar c : text)
        if (!c.isSpace())
            iban += c.toUpper();
    static const QRegularExpression form(QStringLiteral("^[A-Z]{2}[0-9]{2}[A-Z0-9]{11,30}$"));
    if (!form.match(iban).hasMatch())
        return false;
    const QString umgestellt = iban.mid(4) + iban.left(4);
    int rest = 0;
    for (const QChar c : umgestellt) {
        const int v = c.isDigit() ? c.digitValue() : c.unicode() - 'A' + 10;
        rest = v >= 10 ? (rest * 100 + v) % 97 : (rest * 10 + v) % 97;
    }
    return rest == 1;
}

} // namespace EInvoice
