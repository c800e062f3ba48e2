#include "common/EcritureAtomique.h"

#include <QSaveFile>

namespace kinepo {

bool EcrireFichierAtomique(const QString& chemin, const QByteArray& octets) {
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly)) return false;
    // QSaveFile commits a file whose write came up short without an error: check the count.
    if (f.write(octets) != octets.size() || !f.flush()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace kinepo
