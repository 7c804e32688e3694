#include "maintenance/u_export.h"

#include "app/core/u_einstellungen.h"
#include "app/core/u_global.h"
#include "platform/core/dialogs.h"
#include "platform/core/guarded.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const ExportFormat kFormate[] = {ExportFormat::Text, ExportFormat::Csv,  ExportFormat::Html,
                                 ExportFormat::Xml,  ExportFormat::Xlsx, ExportFormat::Rtf,
                                 ExportFormat::Pdf,  ExportFormat::Zwischenablage};

const char *formatSchluessel(ExportFormat f)
{
    switch (f) {
    case ExportFormat::Text: return "Text";
    case ExportFormat::Csv: return "CSV";
    case ExportFormat::Html: return "HTML";
    case ExportFormat::Xml: return "XML";
    case ExportFormat::Xlsx: return "XLSX";
    case ExportFormat::Rtf: return "RTF";
    case ExportFormat::Pdf: return "PDF";
    case ExportFormat::Zwischenablage: return "Zwischenablage";
    }
    return "Text";
}

ExportFormat formatAusSchluessel(const QString &s)
{
    for (ExportFormat f : kFormate)
        if (s.compare(QLatin1String(formatSchluessel(f)), Qt::CaseInsensitive) == 0)
            return f;
    return ExportFormat::Text;
}

const struct {
    const char *name;
    const char *zeichen;
} kTrenner[] = {{"Tabulator", "\t"}, {"Semikolon ;", ";"}, {"Komma ,", ","}, {"Leerzeichen", " "},
                {"Senkrechter Strich |", "|"}, {"keines", ""}};

const struct {
    const char *name;
    const char *zeichen;
} kBegrenzer[] = {{"Doppeltes Anführungszeichen \"", "\""}, {"Einfaches Anführungszeichen '", "'"}, {"keines", ""}};

QStyle::StandardPixmap formatSymbol(ExportFormat f)
{
    switch (f) {
    case ExportFormat::Html: return QStyle::SP_DirLinkIcon;
    case ExportFormat::Xlsx: return QStyle::SP_FileDialogDetailedView;
    case ExportFormat::Pdf: return QStyle::SP_FileIcon;
    case ExportFormat::Zwischenablage: return QStyle::SP_DialogApplyButton;
    default: return QStyle::SP_FileIcon;
    }
}

} // namespace

ExportEinstellungen Tfrm_export::standard()
{
    ExportEinstellungen e;
    e.datei = Programmordner() + QStringLiteral("Sicherungen/Export.TXT");
    return e;
}

ExportEinstellungen Tfrm_export::gespeichert()
{
    ExportEinstellungen e = standard();
    QSettings st(FormStorage::organisation(), FormStorage::organisation());
    st.beginGroup(einstellungsGruppe());
    if (!st.contains(QStringLiteral("Format")))
        return e;
    e.format = formatAusSchluessel(st.value(QStringLiteral("Format")).toString());
    e.datei = st.value(QStringLiteral("Datei"), e.datei).toString();
    e.trenner = st.value(QStringLiteral("Trenner"), e.trenner).toString();
    e.begrenzer = st.value(QStringLiteral("Begrenzer"), e.begrenzer).toString();
    e.titelzeile = st.value(QStringLiteral("Titelzeile"), e.titelzeile).toBool();
    e.festeBreite = st.value(QStringLiteral("FesteBreite"), e.festeBreite).toBool();
    e.ansi = st.value(QStringLiteral("Ansi"), e.ansi).toBool();
    ExportZahlenformate &f = e.formate;
    f.datumsformat = st.value(QStringLiteral("Datumsformat"), f.datumsformat).toString();
    f.zeitformat = st.value(QStringLiteral("Zeitformat"), f.zeitformat).toString();
    f.tausender = st.value(QStringLiteral("Tausender"), f.tausender).toString();
    f.dezimal = st.value(QStringLiteral("Dezimal"), f.dezimal).toString();
    f.waehrung = st.value(QStringLiteral("Waehrung"), f.waehrung).toString();
    f.alsBetrag = st.value(QStringLiteral("AlsBetrag"), f.alsBetrag).toBool();
    f.wahr = st.value(QStringLiteral("Wahr"), f.wahr).toString();
    f.falsch = st.value(QStringLiteral("Falsch"), f.falsch).toString();
    return e;
}

