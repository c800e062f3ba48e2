// The transfer end to end: dialog, clipboard, and the link to a stand-in analysis program
// running as a separate process (tabulane_simule, built as "tabulane").
#include "common/Nombres.h"
#include "platform/Chemins.h"
#include "platform/lien/ClientLien.h"
#include "platform/lien/DossierPrive.h"
#include "platform/lien/SemaphoreNomme.h"
#include "support/FakeConstante.h"
#include "support/FakePlateforme.h"
#include "support/TabulaneSimule.h"
#include "transfer/ui/ImageConst.h"
#include "transfer/ui/ImageDDE.h"
#include "transfer/ui/Transfert.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>
#include <stdexcept>
#include <sys/stat.h>

using namespace kinepo;

namespace {

const QString kDossierSimule = QStringLiteral(KINEPO_TABULANE_SIMULE_DIR);
const QString kSimule = kDossierSimule + QStringLiteral("/tabulane");

// Waits with the event loop running (this process serves requests meanwhile).
bool attendreQue(const std::function<bool()>& condition, int delaiMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > delaiMs) return false;
        QTest::qWait(20);
    }
    return true;
}

// The text a form would build: identification, one column pair, the constant, a file block.
void construireTable(const PageTransfert& page, TexteEchange& texte) {
    texte.ajouterIdentification(page, QStringLiteral("Acquisition à partir de video"));
    texte.ajouterChamps({"t", "x"});
    texte.ajouterChamps({"s", "m"});
    texte.ajouterValeurs({0.0, 1.0});
    texte.ajouterValeurs({0.5, 2.0});
    page.AjouteConstante(texte);
    if (page.nouveauFichier()) texte.ajouterFichier(QStringLiteral("/films/chute.avi"));
}

class LienTabulane : public ::testing::Test {
protected:
    test::EnvironnementTabulaneSimule simule;
    QTemporaryDir& runtime = simule.runtime;
    std::vector<qint64>& pidsDirects = simule.pidsDirects;
    std::unique_ptr<TFormDDE> dde;
    std::vector<int> attentes;

    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        FixerSeparateurDecimal(u',');
        dde = std::make_unique<TFormDDE>();
        ASSERT_EQ(&TFormDDE::Instance(), dde.get());
        // The waits stay real (the stand-in needs the time to start); they are recorded too.
        dde->Attendre = [this](int ms) {
            attentes.push_back(ms);
            QThread::msleep(static_cast<unsigned long>(ms));
        };
    }

    void TearDown() override {
        dde.reset();
        SeparateurDecimalDuSysteme();
    }

    QStringList lignesJournal() const { return simule.lignesJournal(); }
    QStringList requetes() const { return simule.requetes(); }
    qsizetype nombre(const QString& ligne) const { return lignesJournal().count(ligne); }
    bool attendreJournal(const std::function<bool()>& condition) const {
        return simule.attendreJournal(condition);
    }

    // Starts the stand-in ourselves, as if the user had opened the analysis program.
    void demarrerSimule() {
        qint64 pid = 0;
        ASSERT_TRUE(QProcess::startDetached(kSimule, {}, {}, &pid));
        pidsDirects.push_back(pid);
        ASSERT_TRUE(attendreJournal([&] { return nombre(QStringLiteral("ECOUTE")) >= 1; }));
    }
};

TEST_F(LienTabulane, DeuxTransfertsDeSuiteAvecTabulaneDejaLance) {
    demarrerSimule();
    dde->CalculeCheminTabulane(kDossierSimule);
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back(
        {.nom = "g", .unite = "m/s²", .valeur = "9.81", .commentaire = "chute libre"});
    dlg.reponses.push_back({}); // OK without touching anything

    const QString exe = CheminExecutable();
    ASSERT_TRUE(Transferer(construireTable));
    const QString sep = QStringLiteral(",");
    const QString premier = exe +
                            "\r\nAcquisition à partir de video\r\nchute libre\r\n"
                            "t\tx\r\ns\tm\r\n0\t1\r\n0" +
                            sep +
                            "5\t2\r\n"
                            "\r\ng\t\r\nm/s²\t\r\n9" +
                            sep +
                            "81\t\r\n"
                            "&1 FICHIER\r\n/films/chute.avi\r\n";
    EXPECT_EQ(test::PressePapiers().contenu, premier);
    EXPECT_EQ(TConstanteDlg::Instance().Choix(), ChoixPage::NouvellePage);

    ASSERT_TRUE(Transferer(construireTable));
    // Same dialog contents, new page: empty line 2, the constant again, no file block.
    const QString second = exe + "\r\n\r\nchute libre\r\nt\tx\r\ns\tm\r\n0\t1\r\n0" + sep +
                           "5\t2\r\n\r\ng\t\r\nm/s²\t\r\n9" + sep + "81\t\r\n";
    EXPECT_EQ(test::PressePapiers().contenu, second);

    const QStringList attendu{
        "CONNECT ServeurDDE", "ADVISE ServeurItem text/plain", "EXECUTE CLIP|LOAD", "DISCONNECT",
        "CONNECT ServeurDDE", "ADVISE ServeurItem text/plain", "EXECUTE CLIP|ADD",  "DISCONNECT"};
    EXPECT_TRUE(attendreJournal([&] { return requetes().size() >= attendu.size(); }));
    EXPECT_EQ(requetes(), attendu);
    EXPECT_EQ(nombre(QStringLiteral("CONNEXION")), 2); // one conversation per transfer
    EXPECT_TRUE(test::Processus().lances.empty());     // it was running: nothing started
    EXPECT_TRUE(attentes.empty());
    EXPECT_TRUE(test::Dialogues().messages().empty());
    EXPECT_EQ(dlg.montres, 2);
}

