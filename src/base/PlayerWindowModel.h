#pragma once
// What the player window shows, held apart from the widgets: its height (in twips), the title
// band's tooltip, the volume slider, the paused flag, the skin picture and the list colours.
// The widgets follow the changed() signal; the logic writes the fields through the setters.
#include <QColor>
#include <QImage>
#include <QObject>
#include <QString>
#include <optional>

namespace melodrop {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kWindowWidthTwips = 2220;
inline constexpr int kRolledDownTwips = 1350;
inline constexpr int kRolledUpTwips = 225;
inline constexpr int kInitialSlider = 90;

class PlayerWindowModel : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    int heightTwips() const { return heightTwips_; }
    void setHeightTwips(int twips);

    QString titleTooltip() const { return titleTooltip_; }
    void setTitleTooltip(const QString& tip);

    // The volume slider `Slider1`, 0 to 100.
    int slider() const { return slider_; }
    void setSlider(int position);

    // `blnPaused`
    bool paused() const { return paused_; }
    void setPaused(bool paused) { paused_ = paused; }

    // The picture of `imgPic`: the picture decoded from a file, or none (a null image and an
    // empty path) for the built-in picture. The window shows exactly this image.
    QString picturePath() const { return picturePath_; }
    const QImage& picture() const { return picture_; }
    void setPicture(const QString& path, const QImage& picture);

    // The file list's colours; unset until a skin sets them.
    std::optional<QColor> listBackColor() const { return back_; }
    std::optional<QColor> listForeColor() const { return fore_; }
    void setListColors(std::optional<QColor> back, std::optional<QColor> fore);

signals:
    void changed();
    // The slider moved by the logic (not by the user).
    void sliderChanged(int position);

private:
    int heightTwips_ = kRolledDownTwips;
    QString titleTooltip_;
    int slider_ = kInitialSlider;
    bool paused_ = false;
    QString picturePath_;
    QImage picture_;
    std::optional<QColor> back_;
    std::optional<QColor> fore_;
};

}  // namespace melodrop
