#include "video/ui/MesuresVideo.h"

#include "transfer/ui/Transfert.h"
#include "video/logic/ExportVideo.h"
#include "video/ui/DessinOverlay.h"

#include "common/Nombres.h"
#include "platform/Dialogues.h"
#include "platform/Plateforme.h"
#include "shell/base/RoutageAide.h"

#include <QColor>
#include <QLineEdit>
#include <QPainter>
#include <QPen>
#include <QToolButton>
#include <algorithm>

namespace kinepo {

void DessinerMesures(QPainter& p, const VideoCalibration& calib, const TablesPointage& tables,
                     const OptionsDessinMesures& o,
                     const std::function<QPoint(QPoint)>& versSurface,
                     std::vector<std::pair<QPoint, QString>>* etiquettes) {
    const bool xd = XVersLaDroite(calib.Orientation), yh = YVersLeHaut(calib.Orientation);
    p.setCompositionMode(QPainter::CompositionMode_SourceOver);
    p.setPen(QPen(QColor(o.couleurAxe), 1));
    if (o.origineMobile) {
        // Each row's own origin belongs to the measurement: drawn whatever "Axes" says.
        const int n = tables.Rows + (tables.NextPoint > 0 && tables.Rows < kCapaciteLignes ? 1 : 0);
        for (int i = 0; i < n; ++i)
            PetitsAxes(p, versSurface(tables.Point(0, i)), xd, yh);
    }
    if (o.axes) {
        if (!o.origineMobile)
            AxesComplets(p, versSurface(calib.Origin), o.largeur, o.hauteur, xd, yh);
        Ligne(p, versSurface(calib.ScaleStart), versSurface(calib.ScaleEnd));
        PetiteCroix(p, versSurface(calib.ScaleStart));
        PetiteCroix(p, versSurface(calib.ScaleEnd));
    }
    if (!o.points) return;
    PolicEtiquettes(p);
    const int n = o.nbrePoints;
    auto point = [&](int k, int i, const QString& texte) {
        const QPoint s = versSurface(tables.Point(k, i));
        p.setPen(QPen(
            QColor(tables.Couleurs[static_cast<std::size_t>(std::clamp(k, 0, kMaxPointsParImage))]),
            1));
        PetiteCroix(p, s);
        Etiquette(p, s, texte);
        if (etiquettes) etiquettes->emplace_back(s, texte.left(5));
    };
    for (int i = 0; i < tables.Rows; ++i) {
        const QString etiquette = QString::number(i + 1);
        for (int k = 1; k <= n; ++k)
            point(k, i, etiquette);
    }
    if (tables.Rows >= kCapaciteLignes) return;
    for (int k = 1; k < tables.NextPoint && k <= n; ++k)
        point(k, tables.Rows,
              n > 1 ? QStringLiteral("%1-%2").arg(tables.Rows + 1).arg(k)
                    : QString::number(tables.Rows + 1));
}

QToolButton* BoutonOutil(QWidget* parent, const QString& texte, const QString& aide, bool bascule) {
    auto* b = new QToolButton(parent);
    b->setText(texte);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setCheckable(bascule);
    DefinirAide(b, aide);
    return b;
}

bool LireLongueurEchelle(QLineEdit* champ, VideoCalibration& calib) {
    try {
        calib.ScaleLength = LireReel(champ->text());
        return true;
    } catch (const ErreurConversion&) {
        Dialogues().message(QStringLiteral("Echelle incorrecte"));
        const QSignalBlocker b(champ);
        champ->setText(FormatIngenieur(QStringLiteral("m"), calib.ScaleLength));
        return false;
    }
}

void LirePatch(const QImage& image, QPoint centre, Patch& patch) {
    for (int i = 0; i < kCotePatch; ++i) {
        for (int j = 0; j < kCotePatch; ++j) {
            const int x = centre.x() + i - 20, y = centre.y() + j - 20;
            patch[static_cast<std::size_t>(i * kCotePatch + j)] =
                image.valid(x, y) ? image.pixel(x, y) : qRgb(0, 0, 0);
        }
    }
}

bool TransfererMesures(VideoCalibration& calib, const TablesPointage& tables, int n,
                       const QString& nomFilm, bool versTabulane) {
    return Transferer(
        [&](const PageTransfert& page, TexteEchange& texte) {
            calib.MettreAJourFacteurs();
            if (versTabulane) texte.ajouterIdentification(page, QString::fromUtf8(kTitreVideo));
            for (const QString& l : LignesTableau(calib, tables, n, QLatin1Char('\t')))
                texte.ajouterLigne(l);
            if (!versTabulane) return;
            page.AjouteConstante(texte);
            for (const QString& l : LignesIncertitude(calib, tables, n))
                texte.ajouterLigne(l);
            if (page.nouveauFichier())
                for (const QString& l : LignesEnteteNouveauFichier(n, nomFilm))
                    texte.ajouterLigne(l);
        },
        versTabulane ? CibleTransfert::Tabulane : CibleTransfert::PressePapiers);
}

} // namespace kinepo
