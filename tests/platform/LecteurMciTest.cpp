// The AVI form's player: one queued notification per command (also where a step cannot move),
// time formats, display rectangle and the displayed copy of the frame.
#include "platform/video/LecteurMci.h"
#include "platform/video/MoteurVideo.h"
#include "tests/platform/FilmsDeTest.h"

#include <QCoreApplication>
#include <QSignalSpy>

#include <gtest/gtest.h>
#include <ostream>

using namespace kinepo;
using namespace kinepo::test;

namespace {

// 12 frames at 30 fps, MPEG-4 with a keyframe every 5.
QString Film12() {
    ParametresFilm p;
    p.codec = CodecFilm::Mpeg4Avi;
    p.images = 12;
    p.cadenceNum = 30;
    p.gop = 5;
    return FilmNumerote(p);
}

void TraiterEvenements() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

class Lecteur : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(lecteur.Ouvrir(Film12())); }
    int NumeroAffiche() const { return LireNumero(lecteur.ImageDecodee()); }
    LecteurMci lecteur;
};

TEST_F(Lecteur, OpensOnFrameZeroInMilliseconds) {
    EXPECT_TRUE(lecteur.EstOuvert());
    EXPECT_EQ(lecteur.ImageCourante(), 0);
    EXPECT_EQ(lecteur.Format(), LecteurMci::FormatTemps::Millisecondes);
    EXPECT_EQ(lecteur.RectangleAffichage(), QRect(0, 0, 160, 120));
    EXPECT_EQ(NumeroAffiche(), 0);
    EXPECT_DOUBLE_EQ(lecteur.Longueur(), 400.0);
    EXPECT_DOUBLE_EQ(lecteur.Position(), 0.0);
    EXPECT_FALSE(lecteur.EnLecture());
}

struct CasCommande {
    const char* nom;
    std::int64_t depart;
    std::function<void(LecteurMci&)> commande;
    std::int64_t arrivee;
};
// Cases print as their name in test listings.
void PrintTo(const CasCommande& c, std::ostream* os) { *os << c.nom; }


class Commandes : public ::testing::TestWithParam<CasCommande> {};

TEST_P(Commandes, OneQueuedNotificationAndTheRightFrame) {
    const CasCommande& c = GetParam();
    LecteurMci lecteur;
    ASSERT_TRUE(lecteur.Ouvrir(Film12()));
    lecteur.SetFormat(LecteurMci::FormatTemps::Images);
    lecteur.AllerA(double(c.depart), false);
    lecteur.SetFormat(LecteurMci::FormatTemps::Millisecondes);
    TraiterEvenements();
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    c.commande(lecteur);
    // The command waits: the frame is already there, but the notification is not.
    EXPECT_EQ(lecteur.ImageCourante(), c.arrivee);
    EXPECT_EQ(LireNumero(lecteur.ImageDecodee()), c.arrivee);
    EXPECT_EQ(notifications.count(), 0);
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 1);
}

const CasCommande kCommandes[] = {
    {"step_forward", 3, [](LecteurMci& l) { l.Pas(+1); }, 4},
    {"step_back", 3, [](LecteurMci& l) { l.Pas(-1); }, 2},
    {"step_back_over_keyframe", 5, [](LecteurMci& l) { l.Pas(-1); }, 4},
    {"step_back_at_first_frame", 0, [](LecteurMci& l) { l.Pas(-1); }, 0},
    {"step_forward_at_last_frame", 11, [](LecteurMci& l) { l.Pas(+1); }, 11},
    {"start", 7, [](LecteurMci& l) { l.AllerDebut(); }, 0},
    {"end", 2, [](LecteurMci& l) { l.AllerFin(); }, 11},
    {"seek_ms_exact", 0, [](LecteurMci& l) { l.AllerA(100.0 / 3.0); }, 1},
    {"seek_ms_inside_frame", 0, [](LecteurMci& l) { l.AllerA(99.0); }, 2},
    {"seek_ms_past_end", 0, [](LecteurMci& l) { l.AllerA(1e6); }, 11},
    {"seek_frames", 0,
     [](LecteurMci& l) {
         l.SetFormat(LecteurMci::FormatTemps::Images);
         l.AllerA(9);
     },
     9},
    {"stop", 6, [](LecteurMci& l) { l.Stop(); }, 6},
    {"pause", 6, [](LecteurMci& l) { l.Pause(); }, 6},
    {"play_at_last_frame", 11, [](LecteurMci& l) { l.Play(); }, 11},
};
INSTANTIATE_TEST_SUITE_P(Lecteur, Commandes, ::testing::ValuesIn(kCommandes),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST_F(Lecteur, CommandsWithoutNotifyStaySilent) {
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    lecteur.Pas(+1, false);
    lecteur.Pas(-1, false);
    lecteur.AllerFin(false);
    lecteur.AllerDebut(false);
    lecteur.AllerA(200, false);
    lecteur.Stop(false);
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 0);
    EXPECT_EQ(lecteur.ImageCourante(), 6);
}

