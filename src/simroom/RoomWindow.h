#pragma once
// A window that shows the simulated chat client's open room as the client would: the
// transcript with each line drawn from its HTML, the members (and whom the user ignores), the
// input box where the user types as the signed-on member, a way to make another member speak,
// and whether instant messages are being received. It shows the client's state and hands what
// the user does to the client; the client decides everything else.
#include <QWidget>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTextBrowser;

namespace aol::sim {
class SimClient;
}

namespace melodrop::simroom {

class RoomChatter;

class RoomWindow : public QWidget {
    Q_OBJECT
public:
    // chatter may be null: then the room has no canned chatter to switch.
    RoomWindow(aol::sim::SimClient& sim, RoomChatter* chatter, QWidget* parent = nullptr);

    // Shows the client's state now (it also follows every change of the client by itself).
    void refresh();

    QTextBrowser* transcriptView() const { return transcript_; }

protected:
    // The room window is the only way into the room: closing it only minimises it.
    void closeEvent(QCloseEvent* event) override;

private:
    void scheduleRefresh();
    void showTranscript(const std::string& room);
    void showMembers(const std::string& room);
    void showStatus();
    void sendUserLine();
    void sendMemberLine();
    void toggleIgnore(QListWidgetItem* item);

    aol::sim::SimClient& sim_;
    RoomChatter* chatter_;
    QLabel* roomName_ = nullptr;
    QTextBrowser* transcript_ = nullptr;
    QListWidget* members_ = nullptr;
    QLabel* memberCount_ = nullptr;
    QLineEdit* input_ = nullptr;
    QPushButton* send_ = nullptr;
    QComboBox* speaker_ = nullptr;
    QLineEdit* memberLine_ = nullptr;
    QPushButton* say_ = nullptr;
    QLabel* imState_ = nullptr;
    QLabel* signedOn_ = nullptr;
    QCheckBox* lively_ = nullptr;

    bool refreshPending_ = false;
    std::string shownRoom_;
    std::vector<std::string> shownLines_;
};

}  // namespace melodrop::simroom
