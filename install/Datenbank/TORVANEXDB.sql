-- TORVANEX: main database TORVANEXDB.mdb (encrypted)
-- Read by tvx-datenbank and the data module (compiled in); kept here for other tools.
--
-- Declared types tell the driver how to read a column: INTEGER/SMALLINT -> int,
-- DOUBLE -> double, DATETIME -> date and time (ISO text 'YYYY-MM-DD HH:MM:SS'),
-- TEXT(n) and MEMO TEXT -> text. Memo columns say TEXT as well so that SQLite stores
-- every value as text ("0012" stays "0012"). Text compares without regard to case
-- (NOCASE is built into SQLite; other collations would lock out other tools), and
-- every length is enforced, also against other writers.
-- No auto-numbering: the program allocates keys as the largest value plus one.

-- Positionen ausgestellter Rechnungen und Stornorechnungen (und Belege der Schwesterprogramme)
CREATE TABLE Artikelpositionen (
    ID_Artikelpositionen    INTEGER,
    Firma                   SMALLINT,
    Periode_ls              INTEGER,
    Periode_re              INTEGER,
    Periode_au              INTEGER,
    Periode_bv              INTEGER,
    Lieferschein_nr         INTEGER,
    Rechnung_nr             INTEGER,
    Auftrag_nr              INTEGER,
    Barverkauf_nr           INTEGER,
    Position_X              SMALLINT,
    Lieferdatum             DATETIME,
    Kunde                   INTEGER,
    Artikel                 TEXT(15) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    Menge                   DOUBLE,
    Preis                   DOUBLE,
    Rabatt                  DOUBLE,
    Einkaufspreis           DOUBLE,
    Text                    TEXT(200) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Text: höchstens 200 Zeichen" CHECK (length(Text) <= 200),
    Benutzer                TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Benutzer: höchstens 50 Zeichen" CHECK (length(Benutzer) <= 50),
    Benutzerdatum           DATETIME,
    Aktionen                TEXT(80) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Aktionen: höchstens 80 Zeichen" CHECK (length(Aktionen) <= 80),
    Erfassungzeit           DATETIME,
    Status                  SMALLINT,
    Identifikation          TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Identifikation: höchstens 20 Zeichen" CHECK (length(Identifikation) <= 20),
    ZahlungsStatus          TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.ZahlungsStatus: höchstens 50 Zeichen" CHECK (length(ZahlungsStatus) <= 50),
    Rechnungsdatum          DATETIME,
    Auftragsdatum           DATETIME,
    Valutadatum             DATETIME,
    ZahlungBis              DATETIME,
    Hinweis                 TEXT(150) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Hinweis: höchstens 150 Zeichen" CHECK (length(Hinweis) <= 150),
    Rechnungsbetrag         DOUBLE,
    Rechnungsbetrag_Bezahlt DOUBLE,
    BezahltAm               DATETIME,
    Leistungszeitraum       TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Leistungszeitraum: höchstens 50 Zeichen" CHECK (length(Leistungszeitraum) <= 50),
    Periode_au_merken       INTEGER,
    Auftrag_nr_merken       INTEGER,
    Zusatztext1             MEMO TEXT COLLATE NOCASE,
    ArtikelName             TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.ArtikelName: höchstens 50 Zeichen" CHECK (length(ArtikelName) <= 50),
    Kopftext                MEMO TEXT COLLATE NOCASE,
    Fusstext                MEMO TEXT COLLATE NOCASE,
    Name_EKU                TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Name_EKU: höchstens 50 Zeichen" CHECK (length(Name_EKU) <= 50),
    Strasse_Hnr_EKU         TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Strasse_Hnr_EKU: höchstens 50 Zeichen" CHECK (length(Strasse_Hnr_EKU) <= 50),
    PLZ_EKU                 TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.PLZ_EKU: höchstens 50 Zeichen" CHECK (length(PLZ_EKU) <= 50),
    Ort_EKU                 TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Ort_EKU: höchstens 50 Zeichen" CHECK (length(Ort_EKU) <= 50),
    Lieferadresse_EKU       MEMO TEXT COLLATE NOCASE,
    BenutzerSession         TEXT(15) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.BenutzerSession: höchstens 15 Zeichen" CHECK (length(BenutzerSession) <= 15),
    LS_RE_TeilMenge         DOUBLE,
    BereitsGeliefert        DOUBLE,
    BereitsVerrechnet       DOUBLE,
    Info                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Info: höchstens 50 Zeichen" CHECK (length(Info) <= 50),
    Menge1                  DOUBLE,
    Menge2                  DOUBLE,
    Menge3                  DOUBLE,
    Menge4                  DOUBLE,
    Menge5                  DOUBLE,
    Menge6                  DOUBLE,
    Menge7                  DOUBLE,
    Menge8                  DOUBLE,
    Menge9                  DOUBLE,
    Menge10                 DOUBLE,
    Menge11                 DOUBLE,
    Menge12                 DOUBLE,
    Menge13                 DOUBLE,
    Menge14                 DOUBLE,
    Menge15                 DOUBLE,
    Menge16                 DOUBLE,
    Menge17                 DOUBLE,
    Menge18                 DOUBLE,
    Menge19                 DOUBLE,
    Menge20                 DOUBLE,
    Menge21                 DOUBLE,
    Menge22                 DOUBLE,
    Menge23                 DOUBLE,
    Menge24                 DOUBLE,
    Menge25                 DOUBLE,
    Menge26                 DOUBLE,
    Menge27                 DOUBLE,
    Menge28                 DOUBLE,
    Menge29                 DOUBLE,
    Menge30                 DOUBLE,
    FarbMarkierung          SMALLINT,
    MWSTABetrag             DOUBLE,
    MWSTBBetrag             DOUBLE,
    MWSTCBetrag             DOUBLE,
    MWSTDBetrag             DOUBLE,
    MWSTABetrag_O           DOUBLE,
    MWSTBBetrag_O           DOUBLE,
    MWSTCBetrag_O           DOUBLE,
    MWSTDBetrag_O           DOUBLE
);

