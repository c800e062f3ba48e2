#pragma once
// The about box "A propos", shown modally by the launcher.
#include <QDialog>

class QLabel;
class QPushButton;

namespace kinepo {

class TAboutBox : public QDialog {
    Q_OBJECT
public:
    explicit TAboutBox(QWidget* parent = nullptr);
    QLabel* Version = nullptr;
    QLabel* Comments = nullptr;
    QLabel* Credit = nullptr;
    QPushButton* OKButton = nullptr;
};

// "Version <n> du <date>".
QString TexteVersion();

} // namespace kinepo
