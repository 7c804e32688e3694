#include "app/core/u_land.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "data/u_dm_datenbank.h"
#include "maintenance/u_datenbankinitialisieren.h"
#include "masterdata/u_artikelstammdaten.h"
#include "masterdata/u_kundenstammdaten.h"
#include "output/u_vorschau.h"
#include "output/udm_rechnung_vorschau.h"
#include "output/udm_rechnungen.h"
#include "richtext/u_kopftext.h"
#include "richtext/u_texteerfassen.h"

#include <QApplication>
#include <QIcon>
#include <memory>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("TORVANEX"));
    QApplication::setApplicationDisplayName(QStringLiteral("TORVANEX"));

    // Every window and data module exists once, created in this order, and is
    // only shown and hidden until the process ends.
    auto main = std::make_unique<Tfrm_main>();
    auto strings = std::make_unique<Tfrm_strings>();
    frm_strings = strings.get();
    auto datenbank = std::make_unique<Tdm_datenbank>();
    auto rechnungVorschau = std::make_unique<Tdm_rechnung_vorschau>();
    auto rechnungen = std::make_unique<Tdm_rechnungen>();
    auto land = std::make_unique<Tfrm_land>();
    frm_land = land.get();
    auto vorschau = std::make_unique<Tfrm_vorschau>(main.get());
    auto kunden = std::make_unique<Tfrm_kundenstammdaten>();
    auto texteerfassen = std::make_unique<Tfrm_texteerfassen>(main.get());
    frm_texteerfassen = texteerfassen.get();
    auto kopftext = std::make_unique<Tfrm_kopftext>(main.get());
    frm_kopftext = kopftext.get();
    auto artikel = std::make_unique<Tfrm_artikelstammdaten>();
    auto initialisieren = std::make_unique<Tfrm_datenbankinitialisieren>(main.get());

    verdrahten(); // connects the windows' seams
    main->show();
    const int rc = app.exec();

    // children of the main window go with it; the rest in reverse order
    initialisieren.reset();
    artikel.reset();
    frm_kopftext = nullptr;
    kopftext.reset();
    frm_texteerfassen = nullptr;
    texteerfassen.reset();
    kunden.reset();
    vorschau.reset();
    frm_land = nullptr;
    land.reset();
    rechnungen.reset();
    rechnungVorschau.reset();
    datenbank.reset();
    frm_strings = nullptr;
    strings.reset();
    main.reset();
    return rc;
}
