#include "platform/video/LecteurMci.h"

#include "platform/video/MoteurVideo.h"

#include <QElapsedTimer>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <vector>

namespace kinepo {

namespace {
qint64 HorlogeMs() {
    static QElapsedTimer horloge = [] {
        QElapsedTimer h;
        h.start();
        return h;
    }();
    return horloge.elapsed();
}
} // namespace

LecteurMci::LecteurMci(QObject* parent) : QObject(parent), lecture_(new QTimer(this)) {
    lecture_->setTimerType(Qt::PreciseTimer);
    connect(lecture_, &QTimer::timeout, this, &LecteurMci::avancerLecture);
}

LecteurMci::~LecteurMci() = default;

bool LecteurMci::Ouvrir(const QString& chemin) {
    Fermer();
    auto moteur = MoteurVideo::Ouvrir(chemin);
    if (!moteur) return false;
    QImage premiere = moteur->Image(0);
    if (premiere.isNull()) return false;
    moteur_ = std::move(moteur);
    courante_ = 0;
    format_ = FormatTemps::Millisecondes;
    rectangle_ = QRect(0, 0, moteur_->Infos().largeur, moteur_->Infos().hauteur);
    image_ = premiere;
    affichee_ = QImage();
    return true;
}

void LecteurMci::Fermer() {
    terminerLecture(false);
    ++generation_;
    moteur_.reset();
    courante_ = 0;
    image_ = QImage();
    affichee_ = QImage();
    rectangle_ = QRect();
}

bool LecteurMci::EstOuvert() const {
    return moteur_ != nullptr;
}
MoteurVideo* LecteurMci::Moteur() const {
    return moteur_.get();
}

void LecteurMci::notifierPlusTard() {
    // Queued, like the window message it stands for: the handler runs after the command
    // returned, never inside it.
    QMetaObject::invokeMethod(
        this,
        [this, generation = generation_] {
            if (generation == generation_) emit Notification();
        },
        Qt::QueuedConnection);
}

void LecteurMci::terminerLecture(bool notifier) {
    if (!lecture_->isActive()) return;
    lecture_->stop();
    if (notifierFinLecture_ && notifier) notifierPlusTard();
    notifierFinLecture_ = false;
}

void LecteurMci::changerImage(std::int64_t n, bool notifier) {
    if (moteur_) {
        n = std::clamp<std::int64_t>(n, 0, moteur_->Infos().nombreImages - 1);
        QImage image = moteur_->Image(n);
        for (int essais = 0; essais < 8 && image.isNull() && n >= moteur_->Infos().nombreImages;
             ++essais) {
            // The film turned out shorter than indexed (its tail does not decode).
            n = moteur_->Infos().nombreImages - 1;
            image = moteur_->Image(n);
        }
        // A frame that does not decode keeps the previous picture on screen; the position
        // still moves, as a player skipping a damaged frame would.
        const bool change =
            n != courante_ || (!image.isNull() && image.cacheKey() != image_.cacheKey());
        courante_ = n;
        if (!image.isNull()) image_ = image;
        if (change) emit ImageChangee();
    }
    if (notifier) notifierPlusTard();
}

void LecteurMci::Stop(bool notifier) {
    terminerLecture(true);
    if (notifier) notifierPlusTard();
}

void LecteurMci::Pause(bool notifier) {
    terminerLecture(true);
    if (notifier) notifierPlusTard();
}

void LecteurMci::Play(bool notifier) {
    terminerLecture(true);
    if (!moteur_ || courante_ >= moteur_->Infos().nombreImages - 1) {
        if (notifier) notifierPlusTard();
        return;
    }
    notifierFinLecture_ = notifier;
    departLectureMs_ = moteur_->TempsMs(courante_);
    departHorloge_ = HorlogeMs();
    const double cadence = moteur_->Infos().cadenceFichier;
    const int periode = cadence > 0 ? int(std::clamp(500.0 / cadence, 5.0, 40.0)) : 20;
    lecture_->start(periode);
}

void LecteurMci::avancerLecture() {
    if (!moteur_) {
        terminerLecture(true);
        return;
    }
    // Real time: the frame due now, skipping those the decoder could not keep up with.
    const double maintenant = departLectureMs_ + double(HorlogeMs() - departHorloge_);
    const std::int64_t due = moteur_->ImageA(maintenant);
    if (due > courante_) changerImage(due, false);
    // Playback ends when the last frame has been shown for its whole duration.
    const bool finie = courante_ >= moteur_->Infos().nombreImages - 1 &&
                       maintenant >= moteur_->Infos().dureeMs;
    if (finie) {
        lecture_->stop();
        if (notifierFinLecture_) notifierPlusTard();
        notifierFinLecture_ = false;
    }
}

void LecteurMci::Pas(int sens, bool notifier) {
    terminerLecture(true);
    changerImage(courante_ + (sens > 0 ? 1 : sens < 0 ? -1 : 0), notifier);
}

void LecteurMci::AllerDebut(bool notifier) {
    terminerLecture(true);
    changerImage(0, notifier);
}

void LecteurMci::AllerFin(bool notifier) {
    terminerLecture(true);
    changerImage(moteur_ ? moteur_->Infos().nombreImages - 1 : 0, notifier);
}

void LecteurMci::AllerA(double position, bool notifier) {
    terminerLecture(true);
    if (!moteur_) {
        changerImage(0, notifier);
        return;
    }
    changerImage(imageAPosition(position), notifier);
}

std::int64_t LecteurMci::imageAPosition(double position) const {
    if (format_ == FormatTemps::Millisecondes) return moteur_->ImageA(position);
    if (!std::isfinite(position)) return 0;
    return std::llround(std::clamp(position, 0.0, double(moteur_->Infos().nombreImages - 1)));
}

void LecteurMci::Apercu(double position) {
    terminerLecture(true);
    if (!moteur_) return;
    std::int64_t montree = 0;
    const QImage image = moteur_->Apercu(imageAPosition(position), &montree);
    if (image.isNull()) return;
    const bool change = montree != courante_ || image.cacheKey() != image_.cacheKey();
    courante_ = montree;
    image_ = image;
    if (change) emit ImageChangee();
}

LecteurMci::FormatTemps LecteurMci::Format() const {
    return format_;
}
void LecteurMci::SetFormat(FormatTemps f) {
    format_ = f;
}

double LecteurMci::Longueur() const {
    if (!moteur_) return 0;
    return format_ == FormatTemps::Millisecondes ? moteur_->Infos().dureeMs
                                                 : double(moteur_->Infos().nombreImages);
}

double LecteurMci::Position() const {
    if (!moteur_) return 0;
    return format_ == FormatTemps::Millisecondes ? moteur_->TempsMs(courante_) : double(courante_);
}

std::int64_t LecteurMci::ImageCourante() const {
    return courante_;
}
bool LecteurMci::EnLecture() const {
    return lecture_->isActive();
}

QRect LecteurMci::RectangleAffichage() const {
    return rectangle_;
}

void LecteurMci::SetRectangleAffichage(const QRect& r) {
    rectangle_ = r;
    affichee_ = QImage();
}

QImage LecteurMci::ImageDecodee() const {
    return image_;
}

QImage LecteurMci::ImageAffichee() const {
    if (image_.isNull()) return {};
    const int l = rectangle_.width(), h = rectangle_.height();
    if (l <= 0 || h <= 0) return {};
    if (l == image_.width() && h == image_.height()) return image_;
    if (!affichee_.isNull() && affichee_.width() == l && affichee_.height() == h &&
        afficheeSource_ == image_.cacheKey())
        return affichee_;
    // Nearest neighbour with integer arithmetic, so that at zoom z screen pixel X shows image
    // pixel X div z exactly.
    const QImage source = image_.convertToFormat(QImage::Format_RGB888);
    QImage r(l, h, QImage::Format_RGB888);
    const int ls = source.width(), hs = source.height();
    std::vector<int> colonnes(static_cast<std::size_t>(l));
    for (int x = 0; x < l; ++x)
        colonnes[std::size_t(x)] = int(std::int64_t(x) * ls / l) * 3;
    for (int y = 0; y < h; ++y) {
        const uchar* src = source.constScanLine(int(std::int64_t(y) * hs / h));
        uchar* dst = r.scanLine(y);
        for (int x = 0; x < l; ++x) {
            const uchar* p = src + colonnes[std::size_t(x)];
            dst[0] = p[0];
            dst[1] = p[1];
            dst[2] = p[2];
            dst += 3;
        }
    }
    afficheeSource_ = image_.cacheKey();
    affichee_ = r;
    return r;
}

} // namespace kinepo
