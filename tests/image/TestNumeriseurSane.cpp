// Acquisition through the real SANE back-end on SANE's "test" device: SANE_CONFIG_DIR points,
// before SANE starts, at a folder whose dll.conf lists only "test" (one colour device drawing
// its colour pattern), so no real scanner is probed.
#include "FakeEchelle.h"
#include "image/ui/AcquisitionDlg.h"
#include "image/ui/BitmapForm.h"
#include "platform/Numeriseur.h"
#include "support/Evenements.h"
#include "support/FakePlateforme.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSpinBox>
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <set>

using namespace kinepo;

namespace {

// SANE unloads its test backend at sane_exit, and the backend leaves a buffer of its own
// behind: the leak checker would then report it from an unknown module. Kept loaded, the
// backend is named, and tests/lsan.supp leaves its own leaks aside.
[[maybe_unused]] void* const g_testSane =
    dlopen("libsane-test.so.1", RTLD_NOW | RTLD_NODELETE) != nullptr
        ? nullptr
        : dlopen("/usr/lib/x86_64-linux-gnu/sane/libsane-test.so.1", RTLD_NOW | RTLD_NODELETE);

// Made at load time, before any test can start SANE.
const QString g_configuration = [] {
    const QString d = QDir::temp().filePath(
        QStringLiteral("kinepo-sane-%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(d);
    const auto ecrire = [&](const char* nom, const char* texte) {
        QFile f(QDir(d).filePath(QString::fromLatin1(nom)));
        if (f.open(QIODevice::WriteOnly)) f.write(texte);
    };
    ecrire("dll.conf", "test\n");
    // The device's settings as SANE ships them, but one device in colour with its pattern.
    ecrire("test.conf",
           "number_of_devices 1\nmode Color\ndepth 8\nhand-scanner false\nthree-pass false\n"
           "three-pass-order RGB\nresolution_min 1.0\nresolution_max 1200.0\n"
           "resolution_quant 1.0\nresolution 50.0\ntest-picture \"Color pattern\"\n"
           "invert-endianess false\nread-limit false\nread-limit-size 1\nread-delay false\n"
           "read-delay-duration 1000\nread-status-code \"Default\"\nfuzzy-parameters false\n"
           "ppl-loss 0\nnon-blocking false\nselect-fd false\nenable-test-options false\n"
           "geometry_min 0.0\ngeometry_max 200.0\ngeometry_quant 1.0\ntl_x 0.0\ntl_y 0.0\n"
           "br_x 80.0\nbr_y 100.0\n");
    qputenv("SANE_CONFIG_DIR", QFile::encodeName(d));
    return d;
}();

int Couleurs(const QImage& i) {
    std::set<QRgb> c;
    for (int y = 0; y < i.height(); y += 3)
        for (int x = 0; x < i.width(); x += 3)
            c.insert(i.pixel(x, y));
    return int(c.size());
}

} // namespace

TEST(NumeriseurSane, LePeripheriqueDeTest) {
    const auto sources = Numeriseur().Sources();
    ASSERT_EQ(sources.size(), 1u);
    EXPECT_EQ(sources[0].nom, QStringLiteral("test:0"));
    EXPECT_TRUE(sources[0].libelle.contains(QStringLiteral("test:0")));

    const OptionsNumeriseur o = Numeriseur().Options(QStringLiteral("test:0"));
    EXPECT_TRUE(o.modes.contains(QStringLiteral("Color")));
    EXPECT_TRUE(o.modes.contains(QStringLiteral("Gray")));
    EXPECT_EQ(o.mode, QStringLiteral("Color"));
    EXPECT_EQ(o.resolution, 50);
    EXPECT_EQ(o.resolutionMin, 1);
    EXPECT_EQ(o.resolutionMax, 1200);
    EXPECT_DOUBLE_EQ(o.zone.width(), 80);
    EXPECT_DOUBLE_EQ(o.zone.height(), 100);
    EXPECT_DOUBLE_EQ(o.zoneMax.right(), 200);

    // 80 x 100 mm at 50 dpi: 157 x 196 pixels (the device rounds to whole pixels).
    const struct {
        const char* mode;
        int resolution;
        QRectF zone;
        bool couleur;
    } cas[] = {{"Color", 50, {}, true},
               {"Gray", 50, {}, false},
               {"Color", 25, QRectF(10, 20, 50.8, 25.4), true}};
    for (const auto& c : cas) {
        ReglagesNumeriseur r;
        r.mode = QString::fromLatin1(c.mode);
        r.resolution = c.resolution;
        r.zone = c.zone;
        const QImage i = Numeriseur().Acquerir(QStringLiteral("test:0"), r);
        ASSERT_FALSE(i.isNull()) << c.mode;
        EXPECT_EQ(i.format(), QImage::Format_RGB32);
        const double l = c.zone.isEmpty() ? 80 : c.zone.width();
        const double h = c.zone.isEmpty() ? 100 : c.zone.height();
        EXPECT_NEAR(i.width(), l / 25.4 * c.resolution, 1.5) << c.mode << " " << c.resolution;
        EXPECT_NEAR(i.height(), h / 25.4 * c.resolution, 1.5) << c.mode << " " << c.resolution;
        EXPECT_GT(Couleurs(i), 3) << c.mode; // the pattern, not a plain picture
        int colores = 0;                     // the pattern has grey parts and coloured ones
        for (int y = 0; y < i.height(); ++y)
            for (int x = 0; x < i.width(); ++x) {
                const QRgb p = i.pixel(x, y);
                colores += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
            }
        EXPECT_EQ(colores > i.width() * i.height() / 10, c.couleur) << c.mode << " " << colores;
    }
    EXPECT_THROW(Numeriseur().Options(QStringLiteral("absent:9")), ErreurNumeriseur);
}

// The form scans through SANE: the source chosen, the small dialog answered, the picture in
// memory as "Twain" with "Enregistrer" enabled.
TEST(NumeriseurSane, LaFormeAcquiert) {
    test::FakeEchelle dlg;
    TBitmapForm forme;
    forme.show();
    test::TraiterEvenements(3);
    emit forme.FilePopup->aboutToShow();
    forme.AttendreSources();
    ASSERT_TRUE(forme.SourceItem->isEnabled());
    ASSERT_TRUE(forme.AcquireItem->isEnabled());
    test::Dialogues().choix.push_back(0);
    forme.SourceItem->trigger();
    EXPECT_EQ(forme.SourceChoisie, QStringLiteral("test:0"));
    auto ancien = TAcquisitionDlg::DefinirReponseScriptee([](TAcquisitionDlg& d) {
        if (!d.ResolutionSE || !d.ModeCB || !d.LargeurSE) {
            ADD_FAILURE() << "main options missing";
            return false;
        }
        d.ModeCB->setCurrentText(QStringLiteral("Color"));
        d.ResolutionSE->setValue(30);
        // The device keeps the area of an earlier scan: the whole default area again.
        d.GaucheSE->setValue(0);
        d.HautSE->setValue(0);
        d.LargeurSE->setValue(80);
        d.HauteurSE->setValue(100);
        return true;
    });
    forme.AcquireItem->trigger();
    TAcquisitionDlg::DefinirReponseScriptee(ancien);
    EXPECT_EQ(dlg.montres, 0);
    EXPECT_EQ(forme.NomImage(), QStringLiteral("Twain"));
    EXPECT_NEAR(forme.Image().width(), 80 / 25.4 * 30, 1.5);
    EXPECT_TRUE(forme.SaveBmpItem->isEnabled());
    EXPECT_TRUE(forme.windowTitle().endsWith(QStringLiteral("[Twain]")));
}
