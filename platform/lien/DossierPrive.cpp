#include "platform/lien/DossierPrive.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace kinepo {

namespace {
bool refuser(QString* erreur, const QString& texte) {
    if (erreur) *erreur = texte;
    return false;
}

bool verifierOuCreer(const QString& chemin, QString* erreur) {
    const QByteArray c = QFile::encodeName(chemin);
    if (::mkdir(c.constData(), 0700) != 0 && errno != EEXIST)
        return refuser(erreur,
                       chemin + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno)));
    struct stat st {};
    if (::lstat(c.constData(), &st) != 0)
        return refuser(erreur,
                       chemin + QStringLiteral(": ") + QString::fromLocal8Bit(strerror(errno)));
    if (!S_ISDIR(st.st_mode)) return refuser(erreur, chemin + QStringLiteral(" is not a folder"));
    // Someone else's folder in /tmp could hand our requests to their program.
    if (st.st_uid != ::getuid())
        return refuser(erreur, chemin + QStringLiteral(" belongs to another user"));
    if ((st.st_mode & 0777) != 0700 && ::chmod(c.constData(), 0700) != 0)
        return refuser(erreur, chemin + QStringLiteral(": cannot set mode 0700"));
    return true;
}
} // namespace

std::optional<QString> DossierPrive(const QString& genre, QString* erreur) {
    const QByteArray xdg = qgetenv("XDG_RUNTIME_DIR");
    QString chemin;
    if (!xdg.isEmpty())
        chemin = QFile::decodeName(xdg) + QLatin1Char('/') + genre;
    else
        chemin = QStringLiteral("/tmp/%1-%2").arg(genre).arg(::getuid());
    if (!verifierOuCreer(chemin, erreur)) return std::nullopt;
    return chemin;
}

std::optional<QString> CheminSocketService(const QString& service, QString* erreur) {
    if (service.isEmpty() || service.contains(QLatin1Char('/')) || service == QLatin1String(".") ||
        service == QLatin1String("..")) {
        if (erreur) *erreur = QStringLiteral("invalid service name");
        return std::nullopt;
    }
    auto dossier = DossierPrive(QStringLiteral("dde"), erreur);
    if (!dossier) return std::nullopt;
    return *dossier + QLatin1Char('/') + service;
}

} // namespace kinepo
