#include "platform/GifDecodeur.h"

#include <QFile>
#include <gif_lib.h>
#include <memory>
#include <vector>

namespace kinepo {
namespace {

// A GIF's logical screen can claim 65535 x 65535 pixels; refuse anything a picture form could
// not sensibly hold instead of trying to allocate it.
constexpr qint64 kPixelsMax = 64LL * 1024 * 1024;

struct Fermeture {
    void operator()(GifFileType* g) const {
        int e = 0;
        DGifCloseFile(g, &e);
    }
};
using Gif = std::unique_ptr<GifFileType, Fermeture>;

[[noreturn]] void echec(const QString& chemin, int code) {
    const char* raison = GifErrorString(code);
    throw ErreurGif(QStringLiteral("Fichier GIF illisible : %1 (%2)")
                        .arg(chemin, QString::fromLatin1(raison ? raison : "?"))
                        .toStdString());
}

} // namespace

QImage LireGif(const QString& chemin, const ProgressionGif& progression) {
    auto progres = [&](const QString& etape, int p) {
        if (progression) progression(etape, p);
    };
    progres(QStringLiteral("Lecture"), 0);
    int erreur = 0;
    Gif gif(DGifOpenFileName(QFile::encodeName(chemin).constData(), &erreur));
    if (!gif) echec(chemin, erreur);

    int transparent = -1;
    for (;;) {
        GifRecordType type;
        if (DGifGetRecordType(gif.get(), &type) == GIF_ERROR) echec(chemin, gif->Error);
        if (type == TERMINATE_RECORD_TYPE)
            throw ErreurGif(QStringLiteral("Fichier GIF sans image : %1").arg(chemin).toStdString());
        if (type == EXTENSION_RECORD_TYPE) {
            int code = 0;
            GifByteType* ext = nullptr;
            if (DGifGetExtension(gif.get(), &code, &ext) == GIF_ERROR) echec(chemin, gif->Error);
            if (code == GRAPHICS_EXT_FUNC_CODE && ext && ext[0] >= 4)
                transparent = (ext[1] & 1) ? ext[4] : -1;
            while (ext) {
                if (DGifGetExtensionNext(gif.get(), &ext) == GIF_ERROR) echec(chemin, gif->Error);
            }
            continue;
        }
        if (type != IMAGE_DESC_RECORD_TYPE) continue;

        if (DGifGetImageDesc(gif.get()) == GIF_ERROR) echec(chemin, gif->Error);
        const GifImageDesc& desc = gif->Image;
        const ColorMapObject* palette = desc.ColorMap ? desc.ColorMap : gif->SColorMap;
        if (!palette || desc.Width <= 0 || desc.Height <= 0)
            throw ErreurGif(QStringLiteral("Fichier GIF invalide : %1").arg(chemin).toStdString());
        int largeur = gif->SWidth > 0 ? gif->SWidth : desc.Width;
        int hauteur = gif->SHeight > 0 ? gif->SHeight : desc.Height;
        if (static_cast<qint64>(largeur) * hauteur > kPixelsMax ||
            static_cast<qint64>(desc.Width) * desc.Height > kPixelsMax)
            throw ErreurGif(QStringLiteral("Image GIF trop grande : %1").arg(chemin).toStdString());

        // Transparent and uncovered pixels show the background colour, or white without one.
        QRgb fond = qRgb(255, 255, 255);
        if (gif->SColorMap && gif->SBackGroundColor < gif->SColorMap->ColorCount &&
            gif->SBackGroundColor != transparent) {
            const GifColorType& c = gif->SColorMap->Colors[gif->SBackGroundColor];
            fond = qRgb(c.Red, c.Green, c.Blue);
        }
        QImage image(largeur, hauteur, QImage::Format_RGB32);
        if (image.isNull())
            throw ErreurGif(QStringLiteral("Image GIF trop grande : %1").arg(chemin).toStdString());
        image.fill(fond);

        std::vector<GifPixelType> ligne(static_cast<std::size_t>(desc.Width));
        // Row order: four interlace passes, or top to bottom.
        std::vector<int> ordre;
        ordre.reserve(static_cast<std::size_t>(desc.Height));
        if (desc.Interlace) {
            const int depart[] = {0, 4, 2, 1}, pas[] = {8, 8, 4, 2};
            for (int p = 0; p < 4; ++p)
                for (int y = depart[p]; y < desc.Height; y += pas[p]) ordre.push_back(y);
        } else {
            for (int y = 0; y < desc.Height; ++y) ordre.push_back(y);
        }
        int dernierPourcent = -1;
        for (std::size_t i = 0; i < ordre.size(); ++i) {
            if (DGifGetLine(gif.get(), ligne.data(), desc.Width) == GIF_ERROR)
                echec(chemin, gif->Error);
            const int y = desc.Top + ordre[i];
            if (y >= 0 && y < hauteur) {
                auto* dst = reinterpret_cast<QRgb*>(image.scanLine(y));
                for (int x = 0; x < desc.Width; ++x) {
                    const int xx = desc.Left + x;
                    const int index = ligne[static_cast<std::size_t>(x)];
                    if (xx < 0 || xx >= largeur || index == transparent) continue;
                    if (index < palette->ColorCount) {
                        const GifColorType& c = palette->Colors[index];
                        dst[xx] = qRgb(c.Red, c.Green, c.Blue);
                    } else {
                        dst[xx] = qRgb(0, 0, 0);
                    }
                }
            }
            const int pourcent = static_cast<int>((i + 1) * 100 / ordre.size());
            if (pourcent != dernierPourcent) {
                progres(QStringLiteral("Décodage"), pourcent);
                dernierPourcent = pourcent;
            }
        }
        return image;
    }
}

} // namespace kinepo
