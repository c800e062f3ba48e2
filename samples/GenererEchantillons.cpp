// Writes the sample films into a folder (the current one by default):
//   kinepo-echantillons [folder]
#include "samples/ScenesEchantillons.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text and painting need a GUI application
    const QString dossier = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QDir().mkpath(dossier);
    using namespace kinepo::echantillons;
    for (const Scene* s : {&ChuteBalle(), &DeuxMobiles()}) {
        const QString chemin = QDir(dossier).filePath(QString::fromLatin1(s->fichier));
        QString erreur;
        if (!EcrireFilm(*s, chemin, &erreur)) {
            std::fprintf(stderr, "%s: %s\n", s->fichier, qPrintable(erreur));
            return 1;
        }
        std::printf("%s\n", qPrintable(chemin));
    }
    return 0;
}
