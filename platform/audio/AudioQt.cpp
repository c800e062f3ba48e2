#include "platform/audio/AudioQt.h"

#include "platform/audio/FichierWav.h"

#include <QAudioDevice>
#include <QAudioSink>
#include <QAudioSource>
#include <QMediaDevices>
#include <QTimer>
#include <algorithm>

namespace kinepo {

QAudioFormat FormatQt(const FormatPcm& f) {
    QAudioFormat q;
    q.setSampleRate(int(f.frequence));
    q.setChannelCount(f.voies);
    q.setSampleFormat(f.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return q;
}

// ---- player -------------------------------------------------------------------------------

LecteurSonQt::LecteurSonQt(QObject* parent) : LecteurSon(parent) {
    finMuette_ = new QTimer(this);
    finMuette_->setSingleShot(true);
    connect(finMuette_, &QTimer::timeout, this, &LecteurSonQt::finDeLecture);
}

LecteurSonQt::~LecteurSonQt() {
    liberer();
}

bool LecteurSonQt::Ouvrir(const QString& nomFichier, const FormatPcm& format,
                          const std::uint8_t* pcm, std::int64_t octets) {
    Fermer();
    if (!pcm || format.octetsParTrame() <= 0 || format.frequence == 0) return false;
    nom_ = nomFichier;
    format_ = format;
    pcm_ = pcm;
    trames_ = octets / format.octetsParTrame();
    debut_ = 0;
    fin_ = std::max<std::int64_t>(trames_ - 1, 0);
    formatTemps_ = FormatTemps::Echantillons;
    ouvert_ = true;
    return true;
}

void LecteurSonQt::libererSortieFinie() {
    if (!sortieFinie_) return;
    sortieFinie_->stop();
    sortieFinie_.reset();
}

void LecteurSonQt::liberer() {
    libererSortieFinie();
    enLecture_ = false;
    finMuette_->stop();
    if (sortie_) {
        sortie_->disconnect(this);
        sortie_->stop();
        sortie_.reset();
    }
    if (flux_.isOpen()) flux_.close();
}

void LecteurSonQt::Fermer() {
    liberer();
    ouvert_ = false;
    pcm_ = nullptr;
    trames_ = 0;
}

std::int64_t LecteurSonQt::versTrames(std::int64_t p) const {
    if (formatTemps_ == FormatTemps::Millisecondes)
        return p * std::int64_t(format_.frequence) / 1000;
    return p;
}

std::int64_t LecteurSonQt::depuisTrames(std::int64_t t) const {
    if (formatTemps_ == FormatTemps::Millisecondes && format_.frequence)
        return t * 1000 / std::int64_t(format_.frequence);
    return t;
}

void LecteurSonQt::Jouer(bool notifier) {
    if (!ouvert_) return;
    liberer();
    const std::int64_t debut =
        std::clamp<std::int64_t>(debut_, 0, std::max<std::int64_t>(trames_ - 1, 0));
    const std::int64_t fin =
        std::clamp<std::int64_t>(fin_, debut, std::max<std::int64_t>(trames_ - 1, 0));
    const int bpt = format_.octetsParTrame();
    flux_.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(pcm_) + debut * bpt,
                                          qsizetype((fin - debut + 1) * bpt)));
    flux_.open(QIODevice::ReadOnly);
    notifier_ = notifier;
    enLecture_ = true;
    horloge_.start();
    const int dureeMs = int((fin - debut + 1) * 1000 / std::int64_t(format_.frequence)) + 1;

    const QAudioDevice peripherique = QMediaDevices::defaultAudioOutput();
    if (!peripherique.isNull()) {
        sortie_ = std::make_unique<QAudioSink>(peripherique, FormatQt(format_));
        connect(sortie_.get(), &QAudioSink::stateChanged, this,
                [this, dureeMs](QAudio::State etat) {
                    if (etat == QAudio::IdleState && flux_.atEnd()) {
                        // The sink goes idle once the server holds the last bytes, which for a
                        // short stretch is before they are heard: the end waits for the stretch's
                        // duration.
                        const qint64 reste = dureeMs - horloge_.elapsed();
                        if (reste > 0)
                            finMuette_->start(int(reste));
                        else
                            finDeLecture();
                    } else if (etat == QAudio::StoppedState && sortie_ &&
                               sortie_->error() != QAudio::NoError) {
                        finDeLecture();
                    }
                });
        sortie_->start(&flux_);
        if (sortie_->error() == QAudio::NoError) return;
        sortie_.reset();
    }
    // No sound server: the playback runs silently for the stretch's duration.
    finMuette_->start(dureeMs);
}

void LecteurSonQt::finDeLecture() {
    if (!enLecture_) return;
    const bool notifier = notifier_;
    // The device is released later: this runs from inside its own signal.
    enLecture_ = false;
    finMuette_->stop();
    if (sortie_) {
        // This may run from inside the output's own signal: it is released a moment later.
        libererSortieFinie();
        sortie_->disconnect(this);
        sortieFinie_ = std::move(sortie_);
        QTimer::singleShot(0, this, &LecteurSonQt::libererSortieFinie);
    }
    if (notifier) emit Termine();
}

void LecteurSonQt::Arreter() {
    liberer();
}

