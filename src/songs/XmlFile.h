#pragma once

#include <QList>
#include <QSaveFile>
#include <QString>

#include <optional>
#include <utility>

namespace velmora {

// The files Velmora writes (songs and playlists) share one shape: a root element
// whose children carry attributes only, never text and never children of their
// own. These helpers write and read that shape and nothing more.

struct XmlElement
{
    QString name;
    // In written order; an attribute left out of the list is not written at all.
    QList<std::pair<QString, QString>> attributes;

    // Value of the first attribute of that name; nothing when it is missing,
    // which readers report as a conversion failure.
    std::optional<QString> attribute(QStringView attributeName) const;
};

// Largest file the readers accept. A song of forty thousand instructions fits;
// anything bigger is not a song and would only cost memory to parse.
inline constexpr qint64 MaxXmlFileBytes = 8 * 1024 * 1024;

// Deeper nesting than this inside a song or playlist is hostile, not music.
inline constexpr int MaxXmlDepth = 64;

// The declaration that opens every file written, ended by a line feed.
QString XmlDeclarationLine();

// The first step of every XML file Velmora writes. It opens a temporary file beside
// `file`'s path and writes the byte-order mark and the declaration; the old file is
// replaced only when the caller commits the complete document, so a failed save
// never costs the previous file. Returns an error text, or nothing on success.
std::optional<QString> InitXML(QSaveFile& file);

// The text of a whole document: declaration, root, and every child and the root's
// end tag after a carriage return, line feed and indentation; a line feed ends it.
// Start and end tags are always written (never <x/>), markup characters in values
// are escaped, and characters that XML cannot carry at all are dropped.
QString FormatXmlDocument(const QString& rootName, const QList<XmlElement>& children);

// FormatXmlDocument encoded as UTF-16 little-endian with the byte-order mark FF FE.
QByteArray EncodeXmlDocument(const QString& rootName, const QList<XmlElement>& children);

// InitXML, the document, and the rename over the old file. Returns an error text
// for the error box, or nothing on success.
std::optional<QString> WriteXmlFile(const QString& path, const QString& rootName,
                                    const QList<XmlElement>& children);

// Parses the whole file before anything is handed back: either every element child
// of the root, in document order, or one error text and no elements at all. The
// root's name is not checked; text, comments and deeper elements are skipped.
// Document type declarations are refused, so no entity is ever expanded.
struct XmlReadResult
{
    QList<XmlElement> children;
    QString error; // empty on success
    bool ok() const { return error.isEmpty(); }
};
XmlReadResult ReadXmlFile(const QString& path, qint64 maxBytes = MaxXmlFileBytes);
XmlReadResult ReadXmlBytes(const QByteArray& bytes, const QString& pathForMessages);

} // namespace velmora
