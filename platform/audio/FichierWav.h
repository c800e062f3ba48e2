#pragma once
// Writing a sound as a WAV file with the canonical 44-byte header ("RIFF", "fmt " of 16 bytes,
// "data"), through a temporary file and a rename so that a failed write leaves no half file.
#include "platform/audio/FormatPcm.h"

#include <QByteArray>
#include <QString>

namespace kinepo {

// The 44-byte header of `octetsDonnees` bytes of PCM.
QByteArray EnteteWav(const FormatPcm& format, std::uint32_t octetsDonnees);

// Writes header and data; false when the file cannot be written.
bool EcrireWav(const QString& chemin, const FormatPcm& format, const std::uint8_t* pcm,
               std::int64_t octets);

// True when `chemin` is a RIFF WAVE file (its first twelve bytes say so).
bool EstFichierWav(const QString& chemin);

// Copies `source` byte for byte to `cible`, through a temporary file and a rename; false when
// the source cannot be read or the target written. Copying a file onto itself leaves it whole.
bool CopierFichier(const QString& source, const QString& cible);

} // namespace kinepo
