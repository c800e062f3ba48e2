#include "common/Nombres.h"

#include "common/Arrondi.h"

#include <QLocale>

#include <algorithm>
#include <atomic>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <string>

namespace kinepo {

const QChar LettresPrefixe[18] = {
    QChar(u' '), QChar(u'y'),      QChar(u'z'), QChar(u'a'), QChar(u'f'), QChar(u'p'),
    QChar(u'n'), QChar(u'\u00B5'), QChar(u'm'), QChar(u' '), QChar(u'k'), QChar(u'M'),
    QChar(u'G'), QChar(u'T'),      QChar(u'P'), QChar(u'E'), QChar(u'Z'), QChar(u'Y')};

const char* const ExposantsPrefixe[18] = {"",    "E-24", "E-21", "E-18", "E-15", "E-12",
                                          "E-9", "E-6",  "E-3",  "",     "E+3",  "E+6",
                                          "E+9", "E+12", "E+15", "E+18", "E+21", "E+24"};

bool EstPrefixeSI(QChar c) {
    // Z and Y are formatted but never read back: "5 Y" is a typing slip more often than 5e24.
    switch (c.unicode()) {
    case u'y':
    case u'z':
    case u'a':
    case u'f':
    case u'p':
    case u'n':
    case u'\u00B5':
    case u'm':
    case u'k':
    case u'M':
    case u'G':
    case u'T':
    case u'P':
    case u'E':
        return true;
    default:
        return false;
    }
}

namespace {

// 0 until first use: the locale is read lazily so that a test (or the program) can fix the
// separator before anything reads it.
std::atomic<char16_t> g_separateur{0};

QChar SeparateurDuLocale() {
    const QString p = QLocale::system().decimalPoint();
    return p.isEmpty() ? QChar(u'.') : p.at(0);
}

// Separator repair shared by LireReel and LireReelUnite: only the first foreign mark changes,
// so "1.234,5" keeps a second mark and is refused later.
QString ReparerSeparateur(QString t) {
    const QChar sep = SeparateurDecimal();
    if (sep == u'.') {
        const auto i = t.indexOf(u',');
        if (i >= 0) t[i] = u'.';
    } else {
        const auto i = t.indexOf(u'.');
        if (i >= 0) t[i] = sep;
    }
    return t;
}

// Strict conversion of the repaired text: spaces, sign, digits, separator and digits,
// exponent, spaces, end. Returns false on anything else and on overflow.
bool Convertir(const QString& t, double& resultat) {
    const QChar sep = SeparateurDecimal();
    const auto n = t.size();
    qsizetype i = 0;
    while (i < n && t[i] == u' ')
        ++i;
    bool negatif = false;
    if (i < n && (t[i] == u'+' || t[i] == u'-')) {
        negatif = t[i] == u'-';
        ++i;
    }
    std::string entier, fraction;
    bool pris = false;
    while (i < n && t[i] >= u'0' && t[i] <= u'9') {
        entier += static_cast<char>(t[i].unicode());
        ++i;
        pris = true;
    }
    if (i < n && t[i] == sep) {
        ++i;
        pris = true;
        while (i < n && t[i] >= u'0' && t[i] <= u'9') {
            fraction += static_cast<char>(t[i].unicode());
            ++i;
        }
    }
    if (!pris) return false;
    long long exposant = 0;
    if (i < n && (t[i] == u'E' || t[i] == u'e')) {
        ++i;
        bool expNegatif = false;
        if (i < n && (t[i] == u'+' || t[i] == u'-')) {
            expNegatif = t[i] == u'-';
            ++i;
        }
        while (i < n && t[i] >= u'0' && t[i] <= u'9') {
            // Clamped: beyond this every mantissa overflows or underflows anyway.
            if (exposant < 1000000) exposant = exposant * 10 + (t[i].unicode() - u'0');
            ++i;
        }
        if (expNegatif) exposant = -exposant;
    }
    while (i < n && t[i] == u' ')
        ++i;
    if (i != n) return false;

    std::string chiffres = entier + fraction;
    const auto premier = chiffres.find_first_not_of('0');
    if (premier == std::string::npos) {
        resultat = negatif ? -0.0 : 0.0;
        return true;
    }
    // Decimal magnitude of the value (x = 0.d1d2... × 10^magnitude), to tell an overflow
    // (refused) from an underflow (reads as zero, like the classic converters).
    const long long magnitude =
        static_cast<long long>(entier.size()) - static_cast<long long>(premier) + exposant;
    std::string canon = "0." + chiffres.substr(premier) + "e" + std::to_string(magnitude);
    double v = 0;
    const auto r =
        std::from_chars(canon.data(), canon.data() + canon.size(), v, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range) {
        if (magnitude > 0) return false;
        v = 0;
    } else if (r.ec != std::errc() || r.ptr != canon.data() + canon.size()) {
        return false;
    }
    if (!std::isfinite(v)) return false;
    resultat = negatif ? -v : v;
    return true;
}

// Reduction to 5 significant digits and choice of the prefix index, shared by FormatIngenieur
// and MantisseEchelle. Returns false on an arithmetic error; i may come out as 0 or 18.
bool ReduireEtEchelonner(double& a, int& i) {
    const double lg = Log10(a);
    if (!std::isfinite(lg)) return false;
    const double r = PuissanceDix(static_cast<int>(std::ceil(lg)) - 5);
    if (!std::isfinite(r) || r == 0) return false;
    const double q = a / r;
    if (!std::isfinite(q) || std::fabs(q) > 9e15) return false;
    a = r * static_cast<double>(Arrondi(q));
    if (!std::isfinite(a)) return false;
    i = 9;
    while (a >= 999 && i < 18) {
        a /= 1000;
        ++i;
    }
    if (i == 18) return true;
    while (a < 0.999 && i > 0) {
        a *= 1000;
        --i;
    }
    return true;
}

// The 6-character mantissa with "." as decimal point; an empty text when it is not a number.
QString TexteMantisse(double a) {
    if (std::isnan(a)) return {};
    const int decimales = a < 10 ? 4 : (a < 100 ? 3 : 2);
    // to_chars ignores the C locale, which QCoreApplication sets from the environment.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::fixed, decimales);
    if (r.ec != std::errc()) return {};
    QString s = QString::fromLatin1(buf, r.ptr - buf);
    while (s.size() < 6)
        s.prepend(u' ');
    if (s.contains(QLatin1String("nan"), Qt::CaseInsensitive)) return {};
    while (s.startsWith(u' '))
        s.remove(0, 1);
    const auto point = s.indexOf(u'.');
    return s.left(point >= 5 ? 5 : 6);
}

} // namespace

QChar SeparateurDecimal() {
    char16_t s = g_separateur.load(std::memory_order_relaxed);
    if (s == 0) {
        s = SeparateurDuLocale().unicode();
        char16_t attendu = 0;
        if (!g_separateur.compare_exchange_strong(attendu, s)) s = attendu;
    }
    return QChar(s);
}

void FixerSeparateurDecimal(QChar separateur) {
    g_separateur.store(separateur.unicode());
}

void SeparateurDecimalDuSysteme() {
    g_separateur.store(SeparateurDuLocale().unicode());
}

ErreurConversion::ErreurConversion(const QString& message)
    : std::runtime_error(message.toStdString()) {}

QString ErreurConversion::message() const {
    return QString::fromUtf8(what());
}

double LireReel(const QString& texte) {
    QString t = ReparerSeparateur(texte);
    if (t.size() >= 2) {
        QChar c = t.back();
        const QChar p = t.at(t.size() - 2);
        // "2 m" is two metres and "2m" two millimetres: the letter is a unit only when a
        // prefix or a space stands before it.
        if (c == u'm' && (EstPrefixeSI(p) || p == u' ')) {
            t.chop(1);
            c = p;
        }
        if (c == u's') {
            t.chop(1);
            c = p;
        }
        t.remove(u' ');
        if (EstPrefixeSI(c)) {
            int index = 1;
            while (index < 18 && LettresPrefixe[index] != c)
                ++index;
            t.chop(1);
            t += QLatin1String(ExposantsPrefixe[index]);
        }
    }
    double v = 0;
    if (!Convertir(t, v))
        throw ErreurConversion(
            QStringLiteral("'%1' n'est pas une valeur en virgule flottante correcte").arg(t));
    return v;
}

double LireReelUnite(const QString& texte, int unite) {
    double v = 1;
    if (!Convertir(ReparerSeparateur(texte), v)) v = 1;
    switch (unite) {
    case 1:
        return v / 1000;
    case 2:
        return v / 1000000;
    default:
        return v;
    }
}

QString FormatGeneral(double x, int chiffres, int chiffresExposant) {
    if (std::isnan(x)) return QStringLiteral("NAN");
    if (std::isinf(x)) return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0) return QStringLiteral("0");
    // Correctly rounded decimal conversion to `chiffres` significant digits: "d.ddddde±XX".
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, std::fabs(x), std::chars_format::scientific,
                                 chiffres - 1);
    const std::string s(buf, r.ptr);
    const auto posE = s.find('e');
    std::string chiffresTexte =
        chiffres > 1 ? s.substr(0, 1) + s.substr(2, posE - 2) : s.substr(0, 1);
    while (chiffresTexte.size() > 1 && chiffresTexte.back() == '0')
        chiffresTexte.pop_back();
    // Exponent of the form 0.d1d2... × 10^E.
    const int E = std::stoi(s.substr(posE + 1)) + 1;
    const int n = static_cast<int>(chiffresTexte.size());
    const QChar sep = SeparateurDecimal();

    QString out;
    if (x < 0) out += u'-';
    if (E >= -3 && E <= chiffres) {
        if (E <= 0) {
            out += u'0';
            out += sep;
            out += QString(-E, u'0');
            out += QString::fromLatin1(chiffresTexte.data(), n);
        } else {
            for (int k = 0; k < E; ++k)
                out += k < n ? QChar(chiffresTexte[k]) : QChar(u'0');
            if (n > E) {
                out += sep;
                out += QString::fromLatin1(chiffresTexte.data() + E, n - E);
            }
        }
    } else {
        out += QChar(chiffresTexte[0]);
        if (n > 1) {
            out += sep;
            out += QString::fromLatin1(chiffresTexte.data() + 1, n - 1);
        }
        out += u'E';
        const int e = E - 1;
        if (e < 0) out += u'-';
        out += QStringLiteral("%1").arg(std::abs(e), chiffresExposant, 10, QChar(u'0'));
    }
    return out;
}

