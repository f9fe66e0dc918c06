#pragma once
// `frmMP3Dir`, "melodrop - choose mp3 folder": the folder list `Dir1`, the drive list `Drive1`
// and the buttons `cmdOK` and `cmdCancel`. It is created once and then only hidden and shown,
// so it keeps the folder last browsed to. It decides nothing itself: OK and Cancel (and the
// close box) are reported.
#include <QDialog>

class QComboBox;
class QPushButton;

namespace melodrop::ui {

class FolderList;

class FolderDialog : public QDialog {
    Q_OBJECT
public:
    // Starts at the process's current folder.
    explicit FolderDialog(QWidget* parent = nullptr);

    QString folder() const;
    FolderList* folderList() const { return dirs_; }
    QComboBox* driveList() const { return drives_; }

    // Shows the dialog centred on the screen, above other windows.
    void showCentred();

signals:
    void okPressed(const QString& folder);
    void cancelPressed();

public slots:
    // Cancel, Escape and the close box.
    void reject() override;

private:
    void fillDrives();
    void driveChosen(int index);

    FolderList* dirs_ = nullptr;
    QComboBox* drives_ = nullptr;
    QPushButton* ok_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace melodrop::ui
