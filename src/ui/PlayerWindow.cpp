#include "ui/PlayerWindow.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QSignalBlocker>
#include <QSlider>

#include "program/Melodrop.h"
#include "ui/AppIcon.h"
#include "ui/HotArea.h"
#include "ui/NowPlaying.h"
#include "ui/OptionsMenuWidget.h"
#include "ui/PlayerLayout.h"
#include "ui/SkinFace.h"
#include "ui/SkinPicture.h"
#include "ui/TrackListView.h"
#include "ui/WindowDragger.h"

namespace melodrop::ui {

namespace {

constexpr Qt::WindowFlags kBaseFlags = Qt::Window | Qt::FramelessWindowHint | Qt::Tool;

const char* kSliderStyle =
    "QSlider { background: transparent; }"
    "QSlider::groove:horizontal { height: 3px; background: rgba(0,0,0,90);"
    " border: 1px solid rgba(255,255,255,45); border-radius: 1px; }"
    "QSlider::sub-page:horizontal { background: rgba(255,255,255,80); border-radius: 1px; }"
    "QSlider::handle:horizontal { width: 5px; margin: -2px 0; border-radius: 1px;"
    " background: qlineargradient(x1:0, y1:0, x2:0, y2:1, stop:0 #ffffff, stop:1 #a9b6c6);"
    " border: 1px solid #1b2430; }"
    // The focus mark: a dotted edge, and the handle turns yellow.
    "QSlider:focus { border: 1px dotted #ffffff; }"
    "QSlider::handle:horizontal:focus { background: #ffd84a; border: 1px solid #000000; }";

}  // namespace

PlayerWindow::PlayerWindow(Melodrop& melodrop, QWidget* parent)
    : QWidget(parent, kBaseFlags), melodrop_(melodrop) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("melodrop"));
    setWindowIcon(appIcon());

    picture_ = new SkinPicture(this);
    picture_->setObjectName(QStringLiteral("imgPic"));
    picture_->setGeometry(0, 0, kFaceWidth, kFaceHeight);

    dragger_ = new WindowDragger(this);
    dragger_->watch(picture_);

    buildList();
    buildSlider();
    buildHotAreas();
    describe();

    nowPlaying_ = new NowPlayingTips(melodrop_, this);
    connect(nowPlaying_, &NowPlayingTips::changed, this, [this](const QString& text) {
        setToolTip(text);
        setAccessibleDescription(text);
        emit nowPlayingChanged(text);
    });

    connect(&melodrop_.window(), &PlayerWindowModel::changed, this, [this] { followModel(); });
    connect(&melodrop_.window(), &PlayerWindowModel::sliderChanged, this, [this](int position) {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(position);
    });
    setOnTop(melodrop_.state().alwaysontop);
    followModel();
}

void PlayerWindow::buildHotAreas() {
    for (const HotAreaSpec& area : kHotAreas) {
        auto* widget = new HotArea(this);
        widget->setObjectName(QString::fromLatin1(area.name));
        widget->setGeometry(area.pixels());
        if (area.tooltip) widget->setToolTip(QString::fromLatin1(area.tooltip));
        const HotAction action = area.action;
        auto run = [this, action] {
            switch (action) {
                case HotAction::Options:
                    popUp(melodrop_.optionsMenu(), QCursor::pos());
                    break;
                case HotAction::TitleBar:
                    break;  // the dragger moves the window
                case HotAction::Exit:
                    melodrop_.exit();
                    break;
                case HotAction::Play:
                    melodrop_.play();
                    break;
                case HotAction::Pause:
                    melodrop_.pause();
                    break;
                case HotAction::Stop:
                    melodrop_.stop();
                    break;
                case HotAction::Rewind:
                    melodrop_.rewind();
                    break;
                case HotAction::Previous:
                    melodrop_.previous();
                    break;
                case HotAction::Next:
                    melodrop_.next();
                    break;
                case HotAction::FastForward:
                    melodrop_.fastForward();
                    break;
            }
        };
        if (area.event == HotEvent::LeftPress)
            connect(widget, &HotArea::leftPressed, this, run);
        else
            connect(widget, &HotArea::clicked, this, run);
        if (action == HotAction::TitleBar) {
            dragger_->watch(widget);
            connect(widget, &HotArea::doubleClicked, this, [this] { melodrop_.rollToggle(); });
            // From the keyboard the title band rolls the window, as a double-click does.
            connect(widget, &HotArea::activated, this, [this] { melodrop_.rollToggle(); });
        } else if (action == HotAction::Options) {
            connect(widget, &HotArea::activated, this, [this] { popUpOptionsFromKeyboard(); });
        } else {
            connect(widget, &HotArea::activated, this, run);
        }
        widget->setAccessibleName(QString::fromUtf8(area.accessibleName));
        widget->setAccessibleDescription(QString::fromUtf8(area.description));
    }
}

void PlayerWindow::buildList() {
    list_ = new TrackListView(melodrop_.tracks(), this);
    list_->setObjectName(QStringLiteral("fileMP3s"));
    list_->setGeometry(trackListRect());
    connect(list_, &TrackListView::fileDoubleClicked, this,
            [this](int index) { melodrop_.playListed(index); });
    connect(list_, &TrackListView::contextMenuRequested, this, [this](const QPoint& pos) {
        const MenuItem menu = melodrop_.optionsMenu();
        if (const MenuItem* sub = findMenuItem(menu, QStringLiteral("mp3playeroptions")))
            popUp(*sub, pos);
    });
}