CREATE UNIQUE INDEX Artikelpositionen_ID ON Artikelpositionen (ID_Artikelpositionen);
CREATE INDEX Artikelpositionen_Rechnung ON Artikelpositionen (Firma, Periode_re, Rechnung_nr);
CREATE INDEX Artikelpositionen_Kunde ON Artikelpositionen (Firma, Kunde);
CREATE INDEX Artikelpositionen_Datum ON Artikelpositionen (Firma, Rechnungsdatum);

-- Zeilen der Bildschirmvorschau, je Sitzung (BenutzerSession)
CREATE TABLE ArtikelpositionenVorschau (
    ID_Artikelpositionen    INTEGER,
    Firma                   SMALLINT,
    Periode_ls              INTEGER,
    Periode_re              INTEGER,
    Periode_au              INTEGER,
    Periode_bv              INTEGER,
    Lieferschein_nr         INTEGER,
    Rechnung_nr             INTEGER,
    Auftrag_nr              INTEGER,
    Barverkauf_nr           INTEGER,
    Position_X              SMALLINT,
    Lieferdatum             DATETIME,
    Kunde                   INTEGER,
    Artikel                 TEXT(15) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    Menge                   DOUBLE,
    Preis                   DOUBLE,
    Rabatt                  DOUBLE,
    Einkaufspreis           DOUBLE,
    Text                    TEXT(200) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Text: höchstens 200 Zeichen" CHECK (length(Text) <= 200),
    Benutzer                TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Benutzer: höchstens 50 Zeichen" CHECK (length(Benutzer) <= 50),
    Benutzerdatum           DATETIME,
    Aktionen                TEXT(80) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Aktionen: höchstens 80 Zeichen" CHECK (length(Aktionen) <= 80),
    Erfassungzeit           DATETIME,
    Status                  SMALLINT,
    Identifikation          TEXT(20) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Identifikation: höchstens 20 Zeichen" CHECK (length(Identifikation) <= 20),
    ZahlungsStatus          TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.ZahlungsStatus: höchstens 50 Zeichen" CHECK (length(ZahlungsStatus) <= 50),
    Rechnungsdatum          DATETIME,
    Auftragsdatum           DATETIME,
    Valutadatum             DATETIME,
    ZahlungBis              DATETIME,
    Hinweis                 TEXT(150) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Hinweis: höchstens 150 Zeichen" CHECK (length(Hinweis) <= 150),
    Rechnungsbetrag         DOUBLE,
    Rechnungsbetrag_Bezahlt DOUBLE,
    BezahltAm               DATETIME,
    Leistungszeitraum       TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Leistungszeitraum: höchstens 50 Zeichen" CHECK (length(Leistungszeitraum) <= 50),
    Periode_au_merken       INTEGER,
    Auftrag_nr_merken       INTEGER,
    Zusatztext1             MEMO TEXT COLLATE NOCASE,
    ArtikelName             TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.ArtikelName: höchstens 50 Zeichen" CHECK (length(ArtikelName) <= 50),
    Kopftext                MEMO TEXT COLLATE NOCASE,
    Fusstext                MEMO TEXT COLLATE NOCASE,
    Name_EKU                TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Name_EKU: höchstens 50 Zeichen" CHECK (length(Name_EKU) <= 50),
    Strasse_Hnr_EKU         TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Strasse_Hnr_EKU: höchstens 50 Zeichen" CHECK (length(Strasse_Hnr_EKU) <= 50),
    PLZ_EKU                 TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.PLZ_EKU: höchstens 50 Zeichen" CHECK (length(PLZ_EKU) <= 50),
    Ort_EKU                 TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Ort_EKU: höchstens 50 Zeichen" CHECK (length(Ort_EKU) <= 50),
    Lieferadresse_EKU       MEMO TEXT COLLATE NOCASE,
    BenutzerSession         TEXT(15) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.BenutzerSession: höchstens 15 Zeichen" CHECK (length(BenutzerSession) <= 15),
    LS_RE_TeilMenge         DOUBLE,
    BereitsGeliefert        DOUBLE,
    BereitsVerrechnet       DOUBLE,
    Info                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "ArtikelpositionenVorschau.Info: höchstens 50 Zeichen" CHECK (length(Info) <= 50),
    Menge1                  DOUBLE,
    Menge2                  DOUBLE,
    Menge3                  DOUBLE,
    Menge4                  DOUBLE,
    Menge5                  DOUBLE,
    Menge6                  DOUBLE,
    Menge7                  DOUBLE,
    Menge8                  DOUBLE,
    Menge9                  DOUBLE,
    Menge10                 DOUBLE,
    Menge11                 DOUBLE,
    Menge12                 DOUBLE,
    Menge13                 DOUBLE,
    Menge14                 DOUBLE,
    Menge15                 DOUBLE,
    Menge16                 DOUBLE,
    Menge17                 DOUBLE,
    Menge18                 DOUBLE,
    Menge19                 DOUBLE,
    Menge20                 DOUBLE,
    Menge21                 DOUBLE,
    Menge22                 DOUBLE,
    Menge23                 DOUBLE,
    Menge24                 DOUBLE,
    Menge25                 DOUBLE,
    Menge26                 DOUBLE,
    Menge27                 DOUBLE,
    Menge28                 DOUBLE,
    Menge29                 DOUBLE,
    Menge30                 DOUBLE,
    FarbMarkierung          SMALLINT,
    MWSTABetrag             DOUBLE,
    MWSTBBetrag             DOUBLE,
    MWSTCBetrag             DOUBLE,
    MWSTDBetrag             DOUBLE,
    MWSTABetrag_O           DOUBLE,
    MWSTBBetrag_O           DOUBLE,
    MWSTCBetrag_O           DOUBLE,
    MWSTDBetrag_O           DOUBLE
);

