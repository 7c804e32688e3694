#pragma once
#include <QString>

class QTextDocument;

// The rich-text fields (letterhead, article description, position text) hold
// RTF as a Windows rich edit writes it. This codec covers what such an editor
// produces and what our formatting toolbar can express: fonts, sizes, bold,
// italic, underline, strike-out, text and background colours, paragraph
// alignment, paragraphs, line breaks and tabs. Everything else is skipped.
namespace Rtf {

// True when the field holds RTF, i.e. starts with "{\rtf". Any other text,
// including an empty field, is plain text.
bool isRtf(const QString &fieldText);

// Replaces the content of doc with the field's text. RTF is decoded (\'hh
// bytes in the code page of the run's font charset or of \ansicpg, 1252 by
// default; single- and double-byte Windows code pages); plain
// text is taken line by line (CR LF, LF or CR). Malformed RTF never fails:
// whatever can be read is kept. Undo history is not touched and the document
// is left unmodified.
void read(const QString &fieldText, QTextDocument *doc);

// The document as rich-edit-style RTF (code page 1252, \'hh and \uN escapes,
// CR LF after each paragraph).
QString write(const QTextDocument *doc);

// The text of a field without formatting, exactly as read() followed by
// QTextDocument::toPlainText() gives it (paragraphs and line breaks become
// "\n", no-break spaces plain spaces), without needing a document.
// Plain-text fields come back with "\n" line breaks.
QString toPlainText(const QString &fieldText);

} // namespace Rtf