void Tfrm_export::speichern(const ExportEinstellungen &e)
{
    QSettings st(FormStorage::organisation(), FormStorage::organisation());
    st.beginGroup(einstellungsGruppe());
    st.setValue(QStringLiteral("Format"), QString::fromLatin1(formatSchluessel(e.format)));
    st.setValue(QStringLiteral("Datei"), e.datei);
    st.setValue(QStringLiteral("Trenner"), e.trenner);
    st.setValue(QStringLiteral("Begrenzer"), e.begrenzer);
    st.setValue(QStringLiteral("Titelzeile"), e.titelzeile);
    st.setValue(QStringLiteral("FesteBreite"), e.festeBreite);
    st.setValue(QStringLiteral("Ansi"), e.ansi);
    const ExportZahlenformate &f = e.formate;
    st.setValue(QStringLiteral("Datumsformat"), f.datumsformat);
    st.setValue(QStringLiteral("Zeitformat"), f.zeitformat);
    st.setValue(QStringLiteral("Tausender"), f.tausender);
    st.setValue(QStringLiteral("Dezimal"), f.dezimal);
    st.setValue(QStringLiteral("Waehrung"), f.waehrung);
    st.setValue(QStringLiteral("AlsBetrag"), f.alsBetrag);
    st.setValue(QStringLiteral("Wahr"), f.wahr);
    st.setValue(QStringLiteral("Falsch"), f.falsch);
    st.endGroup();
    st.sync();
}

