#pragma once
// The capture control both webcam forms hold: connection to a frame source, the driver's
// format, a live preview, captures into memory at a chosen rate with one call per frame, and
// the current frame as a picture. Everything runs on the user-interface thread: timers read
// the source and call the handlers one at a time. Without widgets; the window that shows the
// preview and the source dialog is platform/camera/ui/TtsCap32.h.
#include "platform/camera/SourceCamera.h"

#include <QImage>
#include <functional>
#include <memory>

class QTimer;

namespace kinepo {

class CaptureCamera;

enum class OrdreCapture { start, stop };
enum class TechniqueCapture { ctManualIntoMem };

// The capture parameters of the control, named as its forms know them.
class TtsCap32Parameter {
public:
    // Frame size of the source's current format (0 when not connected).
    int ImageWidth() const;
    int ImageHeight() const;
    // Live preview on or off (frames at the preview rate, outside a capture).
    void SetPreview(bool actif);
    bool Preview() const { return apercu_; }
    // Stores 1000000 / fps microseconds per frame (fps > 0 only); reads 1000000 / that, or −1
    // while it was never set.
    void SetCaptureRate_fps(double fps);
    double CaptureRate_fps() const;
    // Stores 1000 / fps milliseconds per frame (fps > 0 only).
    void SetPreviewRate_fps(double fps);
    double PreviewRate_fps() const { return 1000.0 / msParApercu_; }
    // Opens the source's settings dialog; not connected, throws ErreurCamera "Driver dialogs
    // can be called only if component is connected".
    void SetDlgSource(bool ouvrir);
    TechniqueCapture CapTechnique = TechniqueCapture::ctManualIntoMem;

private:
    friend class CaptureCamera;
    explicit TtsCap32Parameter(CaptureCamera& c) : c_(c) {}
    CaptureCamera& c_;
    bool apercu_ = false;
    long usParImage_ = -1;
    int msParApercu_ = 500;
};

class CaptureCamera {
public:
    CaptureCamera();
    virtual ~CaptureCamera();
    CaptureCamera(const CaptureCamera&) = delete;
    CaptureCamera& operator=(const CaptureCamera&) = delete;

    int Driver = 0; // the forms always use the first driver

    // Connecting makes the source (CreerSourceCamera) and opens it; errors throw ErreurCamera
    // and leave the control disconnected. OnConnected follows every change.
    bool Connected() const { return source_ != nullptr; }
    void SetConnected(bool connecte);

    std::function<void(bool connecte)> OnConnected;
    // Every frame delivered: at the capture rate from CapOrder start to stop, and at the
    // preview rate while only the preview runs. The frame is valid during the call only.
    std::function<void(const ImageCamera&)> OnFrame;
    // The source failed or ended: the capture is stopped, the control disconnected, then this
    // is called with the reason.
    std::function<void(const QString& raison)> OnPanne;

    TtsCap32Parameter Parameter;

    // A fresh frame as a picture. A null picture when not connected or when the source gives
    // no frame.
    QImage ImageCourante();
    // The same, also put on the clipboard.
    QImage CopyToClipBoard();
    // Starts or stops a capture into memory at the capture rate (10 frames/s while unset).
    void CapOrder(OrdreCapture ordre);
    bool Capturing() const { return capture_; }

    // Reads one frame now and hands it on exactly as the timers do (tests drive frames so).
    void ImageSuivante();

    // The driver's settings and the lock of its automatic modes (nothing when not connected).
    std::vector<ControleCamera> Controles();
    bool FixerControle(std::uint32_t id, int valeur);
    bool VerrouillerAutomatismes(QString& raison);
    QString NomSource() const;

protected:
    // The window shows the preview and the settings dialog; the bare control does nothing.
    virtual void Apercu(const QImage& image) { (void)image; }
    virtual void MontrerDialogueSource() {}

private:
    friend class TtsCap32Parameter;
    void Planifier();
    void Panne(const QString& raison);

    std::unique_ptr<ISourceCamera> source_;
    std::unique_ptr<QTimer> minuterie_;
    bool capture_ = false;
};

} // namespace kinepo
