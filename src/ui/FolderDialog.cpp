#include "ui/FolderDialog.h"

#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QStorageInfo>

#include "ui/AppIcon.h"
#include "ui/FolderList.h"
#include "ui/PlayerLayout.h"

namespace melodrop::ui {

FolderDialog::FolderDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("frmMP3Dir"));
    setWindowTitle(QStringLiteral("melodrop - choose mp3 folder"));
    setWindowIcon(appIcon());
    setModal(false);
    setFixedSize(toPixels(0, 0, 3705, 2085).size());

    dirs_ = new FolderList(this);
    dirs_->setObjectName(QStringLiteral("Dir1"));
    dirs_->setGeometry(toPixels(120, 120, 3495, 1440));

    drives_ = new QComboBox(this);
    drives_->setObjectName(QStringLiteral("Drive1"));
    drives_->setGeometry(toPixels(120, 1680, 1575, 315));

    ok_ = new QPushButton(QStringLiteral("&OK"), this);
    ok_->setObjectName(QStringLiteral("cmdOK"));
    ok_->setGeometry(toPixels(1800, 1680, 855, 310));
    ok_->setAutoDefault(false);

    cancel_ = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel_->setObjectName(QStringLiteral("cmdCancel"));
    cancel_->setGeometry(toPixels(2760, 1680, 855, 310));
    cancel_->setAutoDefault(false);

    dirs_->setPath(QDir::currentPath());
    fillDrives();

    connect(ok_, &QPushButton::clicked, this, [this] { emit okPressed(folder()); });
    connect(cancel_, &QPushButton::clicked, this, &FolderDialog::reject);
    connect(drives_, &QComboBox::activated, this, &FolderDialog::driveChosen);
}

QString FolderDialog::folder() const {
    return dirs_->path();
}

void FolderDialog::fillDrives() {
    const QString here = QStorageInfo(QDir::currentPath()).rootPath();
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (!volume.isValid() || !volume.isReady()) continue;
        const QString root = QDir::toNativeSeparators(volume.rootPath());
        const QString label = volume.name().isEmpty()
                                  ? root
                                  : root + QStringLiteral(" [") + volume.name() + QLatin1Char(']');
        if (drives_->findData(volume.rootPath()) >= 0) continue;
        drives_->addItem(label, volume.rootPath());
    }
    const int current = drives_->findData(here);
    if (current >= 0) drives_->setCurrentIndex(current);
}

void FolderDialog::driveChosen(int index) {
    // A drive that cannot be opened (no medium) leaves the folder list where it was.
    dirs_->setPath(drives_->itemData(index).toString());
}

void FolderDialog::showCentred() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
    show();
    raise();
    activateWindow();
}

void FolderDialog::reject() {
    emit cancelPressed();
    // Whatever the answer, the dialog goes away, so the close box always closes it.
    hide();
}

}  // namespace melodrop::ui