Tfrm_export::Tfrm_export(ExportQuelle quelle, QWidget *parent) : QDialog(parent), m_quelle(std::move(quelle))
{
    setObjectName(QStringLiteral("frm_export"));
    setWindowTitle(QStringLiteral("Daten exportieren"));
    setModal(true);

    auto *v = new QVBoxLayout(this);
    auto *oben = new QHBoxLayout;
    v->addLayout(oben, 1);

    auto *gbFormat = new QGroupBox(QStringLiteral("Format"), this);
    auto *fl = new QVBoxLayout(gbFormat);
    lb_format = new QListWidget(gbFormat);
    lb_format->setObjectName(QStringLiteral("lb_format"));
    for (ExportFormat f : kFormate) {
        auto *it = new QListWidgetItem(style()->standardIcon(formatSymbol(f)), exportFormatName(f), lb_format);
        it->setData(Qt::UserRole, int(f));
    }
    lb_format->setMinimumWidth(190);
    lb_format->setSpacing(1);
    lb_format->setIconSize(QSize(20, 20));
    fl->addWidget(lb_format);
    oben->addWidget(gbFormat);

    auto *rechts = new QVBoxLayout;
    oben->addLayout(rechts, 1);

    auto *gbZiel = new QGroupBox(QStringLiteral("Ziel"), this);
    auto *zl = new QHBoxLayout(gbZiel);
    ed_datei = new QLineEdit(gbZiel);
    ed_datei->setObjectName(QStringLiteral("ed_datei"));
    ed_datei->setMinimumWidth(320);
    btn_datei = new QPushButton(QStringLiteral("Durchsuchen …"), gbZiel);
    btn_datei->setObjectName(QStringLiteral("btn_datei"));
    btn_datei->setAutoDefault(false);
    zl->addWidget(new QLabel(QStringLiteral("Datei:"), gbZiel));
    zl->addWidget(ed_datei, 1);
    zl->addWidget(btn_datei);
    rechts->addWidget(gbZiel);

    gb_text = new QGroupBox(QStringLiteral("Text und CSV"), this);
    gb_text->setObjectName(QStringLiteral("gb_text"));
    auto *tl = new QFormLayout(gb_text);
    cb_trenner = new QComboBox(gb_text);
    cb_trenner->setObjectName(QStringLiteral("cb_trenner"));
    for (const auto &t : kTrenner)
        cb_trenner->addItem(QString::fromUtf8(t.name), QString::fromUtf8(t.zeichen));
    cb_begrenzer = new QComboBox(gb_text);
    cb_begrenzer->setObjectName(QStringLiteral("cb_begrenzer"));
    for (const auto &b : kBegrenzer)
        cb_begrenzer->addItem(QString::fromUtf8(b.name), QString::fromUtf8(b.zeichen));
    cb_zeichensatz = new QComboBox(gb_text);
    cb_zeichensatz->setObjectName(QStringLiteral("cb_zeichensatz"));
    cb_zeichensatz->addItem(QStringLiteral("Windows (ANSI, Windows-1252)"), true);
    cb_zeichensatz->addItem(QStringLiteral("Unicode (UTF-8)"), false);
    cb_titelzeile = new QCheckBox(QStringLiteral("Spaltentitel als erste Zeile"), gb_text);
    cb_titelzeile->setObjectName(QStringLiteral("cb_titelzeile"));
    cb_festebreite = new QCheckBox(QStringLiteral("Feste Spaltenbreite"), gb_text);
    cb_festebreite->setObjectName(QStringLiteral("cb_festebreite"));
    tl->addRow(QStringLiteral("Feldtrenner:"), cb_trenner);
    tl->addRow(QStringLiteral("Textbegrenzer:"), cb_begrenzer);
    tl->addRow(QStringLiteral("Zeichensatz:"), cb_zeichensatz);
    tl->addRow(QString(), cb_titelzeile);
    tl->addRow(QString(), cb_festebreite);
    rechts->addWidget(gb_text);

    auto *gbFormate = new QGroupBox(QStringLiteral("Zahlen und Datum"), this);
    auto *g = new QGridLayout(gbFormate);
    auto kurz = [&](const char *name, int breite) {
        auto *e = new QLineEdit(gbFormate);
        e->setObjectName(QString::fromLatin1(name));
        e->setMaximumWidth(breite);
        return e;
    };
    ed_datumsformat = kurz("ed_datumsformat", 120);
    ed_zeitformat = kurz("ed_zeitformat", 120);
    ed_tausender = kurz("ed_tausender", 40);
    ed_dezimal = kurz("ed_dezimal", 40);
    ed_waehrung = kurz("ed_waehrung", 60);
    ed_wahr = kurz("ed_wahr", 90);
    ed_falsch = kurz("ed_falsch", 90);
    cb_betrag = new QCheckBox(QStringLiteral("Gleitkommazahlen als Betrag mit zwei Stellen und Währung"), gbFormate);
    cb_betrag->setObjectName(QStringLiteral("cb_betrag"));
    auto zeile = [&](int r, int c, const QString &text, QWidget *w) {
        auto *l = new QLabel(text, gbFormate);
        l->setBuddy(w);
        g->addWidget(l, r, c);
        g->addWidget(w, r, c + 1);
    };
    zeile(0, 0, QStringLiteral("Datum:"), ed_datumsformat);
    zeile(0, 2, QStringLiteral("Zeit:"), ed_zeitformat);
    zeile(1, 0, QStringLiteral("Tausendertrennzeichen:"), ed_tausender);
    zeile(1, 2, QStringLiteral("Dezimaltrennzeichen:"), ed_dezimal);
    zeile(2, 0, QStringLiteral("Wahr:"), ed_wahr);
    zeile(2, 2, QStringLiteral("Falsch:"), ed_falsch);
    zeile(3, 0, QStringLiteral("Währung:"), ed_waehrung);
    g->addWidget(cb_betrag, 4, 0, 1, 4);
    g->setColumnStretch(4, 1);
    rechts->addWidget(gbFormate);
    rechts->addStretch(1);

    lbl_umfang = new QLabel(this);
    lbl_umfang->setObjectName(QStringLiteral("lbl_umfang"));
    lbl_umfang->setText(QStringLiteral("Alle %1 Datensätze, %2 Spalten in der Reihenfolge des Rasters")
                            .arg(m_quelle.zeilen)
                            .arg(m_quelle.titel.size()));
    v->addWidget(lbl_umfang);
    pb_export = new QProgressBar(this);
    pb_export->setObjectName(QStringLiteral("pb_export"));
    pb_export->setRange(0, qMax(1, m_quelle.zeilen));
    pb_export->setValue(0);
    pb_export->setTextVisible(true);
    v->addWidget(pb_export);

    auto *unten = new QHBoxLayout;
    unten->addStretch(1);
    btn_exportieren = new QPushButton(style()->standardIcon(QStyle::SP_DialogSaveButton), QStringLiteral("Exportieren"), this);
    btn_exportieren->setObjectName(QStringLiteral("btn_exportieren"));
    btn_exportieren->setDefault(true);
    btn_abbrechen = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Abbrechen"), this);
    btn_abbrechen->setObjectName(QStringLiteral("btn_abbrechen"));
    btn_abbrechen->setAutoDefault(false);
    unten->addWidget(btn_exportieren);
    unten->addWidget(btn_abbrechen);
    v->addLayout(unten);

    setEinstellungen(gespeichert());

    connect(lb_format, &QListWidget::currentRowChanged, this, [this] { formatGewechselt(true); });
    connect(btn_datei, &QPushButton::clicked, this, [this] { guarded([this] { dateiWaehlen(); }); });
    connect(btn_exportieren, &QPushButton::clicked, this, [this] {
        guarded([this] {
            if (btn_exportierenClick())
                accept();
        });
    });
    connect(btn_abbrechen, &QPushButton::clicked, this, &Tfrm_export::reject);
    connect(cb_festebreite, &QCheckBox::toggled, cb_begrenzer, [this](bool an) { cb_begrenzer->setEnabled(!an); });
}

