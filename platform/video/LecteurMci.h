#pragma once
// The media-control player of the AVI form, on the frame-exact engine: one open film, a current
// frame, a time format (milliseconds or frames), a display rectangle, and a completion
// notification after every command, delivered later through the event loop (a queued signal,
// like the window message it stands for), also when a step cannot move at the first or last
// frame. Every command "waits": when it returns, the current frame is already the new one.
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <cstdint>
#include <memory>

class QTimer;

namespace kinepo {

class MoteurVideo;

class LecteurMci : public QObject {
    Q_OBJECT
public:
    enum class FormatTemps { Millisecondes, Images };

    explicit LecteurMci(QObject* parent = nullptr);
    ~LecteurMci() override;

    // Opens a film; false (and no film open) when the engine cannot open it. The current frame
    // is 0; the time format is milliseconds; the display rectangle is the frame size.
    // Closing (and opening, which closes first) drops the notifications not yet delivered.
    bool Ouvrir(const QString& chemin);
    void Fermer();
    bool EstOuvert() const;
    MoteurVideo* Moteur() const;

    // Commands (each followed by one notification when notifier is true).
    void Stop(bool notifier = true);
    void Play(bool notifier = true); // real-time playback until the end, Stop or another command
    void Pause(bool notifier = true);
    void Pas(int sens, bool notifier = true); // +1 forward, -1 back; stays at either end
    void AllerDebut(bool notifier = true);
    void AllerFin(bool notifier = true);
    // Seek to a position in the current time format.
    void AllerA(double position, bool notifier = true);

    // Scrubbing (the trackbar being dragged): shows at once a picture near position, in the
    // current time format: the nearest cached frame or keyframe. That frame becomes the current
    // one, so Position() is the time of the picture shown. No notification: the exact frame
    // follows with AllerA when the drag ends.
    void Apercu(double position);

    FormatTemps Format() const;
    void SetFormat(FormatTemps f);
    // Length and position in the current time format. Milliseconds: length = end of the last
    // frame, position = start time of the current frame (exact, fractional). Frames: frame count
    // and current frame index.
    double Longueur() const;
    double Position() const;
    std::int64_t ImageCourante() const;
    bool EnLecture() const;

    // Display rectangle: (0, 0, frame width, frame height) after opening; set by the zoom.
    QRect RectangleAffichage() const;
    void SetRectangleAffichage(const QRect& r);

    // The current decoded frame at the film's size (RGB888).
    QImage ImageDecodee() const;
    // The current frame as displayed: the decoded frame scaled to the display rectangle with
    // nearest neighbour. This is the copy the analysis passes read.
    QImage ImageAffichee() const;

signals:
    // A command completed (success, superseded or aborted alike).
    void Notification();
    // The current frame changed (also during playback): the picture panel repaints.
    void ImageChangee();

private:
    void changerImage(std::int64_t n, bool notifier);
    void notifierPlusTard();
    // Ends a running playback; its pending notification (if any) is posted as superseded.
    void terminerLecture(bool notifier);
    void avancerLecture();
    std::int64_t imageAPosition(double position) const;
    std::unique_ptr<MoteurVideo> moteur_;
    std::int64_t courante_ = 0;
    FormatTemps format_ = FormatTemps::Millisecondes;
    QRect rectangle_;
    QImage image_;
    QTimer* lecture_ = nullptr;
    double departLectureMs_ = 0;
    qint64 departHorloge_ = 0;
    bool notifierFinLecture_ = false;
    quint64 generation_ = 0;  // bumped on closing: notifications of a closed film are dropped
    mutable QImage affichee_; // ImageAffichee's last result, reused while frame and size hold
    mutable qint64 afficheeSource_ = 0; // cache key of the decoded frame it was scaled from
};

} // namespace kinepo