CREATE UNIQUE INDEX ArtikelpositionenVorschau_ID ON ArtikelpositionenVorschau (ID_Artikelpositionen);
CREATE INDEX ArtikelpositionenVorschau_Sitzung ON ArtikelpositionenVorschau (BenutzerSession);

-- Kunden je Firma; Kunde 0 ist der Einmalkunde
CREATE TABLE Kundenstamm (
    Firma                INTEGER,
    Kunde                INTEGER,
    Kundengruppe         INTEGER,
    Name_KU              TEXT(60) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Name_KU: höchstens 60 Zeichen" CHECK (length(Name_KU) <= 60),
    Zusatzname_KU        TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Zusatzname_KU: höchstens 100 Zeichen" CHECK (length(Zusatzname_KU) <= 100),
    Anrede               TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Anrede: höchstens 15 Zeichen" CHECK (length(Anrede) <= 15),
    Titel                TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Titel: höchstens 15 Zeichen" CHECK (length(Titel) <= 15),
    Strasse_Hnr          TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Strasse_Hnr: höchstens 100 Zeichen" CHECK (length(Strasse_Hnr) <= 100),
    PLZ                  TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.PLZ: höchstens 15 Zeichen" CHECK (length(PLZ) <= 15),
    Ort                  TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Ort: höchstens 30 Zeichen" CHECK (length(Ort) <= 30),
    Land                 TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Land: höchstens 100 Zeichen" CHECK (length(Land) <= 100),
    Suchbegriff          TEXT(60) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Suchbegriff: höchstens 60 Zeichen" CHECK (length(Suchbegriff) <= 60),
    Markierung           INTEGER,
    TelefonPrivat        TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.TelefonPrivat: höchstens 15 Zeichen" CHECK (length(TelefonPrivat) <= 15),
    TelefonFirma         TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.TelefonFirma: höchstens 30 Zeichen" CHECK (length(TelefonFirma) <= 30),
    MobilTelefon         TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.MobilTelefon: höchstens 30 Zeichen" CHECK (length(MobilTelefon) <= 30),
    FaxNummer            TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.FaxNummer: höchstens 30 Zeichen" CHECK (length(FaxNummer) <= 30),
    EMail1               TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.EMail1: höchstens 30 Zeichen" CHECK (length(EMail1) <= 30),
    EMail2               TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.EMail2: höchstens 100 Zeichen" CHECK (length(EMail2) <= 100),
    Homepage             TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Homepage: höchstens 100 Zeichen" CHECK (length(Homepage) <= 100),
    Anmerkung            MEMO TEXT COLLATE NOCASE,
    Steuernummer         TEXT(30) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Steuernummer: höchstens 30 Zeichen" CHECK (length(Steuernummer) <= 30),
    UIDNummer            TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.UIDNummer: höchstens 15 Zeichen" CHECK (length(UIDNummer) <= 15),
    MWST                 SMALLINT,
    InnerGemLieferung    SMALLINT,
    Skontotage           SMALLINT,
    Skontoprozent        DOUBLE,
    Nettotage            SMALLINT,
    Rabatt               DOUBLE,
    Preisliste           INTEGER,
    Zahlschein           INTEGER,
    Skonto               INTEGER,
    Mahnung              INTEGER,
    Uebersetzung         INTEGER,
    Bruttobetraganzeigen INTEGER,
    Sonstiges1           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Sonstiges1: höchstens 50 Zeichen" CHECK (length(Sonstiges1) <= 50),
    Sonstiges2           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Sonstiges2: höchstens 50 Zeichen" CHECK (length(Sonstiges2) <= 50),
    Sonstiges3           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Sonstiges3: höchstens 50 Zeichen" CHECK (length(Sonstiges3) <= 50),
    Sonstiges4           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Sonstiges4: höchstens 50 Zeichen" CHECK (length(Sonstiges4) <= 50),
    Sonstiges5           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Sonstiges5: höchstens 50 Zeichen" CHECK (length(Sonstiges5) <= 50),
    Sichtbar             INTEGER,
    BenutzerSession      TEXT(15) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.BenutzerSession: höchstens 15 Zeichen" CHECK (length(BenutzerSession) <= 15),
    Anlagedatum          DATETIME,
    Benutzerdatum        DATETIME,
    -- buyer reference of e-invoices (Leitweg-ID for public buyers)
    Kaeuferreferenz      TEXT(100) COLLATE NOCASE
        CONSTRAINT "Kundenstamm.Kaeuferreferenz: höchstens 100 Zeichen" CHECK (length(Kaeuferreferenz) <= 100)
);

