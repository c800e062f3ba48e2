// The server side of the link, driven by raw request lines: answers, order, and the rules a
// peer can rely on (conversation first, topic once, commands with spaces, CR LF tolerated).
#include "platform/lien/ServeurLien.h"

#include <QElapsedTimer>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using kinepo::ServeurLien;

namespace {

class ServeurLienTest : public ::testing::Test {
protected:
    QTemporaryDir runtime;
    QByteArray ancienXdg;
    void SetUp() override {
        ancienXdg = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    }
    void TearDown() override {
        if (ancienXdg.isEmpty())
            qunsetenv("XDG_RUNTIME_DIR");
        else
            qputenv("XDG_RUNTIME_DIR", ancienXdg);
    }
};

// Sends one raw line and waits (serving events) for one answer line; "<closed>" when the
// server closed the connection instead.
QString echanger(QLocalSocket& s, const QByteArray& ligne) {
    s.write(ligne);
    s.flush();
    QElapsedTimer t;
    t.start();
    while (!s.canReadLine() && t.elapsed() < 3000) {
        if (s.state() != QLocalSocket::ConnectedState) return QStringLiteral("<closed>");
        QTest::qWait(5);
    }
    if (!s.canReadLine()) return QStringLiteral("<timeout>");
    return QString::fromUtf8(s.readLine()).trimmed();
}

} // namespace

TEST_F(ServeurLienTest, ReponsesAuxRequetes) {
    QStringList executees;
    QStringList journal;
    ServeurLien::Gestionnaire g;
    g.connecter = [](const QString& sujet) {
        return sujet == QLatin1String("ServeurDDE") ? ServeurLien::Decision::Accepter
                                                    : ServeurLien::Decision::Refuser;
    };
    g.conseiller = [](const QString&, const QString& item, const QString& format) {
        return item == QLatin1String("ServeurItem") && format == QLatin1String("text/plain")
                   ? ServeurLien::Decision::Accepter
                   : ServeurLien::Decision::Refuser;
    };
    g.executer = [&](const QString& sujet, const QString& commande) {
        executees.append(sujet + QLatin1Char('/') + commande);
        return ServeurLien::Decision::Accepter;
    };
    g.journal = [&](const QString& r) { journal.append(r); };
    ServeurLien serveur(std::move(g));
    QString erreur;
    ASSERT_TRUE(serveur.ecouter(QStringLiteral("Essai"), &erreur)) << erreur.toStdString();
    EXPECT_EQ(serveur.chemin(), runtime.path() + QStringLiteral("/dde/Essai"));

    // A second server cannot take a name that is served.
    ServeurLien second({});
    EXPECT_FALSE(second.ecouter(QStringLiteral("Essai"), &erreur));
    EXPECT_FALSE(erreur.isEmpty());

    QLocalSocket s;
    s.connectToServer(serveur.chemin());
    ASSERT_TRUE(s.waitForConnected(1000));

    const std::vector<std::pair<QByteArray, QString>> cas{
        {"ADVISE ServeurItem text/plain\n", "ERR no conversation"},
        {"EXECUTE CLIP|LOAD\n", "ERR no conversation"},
        {"BONJOUR\n", "ERR unknown request"},
        {"CONNECT\n", "ERR missing topic"},
        {"CONNECT Autre\n", "ERR unknown topic"},
        {"CONNECT ServeurDDE\r\n", "OK"},
        {"CONNECT ServeurDDE\n", "ERR conversation already open"},
        {"ADVISE Autre text/plain\n", "ERR unknown item"},
        {"ADVISE ServeurItem\n", "ERR unknown item"},
        {"ADVISE ServeurItem text/plain\n", "OK"},
        {"EXECUTE CLIP|ADD avec des espaces\n", "OK"},
        {"DISCONNECT\n", "OK"},
    };
    for (const auto& [requete, attendu] : cas) {
        SCOPED_TRACE(requete.toStdString());
        EXPECT_EQ(echanger(s, requete), attendu);
    }
    EXPECT_EQ(executees, QStringList{"ServeurDDE/CLIP|ADD avec des espaces"});
    EXPECT_EQ(journal.size(), static_cast<qsizetype>(cas.size()));
    EXPECT_EQ(journal[5], QStringLiteral("CONNECT ServeurDDE")); // CR dropped

    QElapsedTimer t;
    t.start();
    while (s.state() == QLocalSocket::ConnectedState && t.elapsed() < 3000)
        QTest::qWait(5);
    EXPECT_NE(s.state(), QLocalSocket::ConnectedState); // closed after DISCONNECT

    serveur.fermer();
    EXPECT_FALSE(QFile::exists(runtime.path() + QStringLiteral("/dde/Essai")));
}

TEST_F(ServeurLienTest, NomDeServiceInvalide) {
    ServeurLien serveur({});
    for (const char* nom : {"", "a/b", "..", "."}) {
        QString erreur;
        EXPECT_FALSE(serveur.ecouter(QString::fromUtf8(nom), &erreur)) << nom;
        EXPECT_FALSE(erreur.isEmpty());
    }
}
