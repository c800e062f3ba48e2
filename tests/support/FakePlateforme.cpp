#include "support/FakePlateforme.h"

#include <QProcess>
#include <memory>

namespace kinepo::test {
namespace {
struct Faux {
    FakeDialogues dialogues;
    FakePressePapiers pressePapiers;
    FakeProcessus processus;
    FakeRegistre registre;
};
std::unique_ptr<Faux> g_faux;

Faux& faux() {
    if (!g_faux) ReinitialiserFaux();
    return *g_faux;
}
} // namespace

bool FakeProcessus::lancer(const QString& programme, const QStringList& arguments) {
    lances.push_back({programme, arguments});
    if (!vraiment) return reussir;
    return QProcess::startDetached(programme, arguments);
}

std::optional<QString> FakeRegistre::lire(const QString& cle, const QString& nom) const {
    auto it = valeurs.find({cle, nom});
    if (it == valeurs.end()) return std::nullopt;
    return it->second;
}

void FakeRegistre::ecrire(const QString& cle, const QString& nom, const QString& valeur) {
    valeurs[{cle, nom}] = valeur;
}

FakeDialogues& Dialogues() { return faux().dialogues; }
FakePressePapiers& PressePapiers() { return faux().pressePapiers; }
FakeProcessus& Processus() { return faux().processus; }
FakeRegistre& Registre() { return faux().registre; }

void ReinitialiserFaux() {
    g_faux = std::make_unique<Faux>();
    InstallerPlateforme(Plateforme{&g_faux->dialogues, &g_faux->pressePapiers, &g_faux->processus,
                                   &g_faux->registre});
}

} // namespace kinepo::test
