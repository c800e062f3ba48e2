#pragma once
// The fake platform every test runs on: scripted dialogs, an in-memory clipboard, a process
// starter that records (and by default really starts) programs, and an in-memory registry.
#include "platform/Plateforme.h"
#include "platform/PressePapiers.h"
#include "platform/Processus.h"
#include "platform/Registre.h"
#include "support/FakeDialogues.h"

#include <map>
#include <vector>

namespace kinepo::test {

class FakePressePapiers : public IPressePapiers {
public:
    QString contenu;
    QImage image;
    int ecritures = 0;
    void setTexte(const QString& texte) override {
        contenu = texte;
        ++ecritures;
    }
    QString texte() const override { return contenu; }
    void setImage(const QImage& i) override {
        image = i;
        ++ecritures;
    }
};

class FakeProcessus : public IProcessus {
public:
    struct Lancement {
        QString programme;
        QStringList arguments;
    };
    std::vector<Lancement> lances;
    // When true (the default), programs are really started detached; otherwise only recorded
    // and reported as started when `reussir` is true.
    bool vraiment = true;
    bool reussir = true;
    bool lancer(const QString& programme, const QStringList& arguments) override;
};

class FakeRegistre : public IRegistre {
public:
    std::map<std::pair<QString, QString>, QString> valeurs;
    std::optional<QString> lire(const QString& cle, const QString& nom) const override;
    void ecrire(const QString& cle, const QString& nom, const QString& valeur) override;
};

// The fakes of the running test (fresh before each test).
FakeDialogues& Dialogues();
FakePressePapiers& PressePapiers();
FakeProcessus& Processus();
FakeRegistre& Registre();

// Replaces every fake by a fresh one and installs them. Called before each test.
void ReinitialiserFaux();

} // namespace kinepo::test