ExportFormat Tfrm_export::format() const
{
    const QListWidgetItem *it = lb_format->currentItem();
    return it ? ExportFormat(it->data(Qt::UserRole).toInt()) : ExportFormat::Text;
}

void Tfrm_export::setEinstellungen(const ExportEinstellungen &e)
{
    const QSignalBlocker block(lb_format);
    for (int i = 0; i < lb_format->count(); ++i)
        if (ExportFormat(lb_format->item(i)->data(Qt::UserRole).toInt()) == e.format)
            lb_format->setCurrentRow(i);
    m_letztesFormat = e.format;
    ed_datei->setText(QDir::toNativeSeparators(e.datei));
    int t = cb_trenner->findData(e.trenner);
    if (t < 0) {
        cb_trenner->addItem(QStringLiteral("„%1“").arg(e.trenner), e.trenner);
        t = cb_trenner->count() - 1;
    }
    cb_trenner->setCurrentIndex(t);
    const int b = cb_begrenzer->findData(e.begrenzer);
    cb_begrenzer->setCurrentIndex(b < 0 ? 0 : b);
    cb_titelzeile->setChecked(e.titelzeile);
    cb_festebreite->setChecked(e.festeBreite);
    cb_begrenzer->setEnabled(!e.festeBreite);
    cb_zeichensatz->setCurrentIndex(e.ansi ? 0 : 1);
    ed_datumsformat->setText(e.formate.datumsformat);
    ed_zeitformat->setText(e.formate.zeitformat);
    ed_tausender->setText(e.formate.tausender);
    ed_dezimal->setText(e.formate.dezimal);
    ed_waehrung->setText(e.formate.waehrung);
    cb_betrag->setChecked(e.formate.alsBetrag);
    ed_wahr->setText(e.formate.wahr);
    ed_falsch->setText(e.formate.falsch);
    formatGewechselt(false);
}

ExportEinstellungen Tfrm_export::einstellungen() const
{
    ExportEinstellungen e;
    e.format = format();
    e.datei = QDir::fromNativeSeparators(ed_datei->text().trimmed());
    e.trenner = cb_trenner->currentData().toString();
    e.begrenzer = cb_begrenzer->currentData().toString();
    e.titelzeile = cb_titelzeile->isChecked();
    e.festeBreite = cb_festebreite->isChecked();
    e.ansi = cb_zeichensatz->currentData().toBool();
    e.formate.datumsformat = ed_datumsformat->text();
    e.formate.zeitformat = ed_zeitformat->text();
    e.formate.tausender = ed_tausender->text();
    e.formate.dezimal = ed_dezimal->text();
    e.formate.waehrung = ed_waehrung->text();
    e.formate.alsBetrag = cb_betrag->isChecked();
    e.formate.wahr = ed_wahr->text();
    e.formate.falsch = ed_falsch->text();
    return e;
}

void Tfrm_export::formatGewechselt(bool vorgabenSetzen)
{
    const ExportFormat f = format();
    const bool text = f == ExportFormat::Text || f == ExportFormat::Csv || f == ExportFormat::Zwischenablage;
    gb_text->setEnabled(text);
    cb_festebreite->setEnabled(f == ExportFormat::Text);
    cb_zeichensatz->setEnabled(f != ExportFormat::Zwischenablage);
    cb_trenner->setEnabled(f != ExportFormat::Zwischenablage);
    const bool datei = f != ExportFormat::Zwischenablage;
    ed_datei->setEnabled(datei);
    btn_datei->setEnabled(datei);
    if (vorgabenSetzen && f != m_letztesFormat) {
        // the file name follows the format when it still carries the old ending
        const QString alt = exportEndung(m_letztesFormat), neu = exportEndung(f);
        QString pfad = ed_datei->text().trimmed();
        if (!neu.isEmpty()) {
            const QFileInfo fi(pfad);
            if (pfad.isEmpty())
                pfad = QDir::toNativeSeparators(Programmordner() + QStringLiteral("Sicherungen/Export.") + neu);
            else if (alt.isEmpty() || fi.suffix().compare(alt, Qt::CaseInsensitive) == 0 || fi.suffix().isEmpty())
                pfad = pfad.left(pfad.size() - (fi.suffix().isEmpty() ? 0 : fi.suffix().size() + 1))
                       + QLatin1Char('.') + neu;
            ed_datei->setText(pfad);
        }
        if (f == ExportFormat::Csv) {
            cb_trenner->setCurrentIndex(cb_trenner->findData(QStringLiteral(";")));
            cb_titelzeile->setChecked(true);
            cb_festebreite->setChecked(false);
        } else if (f == ExportFormat::Text) {
            cb_trenner->setCurrentIndex(cb_trenner->findData(QStringLiteral("\t")));
            cb_titelzeile->setChecked(false);
        } else if (f == ExportFormat::Zwischenablage) {
            cb_titelzeile->setChecked(true);
        }
    }
    m_letztesFormat = f;
}

