#include "ui/TrackListView.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QToolTip>

#include "base/TrackList.h"
#include "ui/HotArea.h"

namespace melodrop::ui {

QFont smallListFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Small Fonts"), QStringLiteral("DejaVu Sans"),
                      QStringLiteral("Liberation Sans"), QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(6.75);
    font.setWeight(QFont::Normal);
    return font;
}

TrackListView::TrackListView(TrackList& tracks, QWidget* parent)
    : QListView(parent), tracks_(tracks) {
    setModel(&tracks_);
    setFont(smallListFont());
    setFrameShape(QFrame::NoFrame);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setUniformItemSizes(true);
    setMouseTracking(true);
    setTextElideMode(Qt::ElideRight);
    // A slim scroll bar that fits the small list. Styled on the bar alone: a style sheet on the
    // list itself would keep the skin's colours from reaching the list's background.
    verticalScrollBar()->setStyleSheet(QStringLiteral(
        "QScrollBar:vertical { width: 6px; background: transparent; margin: 0; }"
        "QScrollBar::handle:vertical { background: rgba(128,128,128,150); min-height: 8px;"
        " border-radius: 2px; }"
        "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical { height: 0; }"
        "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical { background: none; }"));

    // Follow what the user selects, not the current row: the view makes its first row current
    // when it gets the focus, and that must not count as a choice.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (!rows.isEmpty()) currentRowChanged(rows.first());
    });
    connect(&tracks_, &TrackList::selectionChanged, this,
            [this](int index) { showSelection(index); });
    // A re-read of the folder resets the view; show the list's selection again afterwards.
    connect(&tracks_, &QAbstractItemModel::modelReset, this,
            [this] { showSelection(tracks_.selectedIndex()); });
    showSelection(tracks_.selectedIndex());
}

void TrackListView::setColors(const QColor& back, const QColor& fore) {
    QPalette pal = palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        pal.setColor(group, QPalette::Base, back);
        pal.setColor(group, QPalette::Window, back);
        pal.setColor(group, QPalette::Text, fore);
        // The selection is the list's colours swapped, as a list box shows it.
        pal.setColor(group, QPalette::Highlight, fore);
        pal.setColor(group, QPalette::HighlightedText, back);
    }
    setPalette(pal);
    viewport()->setPalette(pal);
    viewport()->update();
}

void TrackListView::showSelection(int index) {
    if (syncing_) return;
    syncing_ = true;
    if (index < 0 || index >= tracks_.count()) {
        selectionModel()->clear();
    } else {
        const QModelIndex row = tracks_.index(index);
        selectionModel()->setCurrentIndex(row, QItemSelectionModel::ClearAndSelect);
        scrollTo(row);
    }
    syncing_ = false;
}

void TrackListView::currentRowChanged(const QModelIndex& current) {
    if (syncing_ || !current.isValid()) return;
    syncing_ = true;
    tracks_.select(current.row());
    syncing_ = false;
}

void TrackListView::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::RightButton) {
        // The right button opens the menu and leaves the selection alone.
        emit contextMenuRequested(event->globalPosition().toPoint());
        event->accept();
        return;
    }
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    QListView::mousePressEvent(event);
}

void TrackListView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const QModelIndex row = indexAt(event->position().toPoint());
    if (!row.isValid()) return;
    // The first press selected the row already; make sure, then play it.
    if (tracks_.selectedIndex() != row.row()) tracks_.select(row.row());
    emit fileDoubleClicked(row.row());
}

void TrackListView::mouseMoveEvent(QMouseEvent* event) {
    setToolTip(tracks_.selectedName());
    QListView::mouseMoveEvent(event);
}

bool TrackListView::viewportEvent(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        // The tooltip names the selected file wherever the pointer is, not the row under it.
        const QString tip = tracks_.selectedName();
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(static_cast<QHelpEvent*>(event)->globalPos(), tip, this);
        return true;
    }
    return QListView::viewportEvent(event);
}

void TrackListView::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        // As a double-click on the selected file.
        if (tracks_.selectedIndex() >= 0 && !event->isAutoRepeat())
            emit fileDoubleClicked(tracks_.selectedIndex());
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space) {
        event->ignore();  // the window's: pause and resume
        return;
    }
    switch (event->key()) {
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // The row the view made current when it got the focus was not chosen: with nothing
            // selected, the first move selects the first file.
            if (tracks_.selectedIndex() < 0)
                selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
            break;
        default:
            break;
    }
    QListView::keyPressEvent(event);
}

void TrackListView::paintEvent(QPaintEvent* event) {
    QListView::paintEvent(event);
    if (hasFocus()) paintFocusMark(*viewport(), viewport()->rect());
}

void TrackListView::focusInEvent(QFocusEvent* event) {
    QListView::focusInEvent(event);
    viewport()->update();
}

void TrackListView::focusOutEvent(QFocusEvent* event) {
    QListView::focusOutEvent(event);
    viewport()->update();
}

}  // namespace melodrop::ui
