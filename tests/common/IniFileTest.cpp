// The settings file: a writer changes its own keys and nothing else, whatever the file holds.
#include "common/IniFile.h"
#include "tests/common/ImpressionQt.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kinepo;

// Byte strings with NULs inside.
#define OCTETS(s) QByteArray(s, sizeof(s) - 1)

namespace {

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dossier;
    QString chemin() const { return dossier.filePath("KINEPO.INI"); }
    void ecrireFichier(const QByteArray& octets) const {
        QFile f(chemin());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(octets);
    }
    QByteArray lireFichier() const {
        QFile f(chemin());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    // Writes through a fresh object and returns the bytes on disk.
    template <typename F> QByteArray modifier(F&& f) const {
        IniFile ini(chemin());
        f(ini);
        EXPECT_TRUE(ini.enregistrer());
        return lireFichier();
    }
};

} // namespace

TEST_F(IniFileTest, UnEcrivainNeChangeQueSesCles) {
    const struct {
        const char* nom;
        QByteArray avant, apres;
    } cas[] = {
        {"crlf",
         "; "
         "Kinepo\r\n[Repertoire]\r\nAVI=/home/x/films\r\nBMP=C:\\images\r\n\r\n[AVI]\r\nCible=7\r\n"
         "Zoom = 2 \r\n\r\n[Optique]\r\nfoo=bar\r\nligne sans egal\r\n",
         "; "
         "Kinepo\r\n[Repertoire]\r\nAVI=/home/x/films\r\nBMP=C:\\images\r\n\r\n[AVI]\r\nCible=8\r\n"
         "Zoom = 2 \r\nNouveau=1\r\n\r\n[Optique]\r\nfoo=bar\r\nligne sans "
         "egal\r\n[Wav]\r\nDossier=/tmp/\xc2\xb5\r\n"},
        {"lf", "[AVI]\nCible=7\n\n[Optique]\nfoo=bar\n",
         "[AVI]\nCible=8\nNouveau=1\n\n[Optique]\nfoo=bar\n[Wav]\nDossier=/tmp/\xc2\xb5\n"},
        // Mixed ends stay as they were line by line.
        {"mixte", "[AVI]\r\nCible=7\n[Optique]\r\nfoo=bar\n",
         "[AVI]\r\nCible=8\nNouveau=1\r\n[Optique]\r\nfoo=bar\n[Wav]\r\nDossier=/tmp/\xc2\xb5\r\n"},
        // A truncated last line gets its end only because a line now follows it.
        {"tronque", "[AVI]\r\nCible=7",
         "[AVI]\r\nCible=8\r\nNouveau=1\r\n[Wav]\r\nDossier=/tmp/\xc2\xb5\r\n"},
        {"entete tronque", "[AVI]\r\nCible=7\r\n[Opt",
         "[AVI]\r\nCible=8\r\nNouveau=1\r\n[Opt\r\n[Wav]\r\nDossier=/tmp/\xc2\xb5\r\n"},
        {"vide", "", "[AVI]\r\nCible=8\r\nNouveau=1\r\n[Wav]\r\nDossier=/tmp/\xc2\xb5\r\n"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        ecrireFichier(c.avant);
        const QByteArray apres = modifier([](IniFile& ini) {
            ini.ecrireEntier("AVI", "Cible", 8);
            ini.ecrireBooleen("AVI", "Nouveau", true);
            ini.ecrireTexte("Wav", "Dossier", QString::fromUtf8("/tmp/µ"));
        });
        EXPECT_EQ(apres, c.apres);
        const IniFile relu(chemin());
        EXPECT_EQ(relu.lireEntier("AVI", "Cible", 0), 8);
        EXPECT_TRUE(relu.lireBooleen("AVI", "Nouveau", false));
        EXPECT_EQ(relu.lireTexte("Wav", "Dossier"), QString::fromUtf8("/tmp/µ"));
    }
}

TEST_F(IniFileTest, RecritureSansChangementIdentiqueOctetPourOctet) {
    const QByteArray fichier = OCTETS("[AVI]\r\nCible=7\n\x81\x8d\x90\x9d\xff\r\n\r\n[Optique]"
                                      "\r\nx=\xc3\xa9l\xc3\xa8ve\r\n\x00\x01\x02");
    ecrireFichier(fichier);
    EXPECT_EQ(modifier([](IniFile&) {}), fichier);
    EXPECT_EQ(modifier([](IniFile& ini) { ini.ecrireEntier("AVI", "Cible", 7); }), fichier);
}

TEST_F(IniFileTest, FichierAbsentOuVide) {
    for (bool existe : {false, true}) {
        SCOPED_TRACE(existe);
        QFile::remove(chemin());
        if (existe) ecrireFichier("");
        const IniFile ini(chemin());
        EXPECT_FALSE(ini.valeur("AVI", "Cible").has_value());
        EXPECT_EQ(ini.lireEntier("AVI", "Cible", 6), 6);
        EXPECT_EQ(ini.lireTexte("AVI", "Cible", "d"), "d");
        EXPECT_TRUE(ini.contenu().isEmpty());
    }
    EXPECT_EQ(modifier([](IniFile& ini) { ini.ecrireTexte("Repertoire", "AVI", "/f"); }),
              "[Repertoire]\r\nAVI=/f\r\n");
}

TEST_F(IniFileTest, DossierImpossibleNeLaisseRien) {
    IniFile ini(dossier.filePath("absent/sous/KINEPO.INI"));
    ini.ecrireEntier("AVI", "Cible", 1);
    EXPECT_FALSE(ini.enregistrer());
    EXPECT_FALSE(QFile::exists(dossier.filePath("absent")));
}

TEST_F(IniFileTest, LignesSansSensDonnentLesValeursParDefaut) {
    QByteArray poubelle =
        OCTETS("Cible=1\r\n=2\r\n[\r\n[]\r\n]\r\n[AVI\r\nCible\r\n\x00\xff\xfe=\r\n;Cible=3\r\n");
    poubelle += QByteArray(10000, 'x') + "\r\n";
    poubelle.insert(0, QByteArray("\x00\x00", 2));
    ecrireFichier(poubelle);
    const IniFile ini(chemin());
    EXPECT_EQ(ini.lireEntier("AVI", "Cible", 6), 6);
    EXPECT_FALSE(ini.valeur("", "Cible").has_value());
    EXPECT_FALSE(ini.valeur("[AVI", "Cible").has_value());
    // Garbage comes back as it was, the new section after it.
    EXPECT_EQ(modifier([](IniFile& i) { i.ecrireEntier("AVI", "Cible", 7); }),
              poubelle + "[AVI]\r\nCible=7\r\n");
}

TEST_F(IniFileTest, LectureDesValeurs) {
    ecrireFichier("[avi] ; video\r\nCIBLE = 7 \r\nCible=9\r\nHex=0x1F\r\nMot=abc\r\nVide=\r\n"
                  "B1=true\r\nB2=0\r\nB3=peut-etre\r\nTexte=  a b  \r\n[ Wav ]\r\nUnite=\xb5m\r\n");
    const IniFile ini(chemin());
    EXPECT_EQ(ini.lireEntier("AVI", "Cible", 0), 7); // first of two, any case
    EXPECT_EQ(ini.lireEntier("AVI", "hex", 0), 31);
    EXPECT_EQ(ini.lireEntier("AVI", "Mot", -1), -1);
    EXPECT_EQ(ini.lireEntier("AVI", "Vide", -1), -1);
    EXPECT_EQ(ini.lireTexte("AVI", "Vide", "d"), "");
    EXPECT_TRUE(ini.lireBooleen("AVI", "B1", false));
    EXPECT_FALSE(ini.lireBooleen("AVI", "B2", true));
    EXPECT_TRUE(ini.lireBooleen("AVI", "B3", true));
    EXPECT_EQ(ini.lireTexte("AVI", "Texte"), "a b");
    EXPECT_EQ(ini.lireTexte("Wav", "Unite"), QString::fromUtf8("µm"));
    EXPECT_FALSE(ini.valeur("Wav", "Cible").has_value());
}

TEST_F(IniFileTest, UneValeurSurPlusieursLignesResteSurUneLigne) {
    ecrireFichier("[AVI]\r\nA=1\r\n");
    EXPECT_EQ(modifier([](IniFile& ini) { ini.ecrireTexte("AVI", "Note", "a\r\n[Piege]\nb"); }),
              "[AVI]\r\nA=1\r\nNote=a  [Piege] b\r\n");
    const IniFile relu(chemin());
    EXPECT_EQ(relu.lireTexte("AVI", "Note"), "a  [Piege] b");
    EXPECT_FALSE(relu.valeur("Piege", "b").has_value());
}

// Paths that CP1252 cannot hold survive a write and a read; an older file, CP1252 throughout,
// still reads, and its lines stay byte for byte when a key is added in UTF-8 beside them.
TEST_F(IniFileTest, EcritEnUtf8LitLesAnciensFichiersEnCp1252) {
    const QString polonaisRusse = QString::fromUtf8("/home/łukasz/Записи");
    const struct {
        const char* nom;
        QByteArray avant; // the file before
        QString avi;      // what [Repertoire] Avi reads as
        QByteArray apres; // the file after writing Wav
    } cas[] = {
        {"absent",
         "",
         {},
         "[Repertoire]\r\nWav=/home/\xc5\x82ukasz/\xd0\x97\xd0\xb0\xd0\xbf"
         "\xd0\xb8\xd1\x81\xd0\xb8\r\n"},
        {"cp1252", "[Repertoire]\r\nAvi=C:\\Vid\xe9os \xb5s\r\n; \x80 \xe0 garder\r\n",
         QString::fromUtf8("C:\\Vidéos µs"),
         "[Repertoire]\r\nAvi=C:\\Vid\xe9os \xb5s\r\nWav=/home/\xc5\x82ukasz/\xd0\x97\xd0\xb0"
         "\xd0\xbf\xd0\xb8\xd1\x81\xd0\xb8\r\n; \x80 \xe0 garder\r\n"},
        {"utf8", "[Repertoire]\nAvi=/home/\xc3\xa9l\xc3\xa8ve\n", QString::fromUtf8("/home/élève"),
         "[Repertoire]\nAvi=/home/\xc3\xa9l\xc3\xa8ve\nWav=/home/\xc5\x82ukasz/\xd0\x97\xd0\xb0"
         "\xd0\xbf\xd0\xb8\xd1\x81\xd0\xb8\n"},
        {"utf8 bom", "\xef\xbb\xbf[Repertoire]\r\nAvi=/\xe2\x82\xac\r\n", QString::fromUtf8("/€"),
         "\xef\xbb\xbf[Repertoire]\r\nAvi=/\xe2\x82\xac\r\nWav=/home/\xc5\x82ukasz/\xd0\x97\xd0"
         "\xb0\xd0\xbf\xd0\xb8\xd1\x81\xd0\xb8\r\n"},
    };
    for (const auto& c : cas) {
        SCOPED_TRACE(c.nom);
        QFile::remove(chemin());
        if (!c.avant.isEmpty()) ecrireFichier(c.avant);
        EXPECT_EQ(IniFile(chemin()).lireTexte("Repertoire", "Avi"), c.avi);
        EXPECT_EQ(
            modifier([&](IniFile& ini) { ini.ecrireTexte("Repertoire", "Wav", polonaisRusse); }),
            c.apres);
        // Read again: the old CP1252 line and the new UTF-8 line both come back.
        const IniFile relu(chemin());
        EXPECT_EQ(relu.lireTexte("Repertoire", "Wav"), polonaisRusse);
        EXPECT_EQ(relu.lireTexte("Repertoire", "Avi"), c.avi);
    }
}
