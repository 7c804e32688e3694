#include "app/core/u_land.h"
#include "app/core/u_strings.h"
#include "app/u_main.h"
#include "app/u_programm.h"
#include "data/u_dm_datenbank.h"
#include "maintenance/u_datenbankinitialisieren.h"
#include "masterdata/u_artikelstammdaten.h"
#include "masterdata/u_kundenstammdaten.h"
#include "output/u_vorschau.h"
#include "output/udm_rechnung_vorschau.h"
#include "output/udm_rechnungen.h"
#include "richtext/u_kopftext.h"
#include "richtext/u_texteerfassen.h"


TProgrammfenster::TProgrammfenster()
{
    main = std::make_unique<Tfrm_main>();
    strings = std::make_unique<Tfrm_strings>();
    frm_strings = strings.get();
    datenbank = std::make_unique<Tdm_datenbank>();
    rechnungVorschau = std::make_unique<Tdm_rechnung_vorschau>();
    rechnungen = std::make_unique<Tdm_rechnungen>();
    land = std::make_unique<Tfrm_land>();
    frm_land = land.get();
    vorschau = std::make_unique<Tfrm_vorschau>(main.get());
    kunden = std::make_unique<Tfrm_kundenstammdaten>();
    texteerfassen = std::make_unique<Tfrm_texteerfassen>(main.get());
    frm_texteerfassen = texteerfassen.get();
    kopftext = std::make_unique<Tfrm_kopftext>(main.get());
    frm_kopftext = kopftext.get();
    artikel = std::make_unique<Tfrm_artikelstammdaten>();
    initialisieren = std::make_unique<Tfrm_datenbankinitialisieren>(main.get());

    verdrahten(); // connects the windows' seams
}

TProgrammfenster::~TProgrammfenster()
{
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
}
