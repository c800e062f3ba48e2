// The cursor table: eleven two-colour 32 x 32 cursors with their hot spots, -3 the system cross.
#include "shell/base/Curseurs.h"

#include <QBitmap>
#include <gtest/gtest.h>

using namespace kinepo;

TEST(Curseurs, TableOfHotSpotsAndNames) {
    struct Cas {
        int numero;
        const char* nom;
        QPoint chaud;
    };
    const Cas cas[] = {{1, "CIBLE1", {15, 16}},      {5, "CIBLE5", {15, 16}},
                       {6, "CIBLENOIRE", {15, 15}},  {7, "CIBLEBLANCHE", {15, 15}},
                       {8, "CIBLENORMALE", {15, 15}}, {9, "CIBLEMOVE", {15, 15}},
                       {10, "ORIGINE", {14, 14}},    {11, "ORIGINETEMPS", {0, 0}}};
    EnregistrerCurseurs();
    for (const Cas& c : cas) {
        SCOPED_TRACE(c.nom);
        const QCursor cur = CurseurNumero(c.numero);
        EXPECT_STREQ(NomRessourceCurseur(c.numero), c.nom);
        EXPECT_EQ(cur.shape(), Qt::BitmapCursor);
        EXPECT_EQ(cur.hotSpot(), c.chaud);
        EXPECT_EQ(cur.bitmap().size(), QSize(32, 32));
        // Something is drawn, and it is not opaque everywhere.
        const QImage masque = cur.mask().toImage().convertToFormat(QImage::Format_Mono);
        int opaques = 0;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) opaques += masque.pixelIndex(x, y) ? 1 : 0;
        EXPECT_GT(opaques, 10);
        EXPECT_LT(opaques, 32 * 32);
    }
}

TEST(Curseurs, SystemCursorsByNumber) {
    EXPECT_EQ(CurseurNumero(crCroix).shape(), Qt::CrossCursor);
    EXPECT_EQ(CurseurNumero(crDefaut).shape(), Qt::ArrowCursor);
    EXPECT_EQ(CurseurNumero(99).shape(), Qt::ArrowCursor);
    EXPECT_STREQ(NomRessourceCurseur(12), "");
}
