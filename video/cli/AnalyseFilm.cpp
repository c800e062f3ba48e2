#include "video/cli/AnalyseFilm.h"

#include "platform/video/MoteurVideo.h"
#include "video/suivi/PasseAnalyse.h"

#include <QImage>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace kinepo {

namespace {

// One frame of the pass: its picture scaled to the display and its CurrentTime.
struct ImageLue {
    QImage affichee;
    double temps = 0;
};

// Decodes frames [debut, fin] in order on a worker thread, one step ahead of the pass, and
// hands them out already scaled to the display, each with its time. The worker is the only
// user of the engine while it runs: decoding may find a damaged end and shorten the film, so
// the frame times are read there too, never by the pass. A frame that does not decode is
// replaced by the previous one, as the player keeps the previous picture on screen.
class LectureAnticipee {
public:
    LectureAnticipee(MoteurVideo& moteur, const CalibrationOuverture& ouverture,
                     std::int64_t debut, std::int64_t fin, int zoom)
        : fin_(fin) {
        travailleur_ = std::thread([this, &moteur, &ouverture, debut, zoom] {
            QImage precedente;
            for (std::int64_t n = debut; n <= fin_; ++n) {
                QImage image = moteur.Image(n);
                if (image.isNull()) image = precedente;
                precedente = image;
                ImageLue lue{ImageAfficheeDepuisDecodee(image, zoom),
                             TempsImage(moteur, ouverture, n)};
                std::unique_lock verrou(mutex_);
                place_.wait(verrou, [this] { return arret_ || file_.size() < kProfondeur; });
                if (arret_) return;
                file_.push_back(std::move(lue));
                pret_.notify_one();
            }
        });
    }
    ~LectureAnticipee() {
        {
            std::lock_guard verrou(mutex_);
            arret_ = true;
        }
        place_.notify_all();
        travailleur_.join();
    }
    ImageLue Suivante() {
        std::unique_lock verrou(mutex_);
        pret_.wait(verrou, [this] { return !file_.empty(); });
        ImageLue i = std::move(file_.front());
        file_.pop_front();
        place_.notify_one();
        return i;
    }

private:
    static constexpr std::size_t kProfondeur = 3;
    const std::int64_t fin_;
    std::mutex mutex_;
    std::condition_variable pret_, place_;
    std::deque<ImageLue> file_;
    bool arret_ = false;
    std::thread travailleur_;
};

} // namespace

CalibrationOuverture CalibrationApresOuverture(const MoteurVideo& moteur) {
    CalibrationOuverture o;
    const InfosFilm& infos = moteur.Infos();
    VideoCalibration& c = o.calibration;
    c.DefautsFilm(infos.largeur, infos.hauteur);
    const CadenceFilm cadence =
        CadenceDepuisLongueurs(static_cast<double>(infos.nombreImages), infos.dureeMs);
    c.FileFrameRate = cadence.fileFrameRate;
    c.FramePeriod = cadence.framePeriod;
    c.Duration = cadence.duration;
    // Whatever the rate, the player stays in milliseconds after opening: times are the film's.
    if (c.FileFrameRate > 0) {
        c.FramePeriod = 1.0 / c.FileFrameRate;
    }
    c.MettreAJourFacteurs();
    o.tempsReel.PourFilm(infos.CadenceMoyenne(), infos.cadenceCapture);
    o.tempsReel.FixerDemande(false);
    return o;
}

double TempsImage(const MoteurVideo& moteur, const CalibrationOuverture& ouverture,
                  std::int64_t n) {
    const TempsReel& r = ouverture.tempsReel;
    if (ouverture.formatImages)
        return static_cast<double>(n) * r.Periode(ouverture.calibration.FramePeriod);
    return r.Reel(moteur.TempsMs(n) / 1000.0);
}

IssueAnalyse AnalyserFilm(MoteurVideo& moteur, const CalibrationOuverture& ouverture,
                          const ParametresAnalyse& p, VideoCalibration& c, TablesPointage& t,
                          MachinePointage& machine,
                          const std::function<void(std::int64_t, std::int64_t)>& progression,
                          QString* bilan, bool* cibleDistincte) {
    SuiviAutomatique suivi(machine, t, c);
    const std::int64_t derniere = moteur.Infos().nombreImages - 1;
    const std::int64_t debut = std::clamp<std::int64_t>(p.imageDepart, 0, derniere);
    const int zoom = std::max(1, c.Zoom);

    c.CurrentTime = TempsImage(moteur, ouverture, debut);
    if (p.suivre) {
        suivi.Armer(p.fichierChrono);
        suivi.CliquerCible(c.ImageVersEcran(p.cibleImage));
    } else {
        suivi.ArmerChrono(p.fichierChrono, false);
    }

    // Frames are read once, in order: a cache of a few frames is all the pass needs, and a
    // small one lets the decoder reuse the same memory instead of faulting in fresh pages.
    // A frame the pass has had is dropped at once, so its buffer serves a later frame.
    const InfosFilm& infos = moteur.Infos();
    moteur.FixerBudgetCache(std::size_t(8) * std::size_t(infos.largeur) *
                            std::size_t(infos.hauteur) * 3);
    moteur.FixerLectureUnique(true);
    struct FinLecture {
        MoteurVideo& m;
        ~FinLecture() { m.FixerLectureUnique(false); }
    } finLecture{moteur};

    // The start frame, then every later one: on the last frame the start has nowhere to step,
    // and a pass on the background itself would find nothing, so there is no pass at all.
    // From here on the engine belongs to the reading thread until `lecture` ends.
    LectureAnticipee lecture(moteur, ouverture, debut, derniere, zoom);
    suivi.Demarrer(lecture.Suivante().affichee, p.suivre);
    if (cibleDistincte) *cibleDistincte = suivi.CibleDistincte();
    const std::int64_t total = derniere - debut;
    for (std::int64_t n = debut + 1; n <= derniere; ++n) {
        ImageLue lue = lecture.Suivante();
        c.CurrentTime = lue.temps;
        suivi.Passer(lue.affichee, p.suivre);
        if (progression) progression(n - debut, total);
    }
    if (bilan) *bilan = suivi.PrendreBilan();
    if (p.fichierChrono.isEmpty()) {
        suivi.Abandonner();
        machine.Etat = PointingState::psIdle;
        return IssueAnalyse::Terminee;
    }
    return suivi.Terminer() ? IssueAnalyse::Terminee : IssueAnalyse::ChronoNonEcrite;
}

} // namespace kinepo
