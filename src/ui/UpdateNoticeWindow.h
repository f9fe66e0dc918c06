#pragma once
// `frmUpdates`: the small topmost window that says an update check is running.
#include <QWidget>

namespace melodrop::ui {

class UpdateNoticeWindow : public QWidget {
    Q_OBJECT
public:
    explicit UpdateNoticeWindow(QWidget* parent = nullptr);
    void showCentred();
};

}  // namespace melodrop::ui
