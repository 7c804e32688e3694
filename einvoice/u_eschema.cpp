#include "einvoice/u_eschema.h"

#include "platform/core/errors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <libxml/parser.h>
#include <libxml/xmlschemas.h>

#include <memory>

static void schemaRessourcen() { Q_INIT_RESOURCE(erechnung); }

namespace EInvoice {

namespace {

void sammeln(void *ziel, const xmlError *e)
{
    auto *liste = static_cast<QStringList *>(ziel);
    if (!e || liste->size() >= 20)
        return;
    liste->append(QStringLiteral("%1: %2").arg(e->line).arg(QString::fromUtf8(e->message).trimmed()));
}

void sammelnAlt(void *ziel, xmlErrorPtr e) { sammeln(ziel, e); }

// The schema, parsed once. libxml2 resolves the imports by file name, so the
// four files are copied from the resource into a private folder first.
struct Schema {
    QTemporaryDir ordner;
    xmlSchemaPtr schema = nullptr;
    QStringList fehler;

    Schema()
    {
        schemaRessourcen();
        if (!ordner.isValid())
            throw TvxError(QStringLiteral("XML-Schema: kein temporärer Ordner"));
        const QDir quelle(QStringLiteral(":/einvoice/schema"));
        for (const QString &name : quelle.entryList(QDir::Files)) {
            QFile::copy(quelle.filePath(name), ordner.filePath(name));
        }
        const QByteArray haupt = QFile::encodeName(ordner.filePath(QStringLiteral("FACTUR-X_EN16931.xsd")));
        xmlSchemaParserCtxtPtr p = xmlSchemaNewParserCtxt(haupt.constData());
        if (!p)
            throw TvxError(QStringLiteral("XML-Schema nicht lesbar"));
        xmlSchemaSetParserStructuredErrors(p, sammelnAlt, &fehler);
        schema = xmlSchemaParse(p);
        xmlSchemaFreeParserCtxt(p);
        if (!schema)
            throw TvxError(QStringLiteral("XML-Schema nicht lesbar: ") + fehler.join(QLatin1Char('\n')));
    }
    ~Schema()
    {
        if (schema)
            xmlSchemaFree(schema);
    }
};

Schema &schema()
{
    static Schema s;
    return s;
}

} // namespace

QStringList SchemaFehler(const QByteArray &xml)
{
    Schema &s = schema();
    QStringList fehler;
    std::unique_ptr<xmlDoc, void (*)(xmlDocPtr)> doc(
        xmlReadMemory(xml.constData(), int(xml.size()), "factur-x.xml", "UTF-8",
                      XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING),
        xmlFreeDoc);
    if (!doc) {
        const xmlError *e = xmlGetLastError();
        return {e ? QStringLiteral("%1: %2").arg(e->line).arg(QString::fromUtf8(e->message).trimmed())
                  : QStringLiteral("XML nicht lesbar")};
    }
    xmlSchemaValidCtxtPtr v = xmlSchemaNewValidCtxt(s.schema);
    if (!v)
        return {QStringLiteral("XML-Schema nicht verfügbar")};
    xmlSchemaSetValidStructuredErrors(v, sammelnAlt, &fehler);
    const int rc = xmlSchemaValidateDoc(v, doc.get());
    xmlSchemaFreeValidCtxt(v);
    if (rc != 0 && fehler.isEmpty())
        fehler << QStringLiteral("XML-Schema: Fehler %1").arg(rc);
    return fehler;
}

} // namespace EInvoice
