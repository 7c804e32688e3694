-- TORVANEX: local database TORVANEXDB_Lokal.mdb (the invoice under capture)
-- Read by tvx-datenbank and the data module (compiled in); kept here for other tools.
--
-- Declared types tell the driver how to read a column: INTEGER/SMALLINT -> int,
-- DOUBLE -> double, DATETIME -> date and time (ISO text 'YYYY-MM-DD HH:MM:SS'),
-- TEXT(n) and MEMO TEXT -> text. Memo columns say TEXT as well so that SQLite stores
-- every value as text ("0012" stays "0012"). Text compares without regard to case
-- (NOCASE is built into SQLite; other collations would lock out other tools), and
-- every length is enforced, also against other writers.
-- No auto-numbering: the program allocates keys as the largest value plus one.

-- Positionen der Rechnung in Erfassung
CREATE TABLE Artikelpositionen (
    ID_Artikelposition  INTEGER,
    Artikel             TEXT(15) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Artikel: höchstens 15 Zeichen" CHECK (length(Artikel) <= 15),
    ArtikelName         TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.ArtikelName: höchstens 50 Zeichen" CHECK (length(ArtikelName) <= 50),
    Menge               DOUBLE,
    Preis               DOUBLE,
    Rabatt              DOUBLE,
    Text                TEXT(200) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Text: höchstens 200 Zeichen" CHECK (length(Text) <= 200),
    Gesamt              DOUBLE,
    Einheit             TEXT(10) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Einheit: höchstens 10 Zeichen" CHECK (length(Einheit) <= 10),
    Einkaufspreis       DOUBLE,
    Baustein            TEXT(20) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Baustein: höchstens 20 Zeichen" CHECK (length(Baustein) <= 20),
    Formel              MEMO TEXT COLLATE NOCASE,
    FormelDrucken       SMALLINT,
    Info                TEXT(50) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Info: höchstens 50 Zeichen" CHECK (length(Info) <= 50),
    Zusatztext1         MEMO TEXT COLLATE NOCASE,
    Menge1              DOUBLE,
    Menge2              DOUBLE,
    Menge3              DOUBLE,
    Menge4              DOUBLE,
    Menge5              DOUBLE,
    Menge6              DOUBLE,
    Menge7              DOUBLE,
    Menge8              DOUBLE,
    Menge9              DOUBLE,
    Menge10             DOUBLE,
    Menge11             DOUBLE,
    Menge12             DOUBLE,
    Menge13             DOUBLE,
    Menge14             DOUBLE,
    Menge15             DOUBLE,
    Menge16             DOUBLE,
    Menge17             DOUBLE,
    Menge18             DOUBLE,
    Menge19             DOUBLE,
    Menge20             DOUBLE,
    Menge21             DOUBLE,
    Menge22             DOUBLE,
    Menge23             DOUBLE,
    Menge24             DOUBLE,
    Menge25             DOUBLE,
    Menge26             DOUBLE,
    Menge27             DOUBLE,
    Menge28             DOUBLE,
    Menge29             DOUBLE,
    Menge30             DOUBLE,
    Seriennummer        TEXT(200) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Seriennummer: höchstens 200 Zeichen" CHECK (length(Seriennummer) <= 200),
    Groesse             SMALLINT,
    Groessenbezeichnung TEXT(100) COLLATE NOCASE
        CONSTRAINT "Artikelpositionen.Groessenbezeichnung: höchstens 100 Zeichen" CHECK (length(Groessenbezeichnung) <= 100),
    Kopftext            MEMO TEXT COLLATE NOCASE,
    Fusstext            MEMO TEXT COLLATE NOCASE,
    AnzahlTickets       INTEGER
);
CREATE UNIQUE INDEX Artikelpositionen_ID ON Artikelpositionen (ID_Artikelposition);
