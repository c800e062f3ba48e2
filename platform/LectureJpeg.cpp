#include "platform/LectureJpeg.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jerror.h>
#include <jpeglib.h>

namespace kinepo {
namespace {

// Larger pictures than this are refused rather than allocated.
constexpr qint64 kPixelsMax = 200LL * 1024 * 1024;
// What the decoder itself may allocate. A progressive or multi-scan picture keeps every
// coefficient of the whole picture (2 bytes per sample), which a header of a few bytes can make
// gigabytes; past this the decoder stops with an error instead (a 50-megapixel photograph
// needs about 150 MB).
constexpr long kMemoireDecodeurMax = 512L * 1024 * 1024;

struct GestionErreur {
    jpeg_error_mgr base;
    std::jmp_buf retour;
    char message[JMSG_LENGTH_MAX];
};

void sortieErreur(j_common_ptr cinfo) {
    auto* g = reinterpret_cast<GestionErreur*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, g->message);
    std::longjmp(g->retour, 1);
}

void sansMessage(j_common_ptr) {}

// Where decoded rows go: the caller gets the picture size (after scaling) and hands back the
// address and stride of row 0 and the step from one row to the next (negative for bottom-up).
struct Destination {
    virtual ~Destination() = default;
    // False refuses the size (too large); the decoding then stops with an error.
    virtual bool preparer(int largeur, int hauteur) = 0;
    virtual unsigned char* ligne(int y) = 0;
};

// The decoding itself, kept free of objects with destructors between setjmp and the end, so
// that a longjmp from the library skips nothing.
bool decoder(const QByteArray& octets, J_COLOR_SPACE espace, int numerateur, bool enTeteSeul,
             int& largeur, int& hauteur, Destination* destination, char* message) {
    jpeg_decompress_struct cinfo;
    GestionErreur erreur;
    cinfo.err = jpeg_std_error(&erreur.base);
    erreur.base.error_exit = sortieErreur;
    erreur.base.output_message = sansMessage;
    erreur.message[0] = '\0';
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = kMemoireDecodeurMax;
    if (setjmp(erreur.retour)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", erreur.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(octets.constData()),
                 static_cast<unsigned long>(octets.size()));
    jpeg_read_header(&cinfo, TRUE);
    if (enTeteSeul) {
        largeur = int(cinfo.image_width);
        hauteur = int(cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    cinfo.out_color_space = espace;
    cinfo.scale_num = unsigned(numerateur);
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    largeur = int(cinfo.output_width);
    hauteur = int(cinfo.output_height);
    if (qint64(largeur) * hauteur > kPixelsMax || !destination->preparer(largeur, hauteur)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "image trop grande (%d x %d)", largeur, hauteur);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rangee = destination->ligne(int(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &rangee, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

QByteArray lireFichier(const QString& chemin) {
    QFile f(chemin);
    if (!f.open(QIODevice::ReadOnly))
        throw ErreurJpeg(
            QStringLiteral("Impossible d'ouvrir le fichier %1").arg(chemin).toStdString());
    QByteArray octets = f.readAll();
    if (octets.isEmpty())
        throw ErreurJpeg(QStringLiteral("Fichier JPEG vide : %1").arg(chemin).toStdString());
    return octets;
}

[[noreturn]] void echec(const QString& chemin, const char* message) {
    throw ErreurJpeg(QStringLiteral("Fichier JPEG illisible : %1 (%2)")
                         .arg(chemin, QString::fromLocal8Bit(message))
                         .toStdString());
}

struct VersImage : Destination {
    QImage image;
    bool preparer(int l, int h) override {
        image = QImage(l, h, QImage::Format_RGB32);
        return !image.isNull();
    }
    unsigned char* ligne(int y) override { return image.scanLine(y); }
};

struct VersBmp : Destination {
    QByteArray octets;
    int pas = 0, hauteur = 0;
    bool preparer(int l, int h) override {
        pas = (3 * l + 3) & ~3;
        hauteur = h;
        const qint64 taille = 54 + qint64(pas) * h;
        if (taille > 0x7fffffffLL) return false;
        octets = QByteArray(qsizetype(taille), '\0');
        auto* d = reinterpret_cast<uchar*>(octets.data());
        d[0] = 'B';
        d[1] = 'M';
        qToLittleEndian(quint32(taille), d + 2);
        qToLittleEndian(quint32(54), d + 10);
        qToLittleEndian(quint32(40), d + 14);
        qToLittleEndian(quint32(l), d + 18);
        qToLittleEndian(quint32(h), d + 22);
        qToLittleEndian(quint16(1), d + 26);
        qToLittleEndian(quint16(24), d + 28);
        qToLittleEndian(quint32(taille - 54), d + 34);
        qToLittleEndian(quint32(2835), d + 38);
        qToLittleEndian(quint32(2835), d + 42);
        return true;
    }
    unsigned char* ligne(int y) override {
        return reinterpret_cast<uchar*>(octets.data()) + 54 + qsizetype(hauteur - 1 - y) * pas;
    }
};

QImage decoderImage(const QString& chemin, int numerateur) {
    const QByteArray octets = lireFichier(chemin);
    VersImage d;
    int l = 0, h = 0;
    char message[JMSG_LENGTH_MAX];
    if (!decoder(octets, JCS_EXT_BGRX, numerateur, false, l, h, &d, message))
        echec(chemin, message);
    return std::move(d.image);
}

} // namespace

QSize DimensionsJpeg(const QString& chemin) {
    const QByteArray octets = lireFichier(chemin);
    int l = 0, h = 0;
    char message[JMSG_LENGTH_MAX];
    if (!decoder(octets, JCS_EXT_BGRX, 8, true, l, h, nullptr, message)) echec(chemin, message);
    return {l, h};
}

QImage LireJpeg(const QString& chemin) {
    return decoderImage(chemin, 8);
}

QImage LireJpegReduit(const QString& chemin, QSize taille) {
    const QSize propre = DimensionsJpeg(chemin);
    if (taille.isEmpty() || taille.width() >= propre.width() || taille.height() >= propre.height())
        return decoderImage(chemin, 8);
    // The decoder gives ceil(size * M / 8); take the smallest M that is still large enough.
    int m = 1;
    while (m < 8 && ((qint64(propre.width()) * m + 7) / 8 < taille.width() ||
                     (qint64(propre.height()) * m + 7) / 8 < taille.height()))
        ++m;
    QImage image = decoderImage(chemin, m);
    if (image.size() != taille)
        image = image.scaled(taille, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                    .convertToFormat(QImage::Format_RGB32);
    return image;
}

QByteArray JpegVersBmp24(const QString& chemin) {
    const QByteArray octets = lireFichier(chemin);
    VersBmp d;
    int l = 0, h = 0;
    char message[JMSG_LENGTH_MAX];
    if (!decoder(octets, JCS_EXT_BGR, 8, false, l, h, &d, message)) echec(chemin, message);
    return std::move(d.octets);
}

} // namespace kinepo
