#pragma once
// A disk that fills up in the middle of a write, without a disk: while a LimiteEcriture lives,
// this process cannot make any file longer than `octets` (RLIMIT_FSIZE). A write past it fails
// with EFBIG halfway through the file, as on a full filesystem (SIGXFSZ is ignored meanwhile),
// so writers can be checked to leave the previous file whole.
#include <csignal>
#include <sys/resource.h>

namespace kinepo::test {

class LimiteEcriture {
public:
    explicit LimiteEcriture(rlim_t octets) {
        getrlimit(RLIMIT_FSIZE, &avant_);
        signalAvant_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit r = avant_;
        r.rlim_cur = octets;
        setrlimit(RLIMIT_FSIZE, &r);
    }
    ~LimiteEcriture() {
        setrlimit(RLIMIT_FSIZE, &avant_);
        std::signal(SIGXFSZ, signalAvant_);
    }
    LimiteEcriture(const LimiteEcriture&) = delete;
    LimiteEcriture& operator=(const LimiteEcriture&) = delete;

private:
    rlimit avant_{};
    void (*signalAvant_)(int) = nullptr;
};

} // namespace kinepo::test
