#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QSettings>
#include <QWidget>

QString EinstellungDef::property() const
{
    switch (kind) {
    case Text: return QStringLiteral("Text");
    case Value: return QStringLiteral("Value");
    case Lines: return QStringLiteral("Lines");
    case Checked: return QStringLiteral("Checked");
    case ItemIndex: return QStringLiteral("ItemIndex");
    }
    return {};
}

const QList<EinstellungDef> &persistierteEinstellungen()
{
    using D = EinstellungDef;
    static const QList<EinstellungDef> defs = {
        {QStringLiteral("ed_markergruen"), D::Text, QStringLiteral("Bezahlt")},
        {QStringLiteral("ed_markerrot1"), D::Text, QStringLiteral("1 Mahnung")},
        {QStringLiteral("ed_markerrot2"), D::Text, QStringLiteral("2 Mahnung")},
        {QStringLiteral("ed_markerrot3"), D::Text, QStringLiteral("3 Mahnung")},
        {QStringLiteral("ed_markerrot"), D::Text, QStringLiteral("Uneinbringbar")},
        {QStringLiteral("ed_markergelb"), D::Text, QStringLiteral("Sonstiges 1")},
        {QStringLiteral("ed_markerblau"), D::Text, QStringLiteral("Sonstiges 2")},
        {QStringLiteral("ed_markerneutral"), D::Text, QStringLiteral("Neutral")},
        {QStringLiteral("cb_drucker_re"), D::Text, QString()},
        {QStringLiteral("cb_papier_re"), D::Text, QString()},
        {QStringLiteral("cb_zufuhr_re"), D::Text, QString()},
        {QStringLiteral("ed_anzahl_re"), D::Value, 1},
        {QStringLiteral("ed_pdf_ablage_faktura"), D::Text, QString()},
        {QStringLiteral("ed_subject_re"), D::Text, QStringLiteral("Rechnung von Firma MOSKERA")},
        {QStringLiteral("me_body_re"), D::Lines,
         QStringList{QStringLiteral("Hiermit übersenden wir ihnen die Rechnung zu ihrer Bestellung."), QString(), QString()}},
        {QStringLiteral("re_kopftextvorschlag_re"), D::Lines,
         QStringList{QStringLiteral("Herzlichen Dank für ihr Vertrauen in unsere Dienstleistungen.")}},
        {QStringLiteral("re_fusstextvorschlag_re"), D::Lines,
         QStringList{QStringLiteral("Bitte den Betrag innerhalb von 14 Tagen überweisen")}},
        {QStringLiteral("re_fusstext_re"), D::Lines, QStringList{QString()}},
        {QStringLiteral("ed_mwst_a"), D::Text, QStringLiteral("20")},
        {QStringLiteral("ed_mwst_b"), D::Text, QStringLiteral("10")},
        {QStringLiteral("ed_mwst_c"), D::Text, QStringLiteral("13")},
        {QStringLiteral("ed_mwst_d"), D::Text, QStringLiteral("0")},
        {QStringLiteral("cb_bildeinszueins"), D::Checked, false},
        {QStringLiteral("ed_periode_re"), D::Text, QStringLiteral("20120101")},
        {QStringLiteral("rg_sprache"), D::ItemIndex, 0},
        {QStringLiteral("ed_gutschrifttext_re"), D::Text, QStringLiteral("Gutschrift Nr.")},
        {QStringLiteral("me_laender"), D::Lines,
         QStringList{QStringLiteral("Italy"), QStringLiteral("Germany"), QStringLiteral("Austria"),
                     QStringLiteral("France"), QStringLiteral("Switzerland"), QStringLiteral("United States"),
                     QStringLiteral("Canada"), QStringLiteral("Europe")}},
        {QStringLiteral("cb_rappenrundung"), D::Checked, false},
        // on for the German interface; the first start sets it by the chosen language
        {QStringLiteral("cb_erechnung"), D::Checked, true},
        {QStringLiteral("ed_bearbeiter_re"), D::Text, QString()},
        {QStringLiteral("cb_firmenkopf_re"), D::Checked, true},
        {QStringLiteral("cb_gsmtpvoranstellen"), D::Checked, false},
        {QStringLiteral("cb_ersterstart"), D::Checked, true},
        {QStringLiteral("ed_waehrung"), D::Text, QStringLiteral("€")},
    };
    return defs;
}

