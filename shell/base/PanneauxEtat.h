#pragma once
// A status bar made of fixed panels, addressed by index like the forms' status panels.
#include <QStatusBar>
#include <vector>

class QLabel;

namespace kinepo {

class PanneauxEtat : public QStatusBar {
    Q_OBJECT
public:
    // largeurs: width of each panel in pixels; 0 for the last one stretches.
    PanneauxEtat(const std::vector<int>& largeurs, QWidget* parent = nullptr);
    int nombre() const { return static_cast<int>(panneaux_.size()); }
    void setTexte(int panneau, const QString& texte);
    QString texte(int panneau) const;

private:
    std::vector<QLabel*> panneaux_;
};

} // namespace kinepo
