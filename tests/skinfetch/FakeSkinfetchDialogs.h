#pragma once
#include <QStringList>

#include "skinfetch/SkinfetchDialogs.h"

namespace melodrop::skinfetch::testing {

// Records "save <title>|<filter>|<name>|<folder>" and "box <title>|<text>"; the save dialog
// answers from a queue ("" once it is empty, as if cancelled).
class FakeSkinfetchDialogs : public SkinfetchDialogs {
public:
    QString saveFileDialog(const QString& title, const QString& filter, const QString& fileName,
                           const QString& initialFolder) override {
        requests << "save " + title + '|' + filter + '|' + fileName + '|' + initialFolder;
        return saveAnswers.isEmpty() ? QString() : saveAnswers.takeFirst();
    }
    void messageBox(const QString& text, const QString& title, BoxIcon icon) override {
        requests << "box " + title + '|' + text;
        icons << icon;
    }

    QStringList requests;
    QList<BoxIcon> icons;
    QStringList saveAnswers;
};

}  // namespace melodrop::skinfetch::testing
