#include "platform/camera/CaptureCamera.h"

#include "platform/Plateforme.h"
#include "platform/PressePapiers.h"

#include <QTimer>
#include <cmath>

namespace kinepo {

int TtsCap32Parameter::ImageWidth() const {
    return c_.source_ ? c_.source_->Taille().width() : 0;
}

int TtsCap32Parameter::ImageHeight() const {
    return c_.source_ ? c_.source_->Taille().height() : 0;
}

void TtsCap32Parameter::SetPreview(bool actif) {
    apercu_ = actif;
    c_.Planifier();
}

void TtsCap32Parameter::SetCaptureRate_fps(double fps) {
    if (!(fps > 0)) return;
    usParImage_ = std::lround(1000000.0 / fps);
    c_.Planifier();
}

double TtsCap32Parameter::CaptureRate_fps() const {
    return usParImage_ > 0 ? 1000000.0 / double(usParImage_) : -1;
}

void TtsCap32Parameter::SetPreviewRate_fps(double fps) {
    if (!(fps > 0)) return;
    msParApercu_ = std::max(1, int(std::lround(1000.0 / fps)));
    c_.Planifier();
}

void TtsCap32Parameter::SetDlgSource(bool ouvrir) {
    if (!ouvrir) return;
    if (!c_.Connected())
        throw ErreurCamera(
            QStringLiteral("Driver dialogs can be called only if component is connected"));
    c_.MontrerDialogueSource();
}

CaptureCamera::CaptureCamera() : Parameter(*this), minuterie_(std::make_unique<QTimer>()) {
    QObject::connect(minuterie_.get(), &QTimer::timeout, minuterie_.get(),
                     [this] { ImageSuivante(); });
}

CaptureCamera::~CaptureCamera() {
    minuterie_->stop();
    if (source_) source_->Fermer();
}

void CaptureCamera::SetConnected(bool connecte) {
    if (connecte == Connected()) return;
    capture_ = false;
    if (connecte) {
        std::unique_ptr<ISourceCamera> s = CreerSourceCamera();
        s->Ouvrir(); // throws: stays disconnected
        source_ = std::move(s);
    } else {
        std::unique_ptr<ISourceCamera> s = std::move(source_);
        s->Fermer();
    }
    Planifier();
    if (OnConnected) OnConnected(connecte);
}

void CaptureCamera::Planifier() {
    if (!source_ || (!capture_ && !Parameter.apercu_)) {
        minuterie_->stop();
        return;
    }
    int ms = Parameter.msParApercu_;
    if (capture_) {
        const long us = Parameter.usParImage_ > 0 ? Parameter.usParImage_ : 100000;
        ms = std::max(1, int((us + 500) / 1000));
        source_->FixerCadence(1e6 / double(us));
    }
    if (minuterie_->interval() != ms) minuterie_->setInterval(ms);
    if (!minuterie_->isActive()) minuterie_->start();
}

void CaptureCamera::ImageSuivante() {
    if (!source_) return;
    QString raison;
    const bool montrer = Parameter.apercu_;
    const EtatLecture e = source_->Lire(
        [&](const ImageCamera& image) {
            if (montrer && image.couleur) Apercu(image.couleur());
            if (OnFrame) OnFrame(image);
        },
        raison);
    if (e == EtatLecture::Fin) Panne(QStringLiteral("Fin du film"));
    if (e == EtatLecture::Panne) Panne(raison);
}

void CaptureCamera::Panne(const QString& raison) {
    capture_ = false;
    if (source_) {
        try {
            SetConnected(false);
        } catch (...) {
            source_.reset();
        }
    }
    minuterie_->stop();
    if (OnPanne) OnPanne(raison);
}

QImage CaptureCamera::CopyToClipBoard() {
    QImage image = ImageCourante();
    if (!image.isNull()) PressePapiers().setImage(image);
    return image;
}

QImage CaptureCamera::ImageCourante() {
    if (!source_) return {};
    QImage image;
    QString raison;
    // A camera may have no frame ready at once; it is given a moment.
    const EtatLecture e = source_->Lire(
        [&](const ImageCamera& i) {
            image = i.couleur ? i.couleur() : CouleurLuma(i.luma, i.largeur, i.hauteur);
        },
        raison, 2000);
    if (e == EtatLecture::Panne) {
        Panne(raison);
        return {};
    }
    return image;
}

void CaptureCamera::CapOrder(OrdreCapture ordre) {
    capture_ = ordre == OrdreCapture::start && source_ != nullptr;
    Planifier();
}

std::vector<ControleCamera> CaptureCamera::Controles() {
    return source_ ? source_->Controles() : std::vector<ControleCamera>{};
}

bool CaptureCamera::FixerControle(std::uint32_t id, int valeur) {
    return source_ && source_->FixerControle(id, valeur);
}

bool CaptureCamera::VerrouillerAutomatismes(QString& raison) {
    if (!source_) {
        raison = QStringLiteral("La webcam n'est pas connectée");
        return false;
    }
    return source_->VerrouillerAutomatismes(raison);
}

QString CaptureCamera::NomSource() const {
    return source_ ? source_->Nom() : QString();
}

} // namespace kinepo
