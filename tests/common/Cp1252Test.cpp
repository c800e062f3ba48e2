// The one CP1252 converter: every byte survives a round trip, µ is 0xB5.
#include "common/Cp1252.h"
#include "tests/common/ImpressionQt.h"

#include <gtest/gtest.h>

using namespace kinepo;

TEST(Cp1252, LesCentCinquanteSixOctetsFontLAllerRetour) {
    QByteArray tous;
    for (int b = 0; b < 256; ++b)
        tous.append(static_cast<char>(b));
    const QString texte = DepuisCp1252(tous);
    ASSERT_EQ(texte.size(), 256);
    EXPECT_EQ(VersCp1252(texte), tous);
    // Distinct bytes give distinct characters, so nothing is merged on the way.
    for (int a = 0; a < 256; ++a)
        for (int b = a + 1; b < 256; ++b)
            ASSERT_NE(texte[a], texte[b]) << a << " " << b;
}

TEST(Cp1252, CorrespondancesConnues) {
    const struct {
        char16_t unicode;
        unsigned char octet;
    } cas[] = {
        {u'A', 0x41},   {0x00B5, 0xB5}, {0x20AC, 0x80}, {0x2019, 0x92}, {0x0153, 0x9C},
        {0x00E9, 0xE9}, {0x00FF, 0xFF}, {0x0178, 0x9F}, {0x2026, 0x85}, {0x00A0, 0xA0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.octet);
        EXPECT_EQ(VersCp1252(QString(QChar(c.unicode))), QByteArray(1, static_cast<char>(c.octet)));
        EXPECT_EQ(DepuisCp1252(QByteArray(1, static_cast<char>(c.octet))),
                  QString(QChar(c.unicode)));
    }
    EXPECT_EQ(VersCp1252(QString::fromUtf8("12 µs")), QByteArray("12 \xb5s"));
}

TEST(Cp1252, CaracteresHorsCp1252DeviennentUnPointDInterrogation) {
    // Greek mu, an ideogram, and a character outside the basic plane (one '?', not two).
    EXPECT_EQ(VersCp1252(QString::fromUtf8("a\u03bcb\u6f22c\U0001F600d")), QByteArray("a?b?c?d"));
    EXPECT_EQ(VersCp1252(QString()), QByteArray());
    EXPECT_EQ(DepuisCp1252(QByteArray()), QString());
}
