// Number routines under both decimal separators. Every table runs once with "," (French
// settings) and once with ".".
#include "common/Nombres.h"
#include "common/Cp1252.h"
#include "tests/common/ImpressionQt.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

using namespace kinepo;

namespace {

class SousSeparateur : public ::testing::TestWithParam<char16_t> {
protected:
    void SetUp() override { FixerSeparateurDecimal(QChar(GetParam())); }
    void TearDown() override { SeparateurDecimalDuSysteme(); }
    // Expected texts are written with ","; under "." the separator changes.
    QString avecSeparateur(const char* texte) const {
        QString t = QString::fromUtf8(texte);
        t.replace(u',', QChar(GetParam()));
        return t;
    }
};

INSTANTIATE_TEST_SUITE_P(Separateurs, SousSeparateur, ::testing::Values(u',', u'.'),
                         [](const auto& info) {
                             return std::string(info.param == u',' ? "Virgule" : "Point");
                         });

struct CasLecture {
    const char* tape;
    std::optional<double> lu; // nothing: a conversion error
};

// Every case reads the same under both separators: the first foreign mark is repaired.
const CasLecture kLectures[] = {
    // Units and prefixes: a space before m makes it a metre, no space a milli.
    {"2 m", 2},
    {"2m", 2e-3},
    {"2 mm", 2e-3},
    {"5 ms", 5e-3},
    {"3 km", 3e3},
    {"12 µs", 1.2e-5},
    {"12µs", 1.2e-5},
    {"5 s", 5},
    {"10 s", 10},
    {"3 ks", 3e3},
    {"2 ns", 2e-9},
    {"4 Gm", 4e9},
    {"5 M", 5e6},
    {"5 Mm", 5e6},
    {"2 µm", 2e-6},
    {"5µ", 5e-6},
    {"1 y", 1e-24},
    {"1 z", 1e-21},
    {"1 a", 1e-18},
    {"1 f", 1e-15},
    {"1 p", 1e-12},
    {"1 T", 1e12},
    {"1 P", 1e15},
    {"5 E", 5e18},
    {"5E", 5e18},
    {"-3,5 ms", -3.5e-3},
    {"1E5 m", 1e5},
    {"7 cm", std::nullopt},
    {"2 mms", std::nullopt},
    {"5 Y", std::nullopt},
    {"5 Z", std::nullopt},
    {"5Y", std::nullopt},
    {"ms", std::nullopt},
    // Plain numbers and either separator.
    {"1.5E3", 1.5e3},
    {"1,5E3", 1.5e3},
    {"1.5e-3", 1.5e-3},
    {"1.5", 1.5},
    {"1,5", 1.5},
    {"-0,25", -0.25},
    {"+2", 2},
    {"5.", 5},
    {",5", 0.5},
    {"1e", 1},
    {"1E+", 1},
    {"  12  ", 12},
    {"1 000", 1000},
    {"- 5", -5},
    {"1e-400", 0},
    // Two marks, or a thousands mark with a decimal mark.
    {"1.234,5", std::nullopt},
    {"1,234.5", std::nullopt},
    {"1.2.3", std::nullopt},
    {"1,2,3", std::nullopt},
    {"1e400", std::nullopt},
    {"0x10", std::nullopt},
    {"abc", std::nullopt},
    {"1 2 3c", std::nullopt},
    {"", std::nullopt},
    {" ", std::nullopt},
    {"+", std::nullopt},
    {"E5", std::nullopt},
    // One character is converted unchanged.
    {"7", 7},
    {",", 0},
    {".", 0},
    {"m", std::nullopt},
    {"µ", std::nullopt},
    {"s", std::nullopt},
};

} // namespace

TEST_P(SousSeparateur, LireReelTable) {
    for (const CasLecture& c : kLectures) {
        SCOPED_TRACE(c.tape);
        const QString texte = QString::fromUtf8(c.tape);
        if (c.lu) {
            double v = std::nan("");
            ASSERT_NO_THROW(v = LireReel(texte));
            // The values are decimal texts converted once: exact to the last bit.
            EXPECT_DOUBLE_EQ(v, *c.lu);
        } else {
            EXPECT_THROW(LireReel(texte), ErreurConversion);
        }
    }
}

TEST_P(SousSeparateur, LireReelMessageCiteLeTexteApresTraitementDesUnites) {
    const struct {
        const char* tape;
        const char* cite;
    } cas[] = {
        {"7 cm", "7cE-3"}, {"1.234,5", "1,234,5"}, {"5 Y", "5Y"}, {"m", "m"}, {"12µx", "12µx"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.tape);
        try {
            LireReel(QString::fromUtf8(c.tape));
            ADD_FAILURE() << "no error";
        } catch (const ErreurConversion& e) {
            const QString attendu = u'\'' + avecSeparateur(c.cite) +
                                    "' n'est pas une valeur en virgule flottante correcte";
            EXPECT_EQ(e.message(), attendu);
            EXPECT_EQ(QString::fromUtf8(e.what()), attendu);
        }
    }
}

