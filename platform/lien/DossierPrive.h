#pragma once
// The per-user folders of the local link: sockets of the services and lock files of the named
// semaphores. Both lie in the user's runtime folder ($XDG_RUNTIME_DIR/dde, $XDG_RUNTIME_DIR/sem)
// or, when XDG_RUNTIME_DIR is unset, in /tmp/dde-<uid> and /tmp/sem-<uid>.
#include <QString>
#include <optional>

namespace kinepo {

// The folder `genre` ("dde" or "sem"), created with mode 0700 when missing. An existing folder
// must be a real directory (not a link) owned by this user; its mode is narrowed to 0700 when
// wider. Nothing when it cannot be created or is refused; *erreur then says why.
std::optional<QString> DossierPrive(const QString& genre, QString* erreur = nullptr);

// Full path of the socket of a service ("…/dde/Tabulane"); nothing when the folder is refused.
std::optional<QString> CheminSocketService(const QString& service, QString* erreur = nullptr);

} // namespace kinepo
