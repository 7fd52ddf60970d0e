#include "XmlFile.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QXmlStreamReader>

namespace velmora {

namespace {

constexpr QStringView Indentation = u"  ";
constexpr QStringView LineBreak = u"\r\n";

QStringEncoder utf16LittleEndian(bool withBom)
{
    return QStringEncoder(QStringEncoder::Utf16LE,
                          withBom ? QStringEncoder::Flag::WriteBom : QStringEncoder::Flag::Default);
}

// Attribute values are escaped so that a reader gets back exactly what was
// written: the five markup characters by their entities, and tab, line feed and
// carriage return by character references, because a reader turns them into
// blanks otherwise. Characters that XML 1.0 forbids even as references (other
// control characters, unpaired surrogate halves, U+FFFE/U+FFFF) are dropped:
// writing them would produce a file that no reader, ours included, can open.
void appendEscaped(QString& out, QStringView value)
{
    const qsizetype n = value.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = value[i];
        if (c.isHighSurrogate() && i + 1 < n && value[i + 1].isLowSurrogate()) {
            out += c;
            out += value[i + 1];
            ++i;
            continue;
        }
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;";
            continue;
        case u'<':
            out += u"&lt;";
            continue;
        case u'>':
            out += u"&gt;";
            continue;
        case u'"':
            out += u"&quot;";
            continue;
        case u'\'':
            out += u"&apos;";
            continue;
        case u'\t':
            out += u"&#9;";
            continue;
        case u'\n':
            out += u"&#10;";
            continue;
        case u'\r':
            out += u"&#13;";
            continue;
        default:
            break;
        }
        if (c.unicode() < 0x20 || c.isSurrogate() || c.unicode() == 0xFFFE || c.unicode() == 0xFFFF)
            continue;
        out += c;
    }
}

// A file saved as UTF-16 whose declaration names another encoding is refused by
// the parser with a vague complaint about the content; say what is actually wrong.
QString encodingMismatch(const QByteArray& bytes)
{
    const bool littleEndian = bytes.startsWith("\xFF\xFE");
    if (!littleEndian && !bytes.startsWith("\xFE\xFF")) return {};
    QStringDecoder decode(littleEndian ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
    const QString start = decode(bytes.left(400));
    static const QRegularExpression declared(
        QStringLiteral(R"(^\x{FEFF}?<\?xml[^>]*encoding\s*=\s*["']([^"']*)["'])"));
    const auto match = declared.match(start);
    if (!match.hasMatch()) return {};
    const QString name = match.captured(1);
    if (name.startsWith(QLatin1String("UTF-16"), Qt::CaseInsensitive)) return {};
    return QStringLiteral(" The file is stored as UTF-16, but its declaration says %1.").arg(name);
}

QString readerError(const QString& path, const QXmlStreamReader& xml, const QByteArray& bytes)
{
    return QStringLiteral("\"%1\" could not be read as XML: %2 (line %3, column %4).")
               .arg(path, xml.errorString())
               .arg(xml.lineNumber())
               .arg(xml.columnNumber()) +
           encodingMismatch(bytes);
}

XmlReadResult failed(QString message)
{
    XmlReadResult result;
    result.error = std::move(message);
    return result;
}

} // namespace

std::optional<QString> XmlElement::attribute(QStringView attributeName) const
{
    for (const auto& [name, value] : attributes) {
        if (name == attributeName) return value;
    }
    return std::nullopt;
}

QString XmlDeclarationLine()
{
    return QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n");
}

std::optional<QString> InitXML(QSaveFile& file)
{
    // QSaveFile writes to a temporary file in the target's folder and renames it
    // over the target on commit(); until then the old file stays as it was.
    if (!file.open(QIODevice::WriteOnly)) {
        return QStringLiteral("Cannot create \"%1\": %2").arg(file.fileName(), file.errorString());
    }
    auto encode = utf16LittleEndian(true);
    const QByteArray start = encode(XmlDeclarationLine());
    if (file.write(start) != start.size()) {
        const QString error =
            QStringLiteral("Cannot write \"%1\": %2").arg(file.fileName(), file.errorString());
        file.cancelWriting();
        return error;
    }
    return std::nullopt;
}

