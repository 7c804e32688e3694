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
