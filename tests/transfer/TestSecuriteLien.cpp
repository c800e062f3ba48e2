// The link against hostile peers and other users: request lines cut with a bound on their
// length, a long line refused from its first bytes, an answer too long refused by the client,
// a socket folder owned by someone else refused, and another user's process kept out.
#include "platform/lien/ClientLien.h"
#include "platform/lien/DossierPrive.h"
#include "platform/lien/ProtocoleLien.h"
#include "platform/lien/ServeurLien.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace kinepo;

namespace {

// --- cutting received bytes into lines -----------------------------------------------------

struct CasLignes {
    const char* nom;
    std::vector<QByteArray> morceaux; // as the socket delivers them
    qsizetype borne;
    std::vector<QByteArray> lignes; // the complete lines taken out
    bool refuse;
};
void PrintTo(const CasLignes& c, std::ostream* os) { *os << c.nom; }

class Decoupeur : public ::testing::TestWithParam<CasLignes> {};

TEST_P(Decoupeur, LignesEtBorne) {
    const CasLignes& c = GetParam();
    DecoupeurLignes d(c.borne);
    bool accepte = true;
    for (const QByteArray& m : c.morceaux) {
        accepte = d.Ajouter(m) && accepte;
        EXPECT_LE(d.EnAttente(), c.borne);
    }
    std::vector<QByteArray> lignes;
    while (auto l = d.Suivante())
        lignes.push_back(*l);
    EXPECT_EQ(lignes, c.lignes);
    EXPECT_EQ(d.Refuse(), c.refuse);
    EXPECT_EQ(accepte, !c.refuse);
    if (c.refuse) {
        // Nothing more is taken from that connection.
        EXPECT_FALSE(d.Ajouter("OK\n"));
        EXPECT_FALSE(d.Suivante());
    }
}

const QByteArray k8(8, 'x');
const QByteArray k9(9, 'x');

INSTANTIATE_TEST_SUITE_P(
    Cas, Decoupeur,
    ::testing::Values(
        CasLignes{"deux_lignes", {"CONNECT a\nEXECUTE b\n"}, 64, {"CONNECT a", "EXECUTE b"}, false},
        CasLignes{"cr_lf", {"OK\r\n"}, 64, {"OK"}, false},
        CasLignes{"en_trois_morceaux", {"CONN", "ECT a\nEX", "ECUTE b\n"}, 64,
                  {"CONNECT a", "EXECUTE b"}, false},
        CasLignes{"ligne_incomplete_gardee", {"CONNECT a\nEXEC"}, 64, {"CONNECT a"}, false},
        CasLignes{"ligne_vide", {"\n"}, 64, {""}, false},
        CasLignes{"juste_la_borne", {k8 + "\n"}, 8, {k8}, false},
        CasLignes{"juste_la_borne_avec_cr", {k8 + "\r\n"}, 9, {k8}, false},
        CasLignes{"un_octet_de_trop", {k9 + "\n"}, 8, {}, true},
        CasLignes{"trop_longue_sans_fin", {k9}, 8, {}, true},
        CasLignes{"trop_longue_en_morceaux", {"xxxx", "xxxx", "x"}, 8, {}, true},
        // A long line that ends later is not cut into pieces that would read as requests.
        CasLignes{"requete_cachee_apres_une_longue", {k9 + "EXECUTE CLIP|LOAD\n"}, 8, {}, true},
        CasLignes{"lignes_avant_la_longue_gardees", {"OK\n" + k9}, 8, {"OK"}, true}),
    [](const auto& info) { return std::string(info.param.nom); });

// --- a server and a client against hostile peers ---------------------------------------------

class SecuriteLien : public ::testing::Test {
protected:
    QTemporaryDir runtime;
    QByteArray ancienXdg;
    QStringList executees;
    std::unique_ptr<ServeurLien> serveur;

