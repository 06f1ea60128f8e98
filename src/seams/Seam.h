#pragma once

namespace tervane {

// One seam: the program's own implementation of Interface, which a test or the editor's entry
// may replace by another (not owned) for a while.
template <typename Interface> class Seam {
public:
    explicit Seam(Interface& fallback) : m_fallback(&fallback) {}

    Interface& get() const { return m_installed ? *m_installed : *m_fallback; }
    Interface* installed() const { return m_installed; }
    // nullptr puts the program's own back.
    void install(Interface* replacement) { m_installed = replacement; }

private:
    Interface* m_fallback;
    Interface* m_installed = nullptr;
};

// Installs a replacement for as long as it lives, then puts back what was there before.
template <typename Interface> class ScopedSeam {
public:
    ScopedSeam(Seam<Interface>& seam, Interface* replacement) : m_seam(seam), m_previous(seam.installed()) {
        seam.install(replacement);
    }
    ~ScopedSeam() { m_seam.install(m_previous); }
    ScopedSeam(const ScopedSeam&) = delete;
    ScopedSeam& operator=(const ScopedSeam&) = delete;

private:
    Seam<Interface>& m_seam;
    Interface* m_previous;
};

} // namespace tervane
