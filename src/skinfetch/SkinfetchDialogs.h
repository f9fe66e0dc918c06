#pragma once
// What skinfetch asks of the user: the save dialog and message boxes. The program answers with
// Qt dialogs; tests answer from a script.
#include <QString>

namespace melodrop::skinfetch {

enum class BoxIcon { None, Warning };

class SkinfetchDialogs {
public:
    virtual ~SkinfetchDialogs() = default;
    // The chosen path, or "" when cancelled. filter is in the "Description|pattern" form.
    virtual QString saveFileDialog(const QString& title, const QString& filter,
                                   const QString& fileName, const QString& initialFolder) = 0;
    // A message box with an OK button.
    virtual void messageBox(const QString& text, const QString& title, BoxIcon icon) = 0;
};

}  // namespace melodrop::skinfetch
