#include "support/FilmSynthetique.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
#include <libavutil/opt.h>
#include <libswscale/swscale.h>
}

#include <QByteArray>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <memory>

namespace kinepo::test {

namespace {

struct Ressources {
    AVFormatContext* sortie = nullptr;
    AVCodecContext* encodeur = nullptr;
    AVFrame* trame = nullptr;
    AVFrame* source = nullptr;
    AVPacket* paquet = nullptr;
    SwsContext* convertisseur = nullptr;
    bool fichierOuvert = false;
    ~Ressources() {
        sws_freeContext(convertisseur);
        av_packet_free(&paquet);
        av_frame_free(&trame);
        av_frame_free(&source);
        avcodec_free_context(&encodeur);
        if (sortie) {
            if (fichierOuvert) avio_closep(&sortie->pb);
            avformat_free_context(sortie);
        }
    }
};

bool Vider(Ressources& r, AVStream* flux, const AVFrame* trame) {
    if (avcodec_send_frame(r.encodeur, trame) < 0) return false;
    for (;;) {
        const int e = avcodec_receive_packet(r.encodeur, r.paquet);
        if (e == AVERROR(EAGAIN) || e == AVERROR_EOF) return true;
        if (e < 0) return false;
        av_packet_rescale_ts(r.paquet, r.encodeur->time_base, flux->time_base);
        r.paquet->stream_index = flux->index;
        if (av_interleaved_write_frame(r.sortie, r.paquet) < 0) return false;
    }
}

constexpr int kCellules = 4; // 4 x 4 cells, one bit each

QRect ZoneCellules(int largeur, int hauteur) {
    const int c = std::max(2, std::min(largeur, hauteur) / 6);
    return QRect((largeur - kCellules * c) / 2, (hauteur - kCellules * c) / 2, kCellules * c,
                 kCellules * c);
}

} // namespace

const char* ExtensionFilm(CodecFilm codec) {
    switch (codec) {
    case CodecFilm::H264Mp4:
        return "mp4";
    case CodecFilm::Mpeg1Mpg:
    case CodecFilm::Mpeg2Mpg:
        return "mpg";
    case CodecFilm::Mpeg4Mov:
    case CodecFilm::RawMov:
        return "mov";
    default:
        return "avi";
    }
}

bool EcrireFilm(const QString& chemin, const ParametresFilm& p,
                const std::function<QImage(int n)>& image, QString* erreur) {
    auto echec = [&](const QString& raison) {
        if (erreur) *erreur = raison;
        return false;
    };
    Ressources r;
    const QByteArray nom = chemin.toUtf8();
    const bool mp4 = p.codec == CodecFilm::H264Mp4;
    const char* extension = ExtensionFilm(p.codec);
    const char* muxer = std::strcmp(extension, "mpg") == 0 ? "mpeg" : extension;
    if (avformat_alloc_output_context2(&r.sortie, nullptr, muxer, nom.constData()) < 0)
        return echec(QStringLiteral("no muxer"));

    const AVCodec* codec = nullptr;
    AVPixelFormat format = AV_PIX_FMT_YUV420P;
    switch (p.codec) {
    case CodecFilm::RawAvi:
        codec = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
        format = AV_PIX_FMT_BGR24;
        break;
    case CodecFilm::MjpegAvi:
        codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
        format = AV_PIX_FMT_YUVJ420P;
        break;
    case CodecFilm::Mpeg4Avi:
        codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        break;
    case CodecFilm::H264Mp4:
        codec = avcodec_find_encoder_by_name("libx264");
        if (!codec) codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        break;
    case CodecFilm::CinepakAvi:
        codec = avcodec_find_encoder(AV_CODEC_ID_CINEPAK);
        format = AV_PIX_FMT_RGB24;
        break;
    case CodecFilm::Msvideo1Avi:
        codec = avcodec_find_encoder(AV_CODEC_ID_MSVIDEO1);
        format = AV_PIX_FMT_RGB555LE;
        break;
    case CodecFilm::Mpeg1Mpg:
        codec = avcodec_find_encoder(AV_CODEC_ID_MPEG1VIDEO);
        break;
    case CodecFilm::Mpeg2Mpg:
        codec = avcodec_find_encoder(AV_CODEC_ID_MPEG2VIDEO);
        break;
    case CodecFilm::Mpeg4Mov:
        codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
        break;
    case CodecFilm::RawMov:
        codec = avcodec_find_encoder(AV_CODEC_ID_RAWVIDEO);
        format = AV_PIX_FMT_RGB24;
        break;
    }
    if (!codec) return echec(QStringLiteral("no encoder"));

    AVStream* flux = avformat_new_stream(r.sortie, nullptr);
    r.encodeur = avcodec_alloc_context3(codec);
    r.trame = av_frame_alloc();
    r.paquet = av_packet_alloc();
    if (!flux || !r.encodeur || !r.trame || !r.paquet) return echec(QStringLiteral("no memory"));

    AVCodecContext* e = r.encodeur;
    e->width = p.largeur;
    e->height = p.hauteur;
    e->pix_fmt = format;
    e->time_base = p.tempsMs.empty() ? AVRational{p.cadenceDen, p.cadenceNum} : AVRational{1, 1000};
    e->framerate = AVRational{p.cadenceNum, p.cadenceDen};
    e->gop_size = std::max(1, p.gop);
    e->max_b_frames = p.imagesB ? 2 : 0;
    if (p.codec == CodecFilm::MjpegAvi || codec->id == AV_CODEC_ID_MPEG4 ||
        codec->id == AV_CODEC_ID_MPEG1VIDEO || codec->id == AV_CODEC_ID_MPEG2VIDEO) {
        e->flags |= AV_CODEC_FLAG_QSCALE;
        e->global_quality = FF_QP2LAMBDA * std::clamp(p.qualite, 1, 31);
    }
    if (codec->id == AV_CODEC_ID_H264) {
        e->keyint_min = e->gop_size;
        av_opt_set(e->priv_data, "preset", "veryfast", 0);
        // Keyframes exactly every gop frames: no scene-cut keyframes, no open GOPs.
        av_opt_set(e->priv_data, "x264-params", "scenecut=0:open-gop=0", 0);
    }
    if (r.sortie->oformat->flags & AVFMT_GLOBALHEADER) e->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (avcodec_open2(e, codec, nullptr) < 0) return echec(QStringLiteral("encoder refused"));
    if (avcodec_parameters_from_context(flux->codecpar, e) < 0)
        return echec(QStringLiteral("encoder parameters"));
    flux->time_base = e->time_base;
    flux->avg_frame_rate = e->framerate;
    if (p.rotation != 0) {
        std::int32_t matrice[9];
        // A matrix set to turn clockwise by the angle: players show the frames turned so.
        av_display_rotation_set(matrice, double(p.rotation));
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(60, 31, 102)
        AVPacketSideData* donnees = av_packet_side_data_new(
            &flux->codecpar->coded_side_data, &flux->codecpar->nb_coded_side_data,
            AV_PKT_DATA_DISPLAYMATRIX, sizeof(matrice), 0);
        if (!donnees) return echec(QStringLiteral("no memory"));
        std::memcpy(donnees->data, matrice, sizeof(matrice));
#else
        std::uint8_t* donnees =
            av_stream_new_side_data(flux, AV_PKT_DATA_DISPLAYMATRIX, sizeof(matrice));
        if (!donnees) return echec(QStringLiteral("no memory"));
        std::memcpy(donnees, matrice, sizeof(matrice));
#endif
    }
    for (const auto& [cle, valeur] : p.metadonnees)
        av_dict_set(&r.sortie->metadata, cle.constData(), valeur.constData(), 0);

    if (avio_open(&r.sortie->pb, nom.constData(), AVIO_FLAG_WRITE) < 0)
        return echec(QStringLiteral("cannot create the file"));
    r.fichierOuvert = true;
    AVDictionary* options = nullptr;
    if (mp4 && p.indexEnTete) av_dict_set(&options, "movflags", "+faststart", AV_DICT_APPEND);
    if (!p.metadonnees.empty())
        av_dict_set(&options, "movflags", "+use_metadata_tags", AV_DICT_APPEND);
    const int entete = avformat_write_header(r.sortie, &options);
    av_dict_free(&options);
    if (entete < 0) return echec(QStringLiteral("cannot write the header"));

    r.trame->format = format;
    r.trame->width = p.largeur;
    r.trame->height = p.hauteur;
    if (av_frame_get_buffer(r.trame, 0) < 0) return echec(QStringLiteral("no memory"));
    r.source = av_frame_alloc();
    if (!r.source) return echec(QStringLiteral("no memory"));
    r.source->format = AV_PIX_FMT_RGB24;
    r.source->width = p.largeur;
    r.source->height = p.hauteur + 1; // one spare line for the over-read
    if (av_frame_get_buffer(r.source, 64) < 0) return echec(QStringLiteral("no memory"));
    r.convertisseur = sws_getContext(p.largeur, p.hauteur, AV_PIX_FMT_RGB24, p.largeur, p.hauteur,
                                     format, SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!r.convertisseur) return echec(QStringLiteral("no converter"));

    for (int n = 0; n < p.images; ++n) {
        QImage source = image(n).convertToFormat(QImage::Format_RGB888);
        if (source.size() != QSize(p.largeur, p.hauteur))
            source = source.scaled(p.largeur, p.hauteur, Qt::IgnoreAspectRatio,
                                   Qt::SmoothTransformation);
        if (av_frame_make_writable(r.trame) < 0) return echec(QStringLiteral("no memory"));
        // swscale's vector code reads a little past the end of its source: copy into a padded
        // frame rather than hand it the picture's own memory.
        for (int y = 0; y < p.hauteur; ++y)
            std::memcpy(r.source->data[0] + std::ptrdiff_t(y) * r.source->linesize[0],
                        source.constScanLine(y), std::size_t(p.largeur) * 3);
        sws_scale(r.convertisseur, r.source->data, r.source->linesize, 0, p.hauteur, r.trame->data,
                  r.trame->linesize);
        r.trame->pts = p.tempsMs.empty() ? n : p.tempsMs[std::size_t(n)];
        if (!Vider(r, flux, r.trame)) return echec(QStringLiteral("encoding failed"));
    }
    if (!Vider(r, flux, nullptr)) return echec(QStringLiteral("encoding failed"));
    if (av_write_trailer(r.sortie) < 0) return echec(QStringLiteral("cannot finish the file"));
    return true;
}

QImage ImageNumerotee(int n, int largeur, int hauteur) {
    QImage image(largeur, hauteur, QImage::Format_RGB888);
    // A moving texture, so that inter-frame codecs have real work to do.
    for (int y = 0; y < hauteur; ++y) {
        uchar* ligne = image.scanLine(y);
        for (int x = 0; x < largeur; ++x) {
            ligne[3 * x] = uchar((x + 3 * n) & 0xFF);
            ligne[3 * x + 1] = uchar((y * 2 + n) & 0xFF);
            ligne[3 * x + 2] = uchar(((x ^ y) + 5 * n) & 0xFF);
        }
    }
    const QRect zone = ZoneCellules(largeur, hauteur);
    const int c = zone.width() / kCellules;
    QPainter peintre(&image);
    for (int bit = 0; bit < kCellules * kCellules; ++bit) {
        const QRect cellule(zone.left() + (bit % kCellules) * c, zone.top() + (bit / kCellules) * c,
                            c, c);
        peintre.fillRect(cellule, ((n >> bit) & 1) ? Qt::white : Qt::black);
    }
    return image;
}

int LireNumero(const QImage& image) {
    if (image.isNull()) return -1;
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    const QRect zone = ZoneCellules(rgb.width(), rgb.height());
    const int c = zone.width() / kCellules;
    int n = 0;
    for (int bit = 0; bit < kCellules * kCellules; ++bit) {
        const int x0 = zone.left() + (bit % kCellules) * c, y0 = zone.top() + (bit / kCellules) * c;
        long somme = 0, compte = 0;
        for (int y = y0 + c / 4; y < y0 + c - c / 4; ++y) {
            const uchar* ligne = rgb.constScanLine(y);
            for (int x = x0 + c / 4; x < x0 + c - c / 4; ++x) {
                somme += ligne[3 * x] + ligne[3 * x + 1] + ligne[3 * x + 2];
                compte += 3;
            }
        }
        const long moyenne = compte ? somme / compte : 128;
        if (moyenne > 64 && moyenne < 192) return -1;
        if (moyenne >= 192) n |= 1 << bit;
    }
    return n;
}

} // namespace kinepo::test
