#include "base/PlayerWindowModel.h"

#include <algorithm>

namespace melodrop {

void PlayerWindowModel::setHeightTwips(int twips) {
    if (twips == heightTwips_) return;
    heightTwips_ = twips;
    emit changed();
}

void PlayerWindowModel::setTitleTooltip(const QString& tip) {
    if (tip == titleTooltip_) return;
    titleTooltip_ = tip;
    emit changed();
}

void PlayerWindowModel::setSlider(int position) {
    position = std::clamp(position, 0, 100);
    if (position == slider_) return;
    slider_ = position;
    emit sliderChanged(position);
}

void PlayerWindowModel::setPicture(const QString& path, const QImage& picture) {
    picturePath_ = picture.isNull() ? QString() : path;
    picture_ = picture;
    emit changed();
}

void PlayerWindowModel::setListColors(std::optional<QColor> back, std::optional<QColor> fore) {
    back_ = back;
    fore_ = fore;
    emit changed();
}

}  // namespace melodrop