TEST_P(SousSeparateur, LireReelUniteTable) {
    const struct {
        const char* tape;
        int unite;
        double metres;
    } cas[] = {
        {"2.5", 0, 2.5},
        {"2,5", 1, 2.5e-3},
        {"25", 2, 2.5e-5},
        {" 4 ", 0, 4},
        {"2e-3", 0, 2e-3},
        {"3", 7, 3},
        {"3", -1, 3},
        // Unreadable: 1 in the chosen unit. No unit letters are read here.
        {"abc", 0, 1},
        {"abc", 1, 1e-3},
        {"abc", 2, 1e-6},
        {"", 0, 1},
        {"5 mm", 0, 1},
        {"5m", 1, 1e-3},
        {"1.234,5", 0, 1},
        {"1e999", 0, 1},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.tape) + " / " + std::to_string(c.unite));
        EXPECT_DOUBLE_EQ(LireReelUnite(QString::fromUtf8(c.tape), c.unite), c.metres);
    }
}

TEST_P(SousSeparateur, ReelVersTexteTable) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double valeur;
        const char* texte; // with ","
    } cas[] = {
        {123.456, "123,456"},
        {999999, "999999"},
        {1e6, "1E06"},
        {1234567, "1,23457E06"},
        {1e-4, "0,0001"},
        {9e-5, "9E-05"},
        {1.2345e-5, "1,2345E-05"},
        {-0.5, "-0,5"},
        {1.2345e-4, "0,00012345"},
        {0, "0"},
        {-0.0, "0"},
        {std::nan(""), "NAN"},
        {inf, "INF"},
        {-inf, "-INF"},
        {100, "100"},
        {120000, "120000"},
        {10, "10"},
        {0.1, "0,1"},
        {1.0 / 3, "0,333333"},
        {2.0 / 3, "0,666667"},
        {123456.7, "123457"},
        {12345.67, "12345,7"},
        {-1234567, "-1,23457E06"},
        // Rounding to 6 digits comes first and may move the value into the other notation.
        {999999.6, "1E06"},
        {0.000099999996, "0,0001"},
        {0.00099999999, "0,001"},
        // Exact ties go to the even digit, as a correctly rounded conversion does.
        {1234565, "1,23456E06"},
        {1234575, "1,23458E06"},
        {999999.5, "1E06"},
        {1e100, "1E100"},
        {1e-100, "1E-100"},
        {-2.5e-7, "-2,5E-07"},
        {1.7976931348623157e308, "1,79769E308"},
        {5e-324, "4,94066E-324"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.texte);
        EXPECT_EQ(ReelVersTexte(c.valeur), avecSeparateur(c.texte));
    }
}

TEST_P(SousSeparateur, ReelVersTexteSeRelitALaMemeValeurASixChiffres) {
    for (double v : {3.14159265, -2.718281828e-9, 6.02214076e23, 1.0 / 7, 42.0}) {
        const double relu = LireReel(ReelVersTexte(v));
        EXPECT_NEAR(relu, v, std::fabs(v) * 5e-6) << v;
    }
}

// The engineering formats never use the system separator.
TEST_P(SousSeparateur, FormatIngenieurTable) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* unite;
        double valeur;
        const char* texte;
    } cas[] = {
        {"s", 1.23e-2, "12.300 ms"},
        {"s", 2.5, "2.5000 s"},
        {"Hz", 44100, "44.100 kHz"},
        {"m", -0.5, "-500.00 mm"},
        {"m", 0, "0"},
        {"m", 1e-20, "0"},
        {"V", 1e-20, "0"},
        {"m", 1e30, ""},
        {"m", 1e27, ""},
        {"m", 9.98e26, "998.00 Ym"},
        {"Hz", 1e24, "1.0000 YHz"},
        {"m", 5e-6, "5.0000 µm"},
        {"m", 0.001, "1.0000 mm"},
        {"m", 1e-18, "1.0000 am"},
        {"s", 1e-19, "100.00 zs"},
        {"m", 998.9, "998.90 m"},
        {"m", 999.4, "0.9994 km"},
        {"m", 999.5, "0.9995 km"},
        {"", 1, "1.0000 "},
        {"s", -2.5, "-2.5000 s"},
        {"A", 1.23456789, "1.2346 A"},
        {"A", 12345.678, "12.346 kA"},
        // Five significant digits first: 9.99996 becomes 10.000.
        {"s", 9.99996, "10.000 s"},
        {"s", 0.5, "500.00 ms"},
        {"W", 2e9, "2.0000 GW"},
        {"m", std::nan(""), "0"},
        {"m", inf, "0"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(std::string(c.unite) + " " + std::to_string(c.valeur));
        EXPECT_EQ(FormatIngenieur(QString::fromUtf8(c.unite), c.valeur),
                  QString::fromUtf8(c.texte));
    }
}

