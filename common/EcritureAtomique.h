#pragma once
// Writing a whole file at once: through a temporary file beside it and a rename, so that the
// file of that name is replaced only once every byte of the new one is on the disk.
#include <QByteArray>
#include <QString>

namespace kinepo {

// Writes `octets` as the file `chemin`. False when any byte could not be written (a full disk
// stops a write halfway: the write is short rather than failed) or the rename failed; the
// previous file is then untouched and nothing is left beside it.
bool EcrireFichierAtomique(const QString& chemin, const QByteArray& octets);

} // namespace kinepo
