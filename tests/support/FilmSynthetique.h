#pragma once
// Films made on the spot for tests and benchmarks: every frame comes from a generator, so the
// expected pixels, count and times are known in code. Frames can carry their own number in
// large cells that survive lossy codecs, which makes frame-exactness checkable.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

namespace kinepo::test {

enum class CodecFilm {
    RawAvi,      // uncompressed BGR24 in AVI
    MjpegAvi,    // Motion JPEG in AVI (every frame a keyframe)
    Mpeg4Avi,    // MPEG-4 Visual in AVI
    H264Mp4,     // H.264 in MP4 (MPEG-4 Visual in MP4 when FFmpeg has no H.264 encoder)
    CinepakAvi,  // Cinepak in AVI
    Msvideo1Avi, // Microsoft Video 1 in AVI
    Mpeg1Mpg,    // MPEG-1 video in an MPEG program stream
    Mpeg2Mpg,    // MPEG-2 video in an MPEG program stream
    Mpeg4Mov,    // MPEG-4 Visual in QuickTime MOV
    RawMov,      // uncompressed RGB24 in QuickTime MOV (exact pixels, phone metadata)
};

// The file extension that suits the codec's container ("avi", "mp4", "mpg", "mov").
const char* ExtensionFilm(CodecFilm codec);

struct ParametresFilm {
    CodecFilm codec = CodecFilm::MjpegAvi;
    int largeur = 160;
    int hauteur = 120;
    int images = 25;
    int cadenceNum = 25; // frames per second as the fraction cadenceNum / cadenceDen
    int cadenceDen = 1;
    int gop = 12;         // keyframe interval of the inter codecs (exact for H.264: no scene cut)
    int qualite = 3;      // quantiser of MJPEG and MPEG-4, 1 (best) to 31
    bool imagesB = false; // allow B-frames (MPEG-4, H.264)
    bool indexEnTete = false; // MP4: index before the data, so a truncated file still opens
    // MP4/MOV, as phones write them:
    int rotation = 0; // display rotation: degrees clockwise that show the stored frames upright
    std::vector<std::int64_t> tempsMs; // when given, frame n's own time in ms (variable rate)
    std::vector<std::pair<QByteArray, QByteArray>> metadonnees; // keys of the file's metadata
};

// Writes the film; frame n is image(n) scaled to the film's size. False, with a reason in
// *erreur, when FFmpeg cannot write it.
bool EcrireFilm(const QString& chemin, const ParametresFilm& parametres,
                const std::function<QImage(int n)>& image, QString* erreur = nullptr);

// A frame showing its number n (0..65535) as 16 black or white cells over a textured
// background; the cells are large enough to survive heavy compression.
QImage ImageNumerotee(int n, int largeur, int hauteur);
// The number written by ImageNumerotee, or -1 when the cells cannot be read.
int LireNumero(const QImage& image);

} // namespace kinepo::test