TEST_F(LienTabulane, TabulaneNonLanceEstDemarrePuisAttendu) {
    dde->CalculeCheminTabulane(kDossierSimule);
    ASSERT_EQ(dde->CheminTabulane, kSimule);
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({.commentaire = "essai"});
    dlg.reponses.push_back({});

    ASSERT_TRUE(Transferer(construireTable));
    ASSERT_EQ(test::Processus().lances.size(), 1u);
    EXPECT_EQ(test::Processus().lances[0].programme, kSimule);
    EXPECT_TRUE(test::Processus().lances[0].arguments.isEmpty());
    EXPECT_EQ(attentes, std::vector<int>{kAttenteApresLancementMs});

    // From now on this program holds the semaphore: the start check starts nothing more.
    ASSERT_TRUE(Transferer(construireTable));
    EXPECT_EQ(test::Processus().lances.size(), 1u);
    EXPECT_EQ(attentes, std::vector<int>{kAttenteApresLancementMs});

    EXPECT_TRUE(attendreJournal([&] { return requetes().size() >= 8; }));
    EXPECT_EQ(requetes().filter(QStringLiteral("EXECUTE")),
              QStringList({"EXECUTE CLIP|LOAD", "EXECUTE CLIP|ADD"}));
    EXPECT_EQ(nombre(QStringLiteral("SEMAPHORE existait")), 1); // we made it before the start
    EXPECT_TRUE(test::Dialogues().messages().empty());
}

// Started from a registry command line with arguments, and slower than the first wait (its
// start is delayed 1600 ms, so it listens between the two waits with 900 ms to spare): the
// first opening starts it once more and retries at once, the second opening (after 1000 ms)
// finds the first copy listening.
TEST_F(LienTabulane, TabulaneLentDepuisLeRegistre) {
    test::Registre().ecrire(QStringLiteral("Software\\Tabulane"), QStringLiteral("Path"),
                            kSimule + QStringLiteral(" --lent 1600"));
    dde->CalculeCheminTabulane(QString());
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({});

    ASSERT_TRUE(Transferer(construireTable));
    ASSERT_EQ(test::Processus().lances.size(), 2u);
    for (const auto& l : test::Processus().lances) {
        EXPECT_EQ(l.programme, kSimule);
        EXPECT_EQ(l.arguments, QStringList({"--lent", "1600"}));
    }
    EXPECT_EQ(attentes,
              (std::vector<int>{kAttenteApresLancementMs, kAttenteAvantSecondeOuvertureMs}));
    EXPECT_TRUE(test::Dialogues().messages().empty());
    EXPECT_TRUE(attendreJournal([&] { return requetes().contains("DISCONNECT"); }));
    EXPECT_EQ(requetes().filter(QStringLiteral("EXECUTE")), QStringList{"EXECUTE CLIP|LOAD"});
    // The second copy finds the name served and leaves it to the first.
    EXPECT_TRUE(attendreJournal(
        [&] { return !lignesJournal().filter(QRegularExpression("^OCCUPE ")).isEmpty(); }));
    EXPECT_EQ(nombre(QStringLiteral("ECOUTE")), 1);
}

