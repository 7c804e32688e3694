// Factur-X / ZUGFeRD: the invoice PDF as PDF/A-3b with the CII XML embedded.
#include "einvoice/u_erechnung.h"
#include "einvoice/u_facturx.h"

#include "app/core/u_global.h"
#include "app/core/u_strings.h"
#include "output/u_rechnungsbericht.h"
#include "output/udm_rechnungen.h"
#include "platform/core/clock.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QTemporaryFile>

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFEFStreamObjectHelper.hh>
#include <qpdf/QPDFEmbeddedFileDocumentHelper.hh>
#include <qpdf/QPDFFileSpecObjectHelper.hh>
#include <qpdf/QPDFObjectHandle.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>

namespace EInvoice {

namespace {

const char *const kAnhang = "factur-x.xml";

QString xmlText(const QString &s)
{
    return s.toHtmlEscaped();
}

// "D:20240614103000+02'00'"
std::string pdfDatum(const QDateTime &t)
{
    const int off = t.offsetFromUtc() / 60;
    const QChar vz = off < 0 ? u'-' : u'+';
    const int a = qAbs(off);
    return QStringLiteral("D:%1%2%3'%4'")
        .arg(t.toString(QStringLiteral("yyyyMMddHHmmss")))
        .arg(vz)
        .arg(a / 60, 2, 10, QLatin1Char('0'))
        .arg(a % 60, 2, 10, QLatin1Char('0'))
        .toStdString();
}

// "2024-06-14T10:30:00+02:00"
QString xmpDatum(const QDateTime &t)
{
    return t.toOffsetFromUtc(t.offsetFromUtc()).toString(Qt::ISODate);
}

QString infoText(QPDFObjectHandle info, const char *key)
{
    if (!info.isDictionary() || !info.hasKey(key))
        return {};
    QPDFObjectHandle v = info.getKey(key);
    return v.isString() ? QString::fromStdString(v.getUTF8Value()) : QString();
}

} // namespace

QByteArray FacturXXmp(const QString &titel, const QString &ersteller, const QString &produzent, const QDateTime &zeit)
{
    const QString z = xmpDatum(zeit);
    QString x;
    x += QStringLiteral("<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n");
    x += QStringLiteral("<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
                        "<rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n");
    x += QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:pdfaid=\"http://www.aiim.org/pdfa/ns/id/\">\n"
                        "<pdfaid:part>3</pdfaid:part>\n<pdfaid:conformance>B</pdfaid:conformance>\n"
                        "</rdf:Description>\n");
    x += QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
                        "<dc:format>application/pdf</dc:format>\n"
                        "<dc:title><rdf:Alt><rdf:li xml:lang=\"x-default\">%1</rdf:li></rdf:Alt></dc:title>\n"
                        "</rdf:Description>\n")
             .arg(xmlText(titel));
    x += QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:xmp=\"http://ns.adobe.com/xap/1.0/\">\n"
                        "<xmp:CreatorTool>%1</xmp:CreatorTool>\n<xmp:CreateDate>%2</xmp:CreateDate>\n"
                        "<xmp:ModifyDate>%2</xmp:ModifyDate>\n<xmp:MetadataDate>%2</xmp:MetadataDate>\n"
                        "</rdf:Description>\n")
             .arg(xmlText(ersteller), z);
    x += QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:pdf=\"http://ns.adobe.com/pdf/1.3/\">\n"
                        "<pdf:Producer>%1</pdf:Producer>\n</rdf:Description>\n")
             .arg(xmlText(produzent));
    // the extension schema that declares the Factur-X properties for PDF/A
    x += QStringLiteral(
        "<rdf:Description rdf:about=\"\" xmlns:pdfaExtension=\"http://www.aiim.org/pdfa/ns/extension/\"\n"
        "  xmlns:pdfaSchema=\"http://www.aiim.org/pdfa/ns/schema#\" xmlns:pdfaProperty=\"http://www.aiim.org/pdfa/ns/property#\">\n"
        "<pdfaExtension:schemas><rdf:Bag><rdf:li rdf:parseType=\"Resource\">\n"
        "<pdfaSchema:schema>Factur-X PDFA Extension Schema</pdfaSchema:schema>\n"
        "<pdfaSchema:namespaceURI>urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#</pdfaSchema:namespaceURI>\n"
        "<pdfaSchema:prefix>fx</pdfaSchema:prefix>\n"
        "<pdfaSchema:property><rdf:Seq>\n");
    const char *const eigenschaften[4][2] = {
        {"DocumentFileName", "The name of the embedded XML document"},
        {"DocumentType", "The type of the hybrid document in capital letters, e.g. INVOICE or ORDER"},
        {"Version", "The actual version of the standard applying to the embedded XML document"},
        {"ConformanceLevel", "The conformance level of the embedded XML document"},
    };
    for (const auto &e : eigenschaften)
        x += QStringLiteral("<rdf:li rdf:parseType=\"Resource\">\n<pdfaProperty:name>%1</pdfaProperty:name>\n"
                            "<pdfaProperty:valueType>Text</pdfaProperty:valueType>\n"
                            "<pdfaProperty:category>external</pdfaProperty:category>\n"
                            "<pdfaProperty:description>%2</pdfaProperty:description>\n</rdf:li>\n")
                 .arg(QLatin1String(e[0]), QLatin1String(e[1]));
    x += QStringLiteral("</rdf:Seq></pdfaSchema:property>\n</rdf:li></rdf:Bag></pdfaExtension:schemas>\n"
                        "</rdf:Description>\n");
    x += QStringLiteral("<rdf:Description rdf:about=\"\" xmlns:fx=\"urn:factur-x:pdfa:CrossIndustryDocument:invoice:1p0#\">\n"
                        "<fx:DocumentType>INVOICE</fx:DocumentType>\n"
                        "<fx:DocumentFileName>factur-x.xml</fx:DocumentFileName>\n"
                        "<fx:Version>1.0</fx:Version>\n"
                        "<fx:ConformanceLevel>EN 16931</fx:ConformanceLevel>\n"
                        "</rdf:Description>\n");
    x += QStringLiteral("</rdf:RDF>\n</x:xmpmeta>\n");
    // room for in-place edits, as XMP writers leave it
    x += QString(2000, QLatin1Char(' ')) + QStringLiteral("\n<?xpacket end=\"w\"?>");
    return x.toUtf8();
}

