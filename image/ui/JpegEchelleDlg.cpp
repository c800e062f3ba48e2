#include "image/ui/JpegEchelleDlg.h"

#include "platform/LectureImage.h"
#include "shell/base/Curseurs.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdlib>

namespace kinepo {
namespace {

QPointer<TJpegEchelleDlg> g_dialogue;
TJpegEchelleDlg::ReponseScriptee g_reponse;

constexpr int kDemiCroix = 9;

} // namespace

// ---- picture with marker -----------------------------------------------------------------

ImageMarqueur::ImageMarqueur(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);
}

void ImageMarqueur::DefinirImage(const QImage& image) {
    image_ = image.convertToFormat(QImage::Format_RGB32);
    setFixedSize(image_.size()); // the picture sizes itself to the image
    update();
}

void ImageMarqueur::paintEvent(QPaintEvent* e) {
    QPainter p(this);
    p.drawImage(e->rect().topLeft(), image_, e->rect());
    // The cross inverts the pixels under it, so it shows on any picture and a second drawing
    // would erase it.
    const QRect zone(Marqueur.x() - kDemiCroix, Marqueur.y() - kDemiCroix, 2 * kDemiCroix + 1,
                     2 * kDemiCroix + 1);
    QImage morceau = image_.copy(zone);
    {
        QPainter pm(&morceau);
        pm.setCompositionMode(QPainter::RasterOp_NotDestination);
        pm.setPen(QPen(Qt::white, 1));
        pm.drawLine(0, kDemiCroix, 2 * kDemiCroix, kDemiCroix);
        pm.drawLine(kDemiCroix, 0, kDemiCroix, 2 * kDemiCroix);
    }
    p.drawImage(zone.topLeft(), morceau);
}

bool ImageMarqueur::PresDuMarqueur(QPoint q) const {
    return std::abs(q.x() - Marqueur.x()) + std::abs(q.y() - Marqueur.y()) < kDemiCroix;
}

bool ImageMarqueur::DansImage(QPoint q) const {
    return q.x() >= 0 && q.y() >= 0 && q.x() <= image_.width() - 1 && q.y() <= image_.height() - 1;
}

void ImageMarqueur::Deplacer(QPoint q) {
    if (!DansImage(q)) return;
    const QPoint ancien = Marqueur;
    Marqueur = q;
    const QRect r(-kDemiCroix, -kDemiCroix, 2 * kDemiCroix + 1, 2 * kDemiCroix + 1);
    update(r.translated(ancien));
    update(r.translated(q));
}

void ImageMarqueur::mousePressEvent(QMouseEvent* e) {
    if (PresDuMarqueur(e->position().toPoint())) glisse_ = true;
}

void ImageMarqueur::mouseMoveEvent(QMouseEvent* e) {
    const QPoint q = e->position().toPoint();
    if (glisse_ && (e->buttons() & Qt::LeftButton)) {
        if (!DansImage(q)) return;
        Deplacer(q);
        setCursor(CurseurNumero(crCibleMove));
        return;
    }
    if (PresDuMarqueur(q))
        setCursor(CurseurNumero(crCibleMove));
    else
        unsetCursor();
}

void ImageMarqueur::mouseReleaseEvent(QMouseEvent* e) {
    if (!glisse_) return;
    Deplacer(e->position().toPoint());
    glisse_ = false;
}

// ---- dialog ------------------------------------------------------------------------------

TJpegEchelleDlg::TJpegEchelleDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("JpegEchelleDlg"));
    resize(490, 307);
    auto* l = new QVBoxLayout(this);
    l->setContentsMargins(0, 0, 0, 0);
    Defilement = new QScrollArea(this);
    Image1 = new ImageMarqueur;
    Defilement->setWidget(Image1);
    Defilement->setWidgetResizable(false);
    l->addWidget(Defilement);
    if (!g_dialogue) g_dialogue = this;
}

TJpegEchelleDlg::~TJpegEchelleDlg() = default;

TJpegEchelleDlg* TJpegEchelleDlg::Existant() {
    return g_dialogue.data();
}

TJpegEchelleDlg& TJpegEchelleDlg::Instance() {
    if (!g_dialogue) g_dialogue = new TJpegEchelleDlg;
    return *g_dialogue;
}

TJpegEchelleDlg::ReponseScriptee TJpegEchelleDlg::DefinirReponseScriptee(ReponseScriptee r) {
    std::swap(g_reponse, r);
    return r;
}

void TJpegEchelleDlg::Montrer() {
    if (g_reponse) {
        g_reponse(*this);
        return;
    }
    exec();
}

void TJpegEchelleDlg::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    FormActivate();
}

void TJpegEchelleDlg::FormActivate() {
    // The shared reader, so a photograph stands upright here as in the form that sent it.
    QImage image;
    try {
        QString nom = NomFichier;
        image = LireImageFichier(nom, false);
    } catch (const ErreurLectureImage&) {
        // The form has read this file already; a file gone since shows an empty picture.
    }
    if (layout()) layout()->activate();
    Image1->DefinirImage(image);
    // The scroll bars come and go with the picture's size (a queued step of the scroll area):
    // lay them out now, so that the window size used below is the one the user sees.
    QCoreApplication::sendPostedEvents(Defilement, QEvent::MetaCall);
    QCoreApplication::sendPostedEvents(Defilement, QEvent::LayoutRequest);
    // Scroll so that the marker is centred, without running past the picture's end.
    auto position = [](int marqueur, int fenetre, int taille) {
        int a = std::max(0, marqueur - fenetre / 2);
        if (taille < fenetre + a) a = taille - fenetre;
        return std::max(0, a);
    };
    const QSize vue = Defilement->viewport()->size();
    Defilement->horizontalScrollBar()->setValue(
        position(Image1->Marqueur.x(), vue.width(), image.width()));
    Defilement->verticalScrollBar()->setValue(
        position(Image1->Marqueur.y(), vue.height(), image.height()));
    Image1->update();
}

TJpegEchelleDlg* CreerJpegEchelleDlg(QWidget* proprietaire) {
    if (g_dialogue) return g_dialogue;
    return new TJpegEchelleDlg(proprietaire);
}

} // namespace kinepo