TEST_F(Lecteur, StepsNeverRunPastTheLastFrame) {
    lecteur.AllerFin(false);
    for (int i = 0; i < 3; ++i)
        lecteur.Pas(+1, false);
    EXPECT_EQ(lecteur.ImageCourante(), 11);
    lecteur.SetFormat(LecteurMci::FormatTemps::Images);
    EXPECT_DOUBLE_EQ(lecteur.Position(), 11.0);
    EXPECT_DOUBLE_EQ(lecteur.Longueur(), 12.0);
    lecteur.SetFormat(LecteurMci::FormatTemps::Millisecondes);
    EXPECT_NEAR(lecteur.Position(), 11 * 100.0 / 3.0, 1e-9);
    EXPECT_DOUBLE_EQ(lecteur.Longueur(), 400.0);
}

TEST_F(Lecteur, SteppingBothWaysShowsEveryFrame) {
    for (int n = 1; n < 12; ++n) {
        lecteur.Pas(+1, false);
        EXPECT_EQ(NumeroAffiche(), n);
    }
    for (int n = 10; n >= 0; --n) {
        lecteur.Pas(-1, false);
        EXPECT_EQ(NumeroAffiche(), n);
    }
}

TEST_F(Lecteur, PlayRunsToTheEndThenNotifies) {
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    QSignalSpy images(&lecteur, &LecteurMci::ImageChangee);
    lecteur.Play();
    EXPECT_TRUE(lecteur.EnLecture());
    EXPECT_EQ(notifications.count(), 0);
    ASSERT_TRUE(notifications.wait(5000));
    EXPECT_EQ(notifications.count(), 1);
    EXPECT_FALSE(lecteur.EnLecture());
    EXPECT_EQ(lecteur.ImageCourante(), 11);
    EXPECT_GE(images.count(), 1);
}

TEST_F(Lecteur, ACommandDuringPlaySupersedesIt) {
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    lecteur.Play();
    lecteur.AllerDebut();
    EXPECT_FALSE(lecteur.EnLecture());
    EXPECT_EQ(lecteur.ImageCourante(), 0);
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 2); // the superseded play, then the seek
}

TEST_F(Lecteur, NotificationsOfAClosedFilmAreDropped) {
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    lecteur.Pas(+1);
    ASSERT_TRUE(lecteur.Ouvrir(Film12()));
    lecteur.Pas(+1);
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 1);
    lecteur.Pas(+1);
    lecteur.Fermer();
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 1);
}

TEST_F(Lecteur, DisplayedCopyIsNearestNeighbourAtTheZoom) {
    lecteur.AllerA(5 * 100.0 / 3.0, false);
    EXPECT_EQ(lecteur.ImageAffichee(), lecteur.ImageDecodee());
    lecteur.SetRectangleAffichage(QRect(0, 0, 3 * 160, 3 * 120));
    const QImage affichee = lecteur.ImageAffichee();
    const QImage decodee = lecteur.ImageDecodee();
    ASSERT_EQ(affichee.size(), QSize(480, 360));
    for (int y = 0; y < 360; y += 7)
        for (int x = 0; x < 480; x += 5)
            ASSERT_EQ(affichee.pixel(x, y), decodee.pixel(x / 3, y / 3)) << x << "," << y;
    EXPECT_EQ(LireNumero(affichee), 5);
}

TEST(LecteurMciSansFilm, BadFileLeavesNoFilm) {
    LecteurMci lecteur;
    ASSERT_TRUE(lecteur.Ouvrir(Film12()));
    QFile vide(DossierFilms().filePath("vide-lecteur.avi"));
    ASSERT_TRUE(vide.open(QIODevice::WriteOnly));
    vide.close();
    EXPECT_FALSE(lecteur.Ouvrir(vide.fileName()));
    EXPECT_FALSE(lecteur.EstOuvert());
    EXPECT_EQ(lecteur.Longueur(), 0.0);
    EXPECT_TRUE(lecteur.ImageDecodee().isNull());
}

} // namespace

// Dragging the trackbar: with nothing cached near it, a position shows the keyframe before it
// (frames 0, 5, 10 here), labelled with that keyframe's own time, silently; the exact frame
// comes with the seek that ends the drag.
TEST_F(Lecteur, ScrubbingShowsTheKeyframeWithItsOwnTime) {
    QSignalSpy notifications(&lecteur, &LecteurMci::Notification);
    QSignalSpy changements(&lecteur, &LecteurMci::ImageChangee);
    lecteur.Moteur()->ViderCache();
    lecteur.Apercu(8 * 1000.0 / 30); // frame 8
    EXPECT_EQ(lecteur.ImageCourante(), 5);
    EXPECT_EQ(NumeroAffiche(), 5);
    EXPECT_DOUBLE_EQ(lecteur.Position(), 5 * 1000.0 / 30);
    EXPECT_EQ(changements.count(), 1);
    lecteur.AllerA(8 * 1000.0 / 30, false);
    EXPECT_EQ(NumeroAffiche(), 8);
    TraiterEvenements();
    EXPECT_EQ(notifications.count(), 0);
}