QString FormatXmlDocument(const QString& rootName, const QList<XmlElement>& children)
{
    QString text = XmlDeclarationLine();
    text += u'<';
    text += rootName;
    text += u'>';
    for (const XmlElement& child : children) {
        text += LineBreak;
        text += Indentation;
        text += u'<';
        text += child.name;
        for (const auto& [name, value] : child.attributes) {
            text += u' ';
            text += name;
            text += QStringView(u"=\"");
            appendEscaped(text, value);
            text += u'"';
        }
        text += QStringView(u"></");
        text += child.name;
        text += u'>';
    }
    text += LineBreak;
    text += QStringView(u"</");
    text += rootName;
    text += QStringView(u">\n");
    return text;
}

QByteArray EncodeXmlDocument(const QString& rootName, const QList<XmlElement>& children)
{
    auto encode = utf16LittleEndian(true);
    return encode(FormatXmlDocument(rootName, children));
}

std::optional<QString> WriteXmlFile(const QString& path, const QString& rootName,
                                    const QList<XmlElement>& children)
{
    QSaveFile file(path);
    if (auto error = InitXML(file)) return error;

    // InitXML has written the declaration; the rest follows without a second mark.
    QString body = FormatXmlDocument(rootName, children);
    body.remove(0, XmlDeclarationLine().size());
    auto encode = utf16LittleEndian(false);
    const QByteArray bytes = encode(body);
    if (file.write(bytes) != bytes.size()) {
        const QString error =
            QStringLiteral("Cannot write \"%1\": %2").arg(path, file.errorString());
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) {
        return QStringLiteral("Cannot save \"%1\": %2").arg(path, file.errorString());
    }
    return std::nullopt;
}

XmlReadResult ReadXmlFile(const QString& path, qint64 maxBytes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return failed(QStringLiteral("Cannot open \"%1\": %2").arg(path, file.errorString()));
    }
    // The size is checked before reading, and the read is bounded as well, for
    // files that do not report a size (devices, pipes).
    const QString tooLarge = QStringLiteral("\"%1\" is too large to be read (more than %2 bytes).")
                                 .arg(path)
                                 .arg(maxBytes);
    if (file.size() > maxBytes) return failed(tooLarge);
    const QByteArray bytes = file.read(maxBytes + 1);
    if (bytes.size() > maxBytes) return failed(tooLarge);
    if (file.error() != QFileDevice::NoError) {
        return failed(QStringLiteral("Cannot read \"%1\": %2").arg(path, file.errorString()));
    }
    return ReadXmlBytes(bytes, path);
}

XmlReadResult ReadXmlBytes(const QByteArray& bytes, const QString& pathForMessages)
{
    if (bytes.isEmpty()) return failed(QStringLiteral("\"%1\" is empty.").arg(pathForMessages));

    QXmlStreamReader xml(bytes);
    // Prefixed names are taken as plain names: these files use no namespaces, and an
    // undeclared prefix is not worth refusing a song for.
    xml.setNamespaceProcessing(false);

    XmlReadResult result;
    int depth = 0;
    while (!xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::DTD:
            // Internal entities are the one way a small file can blow up while it is
            // read; neither songs nor playlists have any use for a DTD.
            return failed(
                QStringLiteral("\"%1\" contains a document type declaration, which is not "
                               "accepted in Velmora files.")
                    .arg(pathForMessages));
        case QXmlStreamReader::StartElement: {
            if (++depth > MaxXmlDepth) {
                return failed(QStringLiteral("\"%1\" is nested more than %2 elements deep.")
                                  .arg(pathForMessages)
                                  .arg(MaxXmlDepth));
            }
            if (depth != 2) break;
            XmlElement element;
            element.name = xml.qualifiedName().toString();
            const QXmlStreamAttributes attributes = xml.attributes();
            element.attributes.reserve(attributes.size());
            for (const QXmlStreamAttribute& a : attributes)
                element.attributes.append({a.qualifiedName().toString(), a.value().toString()});
            result.children.append(std::move(element));
            break;
        }
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    if (xml.hasError()) return failed(readerError(pathForMessages, xml, bytes));
    return result;
}

} // namespace velmora
