// The camera back-end on V4L2. libv4l2 stands between the driver and us: it converts every
// pixel format the driver offers (YUYV, MJPEG, Bayer...) to planar YUV 4:2:0, whose first
// plane is the luma plane the forms read, and it emulates read() on drivers that only stream.
#include "platform/camera/SourceCamera.h"

#include <libv4l2.h>
#include <linux/videodev2.h>

#include <QElapsedTimer>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>

namespace kinepo {
namespace {

int Ioctl(int fd, unsigned long requete, void* argument) {
    int r;
    do {
        r = v4l2_ioctl(fd, requete, argument);
    } while (r == -1 && errno == EINTR);
    return r;
}

QString Systeme() {
    return QString::fromLocal8Bit(std::strerror(errno));
}

class SourceV4l2 final : public ISourceCamera {
public:
    explicit SourceV4l2(QString peripherique) : peripherique_(std::move(peripherique)) {}
    ~SourceV4l2() override { Fermer(); }

    QString Nom() const override { return peripherique_; }

    void Ouvrir() override {
        Fermer();
        fd_ = v4l2_open(peripherique_.toLocal8Bit().constData(), O_RDWR | O_NONBLOCK);
        if (fd_ < 0)
            throw ErreurCamera(QStringLiteral("Aucune webcam n'est connectée (%1 : %2)")
                                   .arg(peripherique_, Systeme()));
        v4l2_capability cap{};
        if (Ioctl(fd_, VIDIOC_QUERYCAP, &cap) < 0 || !(cap.capabilities & V4L2_CAP_VIDEO_CAPTURE)) {
            Fermer();
            throw ErreurCamera(QStringLiteral("%1 n'est pas une webcam").arg(peripherique_));
        }
        v4l2_format f{};
        f.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(fd_, VIDIOC_G_FMT, &f) < 0) {
            Fermer();
            throw ErreurCamera(QStringLiteral("Format de la webcam illisible : %1").arg(Systeme()));
        }
        f.fmt.pix.pixelformat = V4L2_PIX_FMT_YUV420;
        f.fmt.pix.field = V4L2_FIELD_ANY;
        if (Ioctl(fd_, VIDIOC_S_FMT, &f) < 0 || f.fmt.pix.pixelformat != V4L2_PIX_FMT_YUV420) {
            Fermer();
            throw ErreurCamera(
                QStringLiteral("La webcam refuse le format YUV : %1").arg(Systeme()));
        }
        largeur_ = int(f.fmt.pix.width);
        hauteur_ = int(f.fmt.pix.height);
        const std::size_t minimum = std::size_t(largeur_) * std::size_t(hauteur_) * 3 / 2;
        tampon_.assign(std::max<std::size_t>(f.fmt.pix.sizeimage, minimum), 0);
        image_.assign(tampon_.size(), 0);
        horloge_.start();
    }

    void Fermer() override {
        if (fd_ >= 0) v4l2_close(fd_);
        fd_ = -1;
    }

    QSize Taille() const override { return {largeur_, hauteur_}; }

    void FixerCadence(double ips) override {
        if (fd_ < 0 || ips <= 0) return;
        v4l2_streamparm parm{};
        parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (Ioctl(fd_, VIDIOC_G_PARM, &parm) < 0) return;
        if (!(parm.parm.capture.capability & V4L2_CAP_TIMEPERFRAME)) return;
        parm.parm.capture.timeperframe.numerator = 1000;
        parm.parm.capture.timeperframe.denominator = unsigned(std::lround(ips * 1000));
        Ioctl(fd_, VIDIOC_S_PARM, &parm); // a camera that keeps its own rate is still read
    }

