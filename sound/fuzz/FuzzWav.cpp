// libFuzzer target of the WAV reader: any bytes, written to a file and read back, must give a
// sound or an EWavError, never a read outside the file or the sound block.
#include "sound/TamponSon.h"

#include <QFile>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <unistd.h>

namespace {
kinepo::TamponSon& Son() {
    static kinepo::TamponSon son; // the block is allocated once, as in the form
    return son;
}
const QString& Chemin() {
    static const QString chemin =
        QStringLiteral("/tmp/kinepo-fuzz-wav-%1.wav").arg(static_cast<qint64>(getpid()));
    return chemin;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    {
        QFile f(Chemin());
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
        f.write(reinterpret_cast<const char*>(donnees), qint64(taille));
    }
    auto& son = Son();
    try {
        son.Read(Chemin());
    } catch (const kinepo::EWavError&) {
        return 0;
    }
    // A sound was read: every frame it announces lies inside the block.
    const std::int64_t fin = son.DebutDonnees() + son.OctetsDonnees();
    if (son.NbEchantillons() < 1 || fin > kinepo::TamponSon::kTailleBloc) std::abort();
    volatile int somme = 0;
    for (int v = 0; v < son.Voies(); ++v)
        somme = somme + son.Valeur(son.NbEchantillons() - 1, v);
    return 0;
}
