#pragma once
// FFmpeg trusts the sizes a file's header gives: a 141-byte WAV whose LIST chunk says 4 GB made
// the demuxer clear an 800 MB buffer before finding the file empty. No picture or sound block we
// use needs a single allocation near this bound (an 8K RGB frame is 100 MB), so a larger one is
// refused and the file fails cleanly instead.
#include <mutex>

extern "C" {
#include <libavutil/mem.h>
}

namespace kinepo {

inline void LimiterAllocationsFfmpeg() {
    static std::once_flag fait;
    std::call_once(fait, [] { av_max_alloc(std::size_t(256) << 20); });
}

} // namespace kinepo
