#pragma once

#include "richtext/RichDocument.h"

#include <QByteArray>
#include <QString>

class QTextCursor;
class QTextDocument;
class QTextDocumentFragment;

namespace veltro::richtext {

// Replaces the document's content with a stored block (RTF or plain text). Faces and sizes the
// block names are set on its runs; plain text is left to the document's default font. Returns
// how many things the block held that the document does not (RichDocument::dropped).
int readRtfInto(QTextDocument& document, const QByteArray& stored);
int readRtfInto(QTextDocument& document, const QString& stored);
void fillTextDocument(QTextDocument& document, const RichDocument& content);

// The document's content with every run's effective face and size; runs that set none take
// the document's default font.
RichDocument richDocumentFrom(const QTextDocument& document);
// Only the selected part; a selection ending just after a paragraph break keeps that break.
RichDocument richDocumentFrom(const QTextCursor& selection);

QByteArray writeRtf(const QTextDocument& document);
QByteArray writeRtf(const QTextCursor& selection);
// A fragment carries no default font: runs without a face take the application's font.
QByteArray writeRtf(const QTextDocumentFragment& fragment);

// Older RTF names faces that Linux lacks; let Qt draw them with metric-compatible ones.
void registerFontSubstitutes();

}  // namespace veltro::richtext
