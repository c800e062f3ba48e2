#pragma once
// Scanners and cameras that deliver still pictures: the platform's acquisition interface (on
// this platform, SANE). A source is named by its device name ("test:0", "epson2:libusb:...").
#include <QImage>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <stdexcept>
#include <vector>

namespace kinepo {

// An acquisition that failed; what() is a French message.
class ErreurNumeriseur : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    QString message() const { return QString::fromUtf8(what()); }
};

struct SourceNumeriseur {
    QString nom;     // the device name, kept in the settings
    QString libelle; // vendor and model, as shown to the user
};

// The main options of a source, with their ranges and current values. Absent options have an
// empty list or a zero range.
struct OptionsNumeriseur {
    QStringList modes; // "Color", "Gray", "Lineart", ...
    QString mode;
    int resolutionMin = 0, resolutionMax = 0; // dots per inch
    std::vector<int> resolutions;             // when the source offers a list rather than a range
    int resolution = 0;
    QRectF zoneMax; // millimetres from the top-left corner of the glass; empty when fixed
    QRectF zone;
};

// What an acquisition asks for (values outside the source's ranges are brought into them).
struct ReglagesNumeriseur {
    QString mode;
    int resolution = 0;
    QRectF zone; // millimetres; empty: the whole area
};

class INumeriseur {
public:
    virtual ~INumeriseur() = default;
    // The sources present now (may take a few seconds while devices are probed). Never throws:
    // no scanner interface gives an empty list.
    virtual std::vector<SourceNumeriseur> Sources() = 0;
    // The source's main options. Throws ErreurNumeriseur when it cannot be opened.
    virtual OptionsNumeriseur Options(const QString& source) = 0;
    // Scans one picture with these settings, as Format_RGB32 (grey and line-art pictures
    // become grey RGB). Throws ErreurNumeriseur.
    virtual QImage Acquerir(const QString& source, const ReglagesNumeriseur& reglages) = 0;
};

// The acquisition interface: the one installed, else the SANE back-end.
INumeriseur& Numeriseur();
// Installs another (tests: a fake); nullptr goes back to SANE. Returns the previous one.
INumeriseur* InstallerNumeriseur(INumeriseur* n);

} // namespace kinepo
