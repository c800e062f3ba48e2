#pragma once
// The registry stand-in: one INI file per user, a section per key path.
#include "platform/Registre.h"

namespace kinepo {

class RegistreFichier : public IRegistre {
public:
    // chemin empty: $KINEPO_REGISTRE, or "registre.ini" in the user's configuration folder.
    explicit RegistreFichier(QString chemin = {});
    std::optional<QString> lire(const QString& cle, const QString& nom) const override;
    void ecrire(const QString& cle, const QString& nom, const QString& valeur) override;
    const QString& chemin() const { return chemin_; }

private:
    QString chemin_;
};

} // namespace kinepo
