#pragma once
// The sound form's player: holds one sound (a name and its PCM), plays the stretch between a
// start and an end position, reports its position and length, signals the end of a playback,
// and saves the sound it holds as a WAV file. Positions count frames or milliseconds.
#include "platform/audio/FormatPcm.h"

#include <QObject>
#include <QString>
#include <cstdint>

namespace kinepo {

class LecteurSon : public QObject {
    Q_OBJECT
public:
    enum class FormatTemps { Echantillons, Millisecondes };
    using QObject::QObject;
    ~LecteurSon() override = default;

    // Takes the sound: `pcm` stays owned by the caller and must live while the player is open.
    // The whole sound is selected; the time format is frames. False when it cannot be opened.
    virtual bool Ouvrir(const QString& nomFichier, const FormatPcm& format, const std::uint8_t* pcm,
                        std::int64_t octets) = 0;
    // Stops any playback and forgets the sound. Safe when nothing is open.
    virtual void Fermer() = 0;
    virtual bool EstOuvert() const = 0;
    virtual QString NomFichier() const = 0;
    virtual void SetNomFichier(const QString& nom) = 0;

    virtual FormatTemps Format() const = 0;
    virtual void SetFormat(FormatTemps f) = 0;
    // The stretch to play, in the current time format (end included).
    virtual void SetDebut(std::int64_t position) = 0;
    virtual void SetFin(std::int64_t position) = 0;

    // Plays from the start to the end position; Termine() follows the end of the stretch when
    // `notifier` is true (not after Arreter or Fermer).
    virtual void Jouer(bool notifier) = 0;
    virtual void Arreter() = 0;
    virtual bool EnLecture() const = 0;
    // Current position and length of the whole sound, in the current time format.
    virtual std::int64_t Position() const = 0;
    virtual std::int64_t Longueur() const = 0;

    // Writes the whole sound as a WAV file under `nomFichier`: a copy of the WAV file it was
    // opened from when there is one (all of it, not only the samples held), else the samples
    // held. False on failure.
    virtual bool Sauver(const QString& nomFichier) = 0;

signals:
    void Termine();
};

} // namespace kinepo