std::int64_t LecteurSonQt::Position() const {
    std::int64_t trames = debut_;
    if (enLecture_) {
        const qint64 us = sortie_ ? sortie_->processedUSecs() : horloge_.nsecsElapsed() / 1000;
        trames = debut_ + us * std::int64_t(format_.frequence) / 1000000;
        trames = std::min(trames, fin_);
    }
    return depuisTrames(trames);
}

std::int64_t LecteurSonQt::Longueur() const {
    return depuisTrames(trames_);
}

bool LecteurSonQt::Sauver(const QString& nomFichier) {
    if (!ouvert_) return false;
    // The sound is the WAV file it came from, whole: the form's block may hold only its first
    // 4 MiB. Only a sound without such a file is written from the samples held.
    if (EstFichierWav(nom_)) return CopierFichier(nom_, nomFichier);
    return EcrireWav(nomFichier, format_, pcm_, trames_ * format_.octetsParTrame());
}

// ---- input of the level monitor ----------------------------------------------------------

EntreeSonQt::EntreeSonQt(QObject* parent) : EntreeSon(parent) {
    buffer_.reserve(kTailleBuffer);
}

EntreeSonQt::~EntreeSonQt() {
    Fermer();
}

std::optional<CapacitesEntree> EntreeSonQt::Capacites() {
    const QAudioDevice d = QMediaDevices::defaultAudioInput();
    if (d.isNull()) return std::nullopt;
    struct Mode {
        std::uint32_t drapeau, frequence;
        int bits;
    };
    static constexpr Mode modes[] = {{1, 11025, 8},   {4, 11025, 16},  {16, 22050, 8},
                                     {64, 22050, 16}, {256, 44100, 8}, {1024, 44100, 16}};
    CapacitesEntree c{d.description(), 0};
    for (const Mode& m : modes)
        if (d.isFormatSupported(FormatQt({m.frequence, m.bits, 1}))) c.masque |= m.drapeau;
    return c;
}

bool EntreeSonQt::Ouvrir(const FormatPcm& format) {
    Fermer();
    const QAudioDevice d = QMediaDevices::defaultAudioInput();
    if (d.isNull()) return false;
    const QAudioFormat f = FormatQt(format);
    if (!d.isFormatSupported(f)) return false;
    source_ = std::make_unique<QAudioSource>(d, f);
    source_->setBufferSize(kTailleBuffer);
    return true;
}

bool EntreeSonQt::AjouterBuffer() {
    if (!source_ || enFile_) return false;
    buffer_.clear();
    enFile_ = true;
    return true;
}

bool EntreeSonQt::Demarrer() {
    if (!source_) return false;
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError) return false;
    connect(io_, &QIODevice::readyRead, this, &EntreeSonQt::lire);
    return true;
}

void EntreeSonQt::lire() {
    if (!io_) return;
    const QByteArray recu = io_->readAll();
    if (!enFile_) return; // no buffer queued: the input drops what it hears
    const qsizetype place = kTailleBuffer - buffer_.size();
    buffer_.append(recu.left(place));
    if (buffer_.size() >= kTailleBuffer) rendre();
}

void EntreeSonQt::rendre() {
    enFile_ = false;
    const QByteArray donnees = buffer_;
    // Delivered from the event loop, so that the receiver may close or reopen the input.
    QMetaObject::invokeMethod(
        this, [this, donnees] { emit BufferRendu(donnees); }, Qt::QueuedConnection);
}

void EntreeSonQt::Reinitialiser() {
    if (source_) source_->stop();
    io_ = nullptr;
    if (enFile_) rendre();
}

void EntreeSonQt::Fermer() {
    if (source_) {
        source_->disconnect(this);
        source_->stop();
        source_.reset();
    }
    io_ = nullptr;
    enFile_ = false;
}

// ---- recording device --------------------------------------------------------------------

EnregistreurSonQt::EnregistreurSonQt(QObject* parent) : EnregistreurSon(parent) {}

EnregistreurSonQt::~EnregistreurSonQt() {
    Fermer();
}

bool EnregistreurSonQt::Ouvrir() {
    ouvert_ = !QMediaDevices::defaultAudioInput().isNull();
    donnees_.clear();
    return ouvert_;
}

bool EnregistreurSonQt::DefinirFormat(const FormatPcm& format) {
    if (!ouvert_ || source_) return false;
    format_ = format;
    return QMediaDevices::defaultAudioInput().isFormatSupported(FormatQt(format));
}

bool EnregistreurSonQt::Enregistrer() {
    if (!ouvert_) return false;
    source_ = std::make_unique<QAudioSource>(QMediaDevices::defaultAudioInput(), FormatQt(format_));
    io_ = source_->start();
    if (!io_ || source_->error() != QAudio::NoError) {
        source_.reset();
        return false;
    }
    connect(io_, &QIODevice::readyRead, this, &EnregistreurSonQt::lire);
    return true;
}

void EnregistreurSonQt::lire() {
    if (io_) donnees_.append(io_->readAll());
}

void EnregistreurSonQt::Arreter() {
    if (!source_) return;
    lire();
    source_->disconnect(this);
    source_->stop();
    source_.reset();
    io_ = nullptr;
}

bool EnregistreurSonQt::Sauver(const QString& fichier) {
    if (!ouvert_) return false;
    lire();
    return EcrireWav(fichier, format_, reinterpret_cast<const std::uint8_t*>(donnees_.constData()),
                     donnees_.size());
}

void EnregistreurSonQt::Fermer() {
    Arreter();
    ouvert_ = false;
}

} // namespace kinepo
