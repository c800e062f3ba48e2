#include "sound/TexteSon.h"

#include "common/Arrondi.h"
#include "common/Nombres.h"
#include "sound/TamponSon.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace kinepo {

QString TempsVersTexte(double x) {
    if (std::isnan(x)) return QStringLiteral("NAN");
    if (std::isinf(x)) return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (x == 0) return QStringLiteral("0");
    // Seven significant digits, correctly rounded by the C library.
    char tampon[40];
    std::snprintf(tampon, sizeof tampon, "%.6e", std::fabs(x));
    // tampon = "d.dddddde[+-]XX"
    QString chiffres;
    chiffres += QLatin1Char(tampon[0]);
    for (int i = 2; i < 8; ++i)
        chiffres += QLatin1Char(tampon[i]);
    const int exposant10 = std::atoi(tampon + 9);
    while (chiffres.size() > 1 && chiffres.endsWith(QLatin1Char('0')))
        chiffres.chop(1);
    const int E = exposant10 + 1; // x = 0.d1d2... x 10^E
    const QChar sep = SeparateurDecimal();
    QString t = x < 0 ? QStringLiteral("-") : QString();
    if (E >= -3 && E <= 7) {
        if (E <= 0) {
            t += QLatin1Char('0');
            t += sep;
            t += QString(-E, QLatin1Char('0'));
            t += chiffres;
        } else {
            QString entier = chiffres.left(E);
            while (entier.size() < E)
                entier += QLatin1Char('0');
            t += entier;
            if (chiffres.size() > E) {
                t += sep;
                t += chiffres.mid(E);
            }
        }
    } else {
        t += chiffres.at(0);
        if (chiffres.size() > 1) {
            t += sep;
            t += chiffres.mid(1);
        }
        t += QLatin1Char('E');
        if (E - 1 < 0) t += QLatin1Char('-');
        t += QString::number(std::abs(E - 1));
    }
    return t;
}

QStringList LignesTransfertSon(const TamponSon& son, const Selection& s,
                               const SousEchantillonnage& sous, const ParametresTransfertSon& p) {
    const std::uint32_t f = son.Frequence();
    const double dt = f == 0 ? 0.0 : 1.0 / f;
    const int pas = sous.pas == 0 ? 1 : sous.pas;
    QStringList l;
    l.reserve(6 + (s.fin - s.debut) / pas + 1);
    l << p.cheminExecutable;
    if (p.nouveauFichier)
        l << QStringLiteral("Acquisition à fech=%1 Hz")
                 .arg(f == 0 ? 0 : ArrondiInt(double(f) / pas));
    else
        l << QString();
    l << p.commentaire;
    if (p.stereo) {
        l << QStringLiteral("t\tsG\tsD") << QStringLiteral("s\t\t");
    } else {
        l << QStringLiteral("t\ts") << QStringLiteral("s\t");
    }
    // The first row is the first multiple of the step at or after the start, so a thinned
    // transfer need not begin at time 0.
    std::int32_t premier = (s.debut + pas - 1) / pas * pas;
    for (std::int32_t i = premier; i <= s.fin && son.NbEchantillons() > 0; i += pas) {
        QString ligne = TempsVersTexte((i - s.debut) * dt);
        ligne += QLatin1Char('\t');
        ligne += QString::number(son.Valeur(i, 0));
        if (p.stereo) {
            ligne += QLatin1Char('\t');
            ligne += QString::number(son.Valeur(i, 1));
        }
        l << ligne;
    }
    return l;
}

QStringList BlocsTransfertSon(const ParametresTransfertSon& p) {
    const int n = p.stereo ? 2 : 1;
    QStringList l;
    l << QStringLiteral("&%1 NOMX").arg(n);
    for (int k = 0; k < n; ++k)
        l << QStringLiteral("t");
    l << QStringLiteral("&%1 NOMY").arg(n);
    if (p.stereo)
        l << QStringLiteral("sG") << QStringLiteral("sD");
    else
        l << QStringLiteral("s");
    l << QStringLiteral("&%1 LIGNE").arg(n);
    for (int k = 0; k < n; ++k)
        l << QStringLiteral("1");
    if (n == 2) l << QStringLiteral("&1 ANALOG") << QStringLiteral("1");
    if (p.fichierSon != p.fichierEnregistrement) l << QStringLiteral("&1 FICHIER") << p.fichierSon;
    return l;
}

QStringList LignesTableSon(const TamponSon& son, const Selection& s, bool stereo) {
    const double f = son.Frequence();
    QStringList l;
    l.reserve(2 + s.fin - s.debut + 1);
    if (stereo)
        l << QStringLiteral("t\tsonGauche\tsonDroit") << QStringLiteral("s\t\t");
    else
        l << QStringLiteral("t\tson") << QStringLiteral("s\t");
    for (std::int32_t i = s.debut; i <= s.fin && son.NbEchantillons() > 0; ++i) {
        QString ligne = TempsVersTexte(f == 0 ? 0.0 : (i - s.debut) / f);
        ligne += QLatin1Char('\t');
        ligne += QString::number(son.Valeur(i, 0));
        if (stereo) {
            ligne += QLatin1Char('\t');
            ligne += QString::number(son.Valeur(i, 1));
        }
        l << ligne;
    }
    return l;
}


} // namespace kinepo