    void SetUp() override {
        ASSERT_TRUE(runtime.isValid());
        ancienXdg = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override {
        serveur.reset();
        if (ancienXdg.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", ancienXdg);
    }
    void ecouter() {
        ServeurLien::Gestionnaire g;
        g.connecter = [](const QString&) { return ServeurLien::Decision::Accepter; };
        g.executer = [this](const QString&, const QString& commande) {
            executees << commande;
            return ServeurLien::Decision::Accepter;
        };
        serveur = std::make_unique<ServeurLien>(std::move(g));
        QString erreur;
        ASSERT_TRUE(serveur->ecouter(QStringLiteral("Cible"), &erreur)) << erreur.toStdString();
    }
};

bool attendreQue(const std::function<bool()>& condition, int delaiMs = 5000) {
    QElapsedTimer t;
    t.start();
    while (!condition()) {
        if (t.elapsed() > delaiMs) return false;
        QTest::qWait(5);
    }
    return true;
}

TEST_F(SecuriteLien, LigneTropLongueCoupeeSansEtreLueEntiere) {
    ecouter();
    QLocalSocket s;
    s.connectToServer(serveur->chemin());
    ASSERT_TRUE(s.waitForConnected(2000));
    s.write("CONNECT ServeurDDE\n");
    // 16 MiB in one line, then a request: the server drops the connection long before the
    // end, so most of it is never even written, and the request after it is never run.
    const QByteArray bloc(1 << 20, 'x');
    qint64 ecrits = 0;
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 16 && s.state() == QLocalSocket::ConnectedState && t.elapsed() < 10000;
         ++i) {
        ecrits += s.write(bloc);
        while (s.bytesToWrite() > 0 && s.state() == QLocalSocket::ConnectedState &&
               t.elapsed() < 10000)
            QTest::qWait(1);
    }
    s.write("\nEXECUTE CLIP|LOAD\n");
    EXPECT_TRUE(attendreQue([&] { return s.state() != QLocalSocket::ConnectedState; }));
    EXPECT_LT(ecrits, qint64(16) << 20);
    EXPECT_TRUE(executees.isEmpty());

    // The server goes on serving others (raw requests: it answers from this thread's loop).
    QLocalSocket autre;
    autre.connectToServer(serveur->chemin());
    ASSERT_TRUE(autre.waitForConnected(2000));
    autre.write("CONNECT ServeurDDE\nEXECUTE CLIP|LOAD\n");
    EXPECT_TRUE(attendreQue([&] { return executees == QStringList{"CLIP|LOAD"}; }));
}

TEST_F(SecuriteLien, RequeteCacheeDerriereUneLigneLongueNonExecutee) {
    ecouter();
    QLocalSocket s;
    s.connectToServer(serveur->chemin());
    ASSERT_TRUE(s.waitForConnected(2000));
    // A line that fills a bounded read exactly, with a request glued behind it: cutting the
    // line at the bound would make its tail a request of its own.
    s.write("CONNECT ServeurDDE\n" + QByteArray(kLongueurLigneLienMax - 1, 'x') +
            "EXECUTE CLIP|LOAD\n");
    EXPECT_TRUE(attendreQue([&] { return s.state() != QLocalSocket::ConnectedState; }));
    QTest::qWait(50);
    EXPECT_TRUE(executees.isEmpty()) << executees.join(u',').toStdString();
}

TEST_F(SecuriteLien, ReponseTropLongueRefuseeParLeClient) {
    // A server, on a thread of its own (the client's waits block this one), that answers the
    // first request with megabytes and no line end, and keeps the connection open.
    const auto chemin = CheminSocketService(QStringLiteral("Bavard"));
    ASSERT_TRUE(chemin);
    const int ecoute = ::socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(ecoute, 0);
    sockaddr_un adresse{};
    adresse.sun_family = AF_UNIX;
    const QByteArray nom = QFile::encodeName(*chemin);
    ASSERT_LT(std::size_t(nom.size()), sizeof adresse.sun_path);
    std::memcpy(adresse.sun_path, nom.constData(), std::size_t(nom.size()));
    ASSERT_EQ(::bind(ecoute, reinterpret_cast<sockaddr*>(&adresse), sizeof adresse), 0);
    ASSERT_EQ(::listen(ecoute, 1), 0);
    std::atomic<qint64> envoyes{0};
    std::thread bavard([&] {
        const int c = ::accept(ecoute, nullptr, nullptr);
        if (c < 0) return;
        char requete[256];
        if (::read(c, requete, sizeof requete) > 0) {
            const std::string bloc(1 << 16, 'y');
            // Until the client gives up (the write fails) or 64 MiB have gone.
            for (int i = 0; i < 1024; ++i) {
                const ssize_t n = ::send(c, bloc.data(), bloc.size(), MSG_NOSIGNAL);
                if (n <= 0) break;
                envoyes += n;
            }
        }
        ::close(c);
    });

    ClientLien client(3000);
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(client.connecter(QStringLiteral("Bavard"), QStringLiteral("ServeurDDE")));
    EXPECT_EQ(client.derniereErreur(), QStringLiteral("answer too long"));
    EXPECT_FALSE(client.connecte());
    // Refused from the first line's worth, without waiting for the end of the answer.
    EXPECT_LT(t.elapsed(), 2500);
    bavard.join();
    ::close(ecoute);
    EXPECT_LT(envoyes.load(), qint64(64) << 20);
}

// The tests below need two users: they run as root (as in CI), which can make a folder
// belong to someone else and start a process as `nobody`.
bool EstRoot() { return ::geteuid() == 0; }
constexpr uid_t kNobody = 65534;

TEST_F(SecuriteLien, DossierDUnAutreUtilisateurRefuse) {
    if (!EstRoot()) GTEST_SKIP() << "needs root to give a folder to another user";
    const QString dossier = runtime.path() + QStringLiteral("/dde");
    ASSERT_EQ(::mkdir(QFile::encodeName(dossier).constData(), 0700), 0);
    ASSERT_EQ(::chown(QFile::encodeName(dossier).constData(), kNobody, kNobody), 0);

    QString erreur;
    EXPECT_FALSE(DossierPrive(QStringLiteral("dde"), &erreur));
    EXPECT_TRUE(erreur.contains(QLatin1String("another user"))) << erreur.toStdString();
    ServeurLien s({});
    EXPECT_FALSE(s.ecouter(QStringLiteral("Cible"), &erreur));
    EXPECT_FALSE(QFile::exists(dossier + QStringLiteral("/Cible")));
    ClientLien client(500);
    EXPECT_FALSE(client.connecter(QStringLiteral("Cible"), QStringLiteral("ServeurDDE")));
}

TEST_F(SecuriteLien, UnAutreUtilisateurNePeutPasSeConnecter) {
    if (!EstRoot()) GTEST_SKIP() << "needs root to run a process as another user";
    // Only the socket folder keeps the intruder out: everything above it is open to all.
    ASSERT_EQ(::chmod(QFile::encodeName(runtime.path()).constData(), 0755), 0);
    ecouter();
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(runtime.path() + QStringLiteral("/dde")).constData(), &st),
              0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    // The stand-in's intruder mode, copied where `nobody` may run it.
    const QString intrus = runtime.path() + QStringLiteral("/intrus");
    ASSERT_TRUE(QFile::copy(QStringLiteral(KINEPO_TABULANE_SIMULE_DIR "/tabulane"), intrus));
    ASSERT_TRUE(QFile::setPermissions(intrus, QFile::permissions(intrus) | QFile::ExeOther |
                                                  QFile::ReadOther));

