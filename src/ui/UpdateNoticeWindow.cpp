#include "ui/UpdateNoticeWindow.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/AppIcon.h"

namespace melodrop::ui {

UpdateNoticeWindow::UpdateNoticeWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::CustomizeWindowHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmUpdates"));
    setWindowTitle(QStringLiteral("melodrop"));
    setWindowIcon(appIcon());
    auto* text = new QLabel(QStringLiteral("checking for updates please wait..."), this);
    text->setObjectName(QStringLiteral("lblChecking"));
    text->setAlignment(Qt::AlignCenter);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 14, 18, 14);
    layout->addWidget(text);
    setFixedSize(sizeHint().expandedTo(QSize(240, 56)));
}

void UpdateNoticeWindow::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
}

}  // namespace melodrop::ui
