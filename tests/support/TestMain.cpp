// Test entry point: a QApplication (offscreen under CTest) so widget tests can run, and the
// scripted fake platform installed before every test.
#include "support/FakePlateforme.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
class EnvironnementFaux : public ::testing::Environment {};

class FauxParTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { kinepo::test::ReinitialiserFaux(); }
};
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every test process gets its own settings file and registry, so tests running side by side
    // (or one after the other) never read each other's settings, nor the user's.
    QTemporaryDir reglages;
    qputenv("KINEPO_INI", QFile::encodeName(reglages.filePath(QStringLiteral("kinepo.INI"))));
    qputenv("KINEPO_REGISTRE", QFile::encodeName(reglages.filePath(QStringLiteral("registre.ini"))));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FauxParTest);
    return RUN_ALL_TESTS();
}
