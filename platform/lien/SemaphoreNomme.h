#pragma once
// A named semaphore with the lifetime the analysis program's start check relies on: it exists
// while at least one process holds it and is gone when the last holder ends, by a crash too.
// It is a lock file "<runtime>/sem/<name>" that every holder keeps locked (flock, shared);
// the file itself stays, an unlocked file means "no semaphore".
#include <QString>
#include <memory>

namespace kinepo {

class SemaphoreNomme {
public:
    // Creates the semaphore or opens the existing one, and holds it until destroyed.
    // *existait tells whether another holder (this process included) had it already.
    // Null when it cannot be created (unsafe or unwritable folder).
    static std::unique_ptr<SemaphoreNomme> Creer(const QString& nom, bool* existait);
    // True while some process holds the semaphore.
    static bool Existe(const QString& nom);

    ~SemaphoreNomme();
    SemaphoreNomme(const SemaphoreNomme&) = delete;
    SemaphoreNomme& operator=(const SemaphoreNomme&) = delete;

private:
    explicit SemaphoreNomme(int fd) : fd_(fd) {}
    int fd_;
};

} // namespace kinepo