CREATE UNIQUE INDEX Kundenstamm_Kunde ON Kundenstamm (Firma, Kunde);
CREATE INDEX Kundenstamm_Suchbegriff ON Kundenstamm (Suchbegriff);
CREATE INDEX Kundenstamm_Name ON Kundenstamm (Name_KU);

-- Kundengruppen (nicht an eine Firma gebunden)
CREATE TABLE Kundengruppen (
    Kundengruppe INTEGER,
    Name_KG      TEXT(50) COLLATE NOCASE
        CONSTRAINT "Kundengruppen.Name_KG: höchstens 50 Zeichen" CHECK (length(Name_KG) <= 50)
);

-- Artikel (nicht an eine Firma gebunden)
CREATE TABLE Artikelstamm (
    Artikel                      TEXT(15) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    Name_AR                      TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Name_AR: höchstens 50 Zeichen" CHECK (length(Name_AR) <= 50),
    Name_AR_e                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Name_AR_e: höchstens 50 Zeichen" CHECK (length(Name_AR_e) <= 50),
    Name_AR_f                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Name_AR_f: höchstens 50 Zeichen" CHECK (length(Name_AR_f) <= 50),
    Name_AR_s                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Name_AR_s: höchstens 50 Zeichen" CHECK (length(Name_AR_s) <= 50),
    Name_AR_n                    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Name_AR_n: höchstens 50 Zeichen" CHECK (length(Name_AR_n) <= 50),
    Beschreibung_AR              MEMO TEXT COLLATE NOCASE,
    Beschreibung_AR_e            MEMO TEXT COLLATE NOCASE,
    Beschreibung_AR_f            MEMO TEXT COLLATE NOCASE,
    Beschreibung_AR_s            MEMO TEXT COLLATE NOCASE,
    Beschreibung_AR_n            MEMO TEXT COLLATE NOCASE,
    Einheit                      TEXT(10) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Einheit: höchstens 10 Zeichen" CHECK (length(Einheit) <= 10),
    Artikelgruppe                INTEGER,
    Suchbegriff                  TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Suchbegriff: höchstens 50 Zeichen" CHECK (length(Suchbegriff) <= 50),
    Markierung                   INTEGER,
    Preis1                       DOUBLE,
    Preis2                       DOUBLE,
    Preis3                       DOUBLE,
    Preis4                       DOUBLE,
    Preis5                       DOUBLE,
    Preis6                       DOUBLE,
    Einkaufspreis                DOUBLE,
    MWST                         SMALLINT,
    Skontofaehig                 SMALLINT,
    Rabattfaehig                 INTEGER,
    NichtSteuerpflichtig         INTEGER,
    Bildpfad                     TEXT(200) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Bildpfad: höchstens 200 Zeichen" CHECK (length(Bildpfad) <= 200),
    BildAufRechnung              SMALLINT,
    BildAufLieferschein          INTEGER,
    BildAufAuftrag               INTEGER,
    BildAufAngebot               INTEGER,
    BildAufBestellung            INTEGER,
    BildAufKasse                 INTEGER,
    Sonstiges1                   TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Sonstiges1: höchstens 100 Zeichen" CHECK (length(Sonstiges1) <= 100),
    Sonstiges2                   TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Sonstiges2: höchstens 100 Zeichen" CHECK (length(Sonstiges2) <= 100),
    Sonstiges3                   TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Sonstiges3: höchstens 100 Zeichen" CHECK (length(Sonstiges3) <= 100),
    Sonstiges4                   TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Sonstiges4: höchstens 100 Zeichen" CHECK (length(Sonstiges4) <= 100),
    Sonstiges5                   TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Sonstiges5: höchstens 100 Zeichen" CHECK (length(Sonstiges5) <= 100),
    Sichtbar                     INTEGER,
    Anlagedatum                  DATETIME,
    Benutzerdatum                DATETIME,
    Lagerfuehrung                INTEGER,
    Lagerbestand                 DOUBLE,
    Mindestbestand               DOUBLE,
    Lagerort                     TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Lagerort: höchstens 50 Zeichen" CHECK (length(Lagerort) <= 50),
    Lager1                       DOUBLE,
    Lager2                       DOUBLE,
    Lager3                       DOUBLE,
    Lager4                       DOUBLE,
    Lager5                       DOUBLE,
    Lager6                       DOUBLE,
    Lager7                       DOUBLE,
    Lager8                       DOUBLE,
    Lager9                       DOUBLE,
    Lager10                      DOUBLE,
    Lager11                      DOUBLE,
    Lager12                      DOUBLE,
    Lager13                      DOUBLE,
    Lager14                      DOUBLE,
    Lager15                      DOUBLE,
    Lager16                      DOUBLE,
    Lager17                      DOUBLE,
    Lager18                      DOUBLE,
    Lager19                      DOUBLE,
    Lager20                      DOUBLE,
    Lager21                      DOUBLE,
    Lager22                      DOUBLE,
    Lager23                      DOUBLE,
    Lager24                      DOUBLE,
    Lager25                      DOUBLE,
    Lager26                      DOUBLE,
    Lager27                      DOUBLE,
    Lager28                      DOUBLE,
    Lager29                      DOUBLE,
    Lager30                      DOUBLE,
    Seriennummer                 TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Seriennummer: höchstens 50 Zeichen" CHECK (length(Seriennummer) <= 50),
    HatSeriennummern             INTEGER,
    EANCode                      TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.EANCode: höchstens 50 Zeichen" CHECK (length(EANCode) <= 50),
    Lieferant1                   INTEGER,
    Lieferant2                   INTEGER,
    Lieferant1Name               TEXT(60) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Lieferant1Name: höchstens 60 Zeichen" CHECK (length(Lieferant1Name) <= 60),
    Lieferant2Name               TEXT(60) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Lieferant2Name: höchstens 60 Zeichen" CHECK (length(Lieferant2Name) <= 60),
    FremdartikelnummerLieferant1 TEXT(30) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.FremdartikelnummerLieferant1: höchstens 30 Zeichen" CHECK (length(FremdartikelnummerLieferant1) <= 30),
    FremdartikelnummerLieferant2 TEXT(30) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.FremdartikelnummerLieferant2: höchstens 30 Zeichen" CHECK (length(FremdartikelnummerLieferant2) <= 30),
    Lieferant1Einkaufspreis      DOUBLE,
    Lieferant2Einkaufspreis      DOUBLE,
    ErloesKontoInland            TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.ErloesKontoInland: höchstens 20 Zeichen" CHECK (length(ErloesKontoInland) <= 20),
    ErloesKontoAusland           TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.ErloesKontoAusland: höchstens 20 Zeichen" CHECK (length(ErloesKontoAusland) <= 20),
    ErloesKontoEU                TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.ErloesKontoEU: höchstens 20 Zeichen" CHECK (length(ErloesKontoEU) <= 20),
    Betrag_Verminderung_1        DOUBLE,
    Betrag_Verminderung_2        DOUBLE,
    Betrag_Verminderung_3        DOUBLE,
    Menge_Verminderung_1         DOUBLE,
    Menge_Verminderung_2         DOUBLE,
    Menge_Verminderung_3         DOUBLE,
    UmrechnungAEHinWEH           DOUBLE,
    PLU                          INTEGER,
    PreisAenderbar               INTEGER,
    AnzahlTickets                INTEGER,
    Preiskalkulation             INTEGER,
    ID_GS                        INTEGER,
    IstKuechenArtikel            INTEGER,
    IstSchankArtikel             INTEGER,
    IstKassaArtikel              INTEGER,
    IstBeilage                   INTEGER,
    IstFavorit                   INTEGER,
    Favoritenreihenfolge         INTEGER,
    ReihenfolgeInGruppe          INTEGER,
    ButtonFarbe                  INTEGER,
    OrderManFarbe                INTEGER,
    Aktiv                        INTEGER,
    Buttontext1                  TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Buttontext1: höchstens 50 Zeichen" CHECK (length(Buttontext1) <= 50),
    Buttontext2                  TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Buttontext2: höchstens 50 Zeichen" CHECK (length(Buttontext2) <= 50),
    Hauptnummer                  TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Hauptnummer: höchstens 20 Zeichen" CHECK (length(Hauptnummer) <= 20),
    Subnummer                    TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.Subnummer: höchstens 20 Zeichen" CHECK (length(Subnummer) <= 20),
    BenutzerSession              TEXT(15) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BenutzerSession: höchstens 15 Zeichen" CHECK (length(BenutzerSession) <= 15),
    SammelArtikelUmrechnung      DOUBLE,
    SammelArtikelUmrechnung2     DOUBLE,
    SammelArtikelUmrechnung3     DOUBLE,
    SammelArtikelUmrechnung4     DOUBLE,
    SammelArtikelUmrechnung5     DOUBLE,
    BestandSammelArtikel         TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BestandSammelArtikel: höchstens 50 Zeichen" CHECK (length(BestandSammelArtikel) <= 50),
    BestandSammelArtikel2        TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BestandSammelArtikel2: höchstens 50 Zeichen" CHECK (length(BestandSammelArtikel2) <= 50),
    BestandSammelArtikel3        TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BestandSammelArtikel3: höchstens 50 Zeichen" CHECK (length(BestandSammelArtikel3) <= 50),
    BestandSammelArtikel4        TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BestandSammelArtikel4: höchstens 50 Zeichen" CHECK (length(BestandSammelArtikel4) <= 50),
    BestandSammelArtikel5        TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelstamm.BestandSammelArtikel5: höchstens 50 Zeichen" CHECK (length(BestandSammelArtikel5) <= 50)
);

