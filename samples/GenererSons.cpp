// kinepo-sons-exemples FOLDER: writes the sample sounds of the sound form as WAV files.
#include "platform/audio/FichierWav.h"
#include "samples/SonsExemples.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: kinepo-sons-exemples FOLDER\n");
        return 2;
    }
    QDir().mkpath(args[1]);
    const QDir dossier(args[1]);
    struct {
        const char* nom;
        kinepo::exemples::SonExemple son;
    } sons[] = {{"diapason-battements.wav", kinepo::exemples::DiapasonBattements()},
                {"clap-deux-micros.wav", kinepo::exemples::ClapDeuxMicros()}};
    for (const auto& s : sons) {
        const QString chemin = dossier.filePath(QString::fromLatin1(s.nom));
        if (!kinepo::EcrireWav(chemin, s.son.format, s.son.pcm.data(),
                               std::int64_t(s.son.pcm.size()))) {
            std::fprintf(stderr, "kinepo-sons-exemples: cannot write %s\n", qPrintable(chemin));
            return 1;
        }
        std::printf("%s\n", qPrintable(chemin));
    }
    return 0;
}