    auto lancer = [&](const QStringList& avant) {
        QProcess p;
        p.setProcessChannelMode(QProcess::MergedChannels);
        QStringList arguments = avant;
        arguments << intrus << QStringLiteral("--connecter-socket") << serveur->chemin();
        p.start(arguments.takeFirst(), arguments);
        // The server answers from this thread's event loop while the client runs.
        EXPECT_TRUE(attendreQue([&] { return p.state() == QProcess::NotRunning; }, 10000));
        return std::make_pair(p.exitCode(), QString::fromLocal8Bit(p.readAll()));
    };
    // This user's process gets its answer: the intruder mode works.
    const auto [statutProprietaire, sortieProprietaire] = lancer({QStringLiteral("env")});
    EXPECT_EQ(statutProprietaire, 0) << sortieProprietaire.toStdString();
    // Another user's does not even reach the socket.
    const auto [statut, sortie] =
        lancer({QStringLiteral("setpriv"), QStringLiteral("--reuid=65534"),
                QStringLiteral("--regid=65534"), QStringLiteral("--clear-groups")});
    EXPECT_EQ(statut, 1) << sortie.toStdString();
    EXPECT_TRUE(sortie.contains(QLatin1String("access error")) ||
                sortie.contains(QLatin1String("ermission")))
        << sortie.toStdString();
}

} // namespace
