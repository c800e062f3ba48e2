#include "platform/LectureJpeg.h"

#include <QFile>
#include <QSaveFile>
#include <QtEndian>
#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

#include <jerror.h>
#include <jpeglib.h>
#include <libexif/exif-data.h>

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
    bool finPrematuree;
};

void sortieErreur(j_common_ptr cinfo) {
    auto* g = reinterpret_cast<GestionErreur*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, g->message);
    std::longjmp(g->retour, 1);
}

void sansMessage(j_common_ptr) {}

// Warnings are not shown; the one that says the data stopped early is remembered, because the
// library then fills the rest of the picture with grey and a cut file must not pass for whole.
void noterAvertissement(j_common_ptr cinfo, int niveau) {
    auto* g = reinterpret_cast<GestionErreur*>(cinfo->err);
    if (niveau < 0 && cinfo->err->msg_code == JWRN_JPEG_EOF) g->finPrematuree = true;
}

// Where source pixel (x, y) of a w x h decoded picture lands in the upright picture, for the
// EXIF orientations 1..8 (5..8 swap width and height).
inline void Redresser(int orientation, int w, int h, int x, int y, int& xd, int& yd) {
    switch (orientation) {
    case 2:
        xd = w - 1 - x;
        yd = y;
        break;
    case 3:
        xd = w - 1 - x;
        yd = h - 1 - y;
        break;
    case 4:
        xd = x;
        yd = h - 1 - y;
        break;
    case 5:
        xd = y;
        yd = x;
        break;
    case 6:
        xd = h - 1 - y;
        yd = x;
        break;
    case 7:
        xd = h - 1 - y;
        yd = w - 1 - x;
        break;
    case 8:
        xd = y;
        yd = w - 1 - x;
        break;
    default:
        xd = x;
        yd = y;
        break;
    }
}

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
             int orientation, int& largeur, int& hauteur, Destination* destination, char* message) {
    jpeg_decompress_struct cinfo;
    GestionErreur erreur;
    cinfo.err = jpeg_std_error(&erreur.base);
    erreur.base.error_exit = sortieErreur;
    erreur.base.output_message = sansMessage;
    erreur.base.emit_message = noterAvertissement;
    erreur.message[0] = '\0';
    erreur.finPrematuree = false;
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
    const bool tourne = orientation >= 5 && orientation <= 8;
    if (enTeteSeul) {
        largeur = int(tourne ? cinfo.image_height : cinfo.image_width);
        hauteur = int(tourne ? cinfo.image_width : cinfo.image_height);
        jpeg_destroy_decompress(&cinfo);
        return true;
    }
    cinfo.out_color_space = espace;
    cinfo.scale_num = unsigned(numerateur);
    cinfo.scale_denom = 8;
    jpeg_start_decompress(&cinfo);
    const int w = int(cinfo.output_width), h = int(cinfo.output_height);
    largeur = tourne ? h : w;
    hauteur = tourne ? w : h;
    if (qint64(largeur) * hauteur > kPixelsMax || !destination->preparer(largeur, hauteur)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "image trop grande (%d x %d)", largeur, hauteur);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    if (orientation <= 1 || orientation > 8) {
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW rangee = destination->ligne(int(cinfo.output_scanline));
            jpeg_read_scanlines(&cinfo, &rangee, 1);
        }
    } else {
        // A turned or mirrored photograph: each decoded row is scattered to its upright place,
        // so the picture is held once (a 48-megapixel photo is not doubled to be turned).
        const int n = espace == JCS_EXT_BGRX ? 4 : 3;
        // Buffers from the library's own pool, freed by jpeg_destroy even after a longjmp.
        auto* tampon = static_cast<unsigned char*>((*cinfo.mem->alloc_large)(
            reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE, std::size_t(w) * std::size_t(n)));
        auto* lignes = static_cast<unsigned char**>(
            (*cinfo.mem->alloc_large)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                      std::size_t(hauteur) * sizeof(unsigned char*)));
        for (int yd = 0; yd < hauteur; ++yd)
            lignes[yd] = destination->ligne(yd);
        JSAMPROW rangee = tampon;
        while (cinfo.output_scanline < cinfo.output_height) {
            const int y = int(cinfo.output_scanline);
            jpeg_read_scanlines(&cinfo, &rangee, 1);
            for (int x = 0; x < w; ++x) {
                int xd = 0, yd = 0;
                Redresser(orientation, w, h, x, y, xd, yd);
                std::memcpy(lignes[yd] + std::ptrdiff_t(xd) * n, tampon + std::ptrdiff_t(x) * n,
                            std::size_t(n));
            }
        }
    }
    if (erreur.finPrematuree) {
        std::snprintf(message, JMSG_LENGTH_MAX, "fichier tronqué");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

// The EXIF orientation (1..8) of a JPEG, 1 when it has none. libexif finds the APP1 block
// among the markers before the picture data.
int OrientationExif(const QByteArray& octets) {
    ExifData* donnees = exif_data_new();
    if (!donnees) return 1;
    exif_data_unset_option(donnees, EXIF_DATA_OPTION_FOLLOW_SPECIFICATION);
    exif_data_load_data(donnees, reinterpret_cast<const unsigned char*>(octets.constData()),
                        unsigned(std::min<qsizetype>(octets.size(), 0x7fffffff)));
    int orientation = 1;
    if (ExifEntry* e = exif_data_get_entry(donnees, EXIF_TAG_ORIENTATION);
        e && e->format == EXIF_FORMAT_SHORT && e->components >= 1 && e->data)
        orientation = exif_get_short(e->data, exif_data_get_byte_order(donnees));
    exif_data_unref(donnees);
    return orientation >= 1 && orientation <= 8 ? orientation : 1;
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

// A large picture's memory in large pages where the system grants them on request: the first
// write to each fresh 4 KiB page costs a fault, a third of the decoding time of a 24-megapixel
// photo, and a 2 MiB page takes 512 of them at once. Where the system lacks them nothing changes.
void PagesLarges(uchar* debut, qsizetype taille) {
    const auto page = quintptr(sysconf(_SC_PAGESIZE));
    const auto a = (reinterpret_cast<quintptr>(debut) + page - 1) & ~(page - 1);
    const auto b = (reinterpret_cast<quintptr>(debut) + quintptr(taille)) & ~(page - 1);
    if (b > a + quintptr(8 * 1024 * 1024))
        madvise(reinterpret_cast<void*>(a), b - a, MADV_HUGEPAGE);
}

struct VersImage : Destination {
    QImage image;
    bool preparer(int l, int h) override {
        image = QImage(l, h, QImage::Format_RGB32);
        if (image.isNull()) return false;
        PagesLarges(image.bits(), image.sizeInBytes());
        return true;
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
    if (!decoder(octets, JCS_EXT_BGRX, numerateur, false, OrientationExif(octets), l, h, &d,
                 message))
        echec(chemin, message);
    return std::move(d.image);
}

} // namespace

QSize DimensionsJpeg(const QString& chemin) {
    const QByteArray octets = lireFichier(chemin);
    int l = 0, h = 0;
    char message[JMSG_LENGTH_MAX];
    if (!decoder(octets, JCS_EXT_BGRX, 8, true, OrientationExif(octets), l, h, nullptr, message))
        echec(chemin, message);
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
    if (!decoder(octets, JCS_EXT_BGR, 8, false, OrientationExif(octets), l, h, &d, message))
        echec(chemin, message);
    return std::move(d.octets);
}

namespace {

// The encoding, free of objects with destructors between setjmp and the end (see decoder).
bool encoder(const QImage& image, unsigned char** sortie, unsigned long* taille, char* message) {
    jpeg_compress_struct cinfo;
    GestionErreur erreur;
    cinfo.err = jpeg_std_error(&erreur.base);
    erreur.base.error_exit = sortieErreur;
    erreur.base.output_message = sansMessage;
    erreur.message[0] = '\0';
    jpeg_create_compress(&cinfo);
    if (setjmp(erreur.retour)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", erreur.message);
        jpeg_destroy_compress(&cinfo);
        return false;
    }
    jpeg_mem_dest(&cinfo, sortie, taille);
    cinfo.image_width = JDIMENSION(image.width());
    cinfo.image_height = JDIMENSION(image.height());
    cinfo.input_components = 4;
    cinfo.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW rangee = const_cast<unsigned char*>(image.constScanLine(int(cinfo.next_scanline)));
        jpeg_write_scanlines(&cinfo, &rangee, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

} // namespace

void EcrireJpeg(const QImage& image, const QString& chemin) {
    if (image.isNull())
        throw ErreurJpeg(QStringLiteral("Aucune image à enregistrer").toStdString());
    const QImage bgrx = image.convertToFormat(QImage::Format_RGB32);
    unsigned char* octets = nullptr;
    unsigned long taille = 0;
    char message[JMSG_LENGTH_MAX];
    const bool ok = encoder(bgrx, &octets, &taille, message);
    struct Liberer {
        unsigned char* p;
        ~Liberer() { std::free(p); }
    } liberer{octets};
    if (!ok)
        throw ErreurJpeg(QStringLiteral("Impossible de coder l'image en JPEG : %1")
                             .arg(QString::fromLocal8Bit(message))
                             .toStdString());
    QSaveFile f(chemin);
    if (!f.open(QIODevice::WriteOnly) ||
        f.write(reinterpret_cast<const char*>(octets), qint64(taille)) != qint64(taille) ||
        !f.commit())
        throw ErreurJpeg(
            QStringLiteral("Erreur d'écriture du fichier %1").arg(chemin).toStdString());
}

} // namespace kinepo
