#pragma once
// The skinfetch window (Form1): the list of skins, the three buttons and the status line. It shows
// the logic's state and forwards clicks; it holds no logic of its own.
#include <QWidget>

class QLabel;
class QListWidget;
class QPushButton;

namespace melodrop::skinfetch {

class Skinfetch;

class SkinfetchWindow : public QWidget {
    Q_OBJECT
public:
    explicit SkinfetchWindow(Skinfetch& logic, QWidget* parent = nullptr);
    ~SkinfetchWindow() override;

private:
    void showEntries();
    void showWorking();

    Skinfetch& logic_;
    QListWidget* lstSkins_;
    QPushButton* cmdRefreshList_;
    QPushButton* cmdDownload_;
    QPushButton* command1_;
    QLabel* lblStatus_;
    bool showingEntries_ = false;
};

}  // namespace melodrop::skinfetch
