#pragma once
// Number parsing and formatting shared by every form: the tolerant parser for typed values,
// the 6-significant-digit format of exchanged tables and the engineering format of displays.
// Stateless apart from the decimal separator, which follows the user's locale unless set.
#include <QString>
#include <stdexcept>

namespace kinepo {

// The real that marks an absent value everywhere in the program.
inline constexpr double ValeurAbsente = 1e-27;

// Prefix letters indexed 1..17 (index 9 is the space: no prefix) and their exponent texts.
extern const QChar LettresPrefixe[18];
extern const char* const ExposantsPrefixe[18];
// The prefix letters the parser accepts (y z a f p n µ m k M G T P E).
bool EstPrefixeSI(QChar c);

// The system decimal separator: taken from the user's locale at first use,
// or the value given to FixerSeparateurDecimal (tests set "," or ".").
QChar SeparateurDecimal();
void FixerSeparateurDecimal(QChar separateur);
// Back to the locale's separator.
void SeparateurDecimalDuSysteme();

// Raised by LireReel on a text that does not read as a number; what() is the French message
// "'<texte>' n'est pas une valeur en virgule flottante correcte".
class ErreurConversion : public std::runtime_error {
public:
    explicit ErreurConversion(const QString& message);
    QString message() const;
};

// Tolerant parse: either decimal separator, an SI prefix letter, the unit letters m and s.
// Throws ErreurConversion.
double LireReel(const QString& texte);
// A length in metres (0), millimetres (1) or micrometres (2), returned in metres.
// Never fails: an unreadable text counts as 1 in the chosen unit.
double LireReelUnite(const QString& texte, int unite);
// General format, 6 significant digits, system separator ("123,456", "1,23457E06").
QString ReelVersTexte(double x);
// The same general format with `chiffres` significant digits (1..17) and at least
// `chiffresExposant` exponent digits: FormatGeneral(x, 6, 2) is ReelVersTexte.
QString FormatGeneral(double x, int chiffres, int chiffresExposant);
// Engineering format with "." as decimal point: "12.300 ms", "44.100 kHz".
QString FormatIngenieur(const QString& unite, double x);
// Mantissa text and unit index (0 m, 1 mm, 2 µm) of a length in metres.
struct Mantisse {
    QString texte;
    int unite;
};
Mantisse MantisseEchelle(double x);
// 10^n by repeated squaring; a negative n gives 1 / 10^-n.
double PuissanceDix(int n);
// Decimal logarithm of a positive real.
double Log10(double x);

} // namespace kinepo
