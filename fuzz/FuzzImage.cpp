// libFuzzer targets of the picture readers, one binary per format (KINEPO_FUZZ_FORMAT picks
// it at compile time): BMP (LireBmp), GIF (the decoder of ConvertirGifEnBmp), JPEG (its
// opening: size, whole and reduced decoding) and PNG (the forms' picture opening). Any bytes
// give a picture or the reader's own error; never a read outside the file.
#include "FichierFuzz.h"

#include "common/BmpFile.h"
#include "platform/LectureImage.h"
#include "platform/GifDecodeur.h"
#include "platform/LectureJpeg.h"

#include <QImage>

using namespace kinepo;

namespace {

// A picture handed back must be whole: a size, and every line readable.
void VerifierImage(const QImage& image) {
    if (image.isNull()) return;
    fuzz::Exiger(image.width() > 0 && image.height() > 0);
    volatile int somme = 0;
    for (int y : {0, image.height() - 1})
        somme = somme + image.constScanLine(y)[image.bytesPerLine() - 1];
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* donnees, std::size_t taille) {
#if KINEPO_FUZZ_FORMAT == 1
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.bmp"));
    VerifierImage(LireBmp(chemin));
#elif KINEPO_FUZZ_FORMAT == 2
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.gif"));
    try {
        VerifierImage(LireGif(chemin));
    } catch (const ErreurGif&) {
    }
#elif KINEPO_FUZZ_FORMAT == 3
    const QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.jpg"));
    try {
        const QSize tailleImage = DimensionsJpeg(chemin);
        VerifierImage(LireJpeg(chemin));
        if (tailleImage.isValid())
            VerifierImage(LireJpegReduit(chemin, tailleImage / 4 + QSize(1, 1)));
        const QByteArray bmp = JpegVersBmp24(chemin);
        fuzz::Exiger(bmp.size() >= 54);
    } catch (const ErreurJpeg&) {
    }
#elif KINEPO_FUZZ_FORMAT == 4
    QString chemin = fuzz::EcrireEntree(donnees, taille, QStringLiteral("entree.png"));
    try {
        VerifierImage(LireImageFichier(chemin, false));
    } catch (const ErreurLectureImage&) {
    }
#else
#error "KINEPO_FUZZ_FORMAT: 1 BMP, 2 GIF, 3 JPEG, 4 PNG"
#endif
    return 0;
}
