#pragma once
// Fakes of the sound facilities: a player that plays nothing and finishes when told, an input
// that hands back generated PCM when the test asks, and a recorder that saves a generated tone
// as long as the (scaled) time it recorded. Install them with InstallerAudioFactice().
#include "platform/audio/Audio.h"
#include "platform/audio/FichierWav.h"

#include <QCoreApplication>
#include <cmath>
#include <cstdint>
#include <optional>
#include <vector>

namespace kinepo::test {

class FakeLecteurSon : public LecteurSon {
public:
    struct Etat {
        int ouvertures = 0, lectures = 0;
        std::int64_t debut = 0, fin = 0, position = 0;
        std::vector<QString> sauvegardes;
        FormatPcm format;
        std::int64_t octets = 0;
    };
    explicit FakeLecteurSon(Etat& e) : etat_(e) {}
    bool Ouvrir(const QString& nom, const FormatPcm& f, const std::uint8_t* pcm,
                std::int64_t octets) override {
        nom_ = nom;
        ouvert_ = true;
        pcm_ = pcm;
        etat_.format = f;
        etat_.octets = octets;
        ++etat_.ouvertures;
        return true;
    }
    void Fermer() override {
        ouvert_ = false;
        enLecture_ = false;
    }
    bool EstOuvert() const override { return ouvert_; }
    QString NomFichier() const override { return nom_; }
    void SetNomFichier(const QString& n) override { nom_ = n; }
    FormatTemps Format() const override { return format_; }
    void SetFormat(FormatTemps f) override { format_ = f; }
    void SetDebut(std::int64_t p) override { etat_.debut = p; }
    void SetFin(std::int64_t p) override { etat_.fin = p; }
    void Jouer(bool) override {
        enLecture_ = true;
        ++etat_.lectures;
    }
    void Arreter() override { enLecture_ = false; }
    bool EnLecture() const override { return enLecture_; }
    std::int64_t Position() const override { return etat_.position; }
    std::int64_t Longueur() const override {
        return etat_.format.octetsParTrame() ? etat_.octets / etat_.format.octetsParTrame() : 0;
    }
    // As the real player: the WAV file the sound came from is copied whole.
    bool Sauver(const QString& nom) override {
        etat_.sauvegardes.push_back(nom);
        if (!ouvert_) return false;
        if (EstFichierWav(nom_)) return CopierFichier(nom_, nom);
        return EcrireWav(nom, etat_.format, pcm_, etat_.octets);
    }
    // The end of the stretch.
    void Terminer() {
        enLecture_ = false;
        emit Termine();
    }

private:
    Etat& etat_;
    QString nom_;
    bool ouvert_ = false, enLecture_ = false;
    const std::uint8_t* pcm_ = nullptr;
    FormatTemps format_ = FormatTemps::Echantillons;
};

// Generated input: a sine of the given amplitude (0 ... 1 of full scale) in the opened format.
class FakeEntreeSon : public EntreeSon {
public:
    struct Etat {
        std::optional<CapacitesEntree> capacites = CapacitesEntree{"Entrée factice", 0x555};
        bool ouvrirOk = true, demarrerOk = true;
        std::vector<FormatPcm> ouvertures;
        bool enFile = false, ouvert = false;
        int reinitialisations = 0;
        double amplitude = 0.5;
        FakeEntreeSon* courante = nullptr;
    };
    explicit FakeEntreeSon(Etat& e) : etat_(e) { etat_.courante = this; }
    ~FakeEntreeSon() override {
        if (etat_.courante == this) etat_.courante = nullptr;
    }
    std::optional<CapacitesEntree> Capacites() override { return etat_.capacites; }
    bool Ouvrir(const FormatPcm& f) override {
        if (!etat_.ouvrirOk) return false;
        format_ = f;
        etat_.ouvertures.push_back(f);
        etat_.ouvert = true;
        return true;
    }
    bool AjouterBuffer() override {
        if (!etat_.ouvert || etat_.enFile) return false;
        etat_.enFile = true;
        return true;
    }
    bool Demarrer() override { return etat_.ouvert && etat_.demarrerOk; }
    void Reinitialiser() override {
        ++etat_.reinitialisations;
        if (etat_.enFile) {
            etat_.enFile = false;
            // Handed back later, through the event loop, as the real input does.
            QMetaObject::invokeMethod(
                this, [this] { emit BufferRendu(QByteArray()); }, Qt::QueuedConnection);
        }
    }
    void Fermer() override {
        etat_.ouvert = false;
        etat_.enFile = false;
    }
    // The queued buffer comes back full of generated PCM. False when none was queued.
    bool Livrer() {
        if (!etat_.enFile) return false;
        etat_.enFile = false;
        emit BufferRendu(Generer());
        return true;
    }
    QByteArray Generer() const {
        QByteArray b;
        const int n = kTailleBuffer / (format_.bits / 8);
        for (int i = 0; i < n; ++i) {
            const double s =
                etat_.amplitude * std::sin(2 * M_PI * 440.0 * (phase_ + i) / format_.frequence);
            if (format_.bits == 8) {
                b.append(char(std::uint8_t(std::lround(128 + 127 * s))));
            } else {
                const auto v = std::uint16_t(std::int16_t(std::lround(32767 * s)));
                b.append(char(v & 0xFF));
                b.append(char(v >> 8));
            }
        }
        return b;
    }
    const FormatPcm& FormatOuvert() const { return format_; }

private:
    Etat& etat_;
    FormatPcm format_;
    long phase_ = 0;
};

class FakeEnregistreurSon : public EnregistreurSon {
public:
    struct Etat {
        bool ouvrirOk = true;
        std::optional<FormatPcm> format;
        bool enregistre = false;
        bool arrete = false; // capture stopped (set by Arreter)
        int fermetures = 0;
        double secondes = 1.0; // length of the tone saved
        std::vector<QString> sauvegardes;
    };
    explicit FakeEnregistreurSon(Etat& e) : etat_(e) {}
    bool Ouvrir() override { return etat_.ouvrirOk; }
    bool DefinirFormat(const FormatPcm& f) override {
        etat_.format = f;
        return true;
    }
    bool Enregistrer() override { return etat_.enregistre = true; }
    void Arreter() override { etat_.arrete = true; }
    bool Sauver(const QString& fichier) override {
        etat_.sauvegardes.push_back(fichier);
        const FormatPcm f = etat_.format.value_or(FormatPcm{});
        const auto trames = std::int64_t(etat_.secondes * f.frequence);
        std::vector<std::uint8_t> pcm(std::size_t(trames * f.octetsParTrame()));
        for (std::int64_t i = 0; i < trames; ++i) {
            const double s = 0.5 * std::sin(2 * M_PI * 440.0 * double(i) / f.frequence);
            if (f.bits == 8) {
                pcm[std::size_t(i)] = std::uint8_t(std::lround(128 + 127 * s));
            } else {
                const auto v = std::uint16_t(std::int16_t(std::lround(32767 * s)));
                pcm[std::size_t(2 * i)] = std::uint8_t(v & 0xFF);
                pcm[std::size_t(2 * i + 1)] = std::uint8_t(v >> 8);
            }
        }
        return EcrireWav(fichier, f, pcm.data(), std::int64_t(pcm.size()));
    }
    void Fermer() override { ++etat_.fermetures; }

private:
    Etat& etat_;
};

// The fakes' shared state for one test, installed for its lifetime.
struct AudioFactice {
    FakeLecteurSon::Etat lecteur;
    FakeEntreeSon::Etat entree;
    FakeEnregistreurSon::Etat enregistreur;
    FakeLecteurSon* dernierLecteur = nullptr;

    AudioFactice() {
        avant_ = InstallerAudio(
            {[this] {
                 auto l = std::make_unique<FakeLecteurSon>(lecteur);
                 dernierLecteur = l.get();
                 return std::unique_ptr<LecteurSon>(std::move(l));
             },
             [this] { return std::unique_ptr<EntreeSon>(std::make_unique<FakeEntreeSon>(entree)); },
             [this] {
                 return std::unique_ptr<EnregistreurSon>(
                     std::make_unique<FakeEnregistreurSon>(enregistreur));
             }});
    }
    ~AudioFactice() { InstallerAudio(avant_); }
    AudioFactice(const AudioFactice&) = delete;
    AudioFactice& operator=(const AudioFactice&) = delete;

private:
    FabriqueAudio avant_;
};

} // namespace kinepo::test
