#include "SongFile.h"

#include "PercussionTable.h"
#include "XmlFile.h"

#include <algorithm>
#include <array>

namespace velmora {

namespace {

const QString RootName = QStringLiteral("Velmora_Song");
const QString PropertiesName = QStringLiteral("Song_Properties");
const QString InstructionName = QStringLiteral("Instruction");

struct KindWord
{
    LineKind kind;
    QStringView word;       // the `Type` in the file
    QStringView editorText; // the instruction text of the editor's list
};
constexpr std::array<KindWord, 4> KindWords = {{
    {LineKind::ChangeTempo, u"Change_Tempo", u"Change Tempo"},
    {LineKind::TimeSignature, u"Time_Signature", u"Time Signature"},
    {LineKind::DisplayLyrics, u"Display_Lyrics", u"Display Lyrics"},
    {LineKind::ChangeInstrument, u"Change_Instrument", u"Change Instrument"},
}};

// A conversion that stops the reading, carrying its message.
struct Failure
{
    QString message;
};

// The attribute as text; a missing one fails as a conversion of nothing.
std::optional<Failure> textOf(const XmlElement& e, QStringView name, QString& out)
{
    const auto value = e.attribute(name);
    if (!value) return Failure{MissingAttributeMessage(false)};
    out = *value;
    return std::nullopt;
}

std::optional<Failure> integerOf(const QString& text, qint32& out)
{
    bool ok = false;
    const int v = text.toInt(&ok, 10);
    if (!ok) return Failure{NotAnIntegerMessage(text)};
    out = v;
    return std::nullopt;
}

std::optional<Failure> integerOf(const XmlElement& e, QStringView name, qint32& out)
{
    const auto value = e.attribute(name);
    if (!value) return Failure{MissingAttributeMessage(true)};
    return integerOf(*value, out);
}

// Reads one `Instruction` the way playback needs it.
std::optional<Failure> readInstruction(const XmlElement& e, TLine& line)
{
    if (auto f = integerOf(e, u"bar", line.Bar)) return f;
    if (auto f = integerOf(e, u"beat", line.Beat)) return f;

    const auto type = e.attribute(u"Type");
    const auto keepUninterpreted = [&] {
        line.Kind = LineKind::NoEffect;
        line.RawType = type;
        line.RawValue = e.attribute(u"Value");
    };
    if (!type) {
        keepUninterpreted();
        return std::nullopt;
    }

    QString value;
    if (*type == u"Change_Tempo") {
        line.Kind = LineKind::ChangeTempo;
        return integerOf(e, u"Value", line.TempoValue);
    }
    if (*type == u"Time_Signature") {
        if (auto f = textOf(e, u"Value", value)) return f;
        // Split at the first "/"; without one the part before it is empty, which
        // fails as an empty number.
        const qsizetype slash = value.indexOf(u'/');
        const QString beats = slash < 0 ? QString() : value.left(slash);
        const QString unit = value.mid(slash + 1);
        line.Kind = LineKind::TimeSignature;
        if (auto f = integerOf(beats, line.BeatsInBar)) return f;
        return integerOf(unit, line.BeatUnit);
    }
    if (*type == u"Display_Lyrics") {
        line.Kind = LineKind::DisplayLyrics;
        return textOf(e, u"Value", line.Lyric);
    }
    if (*type == u"Change_Instrument") {
        if (auto f = textOf(e, u"Value", value)) return f;
        if (const auto position = PercussionTable::positionOf(value)) {
            line.Kind = LineKind::ChangeInstrument;
            line.InstrumentCode = *PercussionTable::valueOf(*position);
        } else {
            keepUninterpreted(); // a name we have no sound for keeps the current one
        }
        return std::nullopt;
    }
    keepUninterpreted();
    return std::nullopt;
}

XmlElement elementOf(const SongProperties& p)
{
    return {PropertiesName, {{"Title", p.Title}, {"Artist", p.Artist}, {"Author", p.Author}}};
}

XmlElement elementOf(const TLine& line)
{
    XmlElement e{InstructionName,
                 {{"bar", QString::number(line.Bar)}, {"beat", QString::number(line.Beat)}}};
    auto add = [&e](const char* name, const QString& value) {
        e.attributes.append({QString::fromLatin1(name), value});
    };
    switch (line.Kind) {
    case LineKind::ChangeTempo:
        add("Type", TypeWord(line.Kind));
        add("Value", QString::number(line.TempoValue));
        break;
    case LineKind::TimeSignature:
        add("Type", TypeWord(line.Kind));
        add("Value", QStringLiteral("%1/%2").arg(line.BeatsInBar).arg(line.BeatUnit));
        break;
    case LineKind::DisplayLyrics:
        add("Type", TypeWord(line.Kind));
        add("Value", line.Lyric);
        break;
    case LineKind::ChangeInstrument:
        add("Type", TypeWord(line.Kind));
        // A code without a name cannot come from a file; an empty name reads back
        // as an instruction without effect rather than failing the song.
        add("Value", PercussionTable::nameOf(line.InstrumentCode).value_or(QString()));
        break;
    case LineKind::NoEffect:
        if (line.RawType) add("Type", *line.RawType);
        if (line.RawValue) add("Value", *line.RawValue);
        break;
    }
    return e;
}

QList<XmlElement> elementsOf(const SongProperties& properties, const TSong& song)
{
    QList<XmlElement> children;
    children.reserve(qsizetype(song.size()) + 1);
    children.append(elementOf(properties));
    for (const TLine& line : song)
        children.append(elementOf(line));
    return children;
}

} // namespace

QString NotAnIntegerMessage(const QString& text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(text);
}

QString MissingAttributeMessage(bool wantedInteger)
{
    return QStringLiteral("Could not convert variant of type (%1) into type (%2)")
        .arg(QStringLiteral("Null"),
             wantedInteger ? QStringLiteral("Integer") : QStringLiteral("String"));
}

QString TypeWord(LineKind kind)
{
    for (const auto& k : KindWords) {
        if (k.kind == kind) return k.word.toString();
    }
    return {};
}

std::optional<QString> WriteSongFile(const QString& path, const SongProperties& properties,
                                     const TSong& song)
{
    return WriteXmlFile(path, RootName, elementsOf(properties, song));
}

QByteArray EncodeSongFile(const SongProperties& properties, const TSong& song)
{
    return EncodeXmlDocument(RootName, elementsOf(properties, song));
}

std::optional<QString> ReadSongForPlayback(const QString& path, TSong& song,
                                           SongProperties& properties)
{
    const XmlReadResult xml = ReadXmlFile(path);
    if (!xml.ok()) return xml.error;

    // Everything goes into copies first: a file that fails half-way must not leave
    // a half-read schedule behind, which a later save would write over a song.
    TSong lines;
    SongProperties props = properties;
    for (const XmlElement& e : xml.children) {
        if (e.name == InstructionName) {
            TLine line;
            if (auto f = readInstruction(e, line)) return f->message;
            lines.push_back(std::move(line));
        } else if (e.name == PropertiesName) {
            if (auto f = textOf(e, u"Title", props.Title)) return f->message;
            if (auto f = textOf(e, u"Author", props.Author)) return f->message;
            if (auto f = textOf(e, u"Artist", props.Artist)) return f->message;
        }
    }
    song = std::move(lines);
    properties = std::move(props);
    return std::nullopt;
}

EditorSong ReadSongForEditor(const QString& path)
{
    EditorSong result;
    const XmlReadResult xml = ReadXmlFile(path);
    if (!xml.ok()) {
        result.Error = xml.error;
        return result;
    }

    const auto properties =
        std::find_if(xml.children.cbegin(), xml.children.cend(),
                     [](const XmlElement& e) { return e.name == PropertiesName; });
    if (properties == xml.children.cend()) {
        result.Error =
            QStringLiteral("\"%1\" is not a song file: it has no %2.").arg(path, PropertiesName);
        return result;
    }
    result.Properties.Title = properties->attribute(u"Title");
    result.Properties.Artist = properties->attribute(u"Artist");
    result.Properties.Author = properties->attribute(u"Author");

    for (const XmlElement& e : xml.children) {
        if (e.name != InstructionName) continue;
        qint32 bar = 0;
        qint32 beat = 0;
        EditorRow row;
        std::optional<Failure> f = integerOf(e, u"bar", bar);
        if (!f) f = integerOf(e, u"beat", beat);
        if (!f) f = textOf(e, u"Type", row.Instruction);
        if (!f) f = textOf(e, u"Value", row.Value);
        if (f) {
            result.Error = f->message;
            return result;
        }
        row.Position = QStringLiteral("%1.%2").arg(bar).arg(beat);
        row.Instruction.replace(u'_', u' ');
        result.Rows.append(std::move(row));
    }
    return result;
}

std::optional<QString> WriteEditorSongFile(const QString& path, const SongProperties& properties,
                                           std::span<const EditorRow> rows)
{
    QList<XmlElement> children;
    children.reserve(qsizetype(rows.size()) + 1);
    children.append(elementOf(properties));
    for (const EditorRow& row : rows) {
        // The position is written as the editor shows it, not re-read as numbers.
        const qsizetype dot = row.Position.indexOf(u'.');
        XmlElement e{InstructionName,
                     {{"bar", dot < 0 ? row.Position : row.Position.left(dot)},
                      {"beat", dot < 0 ? QString() : row.Position.mid(dot + 1)}}};
        for (const auto& k : KindWords) {
            if (row.Instruction == k.editorText) {
                e.attributes.append({QStringLiteral("Type"), k.word.toString()});
                break;
            }
        }
        e.attributes.append({QStringLiteral("Value"), row.Value});
        children.append(std::move(e));
    }
    return WriteXmlFile(path, RootName, children);
}

} // namespace velmora