TEST_F(LienTabulane, InjoignableMessageTexteResteEtChoixPasse) {
    dde->CalculeCheminTabulane(runtime.path() + QStringLiteral("/nulle/part"));
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({.commentaire = "c"});

    ASSERT_TRUE(Transferer(construireTable));
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Impossible de lancer Tabulane"});
    EXPECT_TRUE(test::PressePapiers().contenu.contains(QStringLiteral("\r\nc\r\nt\tx\r\n")));
    EXPECT_EQ(TConstanteDlg::Instance().Choix(), ChoixPage::NouvellePage);
    // Start check, first opening, second opening: three failed starts, one wait of 1000 ms.
    EXPECT_EQ(test::Processus().lances.size(), 3u);
    EXPECT_EQ(attentes, std::vector<int>{kAttenteAvantSecondeOuvertureMs});
}

TEST_F(LienTabulane, SansCheminLeServiceEtLeSujetSontLaCommande) {
    test::Processus().vraiment = false;
    test::Processus().reussir = false;
    dde->CheminTabulane.clear();
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({});
    ASSERT_TRUE(Transferer(construireTable));
    // The start check has nothing to start; both openings try "Tabulane ServeurDDE".
    ASSERT_EQ(test::Processus().lances.size(), 2u);
    for (const auto& l : test::Processus().lances) {
        EXPECT_EQ(l.programme, QStringLiteral("Tabulane"));
        EXPECT_EQ(l.arguments, QStringList{"ServeurDDE"});
    }
    EXPECT_EQ(test::Dialogues().messages(), std::vector<QString>{"Impossible de lancer Tabulane"});
}

struct CasPair {
    const char* nom;
    const char* variable; // TABULANE_SIMULE_<variable>
    const char* valeur;
    const char* message; // expected message, "" for none
    bool executeRecu;
};

class PairDifficile : public LienTabulane, public ::testing::WithParamInterface<CasPair> {};

TEST_P(PairDifficile, FinitProprement) {
    const CasPair& c = GetParam();
    qputenv((QByteArray("TABULANE_SIMULE_") + c.variable).constData(), c.valeur);
    demarrerSimule();
    // A path that does not start: no second copy muddles the journal.
    dde->CalculeCheminTabulane(runtime.path() + QStringLiteral("/nulle/part"));
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({});

    ASSERT_TRUE(Transferer(construireTable));
    const std::vector<QString> attendu =
        *c.message ? std::vector<QString>{QString::fromUtf8(c.message)} : std::vector<QString>{};
    EXPECT_EQ(test::Dialogues().messages(), attendu);
    EXPECT_FALSE(test::PressePapiers().contenu.isEmpty());
    EXPECT_EQ(TConstanteDlg::Instance().Choix(), ChoixPage::NouvellePage);
    if (c.executeRecu)
        EXPECT_TRUE(attendreJournal([&] { return requetes().contains("EXECUTE CLIP|LOAD"); }));
    else
        EXPECT_FALSE(requetes().contains("EXECUTE CLIP|LOAD"));
}

void PrintTo(const CasPair& c, std::ostream* os) {
    *os << c.nom;
}

INSTANTIATE_TEST_SUITE_P(Cas, PairDifficile,
                         ::testing::Values(CasPair{"SujetRefuse", "REFUSER", "sujet",
                                                   "Impossible de lancer Tabulane", false},
                                           CasPair{"ItemRefuse", "REFUSER", "item", "", true},
                                           CasPair{"CoupeAuConnect", "COUPER", "CONNECT",
                                                   "Impossible de lancer Tabulane", false},
                                           CasPair{"CoupeAuAdvise", "COUPER", "ADVISE",
                                                   "CLIP|LOAD non exécuté", false},
                                           CasPair{"CoupeAExecute", "COUPER", "EXECUTE", "", true},
                                           // The peer killed at each step of a conversation.
                                           CasPair{"TueALaConnexion", "TUER", "CONNEXION",
                                                   "Impossible de lancer Tabulane", false},
                                           CasPair{"TueAuConnect", "TUER", "CONNECT",
                                                   "Impossible de lancer Tabulane", false},
                                           CasPair{"TueAuAdvise", "TUER", "ADVISE",
                                                   "CLIP|LOAD non exécuté", false},
                                           CasPair{"TueAExecute", "TUER", "EXECUTE", "", true},
                                           CasPair{"TueAuDisconnect", "TUER", "DISCONNECT", "",
                                                   true}),
                         [](const auto& info) { return std::string(info.param.nom); });