bool IstPdfA(const QString &pdfDatei)
{
    try {
        QPDF pdf;
        pdf.setSuppressWarnings(true);
        pdf.processFile(QFile::encodeName(pdfDatei).constData());
        QPDFObjectHandle root = pdf.getRoot();
        return root.hasKey("/OutputIntents") && root.getKey("/OutputIntents").isArray() &&
               root.getKey("/OutputIntents").getArrayNItems() > 0;
    } catch (const std::exception &) {
        return false;
    }
}

QByteArray FacturXPdf(const QString &pdfA1Datei, const QByteArray &xml, const QDateTime &zeit)
{
    QPDF pdf;
    pdf.setSuppressWarnings(true);
    pdf.processFile(QFile::encodeName(pdfA1Datei).constData());
    QPDFObjectHandle root = pdf.getRoot();
    QPDFObjectHandle trailer = pdf.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = pdf.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    const std::string datum = pdfDatum(zeit);

    // the attachment
    auto ef = QPDFEFStreamObjectHelper::createEFStream(pdf, xml.toStdString());
    ef.setSubtype("text/xml").setModDate(datum);
    auto fs = QPDFFileSpecObjectHelper::createFileSpec(pdf, kAnhang, ef);
    fs.setDescription("Factur-X Invoice");
    QPDFObjectHandle dateiangabe = fs.getObjectHandle();
    dateiangabe.replaceKey("/AFRelationship", QPDFObjectHandle::newName("/Alternative"));
    QPDFEmbeddedFileDocumentHelper(pdf).replaceEmbeddedFile(kAnhang, fs);
    root.replaceKey("/AF", QPDFObjectHandle::newArray(std::vector<QPDFObjectHandle>{dateiangabe}));

    // metadata: PDF/A-3B with the Factur-X schema, consistent with the document info
    QString titel = infoText(info, "/Title");
    const QString ersteller = infoText(info, "/Creator");
    const QString produzent = infoText(info, "/Producer");
    info.replaceKey("/CreationDate", QPDFObjectHandle::newString(datum));
    info.replaceKey("/ModDate", QPDFObjectHandle::newString(datum));
    QPDFObjectHandle meta = QPDFObjectHandle::newStream(&pdf, FacturXXmp(titel, ersteller, produzent, zeit).toStdString());
    meta.getDict().replaceKey("/Type", QPDFObjectHandle::newName("/Metadata"));
    meta.getDict().replaceKey("/Subtype", QPDFObjectHandle::newName("/XML"));
    root.replaceKey("/Metadata", meta);

    QPDFWriter w(pdf);
    w.setOutputMemory();
    w.setMinimumPDFVersion("1.7");
    w.write();
    std::shared_ptr<Buffer> buf = w.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char *>(buf->getBuffer()), qsizetype(buf->getSize()));
}

void FacturXEinbetten(const QString &pdfDatei, int firma, int periode_re, int rechnung_nr)
{
    // the data first: a refusal leaves the PDF as it is
    const QByteArray xml = CiiXml(firma, periode_re, rechnung_nr, Syntax::FacturX);
    if (!QFileInfo(pdfDatei).isFile())
        throw TvxError(txt("ei_29") + pdfDatei);
    try {
        QString quelle = pdfDatei;
        QTemporaryFile neu(QFileInfo(pdfDatei).absolutePath() + QStringLiteral("/.pdfa-XXXXXX.pdf"));
        if (!IstPdfA(pdfDatei)) {
            // the document again, this time with embedded fonts, XMP and output intent
            if (!dm_rechnungen || !neu.open())
                throw TvxError(txt("ei_29") + pdfDatei);
            neu.close();
            TRechnungsbericht &b = dm_rechnungen->bericht;
            struct Schliessen {
                TRechnungsbericht &b;
                ~Schliessen() { b.schliessen(); }
            } schliessen{b};
            Gutschrift = false;
            if (b.oeffnen(firma, periode_re, rechnung_nr) == 0)
                throw TvxError(txt("ei_26"));
            b.rp_rechnung.documentName = txt("sk_17") + QString::number(rechnung_nr);
            b.rp_rechnung.twoPass = ZweiDurchlaeufe;
            rpt::PdfOptions o;
            o.title = b.rp_rechnung.documentName;
            o.pdfA = true;
            b.rp_rechnung.exportPdf(neu.fileName(), o);
            quelle = neu.fileName();
        }
        const QByteArray pdf = FacturXPdf(quelle, xml, Clock::now());
        QSaveFile ziel(pdfDatei);
        if (!ziel.open(QIODevice::WriteOnly) || ziel.write(pdf) != pdf.size() || !ziel.commit())
            throw TvxError(txt("ei_29") + pdfDatei);
        QFile::setPermissions(pdfDatei, QFile::ReadOwner | QFile::WriteOwner);
    } catch (const TvxError &) {
        throw;
    } catch (const std::exception &e) {
        throw TvxError(txt("ei_29") + pdfDatei + QStringLiteral(": ") + QString::fromLocal8Bit(e.what()));
    }
}

} // namespace EInvoice
