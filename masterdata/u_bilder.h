#pragma once
#include <QString>

// Article pictures: where a picture reference points.
//
// A reference (Artikelstamm.Bildpfad) is a bare file name in the picture folder
// "BilderArchiv" of the program folder, or any other path. Quotes pasted around
// a path are tolerated. The article window and the invoice document resolve
// references alike.

// The picture folder, with a trailing separator.
QString Bilderordner();

// The file a reference names: the reference itself when a file exists there,
// else the picture folder followed by the reference; empty when neither exists
// or the reference is blank.
QString BildpfadAufloesen(const QString &referenz);

class QLabel;
class QSize;

// How a picture of the given natural size is shown in a box of at most
// maxBreite x maxHoehe: at its natural size when it fits, otherwise stretched
// to the largest size of the same proportions (halves round to even).
// gestreckt tells which of the two.
struct TBildmass {
    int breite = 0;
    int hoehe = 0;
    bool gestreckt = false;
};
TBildmass BildEinpassen(int breite, int hoehe, int maxBreite, int maxHoehe);

// Shows the picture the reference resolves to in the box, fitted as above; an
// empty box when it resolves to nothing, cannot be read or the maximum is not
// positive. Reports nothing.
void BildLaden(const QString &referenz, QLabel *box, int maxBreite = 260, int maxHoehe = 160);

// The reference stored for a file the user chose: the bare file name when the
// file lies directly in the picture folder (compared exactly as text, with or
// without the trailing separator), otherwise the full path.
QString BildpfadFuerDatei(const QString &datei);
