#include "video/ui/GrilleResultats.h"

#include "common/Nombres.h"
#include "video/logic/ExportVideo.h"
#include "video/logic/ReglagesAvi.h"

#include <QComboBox>
#include <QIcon>
#include <QPixmap>
#include <QTableWidget>

#include <algorithm>

namespace kinepo {

namespace {

void EcrireCellule(QTableWidget* g, int r, int c, const QString& texte, QRgb couleur) {
    QTableWidgetItem* item = g->item(r, c);
    if (!item) {
        item = new QTableWidgetItem;
        g->setItem(r, c, item);
    }
    item->setText(texte);
    item->setForeground(QColor(couleur));
}

QRgb CouleurPoint(const TablesPointage& t, int k) {
    return t.Couleurs[static_cast<std::size_t>(std::clamp(k, 0, kMaxPointsParImage))];
}

struct CouleurNommee {
    int valeur;
    const char* nom;
};
const CouleurNommee kCouleurs[] = {
    {0x000000, "Noir"},   {0x000080, "Marron"},  {0x008000, "Vert"},     {0x008080, "Olive"},
    {0x800000, "Marine"}, {0x800080, "Pourpre"}, {0x808000, "Sarcelle"}, {0x808080, "Gris"},
    {0xC0C0C0, "Argent"}, {0x0000FF, "Rouge"},   {0x00FF00, "Citron"},   {0x00FFFF, "Jaune"},
    {0xFF0000, "Bleu"},   {0xFF00FF, "Fuchsia"}, {0xFFFF00, "Aqua"},     {0xFFFFFF, "Blanc"},
};

QIcon Carre(int valeur) {
    QPixmap carre(12, 12);
    carre.fill(QColor(CouleurDepuisEntier(valeur)));
    return QIcon(carre);
}

} // namespace

void ColonnesGrille(QTableWidget* g, int n) {
    g->setColumnCount(2 * n + 1);
    QStringList titres{QStringLiteral("t(s)")};
    if (n == 1) {
        titres << QStringLiteral("x(m)") << QStringLiteral("y(m)");
    } else {
        for (int k = 1; k <= n; ++k)
            titres << QStringLiteral("x%1(m)").arg(k) << QStringLiteral("y%1(m)").arg(k);
    }
    g->setHorizontalHeaderLabels(titres);
}

void EcrireLigneGrille(QTableWidget* g, const VideoCalibration& c, const TablesPointage& t, int i,
                       int jusquAuPoint) {
    if (g->rowCount() < i + 1) g->setRowCount(i + 4);
    EcrireCellule(g, i, 0, ReelVersTexte(T(c, t, i)), qRgb(0, 0, 0));
    const int n = std::min(jusquAuPoint, (g->columnCount() - 1) / 2);
    for (int k = 1; k <= n; ++k) {
        EcrireCellule(g, i, 2 * k - 1, ReelVersTexte(c.ArrondiGrille(X(c, t, k, i))),
                      CouleurPoint(t, k));
        EcrireCellule(g, i, 2 * k, ReelVersTexte(c.ArrondiGrille(Y(c, t, k, i))),
                      CouleurPoint(t, k));
    }
}

void ReecrireColonneTemps(QTableWidget* g, const VideoCalibration& c, const TablesPointage& t) {
    for (int i = 0; i < t.Rows && i < g->rowCount(); ++i)
        EcrireCellule(g, i, 0, ReelVersTexte(T(c, t, i)), qRgb(0, 0, 0));
}

void ViderLignesApres(QTableWidget* g, int premiereVide) {
    for (int r = premiereVide; r < g->rowCount(); ++r)
        for (int c = 0; c < g->columnCount(); ++c)
            if (QTableWidgetItem* item = g->item(r, c)) item->setText(QString());
}

void RemplirCouleurs(QComboBox* box) {
    for (const CouleurNommee& c : kCouleurs)
        box->addItem(Carre(c.valeur), QString::fromUtf8(c.nom), c.valeur);
}

void ChoisirCouleur(QComboBox* box, int valeur) {
    int i = box->findData(valeur);
    if (i < 0) {
        box->addItem(Carre(valeur), QStringLiteral("#%1").arg(valeur, 6, 16, QLatin1Char('0')),
                     valeur);
        i = box->count() - 1;
    }
    const QSignalBlocker bloque(box);
    box->setCurrentIndex(i);
}

} // namespace kinepo
