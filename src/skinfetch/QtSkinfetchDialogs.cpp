#include "skinfetch/QtSkinfetchDialogs.h"

#include <QFileDialog>
#include <QMessageBox>

namespace melodrop::skinfetch {

QString qtFileFilter(const QString& pipeSeparatedFilter) {
    const QStringList parts = pipeSeparatedFilter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << parts.at(i) + QStringLiteral(" (") + parts.at(i + 1) + QLatin1Char(')');
    return filters.join(QStringLiteral(";;"));
}

QString QtSkinfetchDialogs::saveFileDialog(const QString& title, const QString& filter,
                                           const QString& fileName, const QString& initialFolder) {
    return QFileDialog::getSaveFileName(parent_, title, initialFolder + QLatin1Char('/') + fileName,
                                        qtFileFilter(filter));
}

void QtSkinfetchDialogs::messageBox(const QString& text, const QString& title, BoxIcon icon) {
    QMessageBox box(icon == BoxIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title,
                    text, QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace melodrop::skinfetch