FormStorage::FormStorage(QWidget *form, const QString &section) : m_form(form), m_section(section) {}

QString FormStorage::organisation()
{
    const QString exe = QCoreApplication::applicationFilePath();
    const QString base = QFileInfo(exe).completeBaseName();
    return base.isEmpty() ? QStringLiteral("torvanex") : base;
}

static bool readBool(const QVariant &v, bool *ok)
{
    const QString s = v.toString().trimmed().toLower();
    *ok = true;
    if (s == QLatin1String("1") || s == QLatin1String("true"))
        return true;
    if (s == QLatin1String("0") || s == QLatin1String("false"))
        return false;
    *ok = false;
    return false;
}

void FormStorage::restore()
{
    Einstellung::setSource(m_form);
    QSettings st(organisation(), organisation());
    for (const EinstellungDef &d : persistierteEinstellungen()) {
        Einstellung::set(d.component, d.defaultValue);
        if (d.kind == EinstellungDef::Lines) {
            st.beginGroup(m_section + QLatin1Char('.') + d.key());
            bool ok = false;
            const int count = st.value(QStringLiteral("Count")).toString().trimmed().toInt(&ok);
            if (ok && count >= 0 && st.contains(QStringLiteral("Count"))) {
                QStringList lines;
                for (int i = 0; i < count && i < 100000; ++i)
                    lines << st.value(QStringLiteral("Item%1").arg(i)).toString().trimmed();
                Einstellung::set(d.component, lines);
            }
            st.endGroup();
            continue;
        }
        st.beginGroup(m_section);
        const QVariant v = st.value(d.key());
        st.endGroup();
        if (!v.isValid())
            continue;
        const QString s = v.toString().trimmed();
        bool ok = true;
        switch (d.kind) {
        case EinstellungDef::Text:
            Einstellung::set(d.component, s);
            break;
        case EinstellungDef::Value:
        case EinstellungDef::ItemIndex: {
            const int n = s.toInt(&ok);
            if (ok)
                Einstellung::set(d.component, n);
            break;
        }
        case EinstellungDef::Checked: {
            const bool b = readBool(s, &ok);
            if (ok)
                Einstellung::set(d.component, b);
            break;
        }
        case EinstellungDef::Lines:
            break;
        }
    }
}

void FormStorage::save()
{
    QSettings st(organisation(), organisation());
    for (const EinstellungDef &d : persistierteEinstellungen()) {
        if (d.kind == EinstellungDef::Lines) {
            const QStringList lines = Einstellung::lines(d.component);
            st.remove(m_section + QLatin1Char('.') + d.key());
            st.beginGroup(m_section + QLatin1Char('.') + d.key());
            st.setValue(QStringLiteral("Count"), QString::number(lines.size()));
            for (int i = 0; i < lines.size(); ++i)
                st.setValue(QStringLiteral("Item%1").arg(i), lines[i].trimmed());
            st.endGroup();
            continue;
        }
        st.beginGroup(m_section);
        switch (d.kind) {
        case EinstellungDef::Text:
        case EinstellungDef::Value:
            st.setValue(d.key(), Einstellung::text(d.component).trimmed());
            break;
        case EinstellungDef::Checked:
            st.setValue(d.key(), Einstellung::checked(d.component) ? QStringLiteral("1") : QStringLiteral("0"));
            break;
        case EinstellungDef::ItemIndex:
            st.setValue(d.key(), QString::number(Einstellung::itemIndex(d.component)));
            break;
        case EinstellungDef::Lines:
            break;
        }
        st.endGroup();
    }
    if (m_form) {
        st.beginGroup(m_section);
        // the placement of the window: its client rectangle and whether maximised
        const QRect r = m_form->isMaximized() ? m_form->normalGeometry() : m_form->geometry();
        st.setValue(QStringLiteral("Left"), r.x());
        st.setValue(QStringLiteral("Top"), r.y());
        st.setValue(QStringLiteral("Width"), r.width());
        st.setValue(QStringLiteral("Height"), r.height());
        st.setValue(QStringLiteral("Maximized"), m_form->isMaximized() ? 1 : 0);
        st.endGroup();
    }
    st.sync();
}