void Tfrm_export::dateiWaehlen()
{
    const ExportFormat f = format();
    const QString endung = exportEndung(f);
    const QString filter = QStringLiteral("%1 (*.%2);;Alle Dateien (*)").arg(exportFormatName(f), endung.toLower());
    const QString datei = Dialogs::instance().saveFile(QStringLiteral("Exportdatei wählen"),
                                                       QDir::fromNativeSeparators(ed_datei->text().trimmed()), filter);
    if (!datei.isEmpty())
        ed_datei->setText(QDir::toNativeSeparators(datei));
}

void Tfrm_export::bedienbar(bool an)
{
    for (QWidget *w : findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
        if (w != btn_abbrechen && w != pb_export)
            w->setEnabled(an);
    btn_abbrechen->setEnabled(true);
    if (an)
        formatGewechselt(false);
}

bool Tfrm_export::btn_exportierenClick()
{
    if (m_laeuft)
        return false;
    const ExportEinstellungen e = einstellungen();
    if (e.format != ExportFormat::Zwischenablage) {
        if (e.datei.isEmpty()) {
            Dialogs::instance().warning(QStringLiteral("Bitte eine Zieldatei angeben."));
            return false;
        }
        if (QFileInfo(e.datei).isFile()
            && !Dialogs::instance().question(QStringLiteral("Die Datei „%1“ gibt es schon. Überschreiben?")
                                                 .arg(QDir::toNativeSeparators(e.datei))))
            return false;
    }
    m_laeuft = true;
    m_abbrechen = false;
    bedienbar(false);
    pb_export->setRange(0, qMax(1, m_quelle.zeilen));
    pb_export->setValue(0);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    QElapsedTimer uhr; // started at the first callback
    ExportErgebnis r;
    try {
        r = exportieren(m_quelle, e, [this, &uhr](int erledigt) {
            pb_export->setValue(erledigt);
            // keep the window painted and the cancel button alive, without
            // handing the event loop more often than it needs
            if (!uhr.isValid() || uhr.elapsed() >= 40) {
                QCoreApplication::processEvents();
                uhr.start();
            }
            return !m_abbrechen;
        });
    } catch (...) {
        QApplication::restoreOverrideCursor();
        m_laeuft = false;
        bedienbar(true);
        pb_export->setValue(0);
        throw;
    }
    QApplication::restoreOverrideCursor();
    m_laeuft = false;
    bedienbar(true);
    if (r.abgebrochen) {
        pb_export->setValue(0);
        Dialogs::instance().message(QStringLiteral("Der Export wurde abgebrochen; es wurde nichts geschrieben."));
        return false;
    }
    pb_export->setValue(pb_export->maximum());
    speichern(e);
    QString text = e.format == ExportFormat::Zwischenablage
                       ? QStringLiteral("%1 Datensätze wurden in die Zwischenablage kopiert.").arg(r.zeilen)
                       : QStringLiteral("%1 Datensätze wurden nach „%2“ exportiert.")
                             .arg(r.zeilen)
                             .arg(QDir::toNativeSeparators(e.datei));
    if (!r.verlustfrei)
        text += QStringLiteral("\nNicht jedes Zeichen ließ sich im gewählten Format darstellen; solche "
                               "Zeichen wurden ersetzt oder gekürzt.");
    Dialogs::instance().message(text);
    return true;
}

void Tfrm_export::reject()
{
    if (m_laeuft) {
        m_abbrechen = true;
        return;
    }
    QDialog::reject();
}
