#pragma once
// What plays and where, for the tooltips of the player window and the tray icon:
// "love song.mp3 - 1:02 / 3:45". NowPlayingTips keeps that text up to date: once a second on
// the program's clock while a track plays, and at once when it opens, pauses, stops or jumps.
#include <QObject>
#include <QString>
#include <memory>

namespace melodrop {
class Melodrop;
class PlaybackTracker;
class Timer;
}  // namespace melodrop

namespace melodrop::ui {

// "1:02", or "1:02:03" from an hour on; negative times count as 0.
QString clockText(double seconds);
// "love song.mp3 - 1:02 / 3:45" for the open track ("- 1:02" alone when its length is not
// known), with " (paused)" while paused; "" when nothing plays or is paused.
QString nowPlayingText(const PlaybackTracker& playback);
// The tray icon's tooltip, one line after another: the program's own tip, what plays (when
// something does) and how the chat client is reached.
QString trayToolTip(const QString& tip, const QString& nowPlaying, const QString& link);

class NowPlayingTips : public QObject {
    Q_OBJECT
public:
    explicit NowPlayingTips(Melodrop& program, QObject* parent = nullptr);
    ~NowPlayingTips() override;

    QString text() const { return text_; }

signals:
    void changed(const QString& text);

private:
    void update();

    Melodrop& program_;
    std::unique_ptr<Timer> tick_;
    QString text_;
};

}  // namespace melodrop::ui
