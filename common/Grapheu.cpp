#include "common/Grapheu.h"

#include "common/Arrondi.h"
#include "common/Nombres.h"

#include <QPainter>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <type_traits>
#include <vector>

namespace kinepo {

namespace {

const QColor kBleu(0, 0, 255);

// Whatever a mapping gives, the conversion to int must stay defined: far-off points are pinned
// well outside any screen, where the clip removes them.
int VersEntierEcran(double v) {
    if (std::isnan(v)) return -1;
    return ArrondiInt(std::clamp(v, -1e8, 1e8));
}

// Shared start of both Dessine: white rectangle, clip, blue one-pixel pen in copy mode.
void PreparerPeintre(QPainter& p, const QRect& rect) {
    p.setClipRect(rect);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(rect, Qt::white);
    QPen stylo(kBleu);
    stylo.setWidth(1);
    p.setPen(stylo);
    p.setBrush(Qt::NoBrush);
}

// Reading of one first-channel sample. The format byte fixes the sample size and the frame
// stride; templates let the min/max scan below run without a test per sample.
template <bool Seize, int Canaux> struct Lecteur {
    static constexpr std::size_t Entete = Seize ? 2 : 1;
    static constexpr std::size_t Pas = (Seize ? 2 : 1) * Canaux;
    static int Lire(const std::uint8_t* base, std::int64_t k) {
        const std::uint8_t* p = base + Entete + static_cast<std::size_t>(k) * Pas;
        if constexpr (Seize)
            return qFromLittleEndian<qint16>(p);
        else
            return *p;
    }
};

// Accumulators of the sample type and plain loads let the compiler vectorize the scan (about
// four times faster than a per-sample int loop on a long recording).
template <bool Seize, int Canaux>
void MinMax(const std::uint8_t* base, std::int64_t debut, std::int64_t fin, int& mini, int& maxi) {
    using T = std::conditional_t<Seize, std::int16_t, std::uint8_t>;
    constexpr std::size_t Pas = sizeof(T) * Canaux;
    const std::uint8_t* p = base + sizeof(T) + static_cast<std::size_t>(debut) * Pas;
    const auto n = static_cast<std::size_t>(fin - debut + 1);
    T v;
    std::memcpy(&v, p, sizeof v);
    T mn = qFromLittleEndian(v), mx = mn;
    for (std::size_t k = 1; k < n; ++k) {
        T w;
        std::memcpy(&w, p + k * Pas, sizeof w);
        w = qFromLittleEndian(w);
        mn = std::min(mn, w);
        mx = std::max(mx, w);
    }
    mini = mn;
    maxi = mx;
}

} // namespace

int Tmonde::VersEcran(double monde) const {
    return VersEntierEcran(a * monde + b);
}

TableauGraphe::TableauGraphe() : valeurs_(new double[Capacite]()) {}

// ---------------------------------------------------------------------------------------------

Tgraphe::Tgraphe() : trace_(new QPoint[TableauGraphe::Capacite]) {}

QPoint Tgraphe::PointEcran(int i) const {
    if (X[i] == ValeurAbsente || Y[i] == ValeurAbsente) return QPoint(-1, -1);
    return QPoint(mondeX.VersEcran(X[i]), mondeY.VersEcran(Y[i]));
}

void Tgraphe::Dessine() {
    if (!canvas) return;
    QPainter p(canvas);
    Dessine(p);
}

void Tgraphe::Dessine(QPainter& p) {
    p.save();
    PreparerPeintre(p, rect);
    last = std::min(last, std::int32_t{TableauGraphe::IndiceMax});
    first = std::max(first, std::int32_t{TableauGraphe::IndiceMin});

    const int gauche = Gauche(rect), droite = Droite(rect), haut = Haut(rect), bas = Bas(rect);
    const double etendueX = mondeX.maxi - mondeX.mini;
    const double etendueY = mondeY.maxi - mondeY.mini;
    // A zero or undefined world range has no mapping: the plot stays blank rather than
    // drawing through infinities.
    if (!(etendueX != 0 && etendueY != 0 && std::isfinite(etendueX) && std::isfinite(etendueY))) {
        p.restore();
        return;
    }
    mondeX.a = (droite - gauche) / etendueX;
    mondeX.b = gauche - mondeX.mini * mondeX.a;
    mondeY.a = (haut - bas) / etendueY;
    mondeY.b = bas - mondeY.mini * mondeY.a;

    if (first >= last) {
        p.restore();
        return;
    }
    // Points that cannot be drawn are left out of the run, so the line joins the drawn ones.
    // The pen starts at the first drawable point: a leading absent point does not pull a
    // segment in from outside the plot.
    int n = 0;
    for (int i = first; i <= last; ++i) {
        const QPoint q = PointEcran(i);
        if (q.x() > 0 && q.y() > 0) trace_[n++] = q;
    }
    if (lines) {
        if (n >= 2) p.drawPolyline(trace_.get(), n);
    } else {
        p.drawPoints(trace_.get(), n);
    }
    p.restore();
}

// ---------------------------------------------------------------------------------------------

void TgrapheSon::FixerDonnees(const std::uint8_t* tampon, std::size_t octetsRemplis) {
    donnees_ = tampon;
    octets_ = tampon ? octetsRemplis : 0;
}

bool TgrapheSon::Est16Bits() const {
    return octets_ > 0 && (donnees_[0] == 1 || donnees_[0] == 2);
}

std::int64_t TgrapheSon::NombreTrames() const {
    if (octets_ == 0) return 0;
    switch (donnees_[0]) {
    case 0:
        return static_cast<std::int64_t>(octets_ - 1);
    case 3:
        return static_cast<std::int64_t>((octets_ - 1) / 2);
    case 1:
        return octets_ < 2 ? 0 : static_cast<std::int64_t>((octets_ - 2) / 2);
    case 2:
        return octets_ < 2 ? 0 : static_cast<std::int64_t>((octets_ - 2) / 4);
    default:
        return 0; // unknown format: nothing is read
    }
}

int TgrapheSon::Echantillon(std::int64_t k) const {
    switch (donnees_[0]) {
    case 0:
        return Lecteur<false, 1>::Lire(donnees_, k);
    case 1:
        return Lecteur<true, 1>::Lire(donnees_, k);
    case 2:
        return Lecteur<true, 2>::Lire(donnees_, k);
    default:
        return Lecteur<false, 2>::Lire(donnees_, k);
    }
}

QPoint TgrapheSon::MondeVersEcran(double valeur, double position) const {
    return QPoint(mondeX.VersEcran(position), mondeY.VersEcran(valeur));
}

TgrapheSon::PointMonde TgrapheSon::EcranVersMonde(int x, int y) const {
    return PointMonde{(x - mondeX.b) / mondeX.a, (y - mondeY.b) / mondeY.a};
}

void TgrapheSon::MettreAJourMappings() {
    mondeX.a = static_cast<double>(Droite(rect) - Gauche(rect)) /
               (static_cast<double>(last) - static_cast<double>(first));
    mondeX.b = Gauche(rect);
    compressed = mondeX.a < 0.2;
    const double bas = Bas(rect), haut = Haut(rect);
    if (Est16Bits()) {
        mondeY.a = (haut - bas) / 65536;
        mondeY.b = mondeY.a * 32768 + bas;
    } else {
        mondeY.a = (haut - bas) / 256;
        mondeY.b = bas;
    }
}

void TgrapheSon::Dessine() {
    if (!canvas) return;
    QPainter p(canvas);
    Dessine(p);
}

void TgrapheSon::Dessine(QPainter& p) {
    p.save();
    PreparerPeintre(p, rect);
    if (first >= last) {
        p.restore();
        return;
    }
    MettreAJourMappings();
    const std::int64_t trames = NombreTrames();
    // Only frames that exist are read: the range may run past the filled part of the buffer
    // (a recording still being written, a selection reaching the end).
    const std::int64_t debut = std::max<std::int64_t>(first, 0);
    const std::int64_t fin = std::min<std::int64_t>(last, trames - 1);
    if (debut > fin || rect.width() <= 0 || rect.height() <= 0) {
        p.restore();
        return;
    }

    if (!compressed) {
        const std::int64_t pas = step > 0 ? step : 1;
        std::vector<QPoint> trace;
        trace.reserve(static_cast<std::size_t>((fin - debut) / pas + 2));
        trace.push_back(MondeVersEcran(Echantillon(debut), static_cast<double>(debut - first)));
        for (std::int64_t k = debut; k <= fin; ++k)
            if (k % pas == 0)
                trace.push_back(MondeVersEcran(Echantillon(k), static_cast<double>(k - first)));
        if (trace.size() >= 2) p.drawPolyline(trace.data(), static_cast<int>(trace.size()));
        p.restore();
        return;
    }

    // One vertical min-max segment per pixel column: the cost is one pass over the frames
    // plus one segment per column, whatever the zoom.
    const std::int64_t n = std::max<std::int64_t>(1, Arrondi(1 / mondeX.a));
    const int gauche = Gauche(rect), droite = Droite(rect);
    std::vector<QLine> colonnes;
    colonnes.reserve(static_cast<std::size_t>(droite - gauche));
    const auto minmax = [this](std::int64_t a, std::int64_t b, int& mn, int& mx) {
        switch (donnees_[0]) {
        case 0:
            MinMax<false, 1>(donnees_, a, b, mn, mx);
            break;
        case 1:
            MinMax<true, 1>(donnees_, a, b, mn, mx);
            break;
        case 2:
            MinMax<true, 2>(donnees_, a, b, mn, mx);
            break;
        default:
            MinMax<false, 2>(donnees_, a, b, mn, mx);
            break;
        }
    };
    for (int x = gauche; x < droite; ++x) {
        const std::int64_t a = std::max<std::int64_t>(first + n * (x - gauche), debut);
        // The last block is clipped at last: a selection never shows frames outside it.
        const std::int64_t b = std::min<std::int64_t>(first + n * (x - gauche) + n - 1, fin);
        if (a > b) {
            if (a > fin) break;
            continue;
        }
        int mn = 0, mx = 0;
        minmax(a, b, mn, mx);
        colonnes.emplace_back(x, mondeY.VersEcran(mn), x, mondeY.VersEcran(mx));
    }
    if (!colonnes.empty()) p.drawLines(colonnes.data(), static_cast<int>(colonnes.size()));
    p.restore();
}

} // namespace kinepo
