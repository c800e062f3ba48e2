#pragma once
// Frame-exact film decoding (FFmpeg behind a private implementation; no FFmpeg type here).
//
// Frame n is the n-th decoded frame in presentation order, 0-based. When a film opens, its
// packets are indexed, so the frame count is the real one (not a header's declaration) and
// every frame's presentation time is known exactly. Decoding a frame seeks to the keyframe
// at or before it and decodes forward; decoded frames around the last one asked for are kept
// in a cache bounded by a memory budget, so stepping back and forth costs nothing. After a
// step by a caller that paused before it (someone looking at the frame), the next frame in the
// same direction is prepared on a worker thread of the engine; a caller stepping again at once
// decodes on its own thread, the same way every time. Large frames are converted to RGB on two
// threads. One thread uses an engine at a time; the workers are internal and invisible to it.
#include <QImage>
#include <QString>
#include <cstdint>
#include <memory>

namespace kinepo {

struct InfosFilm {
    int largeur = 0; // frame size in image pixels, as shown: upright when the film is turned
    int hauteur = 0;
    // Degrees clockwise the stored frames are turned to be shown upright (0, 90, 180 or 270):
    // the display rotation a phone writes for a film shot in portrait. Frames handed out are
    // already turned, so every coordinate is one of the upright picture.
    int rotation = 0;
    // Frames per second at which the film was shot, when the file says so and it differs from
    // what it is played at (slow motion: "com.android.capture.fps"); 0 otherwise.
    double cadenceCapture = 0;
    std::int64_t nombreImages = 0; // frames that really decode
    double cadenceFichier = 0;     // frames per second declared by the file (0 when unknown)
    double dureeMs = 0;            // end of the last frame: its start time plus its duration
    QString codec;                 // FFmpeg's short codec name ("mjpeg", "h264", ...)

    // The mean rate at which the film plays: its frames over its duration (0 when it has none).
    double CadenceMoyenne() const {
        return dureeMs > 0 ? double(nombreImages) * 1000.0 / dureeMs : 0.0;
    }
};

class MoteurVideo {
public:
    ~MoteurVideo();
    MoteurVideo(const MoteurVideo&) = delete;
    MoteurVideo& operator=(const MoteurVideo&) = delete;

    // Opens and indexes a film. Returns null, with a short reason in *erreur, when the file is
    // not a film, has no video stream, has no decoder, or has no decodable frame.
    static std::unique_ptr<MoteurVideo> Ouvrir(const QString& chemin, QString* erreur = nullptr);

    const InfosFilm& Infos() const;

    // Start time of frame n in milliseconds from the first frame, exact (not rounded):
    // frame 1 of a 30 fps film is at 33.333... ms.
    double TempsMs(std::int64_t n) const;
    // The frame shown at time ms: the last frame whose start time is <= ms, clamped to the film.
    std::int64_t ImageA(double ms) const;

    // Decoded frame n (0 <= n < nombreImages), Format_RGB888 at the film's size, upright. A null
    // image only when decoding failed. The returned image shares data with the cache: cheap to
    // copy.
    QImage Image(std::int64_t n);

    // Scrubbing: a picture near frame n at once, without decoding a run of frames. It is the
    // frame nearest to n among those in the cache and the keyframe at or before n (decoded
    // alone, then kept in the cache); *montree, when given, gets that frame's number, whose
    // time is TempsMs(*montree). A null image only when nothing could be decoded. The exact
    // frame is Image(n), which starts from the same keyframe.
    QImage Apercu(std::int64_t n, std::int64_t* montree = nullptr);
    // The keyframe decoding of frame n starts from (0 <= n < nombreImages): a frame number.
    std::int64_t ImageCleAvant(std::int64_t n) const;

    // Memory budget of the decoded-frame cache in bytes (512 MB by default): half for frames
    // decoded ahead (kept unconverted), half for converted frames near the current one.
    void FixerBudgetCache(std::size_t octets);
    // Decoder threads of the engines opened afterwards (0, the default: one per core).
    static void FixerFilsDecodage(int fils);
    // Whether large 4:2:0 frames are converted in two halves on two threads (the default); the
    // pictures are the same either way. For measurements and tests.
    static void FixerConversionEnDeux(bool actif);
    // Whether engines opened afterwards prefetch on a worker (the default), and this one.
    static void FixerPrechargementParDefaut(bool actif);
    void FixerPrechargement(bool actif);

    // One-way reading, for a pass over the film in order: a frame handed out is dropped from
    // the cache at once, with every frame before it, since none will be asked for again; its
    // picture buffer goes back to the engine's reserve when the caller lets go of the image,
    // so the next frames reuse the same memory instead of faulting in fresh pages. Only the
    // rows that differ from the previous frame are converted; the others are copied from its
    // picture (the same pixels either way).
    void FixerLectureUnique(bool actif);

    // Where the frames handed out by Image came from, since opening. For measurements.
    struct StatistiquesImages {
        std::int64_t pretes = 0;         // already converted in the cache
        std::int64_t attendues = 0;      // being prepared by the worker: the caller waited
        std::int64_t surAppelant = 0;    // decoded or converted on the calling thread
        std::int64_t parTravailleur = 0; // frames the worker prepared
        std::int64_t decodees = 0;       // frames that came out of the decoder, either thread
        // One-way reading: bands of rows of a frame copied from the previous frame's picture
        // (the same rows in both) or converted.
        std::int64_t bandesReprises = 0;
        std::int64_t bandesConverties = 0;
    };
    StatistiquesImages Statistiques() const;

    // Forgets every decoded frame (the next Image decodes again). For measurements.
    void ViderCache();
    // Bytes the cache holds now.
    std::size_t OctetsEnCache() const;

private:
    struct Impl;
    explicit MoteurVideo(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

} // namespace kinepo
