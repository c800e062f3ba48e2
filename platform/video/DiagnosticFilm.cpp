#include "platform/video/DiagnosticFilm.h"

#include <QFileInfo>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace kinepo {

DiagnosticFilm DiagnostiquerFilm(const QString& chemin) {
    DiagnosticFilm d;
    if (!QFileInfo(chemin).isFile()) {
        d.raison = QStringLiteral("fichier introuvable");
        return d;
    }
    AVFormatContext* fmt = nullptr;
    const QByteArray nom = chemin.toUtf8();
    if (avformat_open_input(&fmt, nom.constData(), nullptr, nullptr) < 0) {
        d.raison = QStringLiteral("ce n'est pas un film (format de fichier inconnu)");
        return d;
    }
    d.conteneur = QString::fromUtf8(fmt->iformat->name);
    if (avformat_find_stream_info(fmt, nullptr) < 0) {
        d.raison = QStringLiteral("le contenu du fichier est illisible");
        avformat_close_input(&fmt);
        return d;
    }
    const int flux = av_find_best_stream(fmt, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (flux < 0) {
        d.raison = QStringLiteral("le fichier ne contient pas d'image vidéo");
        avformat_close_input(&fmt);
        return d;
    }
    const AVCodecID id = fmt->streams[flux]->codecpar->codec_id;
    d.codec = QString::fromUtf8(avcodec_get_name(id));
    d.decodeur = avcodec_find_decoder(id) != nullptr;
    d.lisible = true;
    if (!d.decodeur) d.raison = QStringLiteral("aucun décodeur %1 sur cette machine").arg(d.codec);
    avformat_close_input(&fmt);
    return d;
}

} // namespace kinepo
