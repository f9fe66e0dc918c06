#pragma once
// `fileMP3s`: the file list of the player window, a view on the track list. Its selection and
// the track list's selection follow each other; a double-click, or Enter, plays the selected
// file; the tooltip shows the selected name; a right press asks for the context menu at the
// pointer. Space is left to the window (pause and resume); the focused list shows a focus mark.
#include <QListView>

namespace melodrop {
class TrackList;
}

namespace melodrop::ui {

class TrackListView : public QListView {
    Q_OBJECT
public:
    TrackListView(TrackList& tracks, QWidget* parent = nullptr);

    // The list's colours; an unset colour falls back to the built-in face's.
    void setColors(const QColor& back, const QColor& fore);

signals:
    void fileDoubleClicked(int index);
    void contextMenuRequested(const QPoint& globalPos);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void showSelection(int index);
    void currentRowChanged(const QModelIndex& current);

    TrackList& tracks_;
    bool syncing_ = false;
};

// The list's font: "Small Fonts" at 6.75 points, normal weight, falling back to a small sans
// font where that family is not installed.
QFont smallListFont();

}  // namespace melodrop::ui