void PlayerWindow::buildSlider() {
    slider_ = new QSlider(Qt::Horizontal, this);
    slider_->setObjectName(QStringLiteral("Slider1"));
    slider_->setGeometry(volumeSliderRect());
    slider_->setRange(0, 100);
    slider_->setSingleStep(1);
    slider_->setPageStep(5);
    slider_->setTickPosition(QSlider::NoTicks);
    slider_->setToolTip(kVolumeTooltip);
    // A click or Tab gives it the keyboard: arrows move it by 1, page keys by 5.
    slider_->setFocusPolicy(Qt::StrongFocus);
    slider_->setStyleSheet(QString::fromLatin1(kSliderStyle));
    slider_->setValue(melodrop_.window().slider());
    connect(slider_, &QSlider::valueChanged, this,
            [this](int position) { melodrop_.sliderMoved(position); });
}

void PlayerWindow::describe() {
    setAccessibleName(QStringLiteral("melodrop"));
    picture_->setAccessibleName(QStringLiteral("Skin picture"));
    picture_->setAccessibleDescription(
        QStringLiteral("The skin's picture; drag it to move the window"));
    list_->setAccessibleName(QStringLiteral("MP3 files"));
    list_->setAccessibleDescription(
        QStringLiteral("The MP3 files of the folder. Enter plays the selected file, Space pauses "
                       "and resumes, the Menu key opens the player options"));
    slider_->setAccessibleName(QStringLiteral("Volume"));
    slider_->setAccessibleDescription(
        QStringLiteral("The volume, 0 to 100: the arrow keys move it by 1, Page Up and Page "
                       "Down by 5"));
    // The list has the keyboard first.
    list_->setFocus();
}

QString PlayerWindow::nowPlaying() const {
    return nowPlaying_ ? nowPlaying_->text() : QString();
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const bool menuKey = event->key() == Qt::Key_Menu && modifiers == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier;
    if (menuKey || shiftF10) {
        popUpOptionsFromKeyboard();
        return;
    }
    if (event->key() == Qt::Key_Space && modifiers == Qt::NoModifier) {
        if (!event->isAutoRepeat()) melodrop_.playOrPause();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlayerWindow::popUpOptionsFromKeyboard() {
    // Below the options area, where a click would have opened it.
    const HotArea* options = hotArea(QStringLiteral("lblOptions"));
    const QPoint at = options ? options->mapToGlobal(options->rect().bottomLeft()) : pos();
    popUp(melodrop_.optionsMenu(), at);
    if (popup_ && !popup_->actions().isEmpty()) popup_->setActiveAction(popup_->actions().first());
}

HotArea* PlayerWindow::hotArea(const QString& name) const {
    return findChild<HotArea*>(name, Qt::FindDirectChildrenOnly);
}

void PlayerWindow::followModel() {
    const PlayerWindowModel& model = melodrop_.window();
    setFixedSize(kFaceWidth, twipsToPixels(model.heightTwips()));
    if (HotArea* title = hotArea(QStringLiteral("lblTitleBar")))
        title->setToolTip(model.titleTooltip());
    if (model.picture().cacheKey() != pictureKey_) {
        pictureKey_ = model.picture().cacheKey();
        picture_->showImage(model.picture());
    }
    list_->setColors(model.listBackColor().value_or(builtinListBack()),
                     model.listForeColor().value_or(builtinListFore()));
    {
        const QSignalBlocker quiet(slider_);
        slider_->setValue(model.slider());
    }
}

void PlayerWindow::popUp(const MenuItem& item, const QPoint& globalPos) {
    if (popup_) popup_->deleteLater();
    popup_ = buildPopupMenu(item, this, [this](const QString& name) {
        // Run the item once the menu has finished with its own events: the item may open
        // a modal question, and the closed menu may be deleted meanwhile.
        QMetaObject::invokeMethod(
            this, [this, name] { melodrop_.menuTriggered(name); }, Qt::QueuedConnection);
    });
    connect(popup_, &QMenu::aboutToHide, popup_, &QObject::deleteLater);
    popup_->popup(globalPos);
}

void PlayerWindow::setFlag(Qt::WindowType flag, bool on) {
    if (windowFlags().testFlag(flag) == on) return;
    // Changing the flags re-creates the native window: keep its place, state and visibility.
    const bool wasVisible = isVisible();
    const QPoint place = pos();
    const Qt::WindowStates states = windowState();
    setWindowFlag(flag, on);
    move(place);
    setWindowState(states);
    if (wasVisible) show();
}

void PlayerWindow::setOnTop(bool onTop) {
    setFlag(Qt::WindowStaysOnTopHint, onTop);
}

bool PlayerWindow::isOnTop() const {
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void PlayerWindow::minimizeWindow() {
    if (isVisible())
        showMinimized();
    else
        setWindowState(windowState() | Qt::WindowMinimized);
}

void PlayerWindow::restoreWindow() {
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void PlayerWindow::minimizeToTaskbar() {
    inTaskbar_ = true;
    setFlag(Qt::Tool, false);
    showMinimized();
}

void PlayerWindow::leaveTaskbar() {
    if (!inTaskbar_) return;
    inTaskbar_ = false;
    setFlag(Qt::Tool, true);
}

void PlayerWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    // Report it once the state change is done: the answer re-creates the native window.
    if (inTaskbar_ && !isMinimized())
        QMetaObject::invokeMethod(this, &PlayerWindow::restoredFromTaskbar, Qt::QueuedConnection);
}

}  // namespace melodrop::ui