CREATE UNIQUE INDEX Artikelstamm_Artikel ON Artikelstamm (Artikel);
CREATE INDEX Artikelstamm_Suchbegriff ON Artikelstamm (Suchbegriff);
CREATE INDEX Artikelstamm_Name ON Artikelstamm (Name_AR);

-- Artikelgruppen
CREATE TABLE Artikelgruppen (
    Artikelgruppe INTEGER,
    Name_AG       TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelgruppen.Name_AG: höchstens 50 Zeichen" CHECK (length(Name_AG) <= 50)
);

-- Firmendaten; verwendet wird Firma 1
CREATE TABLE Firmenstamm (
    Firma            INTEGER,
    Name_FI          TEXT(50) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Name_FI: höchstens 50 Zeichen" CHECK (length(Name_FI) <= 50),
    Anschrift_FI     MEMO TEXT COLLATE NOCASE,
    Strasse_FI       TEXT(50) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Strasse_FI: höchstens 50 Zeichen" CHECK (length(Strasse_FI) <= 50),
    PLZ_FI           TEXT(20) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.PLZ_FI: höchstens 20 Zeichen" CHECK (length(PLZ_FI) <= 20),
    Ort_FI           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Ort_FI: höchstens 50 Zeichen" CHECK (length(Ort_FI) <= 50),
    Bankleitzahl     TEXT(50) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Bankleitzahl: höchstens 50 Zeichen" CHECK (length(Bankleitzahl) <= 50),
    Bankkontonummer  TEXT(50) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Bankkontonummer: höchstens 50 Zeichen" CHECK (length(Bankkontonummer) <= 50),
    Fusstext1        MEMO TEXT COLLATE NOCASE,
    Fusstext2        MEMO TEXT COLLATE NOCASE,
    Fusstext3        MEMO TEXT COLLATE NOCASE,
    Fusstext4        MEMO TEXT COLLATE NOCASE,
    LogoPfad         TEXT(255) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.LogoPfad: höchstens 255 Zeichen" CHECK (length(LogoPfad) <= 255),
    Waehrungskuerzel TEXT(10) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Waehrungskuerzel: höchstens 10 Zeichen" CHECK (length(Waehrungskuerzel) <= 10),
    EMAIL1           TEXT(100) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.EMAIL1: höchstens 100 Zeichen" CHECK (length(EMAIL1) <= 100),
    -- for e-invoices
    UStIdNr_FI       TEXT(20) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.UStIdNr_FI: höchstens 20 Zeichen" CHECK (length(UStIdNr_FI) <= 20),
    Steuernummer_FI  TEXT(30) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Steuernummer_FI: höchstens 30 Zeichen" CHECK (length(Steuernummer_FI) <= 30),
    Land_FI          TEXT(100) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Land_FI: höchstens 100 Zeichen" CHECK (length(Land_FI) <= 100),
    Kontakt_FI       TEXT(60) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Kontakt_FI: höchstens 60 Zeichen" CHECK (length(Kontakt_FI) <= 60),
    Telefon_FI       TEXT(30) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.Telefon_FI: höchstens 30 Zeichen" CHECK (length(Telefon_FI) <= 30),
    IBAN_FI          TEXT(34) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.IBAN_FI: höchstens 34 Zeichen" CHECK (length(IBAN_FI) <= 34),
    BIC_FI           TEXT(11) COLLATE NOCASE
        CONSTRAINT "Firmenstamm.BIC_FI: höchstens 11 Zeichen" CHECK (length(BIC_FI) <= 11)
);

