#pragma once
// What this machine makes of a film file, for the codec help: its container, its video codec
// and whether FFmpeg here has a decoder for it, or why it does not open at all.
#include <QString>

namespace kinepo {

struct DiagnosticFilm {
    bool lisible = false;  // the container opened and holds a video stream
    QString conteneur;     // FFmpeg's short container name ("avi", "mov,mp4,m4a,3gp,3g2,mj2")
    QString codec;         // the video codec's short name ("h264"); empty when unknown
    bool decodeur = false; // a decoder for that codec is built in
    QString raison;        // why it is not readable, when it is not
};

DiagnosticFilm DiagnostiquerFilm(const QString& chemin);

} // namespace kinepo
