#pragma once
// Photographs as cameras write them: a JPEG with an EXIF block carrying an orientation.
#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageWriter>
#include <cstdlib>
#include <gtest/gtest.h>
#include <libexif/exif-data.h>

namespace kinepo::test {

// The JPEG of the picture with an EXIF block carrying `orientation`, right after the SOI
// marker, as a camera writes it.
inline QByteArray JpegOriente(const QImage& image, int orientation) {
    QByteArray jpeg;
    QBuffer b(&jpeg);
    b.open(QIODevice::WriteOnly);
    QImageWriter w(&b, "jpeg");
    w.setQuality(95);
    EXPECT_TRUE(w.write(image));
    ExifData* ed = exif_data_new();
    exif_data_set_byte_order(ed, EXIF_BYTE_ORDER_INTEL);
    ExifEntry* e = exif_entry_new();
    exif_content_add_entry(ed->ifd[EXIF_IFD_0], e);
    exif_entry_initialize(e, EXIF_TAG_ORIENTATION);
    exif_set_short(e->data, EXIF_BYTE_ORDER_INTEL, ExifShort(orientation));
    exif_entry_unref(e);
    unsigned char* donnees = nullptr;
    unsigned int taille = 0;
    exif_data_save_data(ed, &donnees, &taille);
    exif_data_unref(ed);
    QByteArray app1("\xFF\xE1", 2);
    app1.append(char((taille + 2) >> 8)).append(char((taille + 2) & 0xFF));
    app1.append(reinterpret_cast<const char*>(donnees), int(taille));
    std::free(donnees);
    return jpeg.left(2) + app1 + jpeg.mid(2);
}

} // namespace kinepo::test
