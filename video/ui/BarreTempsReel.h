#pragma once
// The real-time strip of the video forms, for slow-motion films: the box "Temps réel", the
// capture rate (read from the film, or typed), and a label telling which clock the times follow
// ("temps réel (240 i/s)", "temps du film (30 i/s)"). The rules are TempsReel's; the form
// converts its player's times with Temps() and rescales its table when the clock changes.
#include "video/logic/TempsReel.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableWidget;

namespace kinepo {

struct InfosFilm;

class BarreTempsReel : public QWidget {
    Q_OBJECT
public:
    explicit BarreTempsReel(QWidget* parent = nullptr);

    QCheckBox* TempsReelCB = nullptr;
    QLineEdit* CaptureEdit = nullptr;
    QLabel* HorlogeLabel = nullptr;

    const TempsReel& Temps() const { return temps_; }

    // A film has opened (its rates, and its capture rate when it has one), or none (null). The
    // form's times were just set on the film's own clock: Change follows with that clock as
    // the one before.
    void PourFilm(const InfosFilm* infos);
    // The user's actions, as the controls run them.
    void TempsReelCBClick();
    void CaptureEditValider();

    // Rescales the recorded times, the time origin, the current time and the duration from the
    // clock `avant` to the current one, and writes the grid's time column again. periodeImages:
    // 0 when the form's times are the film's own, else the period at which it counts frames.
    void Reechelonner(const TempsReel& avant, VideoCalibration& calib, TablesPointage& tables,
                      QTableWidget* grille, double periodeImages = 0) const;

signals:
    // The clock of the times changed; avant is the one before.
    void Change(const TempsReel& avant);

private:
    void montrer();
    TempsReel temps_;
};

} // namespace kinepo