TEST_F(LienTabulane, ExecuteDUnAutreProcessusAmeneLeLanceurDevant) {
    ASSERT_TRUE(dde->ServeurActif());
    QWidget lanceur;
    lanceur.setWindowTitle(QStringLiteral("Lecture d'images pour Tabulane"));
    lanceur.show();
    lanceur.showMinimized();
    QWidget autre;
    autre.show();
    autre.activateWindow();
    dde->DefinirLanceur(&lanceur);
    QSignalSpy spy(dde.get(), &TFormDDE::LanceurAuPremierPlan);

    QProcess client;
    client.start(kSimule, {"--executer", dde->NomService(), "ServeurDDE", "[AppActivate]"});
    ASSERT_TRUE(attendreQue([&] { return spy.count() == 1; }));
    ASSERT_TRUE(attendreQue([&] { return client.state() == QProcess::NotRunning; }));
    EXPECT_EQ(client.exitCode(), 0);
    EXPECT_FALSE(lanceur.isMinimized());
    EXPECT_TRUE(lanceur.isVisible());
    EXPECT_TRUE(attendreQue([&] { return lanceur.isActiveWindow(); }, 2000));

    // Another topic is refused and brings nothing forward.
    QProcess refuse;
    refuse.start(kSimule, {"--executer", dde->NomService(), "Autre", "x"});
    ASSERT_TRUE(attendreQue([&] { return refuse.state() == QProcess::NotRunning; }));
    EXPECT_EQ(refuse.exitCode(), 1);
    EXPECT_EQ(spy.count(), 1);
}

TEST_F(LienTabulane, SemaphoreDisparaitQuandSonDetenteurEstTue) {
    EXPECT_FALSE(SemaphoreNomme::Existe(QStringLiteral("Tabulane")));
    QProcess detenteur;
    detenteur.start(kSimule, {});
    ASSERT_TRUE(detenteur.waitForStarted(5000));
    ASSERT_TRUE(attendreJournal([&] { return nombre(QStringLiteral("SEMAPHORE cree")) == 1; }));
    EXPECT_TRUE(SemaphoreNomme::Existe(QStringLiteral("Tabulane")));
    bool existait = false;
    EXPECT_NE(SemaphoreNomme::Creer(QStringLiteral("Tabulane"), &existait), nullptr);
    EXPECT_TRUE(existait);

    ::kill(static_cast<pid_t>(detenteur.processId()), SIGKILL);
    ASSERT_TRUE(detenteur.waitForFinished(5000));
    EXPECT_FALSE(SemaphoreNomme::Existe(QStringLiteral("Tabulane")));

    // Held by this process alone, then released with its last handle.
    auto a = SemaphoreNomme::Creer(QStringLiteral("Tabulane"), &existait);
    ASSERT_NE(a, nullptr);
    EXPECT_FALSE(existait);
    auto b = SemaphoreNomme::Creer(QStringLiteral("Tabulane"), &existait);
    EXPECT_TRUE(existait);
    a.reset();
    EXPECT_TRUE(SemaphoreNomme::Existe(QStringLiteral("Tabulane")));
    b.reset();
    EXPECT_FALSE(SemaphoreNomme::Existe(QStringLiteral("Tabulane")));
}

TEST_F(LienTabulane, FichierSocketPerimeApresUnCrash) {
    QProcess crash;
    crash.start(kSimule, {});
    ASSERT_TRUE(crash.waitForStarted(5000));
    ASSERT_TRUE(attendreJournal([&] { return nombre(QStringLiteral("ECOUTE")) == 1; }));
    ::kill(static_cast<pid_t>(crash.processId()), SIGKILL);
    ASSERT_TRUE(crash.waitForFinished(5000));
    const QString socket = runtime.path() + QStringLiteral("/dde/Tabulane");
    ASSERT_TRUE(QFile::exists(socket)); // left behind by the crash

    ClientLien client;
    EXPECT_FALSE(client.connecter(QStringLiteral("Tabulane"), QStringLiteral("ServeurDDE")));

    // The next transfer starts a new copy, which takes the name over.
    dde->CalculeCheminTabulane(kDossierSimule);
    test::FakeConstante dlg;
    dlg.lienReel = true;
    dlg.reponses.push_back({});
    ASSERT_TRUE(Transferer(construireTable));
    EXPECT_TRUE(test::Dialogues().messages().empty());
    EXPECT_EQ(test::Processus().lances.size(), 1u);
    EXPECT_TRUE(attendreJournal([&] { return requetes().contains("EXECUTE CLIP|LOAD"); }));
    EXPECT_EQ(nombre(QStringLiteral("ECOUTE")), 2);
}

