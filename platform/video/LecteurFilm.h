#pragma once
// The movie player of the second video form, on the frame-exact engine: a film, a current
// frame, its time, seeking by frame index or by time, a copy of the current frame, and an
// asynchronous capture whose completion comes later through the event loop. Position and
// play-state changes and errors are signals, delivered on the user-interface thread.
#include <QImage>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>

class QTimer;

namespace kinepo {

class MoteurVideo;

class LecteurFilm : public QObject {
    Q_OBJECT
public:
    enum class EtatLecture { Arrete, EnPause, EnLecture };

    explicit LecteurFilm(QObject* parent = nullptr);
    ~LecteurFilm() override;

    // Opens a film (closing the previous one): frame 0, paused. False, with the reason in
    // Erreur(), when the engine cannot open it.
    bool Ouvrir(const QString& chemin);
    // Closes the film: no file name, no decoder name; pending captures are dropped.
    void Fermer();
    bool EstOuvert() const;
    const QString& NomFichier() const { return nomFichier_; }
    const QString& DerniereErreur() const { return erreur_; }
    MoteurVideo* Moteur() const { return moteur_.get(); }

    // Start time of the current frame in seconds from the first frame.
    double Position() const;
    std::int64_t FrameIndex() const { return courante_; }
    // Frames of the film; 0 when the film reports none (ForcerSansNombreImages).
    std::int64_t FrameCount() const;
    // End of the last frame, in seconds.
    double Duration() const;
    int Largeur() const;
    int Hauteur() const;
    // FFmpeg's name of the film's video decoder ("h264", "mjpeg", ...); empty without film.
    QString DecoderName() const;

    // Seek to frame n; ignored when FrameCount is 0 or n is outside the film.
    void AllerImage(std::int64_t n);
    // Seek to the frame shown at t seconds; ignored when t < 0 or t > Duration.
    void AllerTemps(double secondes);
    // Stop and rewind to 0.
    void Stop();
    void Play();
    void Pause();
    EtatLecture Etat() const { return etat_; }

    // The current frame as a 24-bit picture at the film's size; null without a film. A running
    // film is paused for the copy and started again after it.
    QImage CopierImage();
    // Asks for a capture of the current frame: CaptureTerminee follows through the event loop.
    // Requests made before the previous one completed give a single completion.
    void DemanderCapture();

    // For films whose container gives no frame count: the player then reports 0 frames and
    // works by time only.
    void ForcerSansNombreImages(bool sans) { sansNombre_ = sans; }

signals:
    void PositionChangee();
    void EtatChange();
    void Erreur(const QString& message);
    void CaptureTerminee(const QImage& image);

private:
    void changerImage(std::int64_t n);
    void avancerLecture();
    std::unique_ptr<MoteurVideo> moteur_;
    QString nomFichier_;
    QString erreur_;
    std::int64_t courante_ = 0;
    EtatLecture etat_ = EtatLecture::Arrete;
    bool sansNombre_ = false;
    bool captureDemandee_ = false;
    quint64 generation_ = 0; // bumped on closing: captures of a closed film are dropped
    QTimer* lecture_ = nullptr;
    double departLectureS_ = 0;
    qint64 departHorloge_ = 0;
};

} // namespace kinepo
