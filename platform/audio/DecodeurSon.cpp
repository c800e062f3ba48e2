#include "platform/audio/DecodeurSon.h"
#include "platform/LimiteFfmpeg.h"

#include <QFile>
#include <algorithm>
#include <mutex>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

namespace kinepo {

namespace {

// The containers a teacher's sounds come in. Anything else (pictures, films FFmpeg would
// guess from a few bytes, playlists) is not a sound for this form.
constexpr const char* kConteneurs = "wav,w64,mov,mp3,ogg,flac,aac,matroska,aiff,caf,amr";
// More channels than any recording has (22.2 sound has 24): a header saying more is damaged, and
// decoding it would cost seconds and hundreds of megabytes for a file of a few bytes.
constexpr int kVoiesMax = 64;

void ConfigurerJournal() {
    static std::once_flag fait;
    std::call_once(fait, [] {
        // Odd and broken files are expected input; FFmpeg's complaints would only flood stderr.
        if (qEnvironmentVariableIsEmpty("KINEPO_FFMPEG_LOG")) av_log_set_level(AV_LOG_FATAL);
    });
}

bool EstFlottant(int format) {
    switch (format) {
    case AV_SAMPLE_FMT_FLT:
    case AV_SAMPLE_FMT_FLTP:
    case AV_SAMPLE_FMT_DBL:
    case AV_SAMPLE_FMT_DBLP:
        return true;
    default:
        return false;
    }
}

} // namespace

struct DecodeurSon::Impl {
    AVFormatContext* conteneur = nullptr;
    AVCodecContext* codec = nullptr;
    SwrContext* conversion = nullptr;
    AVPacket* paquet = nullptr;
    AVFrame* trame = nullptr;
    int flux = -1;
    std::uint32_t frequence = 0;
    int voies = 0;
    bool flottant = false;
    bool typeConnu = false; // whether `flottant` comes from the stream or its first frame
    std::int64_t annoncees = -1;
    bool finEntree = false;
    // The format the conversion was set up for (a decoder may change it between frames).
    int formatEntree = -1;
    std::vector<std::int32_t> entiers;
    std::vector<double> reels;

    ~Impl() {
        swr_free(&conversion);
        av_frame_free(&trame);
        av_packet_free(&paquet);
        avcodec_free_context(&codec);
        avformat_close_input(&conteneur);
    }

    // Interleaved output of the stream's own layout and rate: only the sample format changes
    // (planar to packed, and every integer width to left-aligned 32 bits).
    bool preparerConversion(AVFrame* t) {
        swr_free(&conversion);
        formatEntree = -1;
        const AVSampleFormat sortie = flottant ? AV_SAMPLE_FMT_DBL : AV_SAMPLE_FMT_S32;
        const int taux = int(frequence);
        if (swr_alloc_set_opts2(&conversion, &t->ch_layout, sortie, taux, &t->ch_layout,
                                AVSampleFormat(t->format), taux, 0, nullptr) < 0 ||
            swr_init(conversion) < 0) {
            swr_free(&conversion);
            return false;
        }
        formatEntree = t->format;
        return true;
    }

