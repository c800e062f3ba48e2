#pragma once
// Where the capture control gets its frames: a camera (V4L2), a film played as a camera, or a
// generated pattern. No library type appears here; each back-end lives in its own source file.
//
// Every frame is handed over as an 8-bit luma plane, limited range (black 16, white 235), one
// byte per pixel, `largeur` bytes per row, top row first, as a YUV camera gives it; the colour
// picture is made from the same frame only when asked for.
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

namespace kinepo {

// A camera that cannot be opened, set up or read; the message is meant for the user.
class ErreurCamera : public std::runtime_error {
public:
    explicit ErreurCamera(const QString& message)
        : std::runtime_error(message.toUtf8().toStdString()) {}
    QString Message() const { return QString::fromUtf8(what()); }
};

// One frame, valid only while the call that hands it over lasts.
struct ImageCamera {
    int largeur = 0;
    int hauteur = 0;
    const std::uint8_t* luma = nullptr; // largeur × hauteur bytes
    double tempsS = 0;                  // the frame's time in seconds from the source's start
    std::function<QImage()> couleur;    // the frame as an RGB picture (made on demand)
};

// A setting of the camera's driver (exposure, gain, automatic modes...).
struct ControleCamera {
    enum class Genre { Entier, Booleen, Menu };
    std::uint32_t id = 0;
    QString nom;
    Genre genre = Genre::Entier;
    int mini = 0, maxi = 0, pas = 1, defaut = 0, valeur = 0;
    QStringList choix; // menu items, item k for the value mini + k (empty names are gaps)
};

enum class EtatLecture {
    Image,   // a new frame was handed over
    Attente, // no new frame yet
    Fin,     // the source has no more frames (end of a film played once)
    Panne,   // the source failed; the reason says why
};

class ISourceCamera {
public:
    virtual ~ISourceCamera() = default;
    // What the source is ("/dev/video0", a film's path, "motif").
    virtual QString Nom() const = 0;
    // Opens the source at its current format; throws ErreurCamera.
    virtual void Ouvrir() = 0;
    virtual void Fermer() = 0;
    // Frame size of the current format (valid once opened).
    virtual QSize Taille() const = 0;
    // Frames per second the caller will ask for; a camera that can is set to that rate.
    virtual void FixerCadence(double imagesParSeconde) { (void)imagesParSeconde; }
    // Hands the newest frame to `recevoir` (frames queued before it are dropped). Waits at most
    // attenteMs for one. Never throws: a failure answers Panne with a reason.
    virtual EtatLecture Lire(const std::function<void(const ImageCamera&)>& recevoir,
                             QString& raison, int attenteMs = 0) = 0;
    // The driver's settings, with their current values; empty when it offers none.
    virtual std::vector<ControleCamera> Controles() { return {}; }
    // Sets one; false when the driver refuses.
    virtual bool FixerControle(std::uint32_t id, int valeur) {
        (void)id;
        (void)valeur;
        return false;
    }
    // Turns automatic exposure and automatic gain off, keeping the values they reached. False,
    // with the reason, when the driver offers neither switch or refuses them.
    virtual bool VerrouillerAutomatismes(QString& raison) {
        raison = QStringLiteral("Cette webcam ne permet pas de bloquer l'exposition et le gain "
                                "automatiques");
        return false;
    }
};

// A V4L2 camera through libv4l2, which converts any pixel format of the driver.
std::unique_ptr<ISourceCamera> CreerSourceV4l2(const QString& peripherique);

// A film played as a camera, one frame per read, through FFmpeg. The luma plane is the film's
// own Y plane when it is 8-bit planar YUV of limited range; other formats are converted to it.
// The time of a frame is its timestamp from the first frame. With `boucle`, the film starts
// again at its end instead of answering Fin.
std::unique_ptr<ISourceCamera> CreerSourceFilm(const QString& chemin, bool boucle);

// A generated pattern: by default rings whose centre goes from dark to bright at one fringe
// per second of frames at 25 frames per second; `luma` ≥ 0 gives a uniform frame; a generator
// writes each frame itself. `panneApres` ≥ 0 makes the source fail after that many frames.
struct ParametresMotif {
    int largeur = 320;
    int hauteur = 240;
    int luma = -1;
    int panneApres = -1;
    bool verrouillable = true; // whether it offers the automatic exposure and gain switches
    double periodeS = 0.04;    // time between two frames
    std::function<void(int n, std::uint8_t* luma, int largeur, int hauteur)> generateur;
};
std::unique_ptr<ISourceCamera> CreerSourceMotif(const ParametresMotif& parametres);
// Reads "motif[:clé=valeur,...]" (keys largeur, hauteur, luma, panne, verrou=0/1); throws
// ErreurCamera on a key or value it does not know.
ParametresMotif LireDescriptionMotif(const QString& description);

// The source the forms use: the one named by the environment variable KINEPO_CAMERA, else by
// the key "Source" of section "Webcam" of the settings file, else the camera /dev/video0.
// Names: "motif[:...]", "film:<path>" (a film played in a loop), "v4l2:<device>" or a device
// path. Tests replace the choice with FixerFabriqueSourceCamera.
std::unique_ptr<ISourceCamera> CreerSourceCamera();
using FabriqueSourceCamera = std::function<std::unique_ptr<ISourceCamera>()>;
// Replaces the choice (an empty function restores it); returns the previous one.
FabriqueSourceCamera FixerFabriqueSourceCamera(FabriqueSourceCamera fabrique);

// The colour picture of a limited-range YUV 4:2:0 frame (BT.601), for the back-ends.
QImage CouleurYuv420(const std::uint8_t* y, const std::uint8_t* u, const std::uint8_t* v,
                     int largeur, int hauteur);
// The grey picture of a limited-range luma plane.
QImage CouleurLuma(const std::uint8_t* y, int largeur, int hauteur);

} // namespace kinepo
