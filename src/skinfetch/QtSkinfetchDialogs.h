#pragma once
#include <QPointer>
#include <QWidget>

#include "skinfetch/SkinfetchDialogs.h"

namespace melodrop::skinfetch {

// "Description|pattern|Description|pattern" as Qt's "Description (pattern);;..." filter list.
QString qtFileFilter(const QString& pipeSeparatedFilter);

// The real dialogs: QFileDialog and QMessageBox, modal to the skinfetch window.
class QtSkinfetchDialogs : public SkinfetchDialogs {
public:
    void setParentWidget(QWidget* parent) { parent_ = parent; }
    QString saveFileDialog(const QString& title, const QString& filter, const QString& fileName,
                           const QString& initialFolder) override;
    void messageBox(const QString& text, const QString& title, BoxIcon icon) override;

private:
    QPointer<QWidget> parent_;
};

}  // namespace melodrop::skinfetch
