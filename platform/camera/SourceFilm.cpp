// A film played as a camera: each read decodes the next frame. The luma plane is what a YUV
// camera would give: the film's own Y plane when the film is 8-bit planar YUV of limited
// range; full-range YUV has its luma scaled to 16 … 235; any other layout is converted to RGB
// by swscale and its BT.601 luma computed here (swscale's own RGB to YUV path rounds white
// to 234).
#include "platform/camera/SourceCamera.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <cstring>

namespace kinepo {
namespace {

// The formats whose plane 0 is already an 8-bit luma plane of limited range (unless the
// frame says it is full range).
bool LumaPropre(int format) {
    switch (format) {
    case AV_PIX_FMT_YUV420P:
    case AV_PIX_FMT_YUV422P:
    case AV_PIX_FMT_YUV444P:
    case AV_PIX_FMT_YUV411P:
    case AV_PIX_FMT_YUV410P:
    case AV_PIX_FMT_YUV440P:
    case AV_PIX_FMT_NV12:
    case AV_PIX_FMT_NV21:
        return true;
    default:
        return false;
    }
}

// The "J" formats are the same layouts at full range.
AVPixelFormat SansJ(AVPixelFormat f, bool& pleine) {
    switch (f) {
    case AV_PIX_FMT_YUVJ420P:
        pleine = true;
        return AV_PIX_FMT_YUV420P;
    case AV_PIX_FMT_YUVJ422P:
        pleine = true;
        return AV_PIX_FMT_YUV422P;
    case AV_PIX_FMT_YUVJ444P:
        pleine = true;
        return AV_PIX_FMT_YUV444P;
    case AV_PIX_FMT_YUVJ440P:
        pleine = true;
        return AV_PIX_FMT_YUV440P;
    case AV_PIX_FMT_YUVJ411P:
        pleine = true;
        return AV_PIX_FMT_YUV411P;
    default:
        return f;
    }
}

class SourceFilm final : public ISourceCamera {
public:
    SourceFilm(QString chemin, bool boucle) : chemin_(std::move(chemin)), boucle_(boucle) {}
    ~SourceFilm() override { Fermer(); }

    QString Nom() const override { return chemin_; }