TEST_F(LienTabulane, DossierPriveCreeEnModePriveEtPiegesRefuses) {
    struct stat st {};
    const auto dossier = DossierPrive(QStringLiteral("dde"));
    ASSERT_TRUE(dossier);
    ASSERT_EQ(::stat(QFile::encodeName(*dossier).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Too wide: narrowed.
    ::chmod(QFile::encodeName(*dossier).constData(), 0755);
    ASSERT_TRUE(DossierPrive(QStringLiteral("dde")));
    ::stat(QFile::encodeName(*dossier).constData(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // A file or a link in its place: refused, with a reason.
    QFile f(runtime.path() + QStringLiteral("/sem"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    QString erreur;
    EXPECT_FALSE(DossierPrive(QStringLiteral("sem"), &erreur));
    EXPECT_FALSE(erreur.isEmpty());
    bool existait = false;
    EXPECT_EQ(SemaphoreNomme::Creer(QStringLiteral("Tabulane"), &existait), nullptr);

    QDir().mkpath(runtime.path() + QStringLiteral("/ailleurs"));
    ASSERT_TRUE(QFile::link(runtime.path() + QStringLiteral("/ailleurs"),
                            runtime.path() + QStringLiteral("/lien")));
    EXPECT_FALSE(DossierPrive(QStringLiteral("lien")));
}

// The order of a transfer, without the link (the form tests' way).
TEST(Transfert, AnnulerNeChangeRien) {
    test::FakeConstante dlg;
    dlg.reponses.push_back({.ok = false, .commentaire = "tapé puis annulé"});
    bool construit = false;
    EXPECT_FALSE(Transferer([&](const PageTransfert&, TexteEchange&) { construit = true; }));
    EXPECT_FALSE(construit);
    EXPECT_EQ(test::PressePapiers().ecritures, 0);
    EXPECT_TRUE(dlg.macros.empty());
    EXPECT_EQ(TConstanteDlg::Instance().Choix(), ChoixPage::NouveauFichier);
}

TEST(Transfert, SablierPendantLaConstructionEtErreurDuFormulaire) {
    test::FakeConstante dlg;
    dlg.reponses.push_back({});
    dlg.reponses.push_back({});
    EXPECT_TRUE(Transferer([](const PageTransfert& page, TexteEchange& t) {
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        EXPECT_TRUE(page.nouveauFichier());
        t.ajouterLigne(QStringLiteral("a"));
    }));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(test::PressePapiers().contenu, QStringLiteral("a\r\n"));
    EXPECT_EQ(dlg.macros, std::vector<QString>{"CLIP|LOAD"});

    // A failing building step: cursor back, clipboard and choice as they were.
    EXPECT_THROW(Transferer([](const PageTransfert&, TexteEchange&) {
                     throw std::runtime_error("Echelle incorrecte");
                 }),
                 std::runtime_error);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(test::PressePapiers().ecritures, 1);
    EXPECT_EQ(dlg.macros.size(), 1u);
    EXPECT_EQ(TConstanteDlg::Instance().Choix(), ChoixPage::NouvellePage);
}

TEST(Transfert, PressePapiersSeulSansMacroNiIdentification) {
    test::FakeConstante dlg;
    dlg.reponses.push_back({.choix = ChoixPage::NouvellePage});
    EXPECT_TRUE(Transferer(
        [](const PageTransfert& page, TexteEchange& t) {
            EXPECT_FALSE(page.versTabulane());
            t.ajouterChamps({"t"});
        },
        CibleTransfert::PressePapiers));
    EXPECT_EQ(test::PressePapiers().contenu, QStringLiteral("t\r\n"));
    EXPECT_TRUE(dlg.macros.empty());
}

TEST(Transfert, LibellesDuDialogue) {
    // The dialog's captions, as the user sees them.
    TConstanteDlg& d = TConstanteDlg::Instance();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Renseignements sur la page courante"));
    EXPECT_EQ(d.NomConstEdit->maxLength(), 8);
    EXPECT_EQ(d.NouveauFichierRB->text(), QStringLiteral("Nouveau fichier"));
    EXPECT_EQ(d.NouvellePageRB->text(), QStringLiteral("Nouvelle page"));
    EXPECT_EQ(d.AnnulerBtn->text(), QStringLiteral("Annuler"));

    // The real modal window, answered from inside its own event loop.
    d.RemettreAZero();
    QTimer::singleShot(0, &d, [&d] {
        QTest::keyClicks(d.NomConstEdit, QStringLiteral("longnom123"));
        d.NouvellePageRB->click();
        d.OKBtn->click();
    });
    EXPECT_TRUE(d.Montrer());
    EXPECT_EQ(d.Constante().nom, QStringLiteral("longnom1"));
    EXPECT_EQ(d.Choix(), ChoixPage::NouvellePage);
    QTimer::singleShot(0, &d, [&d] { d.AnnulerBtn->click(); });
    EXPECT_FALSE(d.Montrer());
    EXPECT_EQ(d.Constante().nom, QStringLiteral("longnom1")); // kept for the next transfer
    d.RemettreAZero();
}

} // namespace
