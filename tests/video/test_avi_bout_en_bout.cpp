// From film to the analysis program: a few frames of a moving ball measured in the AVI form and
// sent twice to the stand-in analysis program, which runs as a separate process.
#include "support/Evenements.h"
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "support/FakeConstante.h"
#include "support/FakePlateforme.h"
#include "support/TabulaneSimule.h"
#include "support/FilmSynthetique.h"
#include "transfer/ui/ImageDDE.h"
#include "video/logic/ExportVideo.h"
#include "video/ui/AviForm.h"
#include "shell/base/PanneauImage.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QRegularExpression>
#include <QThread>
#include <QToolButton>
#include <csignal>
#include <gtest/gtest.h>

using namespace kinepo;

namespace {

void Calmer() { test::TraiterEvenements(); }

QPoint Balle(int n) {
    return {30 + 10 * n, 40 + 2 * n};
}

} // namespace

TEST(AviBoutEnBout, MesureEtDeuxEnvoisAuProgrammeDAnalyse) {
    test::EnvironnementTabulaneSimule simule;
    const QTemporaryDir& runtime = simule.runtime;
    ASSERT_TRUE(runtime.isValid());
    FixerSeparateurDecimal(QLatin1Char(','));
    auto lignes = [&] { return simule.lignesJournal(); };
    auto attendre = &test::EnvironnementTabulaneSimule::attendreJournal;

    auto dde = std::make_unique<TFormDDE>();
    dde->CalculeCheminTabulane(QStringLiteral(KINEPO_TABULANE_SIMULE_DIR));
    qint64 pid = 0;
    ASSERT_TRUE(QProcess::startDetached(QStringLiteral(KINEPO_TABULANE_SIMULE_DIR "/tabulane"), {},
                                        {}, &pid));
    simule.pidsDirects.push_back(pid);
    ASSERT_TRUE(attendre([&] { return lignes().contains(QStringLiteral("ECOUTE")); }));

    const QString film = runtime.filePath("balle.avi");
    test::ParametresFilm p;
    p.images = 6;
    ASSERT_TRUE(test::EcrireFilm(film, p, [&](int n) {
        QImage im(p.largeur, p.hauteur, QImage::Format_RGB888);
        im.fill(Qt::white);
        QPainter peintre(&im);
        peintre.setBrush(Qt::black);
        peintre.drawEllipse(Balle(n), 3, 3);
        return im;
    }));

    {
        TAviForm forme;
        forme.show();
        ASSERT_TRUE(forme.OuvrirFilm(film));
        Calmer();
        forme.MesureBtn->click();
        Calmer();
        for (int n = 0; n < 4; ++n) {
            QTest::mouseClick(forme.Image, Qt::LeftButton, {}, Balle(n));
            Calmer();
        }
        ASSERT_EQ(forme.Tables().Rows, 4);

        test::FakeConstante dlg;
        dlg.lienReel = true;
        dlg.reponses.push_back({.nom = QString("g"),
                                .unite = QString("m/s²"),
                                .valeur = QString("9.81"),
                                .commentaire = QString("chute libre")});
        dlg.reponses.push_back({});
        forme.TabulaneBtn->click();
        // Default scale: 80 pixels for 1 m (a quarter of the 160-pixel frame width); origin
        // at the centre (80, 60); y upward.
        QString attendu = CheminExecutable() +
                          "\r\nAcquisition à partir de video\r\nchute libre\r\n"
                          "t\tx\ty\r\ns\tm\tm\r\n";
        for (int n = 0; n < 4; ++n)
            attendu += ReelVersTexte(0.04 * n) + "\t" + ReelVersTexte((Balle(n).x() - 80) * 0.025) +
                       "\t" + ReelVersTexte(-(Balle(n).y() - 60) * 0.025) + "\r\n";
        attendu += "\r\ng\t\r\nm/s²\t\r\n9,81\t\r\n&4 INCERT\r\n";
        for (int n = 0; n < 4; ++n)
            attendu += "0,0004\t0,025\t0,025\r\n";
        attendu +=
            "&1 NOMX\r\nx\r\n&1 NOMY\r\ny\r\n&1 ORTHO\r\n1\r\n&1 FICHIER\r\n" + film + "\r\n";
        EXPECT_EQ(test::PressePapiers().contenu, attendu);
        Calmer();
        forme.TabulaneBtn->click();
        EXPECT_TRUE(test::PressePapiers().contenu.startsWith(CheminExecutable() +
                                                             "\r\n\r\nchute libre\r\n"));
        EXPECT_FALSE(test::PressePapiers().contenu.contains("NOMX"));
        EXPECT_TRUE(test::Dialogues().messages().empty());
    }

    auto executes = [&] { return simule.requetes().filter(QRegularExpression("^EXECUTE ")); };
    EXPECT_TRUE(attendre([&] { return executes().size() >= 2; }));
    EXPECT_EQ(executes(), (QStringList{"EXECUTE CLIP|LOAD", "EXECUTE CLIP|ADD"}));

    dde.reset();
    SeparateurDecimalDuSysteme();
}
