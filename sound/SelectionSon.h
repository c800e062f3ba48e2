#pragma once
// The selection of the sound form and what follows from it: the default selection after a read,
// the thinning of a long selection to at most 32 768 transferred rows at a standard rate, and
// the texts of the duration and frequency labels.
#include <QString>
#include <cstdint>

namespace kinepo {

// A stretch of the sound: sample indices, 0 <= debut <= fin <= count - 1.
struct Selection {
    std::int32_t debut = 0;
    std::int32_t fin = 0;
};

// After a read: a centred window of 32 768 samples when the sound is longer, else the whole
// sound.
Selection SelectionParDefaut(std::int32_t nbEchantillons);

// Selection from the x pixel positions of the two edges in the whole-sound view, whose mapping
// is x = pixelsParEchantillon * sample + gauchePlot: each edge is turned back into the nearest
// sample, then kept within the sound (start raised to 0, end lowered to count - 1).
Selection SelectionDepuisBords(int bordGauche, int bordDroit, double pixelsParEchantillon,
                               int gauchePlot, std::int32_t nbEchantillons);

struct SousEchantillonnage {
    std::uint16_t pas = 1;       // one row every `pas` samples
    std::uint32_t frequence = 0; // effective rate f div pas
    bool valide = false;         // the effective rate is a standard one
};

// The thinning rule: pas = (fin - debut) div 32768 + 1, then at 11025/22050/44100 Hz a
// non-standard rate above 11025 is brought down to 11025 Hz, and at 8000 ... 48000 Hz a
// non-standard rate above 8000 is brought down to 8000 Hz. At any other rate the result is
// valid only when nothing is thinned out.
SousEchantillonnage CalculerSousEchantillonnage(std::uint32_t frequence, const Selection& s);

// Label texts.
// "Durée= : 1.00 s" (duration of `nbEchantillons` samples; 0 s at a frequency of 0).
QString TexteDuree(double nbEchantillons, std::uint32_t frequence);
// "Fech=44100 Hz ; 16 bits"
QString TexteFreqFichier(std::uint32_t frequence, int bits);
// "Fech=22050 Hz", or "Fech=? (Schannon !)" when the effective rate is not a standard one.
QString TexteFreqTransfert(const SousEchantillonnage& s);
// The status note: empty up to 32 768 samples, else "Sous échantillonnage si la durée excéde
// <32768 / f> s".
QString TexteNoteSousEchantillonnage(std::int32_t nbEchantillons, std::uint32_t frequence);
// The form's caption for a loaded file (name without folder, then " (converti en 16 bits)" for
// a sound decoded from another format and " (trop long donc tronqué)" for a cut one), or the
// bare caption for an empty name.
QString TitreFormeSon(const QString& nomFichier, bool tronque, bool converti = false);

// Fixed notation of the labels: x rounded to 5 significant digits, then written with
// `decimales` decimals and the user's decimal separator.
QString Fixe(double x, int decimales);

} // namespace kinepo
