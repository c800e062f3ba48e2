// The texts a video table leaves the form as, compared with expected files.
#include "common/Nombres.h"
#include "video/logic/ExportVideo.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace kinepo;

namespace {

// Compares a CR LF text with an expected file (stored with plain line ends) and prints the
// differing lines.
void ComparerAuFichier(const QString& texte, const char* nomAttendu) {
    QFile f(QStringLiteral(KINEPO_TEST_DATA "/") + QString::fromUtf8(nomAttendu));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly)) << nomAttendu;
    QStringList attendues = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (!attendues.isEmpty() && attendues.back().isEmpty()) attendues.removeLast();
    ASSERT_TRUE(texte.endsWith(QStringLiteral("\r\n")));
    QStringList lues = texte.split(QStringLiteral("\r\n"));
    lues.removeLast();
    std::string diff;
    for (int i = 0; i < std::max(lues.size(), attendues.size()); ++i) {
        const QString a = i < attendues.size() ? attendues[i] : QStringLiteral("<absent>");
        const QString l = i < lues.size() ? lues[i] : QStringLiteral("<absent>");
        if (a != l)
            diff += "line " + std::to_string(i + 1) + ": expected [" + a.toStdString() + "] got [" +
                    l.toStdString() + "]\n";
    }
    EXPECT_TRUE(diff.empty()) << nomAttendu << "\n" << diff;
}

// Four images of a ball at 25 images per second, a pixel of 1.25 mm, y upward.
struct ExempleQuatreImages {
    VideoCalibration cal;
    TablesPointage t;
    ExempleQuatreImages() {
        cal.DefautsFilm(320, 240);
        cal.ScaleStart = {0, 0};
        cal.ScaleEnd = {100, 0};
        cal.ScaleLength = 0.125;
        cal.MettreAJourFacteurs();
        t.OrigineUnique({50, 50});
        const QPoint p[] = {{50, 50}, {60, 57}, {70, 75}, {80, 106}};
        for (int i = 0; i < 4; ++i) {
            t.Point(1, i) = p[i];
            t.Temps(i) = 0.04 * i;
        }
        t.Rows = 4;
    }
};

class ExportVideo : public ::testing::Test {
protected:
    void TearDown() override { SeparateurDecimalDuSysteme(); }
};

} // namespace

TEST_F(ExportVideo, TexteDEchangeDeLExempleQuatreImages) {
    FixerSeparateurDecimal(QLatin1Char(','));
    ExempleQuatreImages ex;
    EnteteEchange e;
    e.cheminExecutable = QStringLiteral("/opt/kinepo/kinepo");
    e.nouveauFichier = true;
    e.commentaire = QStringLiteral("chute libre");
    e.blocConstante = {QString(), QStringLiteral("g\t"), QStringLiteral("m/s²\t"),
                       QStringLiteral("9,81\t")};
    e.cheminFilm = QStringLiteral("/home/eleve/chute.avi");
    ComparerAuFichier(JoindreLignes(LignesEchange(e, ex.cal, ex.t, 1)),
                      "echange-1point-nouveau.txt_expected");

    e.nouveauFichier = false;
    e.blocConstante.clear();
    ComparerAuFichier(JoindreLignes(LignesEchange(e, ex.cal, ex.t, 1)),
                      "echange-1point-page.txt_expected");
}

TEST_F(ExportVideo, BlocDIncertitude) {
    FixerSeparateurDecimal(QLatin1Char('.'));
    VideoCalibration cal;
    cal.ScaleStart = {10, 10};
    cal.ScaleEnd = {110, 10};
    cal.ScaleLength = 0.5;
    cal.Incertitude = 2;
    cal.MettreAJourFacteurs();
    TablesPointage t;
    t.Rows = 4;
    for (int i = 0; i < 4; ++i)
        t.Temps(i) = 0.04 * i;
    const QStringList l = LignesIncertitude(cal, t, 1);
    ASSERT_EQ(l.size(), 5);
    EXPECT_EQ(l[0], "&4 INCERT");
    for (int i = 1; i < 5; ++i)
        EXPECT_EQ(l[i], "0.0004\t0.01\t0.01");
}

TEST_F(ExportVideo, ExportUnEtTroisPoints) {
    FixerSeparateurDecimal(QLatin1Char(','));
    ExempleQuatreImages ex;
    ComparerAuFichier(TexteExport(ex.cal, ex.t, 1, ','), "export-1point-virgule.csv_expected");
    ComparerAuFichier(TextePressePapiers(ex.cal, ex.t, 1), "presse-papiers-1point.txt_expected");
    for (int i = 0; i < 4; ++i) {
        ex.t.Point(2, i) = ex.t.Point(1, i) + QPoint(100, 0);
        ex.t.Point(3, i) = ex.t.Point(1, i) + QPoint(0, -20);
    }
    ComparerAuFichier(TexteExport(ex.cal, ex.t, 3, '\t'), "export-3points-tab.txt_expected");
}

TEST_F(ExportVideo, SeparateurSelonLExtension) {
    struct Cas {
        const char* nom;
        char sep;
    };
    const Cas cas[] = {{"a.csv", ','},  {"a.CsV", ','}, {"a.txt", '\t'},
                       {"a.dat", '\t'}, {"a", '\t'},    {"x.csv.txt", '\t'}};
    for (const Cas& c : cas)
        EXPECT_EQ(SeparateurExport(QString::fromUtf8(c.nom)), QLatin1Char(c.sep)) << c.nom;
}

TEST_F(ExportVideo, EcritureAtomique) {
    QTemporaryDir d;
    const QString nom = d.filePath("table.csv");
    ASSERT_TRUE(EcrireExport(nom, QStringLiteral("t,x,y\r\n")));
    QFile f(nom);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("t,x,y\r\n"));
    f.close();
    EXPECT_FALSE(EcrireExport(d.filePath("absent/table.csv"), QStringLiteral("x")));
    if (geteuid() == 0) return; // permissions do not stop root
    // A folder that cannot be written: the existing file survives.
    QFile::setPermissions(d.path(), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_FALSE(EcrireExport(nom, QStringLiteral("autre\r\n")));
    QFile::setPermissions(d.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("t,x,y\r\n"));
}