    EtatLecture Lire(const std::function<void(const ImageCamera&)>& recevoir, QString& raison,
                     int attenteMs) override {
        if (fd_ < 0) {
            raison = QStringLiteral("La webcam n'est pas connectée");
            return EtatLecture::Panne;
        }
        bool nouvelle = false;
        for (int essai = 0;; ++essai) {
            const ssize_t n = v4l2_read(fd_, tampon_.data(), tampon_.size());
            if (n > 0) {
                if (std::size_t(n) >= std::size_t(largeur_) * std::size_t(hauteur_) * 3 / 2) {
                    std::swap(tampon_, image_);
                    nouvelle = true;
                }
                continue; // an older frame: the newest one may be queued behind it
            }
            if (n < 0 && errno == EINTR) continue;
            if (n < 0 && errno == EAGAIN) {
                if (nouvelle || essai > 0 || attenteMs <= 0) break;
                pollfd p{fd_, POLLIN, 0};
                if (poll(&p, 1, attenteMs) <= 0) break;
                continue;
            }
            raison = QStringLiteral("La webcam ne répond plus : %1").arg(Systeme());
            return EtatLecture::Panne;
        }
        if (!nouvelle) return EtatLecture::Attente;
        const std::size_t plan = std::size_t(largeur_) * std::size_t(hauteur_);
        const std::size_t quart = std::size_t((largeur_ + 1) / 2) * std::size_t((hauteur_ + 1) / 2);
        ImageCamera image;
        image.largeur = largeur_;
        image.hauteur = hauteur_;
        image.luma = image_.data();
        image.tempsS = horloge_.nsecsElapsed() * 1e-9;
        image.couleur = [this, plan, quart] {
            return CouleurYuv420(image_.data(), image_.data() + plan, image_.data() + plan + quart,
                                 largeur_, hauteur_);
        };
        recevoir(image);
        return EtatLecture::Image;
    }

    std::vector<ControleCamera> Controles() override {
        std::vector<ControleCamera> r;
        if (fd_ < 0) return r;
        v4l2_queryctrl q{};
        q.id = V4L2_CTRL_FLAG_NEXT_CTRL;
        while (Ioctl(fd_, VIDIOC_QUERYCTRL, &q) == 0) {
            const std::uint32_t id = q.id;
            q.id |= V4L2_CTRL_FLAG_NEXT_CTRL;
            if (q.flags & V4L2_CTRL_FLAG_DISABLED) continue;
            ControleCamera c;
            if (q.type == V4L2_CTRL_TYPE_INTEGER)
                c.genre = ControleCamera::Genre::Entier;
            else if (q.type == V4L2_CTRL_TYPE_BOOLEAN)
                c.genre = ControleCamera::Genre::Booleen;
            else if (q.type == V4L2_CTRL_TYPE_MENU)
                c.genre = ControleCamera::Genre::Menu;
            else
                continue;
            c.id = id;
            c.nom = QString::fromUtf8(reinterpret_cast<const char*>(q.name));
            c.mini = q.minimum;
            c.maxi = q.maximum;
            c.pas = std::max(1, q.step);
            c.defaut = q.default_value;
            v4l2_control v{id, 0};
            c.valeur = Ioctl(fd_, VIDIOC_G_CTRL, &v) == 0 ? v.value : q.default_value;
            if (c.genre == ControleCamera::Genre::Menu)
                for (int k = q.minimum; k <= q.maximum; ++k) {
                    v4l2_querymenu m{};
                    m.id = id;
                    m.index = std::uint32_t(k);
                    c.choix << (Ioctl(fd_, VIDIOC_QUERYMENU, &m) == 0
                                    ? QString::fromUtf8(reinterpret_cast<const char*>(m.name))
                                    : QString());
                }
            r.push_back(c);
        }
        return r;
    }

    bool FixerControle(std::uint32_t id, int valeur) override {
        if (fd_ < 0) return false;
        v4l2_control v{id, valeur};
        return Ioctl(fd_, VIDIOC_S_CTRL, &v) == 0;
    }

    bool VerrouillerAutomatismes(QString& raison) override {
        bool exposition = false, gain = false, present = false;
        for (const ControleCamera& c : Controles()) {
            if (c.id == V4L2_CID_EXPOSURE_AUTO) {
                present = true;
                exposition = FixerControle(c.id, V4L2_EXPOSURE_MANUAL);
            } else if (c.id == V4L2_CID_AUTOGAIN) {
                present = true;
                gain = FixerControle(c.id, 0);
            }
        }
        if (exposition || gain) return true;
        raison = present ? QStringLiteral("La webcam refuse de bloquer l'exposition et le gain "
                                          "automatiques")
                         : QStringLiteral("Cette webcam ne permet pas de bloquer l'exposition et "
                                          "le gain automatiques");
        return false;
    }

private:
    QString peripherique_;
    int fd_ = -1;
    int largeur_ = 0, hauteur_ = 0;
    std::vector<std::uint8_t> tampon_, image_;
    QElapsedTimer horloge_;
};

} // namespace

std::unique_ptr<ISourceCamera> CreerSourceV4l2(const QString& peripherique) {
    return std::make_unique<SourceV4l2>(peripherique);
}

} // namespace kinepo