-- Tätigkeitsprotokoll
CREATE TABLE Protokoll (
    DatumZeit    DATETIME,
    Aufzeichnung TEXT(255) COLLATE NOCASE
        CONSTRAINT "Protokoll.Aufzeichnung: höchstens 255 Zeichen" CHECK (length(Aufzeichnung) <= 255),
    Benutzer     TEXT(50) COLLATE NOCASE
        CONSTRAINT "Protokoll.Benutzer: höchstens 50 Zeichen" CHECK (length(Benutzer) <= 50)
);

CREATE INDEX Protokoll_DatumZeit ON Protokoll (DatumZeit);

-- Angebote der Schwesterprogramme (hier nur geleert)
CREATE TABLE Angebotspositionen (
    ID_Angebotspositionen INTEGER,
    Firma                 SMALLINT,
    Periode_an            INTEGER,
    Angebot_nr            INTEGER,
    Position_X            SMALLINT,
    Kunde                 INTEGER,
    Angebotsdatum         DATETIME,
    GueltigBis            DATETIME,
    Artikel               TEXT(15) COLLATE NOCASE
        CONSTRAINT "Angebotspositionen.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    ArtikelName           TEXT(50) COLLATE NOCASE
        CONSTRAINT "Angebotspositionen.ArtikelName: höchstens 50 Zeichen" CHECK (length(ArtikelName) <= 50),
    Menge                 DOUBLE,
    Preis                 DOUBLE,
    Rabatt                DOUBLE,
    Einkaufspreis         DOUBLE,
    Text                  TEXT(200) COLLATE NOCASE
        CONSTRAINT "Angebotspositionen.Text: höchstens 200 Zeichen" CHECK (length(Text) <= 200),
    Zusatztext1           MEMO TEXT COLLATE NOCASE,
    Kopftext              MEMO TEXT COLLATE NOCASE,
    Fusstext              MEMO TEXT COLLATE NOCASE,
    Status                SMALLINT,
    Hinweis               TEXT(150) COLLATE NOCASE
        CONSTRAINT "Angebotspositionen.Hinweis: höchstens 150 Zeichen" CHECK (length(Hinweis) <= 150),
    Benutzerdatum         DATETIME
);

