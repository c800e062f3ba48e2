// libFuzzer target of the translation files: the input is translat.txt, then a zero byte, then
// language.txt. Any bytes load (or leave the dictionary empty), and every text of the file can
// be translated into every language.
#include "FichierFuzz.h"

#include "shell/base/Dictionnaire.h"

using namespace kinepo;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
    const char* debut = reinterpret_cast<const char*>(donnees);
    const QByteArray tout(debut, qsizetype(taille));
    const qsizetype zero = tout.indexOf('\0');
    const QByteArray traductions = zero < 0 ? tout : tout.left(zero);
    const QByteArray langues = zero < 0 ? QByteArray() : tout.mid(zero + 1);
    const QString fichierTraductions = fuzz::EcrireEntree(
        reinterpret_cast<const std::uint8_t*>(traductions.constData()),
        std::size_t(traductions.size()), QStringLiteral("translat.txt"));
    const QString fichierLangues = fuzz::EcrireEntree(
        reinterpret_cast<const std::uint8_t*>(langues.constData()), std::size_t(langues.size()),
        QStringLiteral("language.txt"));

    Dictionnaire dictionnaire(QStringLiteral("Fuzz"));
    if (!dictionnaire.Charger(fichierTraductions, fichierLangues)) return 0;
    const int n = int(dictionnaire.Langues().size());
    for (int langue = -1; langue <= n + 1; ++langue) {
        dictionnaire.FixerLangue(langue);
        (void)dictionnaire.CodeLangue(langue);
        for (const QString& ligne : QString::fromUtf8(traductions).split(QLatin1Char('\n')).mid(0, 64)) {
            const QString texte = ligne.section(QLatin1Char('\t'), 0, 0);
            (void)dictionnaire.Traduire(texte);
            (void)dictionnaire.TraduireVers(texte, langue);
            (void)dictionnaire.Complet(texte);
        }
    }
    return 0;
}
