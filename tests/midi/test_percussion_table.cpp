#include "PercussionTable.h"

#include <gtest/gtest.h>

using velmora::PercussionTable;

TEST(PercussionTable, PositionsValuesAndKeysLineUp)
{
    EXPECT_EQ(PercussionTable::valueOf(0), 128);
    EXPECT_EQ(PercussionTable::valueOf(2), 130);
    EXPECT_EQ(PercussionTable::valueOf(23), 151);
    EXPECT_EQ(PercussionTable::valueOf(46), 174);
    EXPECT_EQ(PercussionTable::valueOf(-1), std::nullopt);
    EXPECT_EQ(PercussionTable::valueOf(47), std::nullopt);
    EXPECT_EQ(PercussionTable::nameAt(23), QStringLiteral("Vibraslap "));
}

TEST(PercussionTable, NameLookupIgnoresAsciiCaseOnly)
{
    struct Case { const char16_t* text; std::optional<int> position; };
    const Case cases[] = {
        {u"Side Stick", 2},       {u"side stick", 2},      {u"SIDE STICK", 2},
        {u"Vibraslap ", 23},      {u"vibraslap ", 23},     {u"Vibraslap", std::nullopt},
        {u"Side  Stick", std::nullopt}, {u"", std::nullopt}, {u"Open Triangle", 46},
        {u"Cowbell", 21},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PercussionTable::positionOf(QStringView(c.text)), c.position)
            << QString::fromUtf16(c.text).toStdString();
}

TEST(PercussionTable, NameOfValue)
{
    EXPECT_EQ(PercussionTable::nameOf(128), QStringLiteral("Acoustic Bass Drum"));
    EXPECT_EQ(PercussionTable::nameOf(151), QStringLiteral("Vibraslap "));
    EXPECT_EQ(PercussionTable::nameOf(127), std::nullopt);
    EXPECT_EQ(PercussionTable::nameOf(175), std::nullopt);
}
