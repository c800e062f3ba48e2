#pragma once
// The per-user key/value store that stands in for the registry of the current user. Key paths
// keep their backslash form ("Software\Tabulane"); a missing key is a missing value.
#include <QString>
#include <optional>

namespace kinepo {

class IRegistre {
public:
    virtual ~IRegistre() = default;
    virtual std::optional<QString> lire(const QString& cle, const QString& nom) const = 0;
    virtual void ecrire(const QString& cle, const QString& nom, const QString& valeur) = 0;
};

} // namespace kinepo
