#pragma once
// What every fuzz target shares: the readers under test take file names, so each input is
// written to a file of this process in /dev/shm (memory, not disk) with the extension the
// reader looks at, and read back from there.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace kinepo::fuzz {

// The folder of this process's inputs: /dev/shm when it exists, else the temporary folder.
inline const QString& Dossier() {
    static const QString dossier = [] {
        const QString base =
            QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
        const QString d = base + QStringLiteral("/kinepo-fuzz-%1").arg(qint64(getpid()));
        QDir().mkpath(d);
        return d;
    }();
    return dossier;
}

// Writes the bytes to <folder>/<nom> and returns its path; aborts when it cannot (a fuzz run
// that cannot write its inputs tests nothing).
inline QString EcrireEntree(const std::uint8_t* donnees, std::size_t taille, const QString& nom) {
    const QString chemin = Dossier() + QLatin1Char('/') + nom;
    QFile f(chemin);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    if (taille > 0 && f.write(reinterpret_cast<const char*>(donnees), qint64(taille)) != qint64(taille))
        std::abort();
    return chemin;
}

// Fails the run on a broken promise of the reader (a crash the sanitizers would not see).
inline void Exiger(bool condition) {
    if (!condition) std::abort();
}

} // namespace kinepo::fuzz