    void Ouvrir() override {
        Fermer();
        const QByteArray c = chemin_.toLocal8Bit();
        if (avformat_open_input(&format_, c.constData(), nullptr, nullptr) < 0) {
            format_ = nullptr;
            throw ErreurCamera(QStringLiteral("Film illisible : %1").arg(chemin_));
        }
        if (avformat_find_stream_info(format_, nullptr) < 0) Echec("Film illisible : %1");
        const AVCodec* codec = nullptr;
        flux_ = av_find_best_stream(format_, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
        if (flux_ < 0 || !codec) Echec("Pas d'image dans le film : %1");
        decodeur_ = avcodec_alloc_context3(codec);
        if (!decodeur_ ||
            avcodec_parameters_to_context(decodeur_, format_->streams[flux_]->codecpar) < 0 ||
            avcodec_open2(decodeur_, codec, nullptr) < 0)
            Echec("Film illisible : %1");
        image_ = av_frame_alloc();
        paquet_ = av_packet_alloc();
        largeur_ = decodeur_->width;
        hauteur_ = decodeur_->height;
        if (largeur_ <= 0 || hauteur_ <= 0) Echec("Film illisible : %1");
        // The first frame is decoded now, so a film without a decodable frame fails to open.
        QString raison;
        premiere_ = true;
        if (Decoder(raison) != EtatLecture::Image) Echec("Pas d'image lisible dans le film : %1");
        enAvance_ = true;
    }

    void Fermer() override {
        sws_freeContext(versRgb_);
        versRgb_ = nullptr;
        av_frame_free(&image_);
        av_packet_free(&paquet_);
        avcodec_free_context(&decodeur_);
        if (format_) avformat_close_input(&format_);
        format_ = nullptr;
    }

    QSize Taille() const override { return {largeur_, hauteur_}; }

    EtatLecture Lire(const std::function<void(const ImageCamera&)>& recevoir, QString& raison,
                     int) override {
        if (!format_) {
            raison = QStringLiteral("La webcam n'est pas connectée");
            return EtatLecture::Panne;
        }
        if (!enAvance_) {
            EtatLecture e = Decoder(raison);
            if (e == EtatLecture::Fin && boucle_) {
                decalageS_ = derniereS_ + periodeS_;
                av_seek_frame(format_, flux_, 0, AVSEEK_FLAG_BACKWARD);
                avcodec_flush_buffers(decodeur_);
                fini_ = false;
                premiere_ = true;
                e = Decoder(raison);
            }
            if (e != EtatLecture::Image) return e;
        }
        enAvance_ = false;
        ImageCamera image;
        image.largeur = largeur_;
        image.hauteur = hauteur_;
        image.luma = luma_.data();
        image.tempsS = derniereS_;
        image.couleur = [this] { return Couleur(); };
        recevoir(image);
        return EtatLecture::Image;
    }

private:
    [[noreturn]] void Echec(const char* message) {
        Fermer();
        throw ErreurCamera(QString::fromUtf8(message).arg(chemin_));
    }

    // Decodes the next frame into the luma plane.
    EtatLecture Decoder(QString& raison) {
        for (;;) {
            const int r = avcodec_receive_frame(decodeur_, image_);
            if (r == 0) {
                if (image_->width != largeur_ || image_->height != hauteur_) {
                    av_frame_unref(image_);
                    continue; // a frame of another size cannot follow the announced format
                }
                Extraire();
                return EtatLecture::Image;
            }
            if (r == AVERROR_EOF) return EtatLecture::Fin;
            if (r != AVERROR(EAGAIN)) {
                raison = QStringLiteral("Film illisible : %1").arg(chemin_);
                return EtatLecture::Panne;
            }
            if (fini_) return EtatLecture::Fin;
            const int l = av_read_frame(format_, paquet_);
            if (l < 0) {
                fini_ = true;
                avcodec_send_packet(decodeur_, nullptr);
                continue;
            }
            if (paquet_->stream_index == flux_) avcodec_send_packet(decodeur_, paquet_);
            av_packet_unref(paquet_);
        }
    }

    void Extraire() {
        const AVRational base = format_->streams[flux_]->time_base;
        const std::int64_t pts = image_->best_effort_timestamp;
        const double t = pts == AV_NOPTS_VALUE ? derniereS_ + periodeS_ : pts * av_q2d(base);
        if (premiere_) {
            origineS_ = t;
            premiere_ = false;
        }
        const double s = decalageS_ + (t - origineS_);
        if (s > derniereS_) periodeS_ = s - derniereS_;
        derniereS_ = s;

        const std::size_t w = std::size_t(largeur_), h = std::size_t(hauteur_);
        luma_.resize(w * h);
        rgb_ = QImage();
        bool pleine = image_->color_range == AVCOL_RANGE_JPEG;
        const AVPixelFormat f = SansJ(AVPixelFormat(image_->format), pleine);
        if (LumaPropre(f)) {
            // Full range is brought to limited range by the luma scale alone.
            for (std::size_t y = 0; y < h; ++y) {
                const std::uint8_t* l = image_->data[0] + std::ptrdiff_t(y) * image_->linesize[0];
                std::uint8_t* d = luma_.data() + y * w;
                if (!pleine)
                    std::memcpy(d, l, w);
                else
                    for (std::size_t x = 0; x < w; ++x)
                        d[x] = std::uint8_t((16 * 255 + 219 * l[x] + 127) / 255);
            }
            return;
        }
        // Any other layout goes through RGB, then the BT.601 limited-range luma.
        rgb_ = Couleur();
        for (std::size_t y = 0; y < h; ++y) {
            const std::uint8_t* l = rgb_.constScanLine(int(y));
            std::uint8_t* d = luma_.data() + y * w;
            for (std::size_t x = 0; x < w; ++x) {
                const double v =
                    16 +
                    (65.481 * l[3 * x] + 128.553 * l[3 * x + 1] + 24.966 * l[3 * x + 2]) / 255.0;
                d[x] = std::uint8_t(std::lround(v));
            }
        }
    }

    QImage Couleur() {
        if (!rgb_.isNull()) return rgb_;
        bool pleine = image_->color_range == AVCOL_RANGE_JPEG;
        const AVPixelFormat f = SansJ(AVPixelFormat(image_->format), pleine);
        versRgb_ = sws_getCachedContext(versRgb_, largeur_, hauteur_, f, largeur_, hauteur_,
                                        AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!versRgb_) return CouleurLuma(luma_.data(), largeur_, hauteur_);
        sws_setColorspaceDetails(versRgb_, sws_getCoefficients(SWS_CS_ITU601), pleine ? 1 : 0,
                                 sws_getCoefficients(SWS_CS_ITU601), 1, 0, 1 << 16, 1 << 16);
        QImage q(largeur_, hauteur_, QImage::Format_RGB888);
        std::uint8_t* plans[4] = {q.bits(), nullptr, nullptr, nullptr};
        int pas[4] = {int(q.bytesPerLine()), 0, 0, 0};
        sws_scale(versRgb_, image_->data, image_->linesize, 0, hauteur_, plans, pas);
        return q;
    }

    QString chemin_;
    bool boucle_;
    AVFormatContext* format_ = nullptr;
    AVCodecContext* decodeur_ = nullptr;
    AVFrame* image_ = nullptr;
    AVPacket* paquet_ = nullptr;
    SwsContext* versRgb_ = nullptr;
    int flux_ = -1;
    int largeur_ = 0, hauteur_ = 0;
    bool fini_ = false, premiere_ = true, enAvance_ = false;
    double origineS_ = 0, decalageS_ = 0, derniereS_ = 0, periodeS_ = 0.04;
    std::vector<std::uint8_t> luma_;
    QImage rgb_; // the frame in RGB when its luma was made from it
};

} // namespace

std::unique_ptr<ISourceCamera> CreerSourceFilm(const QString& chemin, bool boucle) {
    return std::make_unique<SourceFilm>(chemin, boucle);
}

} // namespace kinepo