    // Converts the decoded frame; the number of frames it gave (0: nothing usable).
    int convertir() {
        if (trame->nb_samples <= 0) return 0;
        // A stream whose channel count changes midway ends there for this form.
        if (trame->ch_layout.nb_channels != voies) return -1;
        if (!typeConnu) {
            flottant = EstFlottant(trame->format);
            typeConnu = true;
        }
        if (trame->format != formatEntree && !preparerConversion(trame)) return -1;
        const std::size_t taille = std::size_t(trame->nb_samples) * std::size_t(voies);
        std::uint8_t* sortie;
        if (flottant) {
            if (reels.size() < taille) reels.resize(taille);
            sortie = reinterpret_cast<std::uint8_t*>(reels.data());
        } else {
            if (entiers.size() < taille) entiers.resize(taille);
            sortie = reinterpret_cast<std::uint8_t*>(entiers.data());
        }
        const int n =
            swr_convert(conversion, &sortie, trame->nb_samples,
                        const_cast<const std::uint8_t**>(trame->extended_data), trame->nb_samples);
        return std::max(n, 0);
    }
};

DecodeurSon::DecodeurSon() = default;
DecodeurSon::~DecodeurSon() = default;

bool DecodeurSon::Ouvrir(const QString& chemin) {
    ConfigurerJournal();
    d_ = std::make_unique<Impl>();
    Impl& d = *d_;
    AVDictionary* options = nullptr;
    av_dict_set(&options, "format_whitelist", kConteneurs, 0);
    av_dict_set(&options, "protocol_whitelist", "file", 0);
    // The "file:" prefix keeps a name such as "concat:..." or "a:b.wav" a plain file name.
    const QByteArray adresse = QByteArrayLiteral("file:") + QFile::encodeName(chemin);
    LimiterAllocationsFfmpeg();
    const int ouvert = avformat_open_input(&d.conteneur, adresse.constData(), nullptr, &options);
    av_dict_free(&options);
    if (ouvert < 0) {
        d_.reset();
        return false;
    }
    const AVCodec* decodeur = nullptr;
    if (avformat_find_stream_info(d.conteneur, nullptr) < 0 ||
        (d.flux = av_find_best_stream(d.conteneur, AVMEDIA_TYPE_AUDIO, -1, -1, &decodeur, 0)) < 0 ||
        !decodeur) {
        d_.reset();
        return false;
    }
    AVStream* s = d.conteneur->streams[d.flux];
    d.codec = avcodec_alloc_context3(decodeur);
    if (!d.codec || avcodec_parameters_to_context(d.codec, s->codecpar) < 0 ||
        avcodec_open2(d.codec, decodeur, nullptr) < 0 || d.codec->sample_rate <= 0 ||
        d.codec->ch_layout.nb_channels <= 0 || d.codec->ch_layout.nb_channels > kVoiesMax) {
        d_.reset();
        return false;
    }
    d.frequence = std::uint32_t(d.codec->sample_rate);
    d.voies = d.codec->ch_layout.nb_channels;
    // Most decoders say their sample format when they open; the others say it with their first
    // frame.
    const int format = s->codecpar->format >= 0 ? s->codecpar->format : d.codec->sample_fmt;
    d.typeConnu = format >= 0;
    d.flottant = EstFlottant(format);
    if (s->duration != AV_NOPTS_VALUE && s->duration > 0)
        d.annoncees = av_rescale_q(s->duration, s->time_base, AVRational{1, d.codec->sample_rate});
    else if (d.conteneur->duration != AV_NOPTS_VALUE && d.conteneur->duration > 0)
        d.annoncees = av_rescale(d.conteneur->duration, d.codec->sample_rate, AV_TIME_BASE);
    d.paquet = av_packet_alloc();
    d.trame = av_frame_alloc();
    if (!d.paquet || !d.trame) {
        d_.reset();
        return false;
    }
    return true;
}

std::uint32_t DecodeurSon::Frequence() const {
    return d_ ? d_->frequence : 0;
}
int DecodeurSon::Voies() const {
    return d_ ? d_->voies : 0;
}
bool DecodeurSon::Flottant() const {
    return d_ && d_->flottant;
}
std::int64_t DecodeurSon::TramesAnnoncees() const {
    return d_ ? d_->annoncees : -1;
}
const std::int32_t* DecodeurSon::Entiers() const {
    return d_ ? d_->entiers.data() : nullptr;
}
const double* DecodeurSon::Reels() const {
    return d_ ? d_->reels.data() : nullptr;
}

int DecodeurSon::Suivant() {
    if (!d_) return 0;
    Impl& d = *d_;
    for (;;) {
        const int recu = avcodec_receive_frame(d.codec, d.trame);
        if (recu == 0) {
            const int n = d.convertir();
            av_frame_unref(d.trame);
            if (n < 0) return 0;
            if (n > 0) return n;
            continue;
        }
        if (recu == AVERROR_EOF) return 0;
        // The decoder wants input (or refused a frame it could not decode).
        if (d.finEntree) return 0;
        if (av_read_frame(d.conteneur, d.paquet) < 0) {
            avcodec_send_packet(d.codec, nullptr); // drains what the decoder still holds
            d.finEntree = true;
            continue;
        }
        if (d.paquet->stream_index == d.flux) avcodec_send_packet(d.codec, d.paquet);
        av_packet_unref(d.paquet);
    }
}

} // namespace kinepo
