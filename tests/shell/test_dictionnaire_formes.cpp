// The shipped dictionary against the real forms: every French text that the translatable
// forms show (captions, hints, menus, lists, tabs, edit texts, and the messages and file
// filters written in their sources) has a Spanish and an English translation. A new control
// or message without one fails here, with the list of what is missing.
//
// KINEPO_TEXTES_MANQUANTS=<file> writes the missing texts there, one per line, escaped as the
// dictionary file wants them, to be completed and added to shell/langues/translat.txt.
#include "fringes/ui/MichelsonForm.h"
#include "fringes/ui/MichelsonHlp.h"
#include "shell/Formes.h"
#include "shell/ImageMain.h"
#include "shell/base/Dictionnaire.h"
#include "shell/base/TradForm.h"
#include "support/FakePlateforme.h"
#include "transfer/ui/ImageConst.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

using namespace kinepo;

namespace {

const QString kSource = QStringLiteral(KINEPO_SOURCE_DIR);

// A text worth translating holds a word. A text completed at run time ("%1") cannot be
// found again in the dictionary once completed, so it is left out.
bool ATraduire(const QString& t) {
    static const QRegularExpression lettre(QStringLiteral("[A-Za-zÀ-ÿ]{2,}"));
    return lettre.match(t).hasMatch() && !t.contains(QLatin1String("%1"));
}

QString Echapper(QString t) {
    return t.replace("\\", "\\\\").replace("\n", "\\n").replace("\t", "\\t");
}

QString LitteralC(const QString& brut) {
    QString r;
    for (qsizetype i = 0; i < brut.size(); ++i) {
        if (brut[i] == '\\' && i + 1 < brut.size()) {
            const QChar c = brut[++i];
            r += c == 'n' ? QChar('\n') : c == 't' ? QChar('\t') : c;
        } else {
            r += brut[i];
        }
    }
    return r;
}

// The messages, questions and filters written as literals in a form's sources.
QStringList TextesDesSources(const QStringList& fichiers) {
    static const QRegularExpression appel(QStringLiteral(
        R"re((?:message|erreur|confirmer|demander|saisir|ouvrirFichier|ouvrirFichierFiltre|)re"
        R"re(enregistrerFichier|choisirDossier)\(\s*(?:QStringLiteral\(|QString::fromUtf8\(|u8)?)re"
        R"re(((?:"(?:[^"\\]|\\.)*"\s*)+))re"));
    static const QRegularExpression filtre(QStringLiteral(R"re(((?:"(?:[^"\\]|\\.)*"\s*)+))re"));
    static const QRegularExpression morceau(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QStringList r;
    for (const QString& chemin : fichiers) {
        QFile f(chemin);
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QString texte = QString::fromUtf8(f.readAll());
        for (auto it = appel.globalMatch(texte); it.hasNext();) {
            QString t;
            const QString litteraux = it.next().captured(1);
            for (auto m = morceau.globalMatch(litteraux); m.hasNext();)
                t += LitteralC(m.next().captured(1));
            r << t;
        }
        // File filters: adjacent literals joined, as the compiler does.
        for (auto it = filtre.globalMatch(texte); it.hasNext();) {
            QString t;
            const QString litteraux = it.next().captured(1);
            for (auto m = morceau.globalMatch(litteraux); m.hasNext();)
                t += LitteralC(m.next().captured(1));
            if (!t.contains("(*.") && !t.contains("(*)")) continue;
            for (const QString& item : t.split(";;"))
                if (item.contains("(*")) r << item;
        }
    }
    return r;
}

QStringList SourcesDe(const QStringList& dossiers, const QStringList& fichiers) {
    QStringList r;
    for (const QString& d : dossiers)
        for (QDirIterator it(kSource + "/" + d, {"*.cpp"}, QDir::Files); it.hasNext();)
            r << it.next();
    for (const QString& f : fichiers)
        r << kSource + "/" + f;
    return r;
}

class DictionnaireFormes : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        qputenv("KINEPO_INI", tmp.filePath("kinepo.INI").toLocal8Bit());
        test::Processus().vraiment = false;
    }
    // The translatable forms, opened through the launcher as a click does.
    std::vector<QWidget*> OuvrirFormes(TImageFormMain& lanceur) {
        EnregistrerFormes(lanceur);
        std::vector<QWidget*> formes{&lanceur};
        for (BoutonForme b : {BoutonForme::Interf, BoutonForme::Bmp, BoutonForme::Avi,
                              BoutonForme::Mpg, BoutonForme::Wav}) {
            if (!lanceur.Bouton(b)->isEnabled()) continue;
            lanceur.OuvrirForme(b);
            if (QWidget* f = lanceur.Forme(b)) {
                formes.push_back(f);
                for (TTradForm* enfant : f->findChildren<TTradForm*>())
                    formes.push_back(enfant);
            }
        }
        return formes;
    }
    QTemporaryDir tmp;
};

TEST_F(DictionnaireFormes, EveryTextOfTheTranslatableFormsHasItsTranslations) {
    TImageFormMain lanceur;
    ASSERT_TRUE(lanceur.Dictionary->Charger(kSource + "/shell/langues/translat.txt",
                                            kSource + "/shell/langues/language.txt"));
    const Dictionnaire& d = *lanceur.Dictionary;
    std::set<QString> manquants;
    for (QWidget* f : OuvrirFormes(lanceur))
        for (const QString& t : Traducteur::Textes(f))
            if (ATraduire(t) && !d.Complet(t)) manquants.insert(t);
    const QStringList sources =
        SourcesDe({"video/ui", "image/ui", "optics/ui", "sound/ui"}, {"shell/ImageMain.cpp"});
    for (const QString& t : TextesDesSources(sources))
        if (ATraduire(t) && !d.Complet(t)) manquants.insert(t);

    QString liste;
    for (const QString& t : manquants)
        liste += Echapper(t) + "\n";
    if (const QByteArray sortie = qgetenv("KINEPO_TEXTES_MANQUANTS"); !sortie.isEmpty()) {
        QFile f(QString::fromLocal8Bit(sortie));
        if (f.open(QIODevice::WriteOnly)) f.write(liste.toUtf8());
    }
    EXPECT_TRUE(manquants.empty()) << manquants.size() << " texts without translation:\n"
                                   << liste.toStdString();
}

TEST_F(DictionnaireFormes, ShippedLanguagesTranslateTheLauncherAndLeaveOtherWindowsFrench) {
    TImageFormMain lanceur;
    ASSERT_TRUE(lanceur.Dictionary->Charger(kSource + "/shell/langues/translat.txt",
                                            kSource + "/shell/langues/language.txt"));
    const auto formes = OuvrirFormes(lanceur);
    TConstanteDlg transfert;
    const QStringList transfertAvant = Traducteur::Textes(&transfert);
    const QString titre = lanceur.windowTitle();
    lanceur.Dictionary->FixerLangue(3);
    EXPECT_NE(lanceur.windowTitle(), titre);
    EXPECT_EQ(lanceur.ExitBtn()->text(), lanceur.Dictionary->TraduireVers("Quitter", 3));
    EXPECT_EQ(Traducteur::Textes(&transfert), transfertAvant);
    lanceur.Dictionary->FixerLangue(2);
    EXPECT_EQ(lanceur.ExitBtn()->text(), lanceur.Dictionary->TraduireVers("Quitter", 2));
    EXPECT_EQ(Traducteur::Textes(&transfert), transfertAvant);
    lanceur.Dictionary->FixerLangue(1);
    EXPECT_EQ(lanceur.windowTitle(), titre);
}

// The fringe form and its help window are plain windows: whatever the language, they keep their
// French texts.
TEST_F(DictionnaireFormes, FringeFormAndItsHelpStayFrench) {
    TImageFormMain lanceur;
    ASSERT_TRUE(lanceur.Dictionary->Charger(kSource + "/shell/langues/translat.txt",
                                            kSource + "/shell/langues/language.txt"));
    OuvrirFormes(lanceur);
    ASSERT_TRUE(lanceur.Bouton(BoutonForme::Michelson)->isEnabled());
    lanceur.OuvrirForme(BoutonForme::Michelson);
    auto* forme = qobject_cast<TMichelsonForm*>(lanceur.Forme(BoutonForme::Michelson));
    ASSERT_NE(forme, nullptr);
    EXPECT_TRUE(forme->isVisible());
    auto* aide = new TMichelsonHlp(forme);
    const QStringList avant = Traducteur::Textes(forme);
    const QStringList aideAvant = Traducteur::Textes(aide);
    ASSERT_TRUE(avant.contains("Quitter"));
    ASSERT_TRUE(avant.contains("Mesure d'intensité lumineuse en fonction du temps par une Webcam"));
    for (int langue : {3, 2}) {
        lanceur.Dictionary->FixerLangue(langue);
        // The dictionary does translate these texts on the translatable forms.
        EXPECT_NE(lanceur.Dictionary->TraduireVers("Quitter", langue), "Quitter");
        EXPECT_EQ(Traducteur::Textes(forme), avant) << langue;
        EXPECT_EQ(Traducteur::Textes(aide), aideAvant) << langue;
        EXPECT_EQ(forme->QuitterBtn->text(), "Quitter");
    }
    lanceur.Dictionary->FixerLangue(1);
}

} // namespace
