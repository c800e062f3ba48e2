#pragma once
// Decoding of sound files other than the 8- and 16-bit PCM WAV that the sound form reads
// itself: WAV of 24/32-bit integers or 32/64-bit floats (WAVE_FORMAT_EXTENSIBLE included),
// M4A/AAC, MP3, Ogg Vorbis/Opus, FLAC. The first audio stream is decoded at its own rate and
// with its own channels (no resampling, no remixing) and handed over block by block as
// interleaved frames. FFmpeg stays inside the source file.
#include <QString>
#include <cstdint>
#include <memory>

namespace kinepo {

class DecodeurSon {
public:
    DecodeurSon();
    ~DecodeurSon();
    DecodeurSon(const DecodeurSon&) = delete;
    DecodeurSon& operator=(const DecodeurSon&) = delete;

    // Opens `chemin` as one of the known sound containers (never a network address, never a
    // demuxer outside the list) and its first audio stream. False when the file is not such a
    // sound or no decoder takes its stream.
    bool Ouvrir(const QString& chemin);

    std::uint32_t Frequence() const; // frames per second
    int Voies() const;               // channels of every frame
    // True when the stream's samples are floating point: blocks come in Reels(); otherwise
    // they come in Entiers(), each sample left-aligned on 32 bits (a 24-bit sample shifted
    // left by 8, a 16-bit one by 16), so that the top 16 bits are the sample's top 16 bits.
    // Known after Ouvrir for most streams, and in any case once Suivant has given a block.
    bool Flottant() const;
    // Frames the container announces for the whole stream, or -1 when it does not say.
    std::int64_t TramesAnnoncees() const;

    // Decodes the next block. Returns its number of frames (Voies() samples each), 0 at the
    // end of the stream. Packets that do not decode are skipped.
    int Suivant();
    const std::int32_t* Entiers() const;
    const double* Reels() const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

} // namespace kinepo
