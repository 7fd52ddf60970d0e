#include "PercussionTable.h"

namespace velmora {

namespace {
char16_t asciiLower(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool equalsAsciiCaseless(QStringView text, std::string_view name)
{
    if (text.size() != qsizetype(name.size()))
        return false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (asciiLower(text[i].unicode()) != asciiLower(char16_t(static_cast<unsigned char>(name[i]))))
            return false;
    }
    return true;
}
} // namespace

std::optional<int> PercussionTable::valueOf(int position)
{
    if (position < 0 || position >= Count)
        return std::nullopt;
    return FirstValue + position;
}

std::optional<int> PercussionTable::positionOf(QStringView name)
{
    for (int i = 0; i < Count; ++i) {
        if (equalsAsciiCaseless(name, Names[i]))
            return i;
    }
    return std::nullopt;
}

std::optional<QString> PercussionTable::nameOf(int value)
{
    const int position = value - FirstValue;
    if (position < 0 || position >= Count)
        return std::nullopt;
    return nameAt(position);
}

QString PercussionTable::nameAt(int position)
{
    if (position < 0 || position >= Count)
        return {};
    const auto name = Names[position];
    return QString::fromLatin1(name.data(), qsizetype(name.size()));
}

} // namespace velmora