TEST_P(SousSeparateur, MantisseEchelleTable) {
    const struct {
        double valeur;
        const char* texte;
        int unite;
    } cas[] = {
        {2.5e-2, "25.000", 1},
        {1.2, "1.2000", 0},
        {5e-6, "5.0000", 2},
        {-2.5e-2, "25.000", 1},
        {0, "1", 0},
        {1e-16, "1", 0},
        {std::nan(""), "1", 0},
        {1e30, "1", 0},
        {0.5, "500.00", 1},
        // Outside µm ... m the unit index is clamped and the text kept: they disagree.
        {5e-7, "500.00", 2},
        {1500, "1.5000", 0},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.valeur);
        const Mantisse m = MantisseEchelle(c.valeur);
        EXPECT_EQ(m.texte, QString::fromUtf8(c.texte));
        EXPECT_EQ(m.unite, c.unite);
    }
}

TEST(Nombres, PuissanceDixExacteJusquaVingtDeux) {
    double attendu = 1;
    for (int n = 0; n <= 22; ++n) {
        EXPECT_EQ(PuissanceDix(n), attendu) << n;
        EXPECT_EQ(PuissanceDix(-n), 1 / attendu) << -n;
        attendu *= 10;
    }
    EXPECT_EQ(PuissanceDix(-3), 0.001);
    EXPECT_NEAR(PuissanceDix(100) / 1e100, 1, 1e-14);
}

TEST(Nombres, Log10) {
    EXPECT_NEAR(Log10(100), 2, 1e-15);
    EXPECT_NEAR(Log10(1e-3), -3, 1e-15);
    EXPECT_EQ(Log10(1), 0);
}

TEST(Nombres, TablesDesPrefixes) {
    const char* lettres = "yzafpn?m kMGTPEZY";
    for (int i = 1; i <= 17; ++i) {
        if (i == 7) continue;
        EXPECT_EQ(LettresPrefixe[i], QChar(lettres[i - 1])) << i;
    }
    // µ is the micro sign, byte 0xB5 in the program's files.
    EXPECT_EQ(LettresPrefixe[7], QChar(0xB5));
    EXPECT_EQ(VersCp1252(QString(LettresPrefixe[7])), QByteArray("\xB5"));
    EXPECT_STREQ(ExposantsPrefixe[1], "E-24");
    EXPECT_STREQ(ExposantsPrefixe[7], "E-6");
    EXPECT_STREQ(ExposantsPrefixe[9], "");
    EXPECT_STREQ(ExposantsPrefixe[15], "E+18");
    EXPECT_STREQ(ExposantsPrefixe[17], "E+24");
    for (int i = 1; i <= 17; ++i)
        EXPECT_EQ(EstPrefixeSI(LettresPrefixe[i]), i != 9 && i != 16 && i != 17) << i;
    EXPECT_FALSE(EstPrefixeSI(u'c'));
    EXPECT_FALSE(EstPrefixeSI(u's'));
}

TEST(Nombres, SeparateurSuitLeLocaleSaufSiFixe) {
    FixerSeparateurDecimal(u',');
    EXPECT_EQ(SeparateurDecimal(), QChar(u','));
    SeparateurDecimalDuSysteme();
    EXPECT_EQ(QString(SeparateurDecimal()), QLocale::system().decimalPoint().left(1));
}

// The engineering text of a value reads back through the parser to the same value at five
// significant digits, over the whole range of prefixes the parser knows (a to E).
TEST_P(SousSeparateur, FormatIngenieurSeRelitParLireReel) {
    for (double x = 1.7e-18; x < 9e20; x *= 1.37) {
        for (double signe : {1.0, -1.0}) {
            const QString texte = FormatIngenieur("s", signe * x);
            SCOPED_TRACE(texte.toStdString());
            const QString mantisse = texte.section(u' ', 0, 0);
            ASSERT_LE(mantisse.size(), signe < 0 ? 7 : 6);
            double relu = 0;
            ASSERT_NO_THROW(relu = LireReel(texte));
            EXPECT_NEAR(relu, signe * x, x * 1e-4);
        }
    }
}

// Whatever is typed, the parser returns or raises its own error: no other exception, no hang.
TEST_P(SousSeparateur, LireReelSurDesTextesQuelconques) {
    const QString alphabet = QString::fromUtf8("0123456789 .,eE+-msµkMGyzY\u00a0x");
    std::uint32_t graine = 12345;
    for (int essai = 0; essai < 20000; ++essai) {
        QString t;
        graine = graine * 1103515245u + 12345u;
        const int n = static_cast<int>((graine >> 16) % 12);
        for (int i = 0; i < n; ++i) {
            graine = graine * 1103515245u + 12345u;
            t += alphabet[static_cast<int>((graine >> 16) % alphabet.size())];
        }
        try {
            const double v = LireReel(t);
            EXPECT_TRUE(std::isfinite(v)) << t.toStdString();
        } catch (const ErreurConversion& e) {
            EXPECT_TRUE(e.message().endsWith("n'est pas une valeur en virgule flottante correcte"));
        }
        const double u = LireReelUnite(t, 1);
        EXPECT_TRUE(std::isfinite(u)) << t.toStdString();
    }
}