QString ReelVersTexte(double x) {
    return FormatGeneral(x, 6, 2);
}

QString FormatIngenieur(const QString& unite, double x) {
    const bool negatif = x < 0;
    double a = std::fabs(x);
    if (a < 1e-19) return QStringLiteral("0");
    int i = 9;
    if (!ReduireEtEchelonner(a, i)) return QStringLiteral("0");
    if (i == 18) return {};
    if (i == 0) return QStringLiteral("0");
    const QString mantisse = TexteMantisse(a);
    if (mantisse.isEmpty()) return {};
    QString out = mantisse + u' ';
    if (negatif) out.prepend(u'-');
    if (i != 9) out += LettresPrefixe[i];
    out += unite;
    return out;
}

Mantisse MantisseEchelle(double x) {
    const Mantisse depart{QStringLiteral("1"), 0};
    double a = std::fabs(x);
    if (!(a >= 1e-15)) return depart;
    int i = 9;
    if (!ReduireEtEchelonner(a, i) || i == 18 || i == 0) return depart;
    const QString texte = TexteMantisse(a);
    if (texte.isEmpty()) return depart;
    const int clampe = std::clamp(i, 7, 9);
    return Mantisse{texte, 9 - clampe};
}

double PuissanceDix(int n) {
    long long m = n < 0 ? -static_cast<long long>(n) : n;
    double resultat = 1;
    double base = 10;
    while (m > 0) {
        if (m & 1) resultat *= base;
        base *= base;
        m >>= 1;
    }
    return n < 0 ? 1 / resultat : resultat;
}

double Log10(double x) {
    return std::log(x) / std::log(10.0);
}

} // namespace kinepo
