#pragma once
// The capture control as a window: the logic of CaptureCamera, the live preview drawn in the
// control's own area (scaled to it), and the driver's settings dialog.
#include "platform/camera/CaptureCamera.h"

#include <QDialog>
#include <QWidget>

namespace kinepo {

// The dialog of the camera's settings (exposure, gain, automatic modes...): one row per
// setting, each change sent to the driver at once.
class DialogueSourceCamera : public QDialog {
    Q_OBJECT
public:
    DialogueSourceCamera(CaptureCamera& capture, QWidget* parent = nullptr);
};

class TtsCap32 : public QWidget, public CaptureCamera {
    Q_OBJECT
public:
    explicit TtsCap32(QWidget* parent = nullptr);
    // The last preview frame shown (null before the first).
    const QImage& ImageApercu() const { return apercu_; }
    // Shows the settings dialog modally; replaced in tests, which cannot wait on a window.
    std::function<void(CaptureCamera&)> ouvrirDialogue;

protected:
    void Apercu(const QImage& image) override;
    void MontrerDialogueSource() override;
    void paintEvent(QPaintEvent* e) override;

private:
    QImage apercu_;
};

} // namespace kinepo
