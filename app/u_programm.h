#pragma once
#include <memory>

class Tfrm_main;
class Tfrm_strings;
class Tdm_datenbank;
class Tdm_rechnung_vorschau;
class Tdm_rechnungen;
class Tfrm_land;
class Tfrm_vorschau;
class Tfrm_kundenstammdaten;
class Tfrm_texteerfassen;
class Tfrm_kopftext;
class Tfrm_artikelstammdaten;
class Tfrm_datenbankinitialisieren;

// Every window and data module of the program, each once, created in the
// program's order and wired; they are only shown and hidden until this ends.
class TProgrammfenster {
public:
    TProgrammfenster();
    ~TProgrammfenster();
    TProgrammfenster(const TProgrammfenster &) = delete;
    TProgrammfenster &operator=(const TProgrammfenster &) = delete;

    std::unique_ptr<Tfrm_main> main;
    std::unique_ptr<Tfrm_strings> strings;
    std::unique_ptr<Tdm_datenbank> datenbank;
    std::unique_ptr<Tdm_rechnung_vorschau> rechnungVorschau;
    std::unique_ptr<Tdm_rechnungen> rechnungen;
    std::unique_ptr<Tfrm_land> land;
    std::unique_ptr<Tfrm_vorschau> vorschau;
    std::unique_ptr<Tfrm_kundenstammdaten> kunden;
    std::unique_ptr<Tfrm_texteerfassen> texteerfassen;
    std::unique_ptr<Tfrm_kopftext> kopftext;
    std::unique_ptr<Tfrm_artikelstammdaten> artikel;
    std::unique_ptr<Tfrm_datenbankinitialisieren> initialisieren;
};
