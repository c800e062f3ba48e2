#include "video/ui/ChronoU.h"

#include "shell/ImageMain.h"

#include <QPainter>
#include <QPointer>
#include <QScreen>

namespace kinepo {
namespace {
QPointer<TChronoForm> g_chrono;
} // namespace

TChronoForm::TChronoForm(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("ChronoForm"));
    setWindowTitle(QStringLiteral("Chronophotographie à partir de AVI"));
    resize(650, 514);
}

bool TChronoForm::Afficher(const QString& fichier) {
    QImage image(fichier);
    if (image.isNull()) return false;
    image_ = std::move(image);
    QWidget* principale = ImageFormMain();
    const QRect autour = principale ? principale->frameGeometry()
                         : screen() ? screen()->availableGeometry()
                                    : QRect();
    if (autour.isValid()) move(autour.center() - rect().center());
    show();
    raise();
    update();
    return true;
}

QRect TChronoForm::RectangleImage() const {
    if (image_.isNull()) return {};
    QSize taille = image_.size().scaled(size(), Qt::KeepAspectRatio);
    return QRect(QPoint((width() - taille.width()) / 2, (height() - taille.height()) / 2), taille);
}

void TChronoForm::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), palette().window());
    if (!image_.isNull()) p.drawImage(RectangleImage(), image_);
}

TChronoForm* ChronoForm() {
    if (!g_chrono) g_chrono = new TChronoForm(ImageFormMain());
    return g_chrono;
}

} // namespace kinepo