-- Angebotsvorlagen der Schwesterprogramme (hier nur geleert)
CREATE TABLE Angebotevorlagen (
    ID_Angebotevorlage INTEGER,
    Vorlage            TEXT(50) COLLATE NOCASE
        CONSTRAINT "Angebotevorlagen.Vorlage: höchstens 50 Zeichen" CHECK (length(Vorlage) <= 50),
    Position_X         SMALLINT,
    Artikel            TEXT(15) COLLATE NOCASE
        CONSTRAINT "Angebotevorlagen.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    ArtikelName        TEXT(50) COLLATE NOCASE
        CONSTRAINT "Angebotevorlagen.ArtikelName: höchstens 50 Zeichen" CHECK (length(ArtikelName) <= 50),
    Menge              DOUBLE,
    Preis              DOUBLE,
    Rabatt             DOUBLE,
    Text               TEXT(200) COLLATE NOCASE
        CONSTRAINT "Angebotevorlagen.Text: höchstens 200 Zeichen" CHECK (length(Text) <= 200),
    Zusatztext1        MEMO TEXT COLLATE NOCASE,
    Kopftext           MEMO TEXT COLLATE NOCASE,
    Fusstext           MEMO TEXT COLLATE NOCASE
);

-- Textbausteine der Schwesterprogramme (hier nur geleert)
CREATE TABLE Textbausteine (
    Baustein      TEXT(20) COLLATE NOCASE
        CONSTRAINT "Textbausteine.Baustein: höchstens 20 Zeichen" CHECK (length(Baustein) <= 20),
    Bezeichnung   TEXT(50) COLLATE NOCASE
        CONSTRAINT "Textbausteine.Bezeichnung: höchstens 50 Zeichen" CHECK (length(Bezeichnung) <= 50),
    Textinhalt    MEMO TEXT COLLATE NOCASE,
    Benutzerdatum DATETIME
);

