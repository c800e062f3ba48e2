// libFuzzer target of the settings file reader: any bytes read as a file whose keys can be
// looked up, and a file written back unchanged keeps every byte of what was read.
#include "FichierFuzz.h"

#include "common/IniFile.h"

using namespace kinepo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.INI"));
    IniFile ini(chemin);
    // The keys the forms read, in sections that may or may not be there.
    for (const char* section : {"Repertoire", "AVI", "Save", "BMP", "Optique", "Wav"}) {
        (void)ini.lireTexte(QString::fromLatin1(section), QStringLiteral("Path"));
        (void)ini.lireEntier(QString::fromLatin1(section), QStringLiteral("Cible"), 0);
        (void)ini.lireBooleen(QString::fromLatin1(section), QStringLiteral("Trace"), false);
    }
    // Nothing written: what would be saved is what was read.
    const QByteArray lu(reinterpret_cast<const char*>(donnees), qsizetype(taille));
    fuzz::Exiger(ini.contenu() == lu);
    // A key written is read back, and the rest is still there.
    ini.ecrireTexte(QStringLiteral("AVI"), QStringLiteral("Cible"), QStringLiteral("7"));
    fuzz::Exiger(ini.lireEntier(QStringLiteral("AVI"), QStringLiteral("Cible"), 0) == 7);
    return 0;
}
