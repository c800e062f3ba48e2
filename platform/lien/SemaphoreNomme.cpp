#include "platform/lien/SemaphoreNomme.h"

#include "platform/lien/DossierPrive.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace kinepo {

namespace {
std::optional<QByteArray> cheminVerrou(const QString& nom) {
    if (nom.isEmpty() || nom.contains(QLatin1Char('/'))) return std::nullopt;
    auto dossier = DossierPrive(QStringLiteral("sem"));
    if (!dossier) return std::nullopt;
    return QFile::encodeName(*dossier + QLatin1Char('/') + nom);
}

int flockSansInterruption(int fd, int operation) {
    int r;
    do {
        r = ::flock(fd, operation);
    } while (r != 0 && errno == EINTR);
    return r;
}
} // namespace

std::unique_ptr<SemaphoreNomme> SemaphoreNomme::Creer(const QString& nom, bool* existait) {
    if (existait) *existait = false;
    const auto chemin = cheminVerrou(nom);
    if (!chemin) return nullptr;
    // O_CLOEXEC: a program we start must not inherit our hold on the semaphore.
    const int fd = ::open(chemin->constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0) return nullptr;
    // An exclusive lock succeeds only when nobody holds the semaphore: we are its creator.
    const bool cree = flockSansInterruption(fd, LOCK_EX | LOCK_NB) == 0;
    if (!cree && errno != EWOULDBLOCK) {
        ::close(fd);
        return nullptr;
    }
    // Every holder keeps a shared lock, so later holders can join. A creator that is still
    // converting its exclusive lock makes this wait for an instant only.
    if (flockSansInterruption(fd, LOCK_SH) != 0) {
        ::close(fd);
        return nullptr;
    }
    if (existait) *existait = !cree;
    return std::unique_ptr<SemaphoreNomme>(new SemaphoreNomme(fd));
}

bool SemaphoreNomme::Existe(const QString& nom) {
    const auto chemin = cheminVerrou(nom);
    if (!chemin) return false;
    const int fd = ::open(chemin->constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) return false;
    const bool libre = flockSansInterruption(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd); // releases the probe's lock, if taken
    return !libre;
}

SemaphoreNomme::~SemaphoreNomme() {
    ::close(fd_);
}

} // namespace kinepo
