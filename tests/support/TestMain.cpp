// Test entry point: a QApplication (offscreen under CTest) so widget tests can run, and the
// scripted fake platform installed before every test.
#include "support/FakePlateforme.h"

#include <QApplication>
#include <gtest/gtest.h>

namespace {
class EnvironnementFaux : public ::testing::Environment {};

class FauxParTest : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { kinepo::test::ReinitialiserFaux(); }
};
} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new FauxParTest);
    return RUN_ALL_TESTS();
}