-- Kundenpreise der Schwesterprogramme (hier nur geleert)
CREATE TABLE Sonderkonditionen (
    Firma      SMALLINT,
    Kunde      INTEGER,
    Artikel    TEXT(15) COLLATE NOCASE
        CONSTRAINT "Sonderkonditionen.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    Preis      DOUBLE,
    Rabatt     DOUBLE,
    GueltigAb  DATETIME,
    GueltigBis DATETIME,
    Anmerkung  TEXT(100) COLLATE NOCASE
        CONSTRAINT "Sonderkonditionen.Anmerkung: höchstens 100 Zeichen" CHECK (length(Anmerkung) <= 100)
);

-- Seriennummern der Schwesterprogramme (hier nur geleert)
CREATE TABLE Seriennummern (
    ID_Seriennummer INTEGER,
    Artikel         TEXT(15) COLLATE NOCASE
        CONSTRAINT "Seriennummern.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    Seriennummer    TEXT(50) COLLATE NOCASE
        CONSTRAINT "Seriennummern.Seriennummer: höchstens 50 Zeichen" CHECK (length(Seriennummer) <= 50),
    Firma           SMALLINT,
    Kunde           INTEGER,
    Periode_re      INTEGER,
    Rechnung_nr     INTEGER,
    Eingangsdatum   DATETIME,
    Ausgangsdatum   DATETIME
);
