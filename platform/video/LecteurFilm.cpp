#include "platform/video/LecteurFilm.h"

#include "platform/video/MoteurVideo.h"

#include <QDateTime>
#include <QMetaObject>
#include <QTimer>
#include <cmath>

namespace kinepo {

LecteurFilm::LecteurFilm(QObject* parent) : QObject(parent), lecture_(new QTimer(this)) {
    lecture_->setInterval(20);
    connect(lecture_, &QTimer::timeout, this, &LecteurFilm::avancerLecture);
}

LecteurFilm::~LecteurFilm() = default;

bool LecteurFilm::Ouvrir(const QString& chemin) {
    Fermer();
    QString raison;
    try {
        moteur_ = MoteurVideo::Ouvrir(chemin, &raison);
    } catch (...) {
        moteur_.reset();
    }
    if (!moteur_) {
        erreur_ = raison.isEmpty() ? QStringLiteral("Film illisible") : raison;
        emit Erreur(erreur_);
        return false;
    }
    nomFichier_ = chemin;
    erreur_.clear();
    courante_ = 0;
    etat_ = EtatLecture::EnPause;
    return true;
}

void LecteurFilm::Fermer() {
    lecture_->stop();
    moteur_.reset();
    nomFichier_.clear();
    courante_ = 0;
    etat_ = EtatLecture::Arrete;
    captureDemandee_ = false;
    ++generation_;
}

bool LecteurFilm::EstOuvert() const {
    return moteur_ != nullptr;
}

double LecteurFilm::Position() const {
    return moteur_ ? moteur_->TempsMs(courante_) / 1000.0 : 0.0;
}

std::int64_t LecteurFilm::FrameCount() const {
    return moteur_ && !sansNombre_ ? moteur_->Infos().nombreImages : 0;
}

double LecteurFilm::Duration() const {
    return moteur_ ? moteur_->Infos().dureeMs / 1000.0 : 0.0;
}

int LecteurFilm::Largeur() const {
    return moteur_ ? moteur_->Infos().largeur : 0;
}

int LecteurFilm::Hauteur() const {
    return moteur_ ? moteur_->Infos().hauteur : 0;
}

QString LecteurFilm::DecoderName() const {
    return moteur_ ? moteur_->Infos().codec : QString();
}

void LecteurFilm::changerImage(std::int64_t n) {
    if (!moteur_) return;
    const std::int64_t dernier = moteur_->Infos().nombreImages - 1;
    n = std::clamp<std::int64_t>(n, 0, std::max<std::int64_t>(dernier, 0));
    if (n == courante_) return;
    courante_ = n;
    emit PositionChangee();
}

void LecteurFilm::AllerImage(std::int64_t n) {
    if (FrameCount() == 0 || n < 0 || n >= FrameCount()) return;
    changerImage(n);
}

void LecteurFilm::AllerTemps(double secondes) {
    if (!moteur_ || secondes < 0 || secondes > Duration()) return;
    // A time a rounding error short of a frame's start still shows that frame.
    changerImage(moteur_->ImageA(secondes * 1000.0 + 1e-6));
}

void LecteurFilm::Stop() {
    const bool changeEtat = etat_ != EtatLecture::Arrete;
    lecture_->stop();
    etat_ = EtatLecture::Arrete;
    changerImage(0);
    if (changeEtat) emit EtatChange();
}

void LecteurFilm::Play() {
    if (!moteur_ || etat_ == EtatLecture::EnLecture) return;
    etat_ = EtatLecture::EnLecture;
    departLectureS_ = Position();
    departHorloge_ = QDateTime::currentMSecsSinceEpoch();
    lecture_->start();
    emit EtatChange();
}

void LecteurFilm::Pause() {
    if (!moteur_ || etat_ == EtatLecture::EnPause) return;
    lecture_->stop();
    etat_ = EtatLecture::EnPause;
    emit EtatChange();
}

void LecteurFilm::avancerLecture() {
    if (!moteur_) return;
    const double t =
        departLectureS_ + (QDateTime::currentMSecsSinceEpoch() - departHorloge_) / 1000.0;
    if (t >= Duration()) {
        changerImage(moteur_->Infos().nombreImages - 1);
        Pause();
        return;
    }
    changerImage(moteur_->ImageA(t * 1000.0));
}

QImage LecteurFilm::CopierImage() {
    if (!moteur_) return {};
    const bool relancer = etat_ == EtatLecture::EnLecture;
    if (relancer) lecture_->stop();
    QImage image;
    try {
        image = moteur_->Image(courante_);
    } catch (...) {
        image = QImage();
    }
    if (image.isNull()) emit Erreur(QStringLiteral("Image %1 illisible").arg(courante_));
    if (relancer) lecture_->start();
    return image.convertToFormat(QImage::Format_RGB888);
}

void LecteurFilm::DemanderCapture() {
    if (!moteur_ || captureDemandee_) return;
    captureDemandee_ = true;
    const quint64 g = generation_;
    QMetaObject::invokeMethod(
        this,
        [this, g] {
            if (g != generation_ || !captureDemandee_) return;
            captureDemandee_ = false;
            const QImage image = CopierImage();
            if (!image.isNull()) emit CaptureTerminee(image);
        },
        Qt::QueuedConnection);
}

} // namespace kinepo
