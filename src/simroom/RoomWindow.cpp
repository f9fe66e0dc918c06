#include "simroom/RoomWindow.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBrowser>
#include <QTimer>
#include <QVBoxLayout>

#include "aol/TranscriptReader.h"
#include "aol/sim/SimClient.h"
#include "simroom/ChatLineHtml.h"
#include "simroom/RoomChatter.h"
#include "ui/AppIcon.h"

namespace melodrop::simroom {

namespace {

QString fromUtf8(const std::string& text) {
    return QString::fromStdString(text);
}

// One transcript line, "Name:\tText", as the client shows it: the name, then the drawn text.
QString lineHtml(const std::string& line, const QString& user) {
    aol::TranscriptLine split;
    if (!aol::TranscriptReader::SplitUtf8Line(line, split))
        return QStringLiteral("<p style=\"margin:1px 0\">%1</p>")
            .arg(chatLineToRichText(fromUtf8(line)));
    const QString name = fromUtf8(split.screenName);
    const QString colour = name.compare(user, Qt::CaseInsensitive) == 0 ? QStringLiteral("#7a1e1e")
                                                                        : QStringLiteral("#1d3f73");
    return QStringLiteral(
               "<p style=\"margin:1px 0\"><span style=\"font-family:'Arial';font-size:10pt;"
               "color:%1\">%2:</span>&nbsp;&nbsp;%3</p>")
        .arg(colour, name.toHtmlEscaped(), chatLineToRichText(fromUtf8(split.text)));
}

}  // namespace

RoomWindow::RoomWindow(aol::sim::SimClient& sim, RoomChatter* chatter, QWidget* parent)
    : QWidget(parent, Qt::Window), sim_(sim), chatter_(chatter) {
    setObjectName(QStringLiteral("RoomWindow"));
    setWindowIcon(ui::appIcon());
    resize(560, 380);

    roomName_ = new QLabel(this);
    roomName_->setObjectName(QStringLiteral("roomName"));
    QFont caption = roomName_->font();
    caption.setBold(true);
    caption.setPointSizeF(caption.pointSizeF() * 1.15);
    roomName_->setFont(caption);

    transcript_ = new QTextBrowser(this);
    transcript_->setObjectName(QStringLiteral("transcript"));
    transcript_->setOpenLinks(false);
    transcript_->setFocusPolicy(Qt::NoFocus);
    transcript_->setStyleSheet(QStringLiteral("QTextBrowser { background: white; color: black; }"));
    transcript_->document()->setDefaultStyleSheet(QStringLiteral("a { color: #0000ee; }"));

    members_ = new QListWidget(this);
    members_->setObjectName(QStringLiteral("members"));
    members_->setToolTip(QStringLiteral("double-click a member to ignore or stop ignoring"));
    members_->setFixedWidth(150);
    memberCount_ = new QLabel(this);
    memberCount_->setObjectName(QStringLiteral("memberCount"));

    input_ = new QLineEdit(this);
    input_->setObjectName(QStringLiteral("input"));
    input_->setPlaceholderText(QStringLiteral("type a line and press Enter"));
    send_ = new QPushButton(QStringLiteral("Send"), this);
    send_->setObjectName(QStringLiteral("send"));

    speaker_ = new QComboBox(this);
    speaker_->setObjectName(QStringLiteral("speaker"));
    speaker_->setMinimumWidth(120);
    memberLine_ = new QLineEdit(this);
    memberLine_->setObjectName(QStringLiteral("memberLine"));
    memberLine_->setPlaceholderText(QStringLiteral("a line for this member to say"));
    say_ = new QPushButton(QStringLiteral("Say"), this);
    say_->setObjectName(QStringLiteral("say"));

    signedOn_ = new QLabel(this);
    signedOn_->setObjectName(QStringLiteral("signedOn"));
    imState_ = new QLabel(this);
    imState_->setObjectName(QStringLiteral("imState"));
    lively_ = new QCheckBox(QStringLiteral("members chat now and then"), this);
    lively_->setObjectName(QStringLiteral("lively"));
    lively_->setVisible(chatter_ != nullptr);

    auto* side = new QVBoxLayout;
    side->addWidget(members_, 1);
    side->addWidget(memberCount_);
    auto* top = new QHBoxLayout;
    top->addWidget(transcript_, 1);
    top->addLayout(side);
    auto* typing = new QHBoxLayout;
    typing->addWidget(input_, 1);
    typing->addWidget(send_);
    auto* saying = new QHBoxLayout;
    saying->addWidget(new QLabel(QStringLiteral("make"), this));
    saying->addWidget(speaker_);
    saying->addWidget(new QLabel(QStringLiteral("say"), this));
    saying->addWidget(memberLine_, 1);
    saying->addWidget(say_);
    auto* status = new QHBoxLayout;
    status->addWidget(signedOn_);
    status->addSpacing(12);
    status->addWidget(imState_);
    status->addStretch(1);
    status->addWidget(lively_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(roomName_);
    layout->addLayout(top, 1);
    layout->addLayout(typing);
    layout->addLayout(saying);
    layout->addLayout(status);

    connect(input_, &QLineEdit::returnPressed, this, &RoomWindow::sendUserLine);
    connect(send_, &QPushButton::clicked, this, &RoomWindow::sendUserLine);
    connect(memberLine_, &QLineEdit::returnPressed, this, &RoomWindow::sendMemberLine);
    connect(say_, &QPushButton::clicked, this, &RoomWindow::sendMemberLine);
    connect(members_, &QListWidget::itemDoubleClicked, this, &RoomWindow::toggleIgnore);
    if (chatter_) {
        lively_->setChecked(chatter_->isEnabled());
        connect(lively_, &QCheckBox::toggled, chatter_, &RoomChatter::setEnabled);
        connect(chatter_, &RoomChatter::enabledChanged, lively_, &QCheckBox::setChecked);
    }

    // The client tells of every change; draw them together once the change is done.
    QPointer<RoomWindow> self(this);
    sim_.addChangeListener([self] {
        if (self) self->scheduleRefresh();
    });
    refresh();
}

void RoomWindow::scheduleRefresh() {
    if (refreshPending_) return;
    refreshPending_ = true;
    QTimer::singleShot(0, this, [this] {
        refreshPending_ = false;
        refresh();
    });
}

void RoomWindow::refresh() {
    const std::string room = sim_.currentRoom();
    const QString title = room.empty() ? QStringLiteral("no chat room open") : fromUtf8(room);
    roomName_->setText(title);
    setWindowTitle(title + QStringLiteral(" - chat room"));
    showTranscript(room);
    showMembers(room);
    showStatus();
    const bool open = !room.empty();
    input_->setEnabled(open);
    send_->setEnabled(open);
    memberLine_->setEnabled(open && speaker_->count() > 0);
    say_->setEnabled(open && speaker_->count() > 0);
}

void RoomWindow::showTranscript(const std::string& room) {
    const std::vector<std::string> lines =
        room.empty() ? std::vector<std::string>{} : sim_.transcriptLines();
    QScrollBar* bar = transcript_->verticalScrollBar();
    const bool atEnd = bar->value() >= bar->maximum() - 2;
    const QString user = fromUtf8(sim_.signedOnUser());
    const bool continues = room == shownRoom_ && lines.size() >= shownLines_.size() &&
                           std::equal(shownLines_.begin(), shownLines_.end(), lines.begin());
    if (continues) {
        if (lines.size() == shownLines_.size()) return;
        QString html;
        for (std::size_t i = shownLines_.size(); i < lines.size(); ++i)
            html += lineHtml(lines[i], user);
        QTextCursor end(transcript_->document());
        end.movePosition(QTextCursor::End);
        if (!shownLines_.empty()) end.insertBlock();
        end.insertHtml(html);
    } else {
        QString html;
        for (const std::string& line : lines) html += lineHtml(line, user);
        transcript_->setHtml(html);
    }
    shownRoom_ = room;
    shownLines_ = lines;
    if (atEnd || !continues) bar->setValue(bar->maximum());
}

void RoomWindow::showMembers(const std::string& room) {
    const QString user = fromUtf8(sim_.signedOnUser());
    const QString speaking = speaker_->currentText();
    members_->clear();
    speaker_->clear();
    const std::vector<aol::sim::MemberInfo> members =
        room.empty() ? std::vector<aol::sim::MemberInfo>{} : sim_.members();
    for (const aol::sim::MemberInfo& member : members) {
        const QString name = fromUtf8(member.name);
        auto* item = new QListWidgetItem(
            member.ignored ? name + QStringLiteral("  (ignored)") : name, members_);
        item->setData(Qt::UserRole, name);
        if (member.ignored) {
            QFont font = item->font();
            font.setItalic(true);
            item->setFont(font);
            item->setForeground(QColor(0x90, 0x90, 0x90));
        }
        if (name == user) {
            QFont font = item->font();
            font.setBold(true);
            item->setFont(font);
        } else {
            speaker_->addItem(name);
        }
    }
    const int again = speaker_->findText(speaking);
    if (again >= 0) speaker_->setCurrentIndex(again);
    memberCount_->setText(QStringLiteral("%1 in the room").arg(members.size()));
}

void RoomWindow::showStatus() {
    const std::string user = sim_.signedOnUser();
    signedOn_->setText(user.empty() ? QStringLiteral("nobody signed on")
                                    : QStringLiteral("signed on as %1").arg(fromUtf8(user)));
    imState_->setText(sim_.imsReceptionOn() ? QStringLiteral("instant messages: on")
                                            : QStringLiteral("instant messages: off"));
}

void RoomWindow::sendUserLine() {
    const QString line = input_->text();
    if (line.trimmed().isEmpty()) return;
    input_->clear();
    // Through the client's own input box, as if typed there: the scanners see it like any line.
    sim_.userTypes(line.toStdString());
}

void RoomWindow::sendMemberLine() {
    const QString line = memberLine_->text();
    const QString who = speaker_->currentText();
    if (line.trimmed().isEmpty() || who.isEmpty()) return;
    memberLine_->clear();
    sim_.memberSays(who.toStdString(), line.toStdString());
}

void RoomWindow::toggleIgnore(QListWidgetItem* item) {
    if (!item) return;
    const QString name = item->data(Qt::UserRole).toString();
    if (name == fromUtf8(sim_.signedOnUser())) return;
    sim_.setIgnored(name.toStdString(), !sim_.isIgnored(name.toStdString()));
}

void RoomWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    showMinimized();
}

}  // namespace melodrop::simroom
