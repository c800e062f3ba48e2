#include "sound/SelectionSon.h"

#include "common/Arrondi.h"
#include "common/Nombres.h"

#include <QFileInfo>
#include <algorithm>

namespace kinepo {

Selection SelectionParDefaut(std::int32_t n) {
    if (n > 32767) {
        const std::int32_t debut = (n - 32768) / 2;
        return {debut, debut + 32767};
    }
    return {0, std::max(n - 1, 0)};
}

Selection SelectionDepuisBords(int bordGauche, int bordDroit, double pixelsParEchantillon,
                               int gauchePlot, std::int32_t n) {
    auto versEchantillon = [&](int x) -> std::int64_t {
        if (pixelsParEchantillon == 0) return 0;
        return Arrondi((x - gauchePlot) / pixelsParEchantillon);
    };
    Selection s;
    s.debut =
        std::int32_t(std::clamp<std::int64_t>(versEchantillon(bordGauche), 0, std::max(n - 1, 0)));
    s.fin =
        std::int32_t(std::clamp<std::int64_t>(versEchantillon(bordDroit), 0, std::max(n - 1, 0)));
    if (s.fin < s.debut) s.fin = s.debut;
    return s;
}

namespace {
bool Parmi(std::uint32_t v, std::initializer_list<std::uint32_t> l) {
    return std::find(l.begin(), l.end(), v) != l.end();
}
} // namespace

SousEchantillonnage CalculerSousEchantillonnage(std::uint32_t f, const Selection& s) {
    SousEchantillonnage r;
    r.pas = std::uint16_t((s.fin - s.debut) / 32768 + 1);
    r.frequence = f / r.pas;
    if (Parmi(f, {11025, 22050, 44100})) {
        r.valide = Parmi(r.frequence, {11025, 22050, 44100});
        if (!r.valide && r.frequence > 11025) {
            r.frequence = 11025;
            r.pas = std::uint16_t(f / 11025);
            r.valide = true;
        }
    } else if (Parmi(f, {8000, 12000, 16000, 24000, 32000, 48000})) {
        r.valide = Parmi(r.frequence, {8000, 12000, 16000, 24000, 32000, 48000});
        if (!r.valide && r.frequence > 8000) {
            r.frequence = 8000;
            r.pas = std::uint16_t(f / 8000);
            r.valide = true;
        }
    } else {
        // Neither list: the rate is whatever the file says; it stays trustworthy as long as
        // nothing is thinned out.
        r.valide = r.pas == 1 && f > 0;
    }
    return r;
}

QString Fixe(double x, int decimales) {
    // Rounded to 5 significant digits first, then written with the given decimals, so that
    // 1234.567 shows as 1234.60, as the labels always did.
    const double arrondi = QString::number(x, 'e', 4).toDouble();
    QString t = QString::number(arrondi, 'f', decimales);
    return t.replace(QLatin1Char('.'), SeparateurDecimal());
}

QString TexteDuree(double n, std::uint32_t f) {
    const double duree = f == 0 ? 0.0 : n / double(f);
    return QStringLiteral("Durée= : ") + Fixe(duree, 2) + QStringLiteral(" s");
}

QString TexteFreqFichier(std::uint32_t f, int bits) {
    return QStringLiteral("Fech=%1 Hz ; %2 bits").arg(f).arg(bits);
}

QString TexteFreqTransfert(const SousEchantillonnage& s) {
    if (s.valide) return QStringLiteral("Fech=%1 Hz").arg(s.frequence);
    return QStringLiteral("Fech=? (Schannon !)");
}

QString TexteNoteSousEchantillonnage(std::int32_t n, std::uint32_t f) {
    if (n < 32769 || f == 0) return {};
    return QStringLiteral("Sous échantillonnage si la durée excéde ") + Fixe(32768.0 / f, 2) +
           QStringLiteral(" s");
}

QString TitreFormeSon(const QString& nomFichier, bool tronque, bool converti) {
    QString titre = QStringLiteral("Lecture de fichier son pour Tabulane");
    if (nomFichier.isEmpty()) return titre;
    titre += QStringLiteral(" [") + QFileInfo(nomFichier).fileName() + QStringLiteral("]");
    if (converti) titre += QStringLiteral(" (converti en 16 bits)");
    if (tronque) titre += QStringLiteral(" (trop long donc tronqué)");
    return titre;
}

} // namespace kinepo
