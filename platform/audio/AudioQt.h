#pragma once
// The Qt Multimedia back-ends of the sound facilities (private to platform/audio).
#include "platform/audio/EnregistreurSon.h"
#include "platform/audio/EntreeSon.h"
#include "platform/audio/LecteurSon.h"

#include <QAudioFormat>
#include <QBuffer>
#include <QByteArray>
#include <QElapsedTimer>
#include <QPointer>
#include <memory>

class QAudioSink;
class QAudioSource;
class QIODevice;
class QTimer;

namespace kinepo {

QAudioFormat FormatQt(const FormatPcm& f);

class LecteurSonQt : public LecteurSon {
    Q_OBJECT
public:
    explicit LecteurSonQt(QObject* parent = nullptr);
    ~LecteurSonQt() override;

    bool Ouvrir(const QString& nomFichier, const FormatPcm& format, const std::uint8_t* pcm,
                std::int64_t octets) override;
    void Fermer() override;
    bool EstOuvert() const override { return ouvert_; }
    QString NomFichier() const override { return nom_; }
    void SetNomFichier(const QString& nom) override { nom_ = nom; }
    FormatTemps Format() const override { return formatTemps_; }
    void SetFormat(FormatTemps f) override { formatTemps_ = f; }
    void SetDebut(std::int64_t p) override { debut_ = versTrames(p); }
    void SetFin(std::int64_t p) override { fin_ = versTrames(p); }
    void Jouer(bool notifier) override;
    void Arreter() override;
    bool EnLecture() const override { return enLecture_; }
    std::int64_t Position() const override;
    std::int64_t Longueur() const override;
    bool Sauver(const QString& nomFichier) override;

private:
    std::int64_t versTrames(std::int64_t p) const;
    std::int64_t depuisTrames(std::int64_t t) const;
    void finDeLecture();
    void liberer();
    void libererSortieFinie();

    QString nom_;
    FormatPcm format_;
    const std::uint8_t* pcm_ = nullptr;
    std::int64_t trames_ = 0;
    bool ouvert_ = false;
    FormatTemps formatTemps_ = FormatTemps::Echantillons;
    std::int64_t debut_ = 0, fin_ = 0; // frames, end included
    bool enLecture_ = false, notifier_ = false;
    std::unique_ptr<QAudioSink> sortie_;
    // A finished output, released once the signal that ended it has returned (or with the
    // player): it must not outlive the player, or the sound server's thread meets a dead stream.
    std::unique_ptr<QAudioSink> sortieFinie_;
    QBuffer flux_;
    // Without an output device the playback still runs in time, silently.
    QElapsedTimer horloge_;
    QTimer* finMuette_ = nullptr;
};

class EntreeSonQt : public EntreeSon {
    Q_OBJECT
public:
    explicit EntreeSonQt(QObject* parent = nullptr);
    ~EntreeSonQt() override;
    std::optional<CapacitesEntree> Capacites() override;
    bool Ouvrir(const FormatPcm& format) override;
    bool AjouterBuffer() override;
    bool Demarrer() override;
    void Reinitialiser() override;
    void Fermer() override;

private:
    void lire();
    void rendre();
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> io_;
    QByteArray buffer_;
    bool enFile_ = false;
};

class EnregistreurSonQt : public EnregistreurSon {
    Q_OBJECT
public:
    explicit EnregistreurSonQt(QObject* parent = nullptr);
    ~EnregistreurSonQt() override;
    bool Ouvrir() override;
    bool DefinirFormat(const FormatPcm& format) override;
    bool Enregistrer() override;
    void Arreter() override;
    bool Sauver(const QString& fichier) override;
    void Fermer() override;

private:
    void lire();
    bool ouvert_ = false;
    FormatPcm format_;
    std::unique_ptr<QAudioSource> source_;
    QPointer<QIODevice> io_;
    QByteArray donnees_;
};

} // namespace kinepo
