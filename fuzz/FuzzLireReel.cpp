// libFuzzer target of the number parsing of every edit box: any text is a number or an
// ErreurConversion, under either decimal separator; the length reader never fails.
#include "FichierFuzz.h"

#include "common/Nombres.h"

#include <cmath>

using namespace kinepo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    if (taille < 1) return 0;
    // The first byte picks the separator and the unit of the length reader.
    FixerSeparateurDecimal(donnees[0] & 1 ? QLatin1Char(',') : QLatin1Char('.'));
    const int unite = (donnees[0] >> 1) % 3;
    const QString texte =
        QString::fromUtf8(reinterpret_cast<const char*>(donnees + 1), qsizetype(taille - 1));
    try {
        const double x = LireReel(texte);
        // A value read is written back by the table format, which must not fail on it.
        if (std::isfinite(x)) fuzz::Exiger(!ReelVersTexte(x).isEmpty());
    } catch (const ErreurConversion& e) {
        fuzz::Exiger(!e.message().isEmpty());
    }
    (void)LireReelUnite(texte, unite);
    return 0;
}
