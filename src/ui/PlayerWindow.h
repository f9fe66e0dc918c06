#pragma once
// `frmMain`: the borderless, skinned player window. It shows what the program's logic holds
// (height, picture, list colours, tooltips, slider, the track list) and forwards every click,
// press and movement to melodrop::Melodrop. Its window states (minimised, restored, hidden,
// topmost) are driven by the desktop.
//
// The keyboard reaches everything: Tab moves through the list, the slider and the hot areas
// (each shows a focus mark), Enter on the list plays the selected file, Enter or Space on a hot
// area presses it, Space elsewhere pauses and resumes, and the Menu key or Shift+F10 opens the
// options menu. Every control has an accessible name and description. The window's tooltip
// tells what plays and where ("love song.mp3 - 1:02 / 3:45").
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

class QSlider;

namespace melodrop {
class Melodrop;
struct MenuItem;
}  // namespace melodrop

namespace melodrop::ui {

class HotArea;
class NowPlayingTips;
class SkinPicture;
class TrackListView;
class WindowDragger;

class PlayerWindow : public QWidget {
    Q_OBJECT
public:
    explicit PlayerWindow(Melodrop& melodrop, QWidget* parent = nullptr);

    // Topmost or not; the window keeps its place and its visibility.
    void setOnTop(bool onTop);
    bool isOnTop() const;

    // Minimised and back. Restoring brings a minimised borderless window back to the screen.
    void minimizeWindow();
    void restoreWindow();

    // While the window stands in for a missing tray icon it is minimised with a task-bar
    // entry, so that it can always be brought back.
    void minimizeToTaskbar();
    bool isInTaskbar() const { return inTaskbar_; }
    void leaveTaskbar();

    // The popup menu that is up (the options menu or the list's submenu), if any.
    QMenu* popupMenu() const { return popup_; }
    SkinPicture* picture() const { return picture_; }
    TrackListView* trackList() const { return list_; }
    QSlider* volumeSlider() const { return slider_; }
    HotArea* hotArea(const QString& name) const;
    // What plays and where, as the tooltips show it ("" when nothing plays).
    QString nowPlaying() const;

signals:
    // The user brought the window back from the task bar while it stood in for the tray icon.
    void restoredFromTaskbar();
    void nowPlayingChanged(const QString& text);

protected:
    void changeEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void buildHotAreas();
    void buildList();
    void buildSlider();
    void describe();
    void followModel();
    void popUp(const MenuItem& item, const QPoint& globalPos);
    void popUpOptionsFromKeyboard();
    void setFlag(Qt::WindowType flag, bool on);

    Melodrop& melodrop_;
    SkinPicture* picture_ = nullptr;
    TrackListView* list_ = nullptr;
    QSlider* slider_ = nullptr;
    WindowDragger* dragger_ = nullptr;
    NowPlayingTips* nowPlaying_ = nullptr;
    QPointer<QMenu> popup_;
    qint64 pictureKey_ = QImage().cacheKey();  // the model's picture last applied
    bool inTaskbar_ = false;
};

}  // namespace melodrop::ui
