#include "options/Skins.h"

#include <QColor>
#include <QDir>
#include <QFileInfo>

#include "base/NumberText.h"
#include "options/SkinPictureFile.h"

namespace melodrop {

namespace {

const QString kSection = QStringLiteral("melodrop");

// A colour reference keeps red in its lowest byte, then green, then blue.
std::optional<QColor> colorOf(const QString& text) {
    const auto ref = parseColorReference(text);
    if (!ref) return std::nullopt;
    return QColor(int(*ref & 0xFF), int((*ref >> 8) & 0xFF), int((*ref >> 16) & 0xFF));
}

}  // namespace

QString Skins::ini(const QString& key, const QString& skinFile) {
    return QString::fromStdString(
        aol_.ReadINI(kSection.toStdString(), key.toStdString(), skinFile.toStdString()));
}

Skins::SkinKeys Skins::readKeys(const QString& skinFile) {
    return {ini(QStringLiteral("image"), skinFile), ini(QStringLiteral("backcolor"), skinFile),
            ini(QStringLiteral("forecolor"), skinFile)};
}

bool Skins::showPicture(const QString& image) {
    // The picture is always looked for in the program's skins folders, not beside the skin file.
    const QString path = files_.skinPicture(image);
    // Decoded whole before it counts as loaded; the window shows this very picture.
    const DecodedPicture decoded = decodeSkinPicture(path);
    if (!decoded.ok()) return false;
    window_.setPicture(path, decoded.image);
    return true;
}

bool Skins::setBackColor(const QString& text) {
    const auto color = colorOf(text);
    if (!color) return false;
    window_.setListColors(color, window_.listForeColor());
    return true;
}

bool Skins::setForeColor(const QString& text) {
    const auto color = colorOf(text);
    if (!color) return false;
    window_.setListColors(window_.listBackColor(), color);
    return true;
}

void Skins::changeSkin() {
    desktop_.minimizePlayer();
    const QString chosen =
        desktop_.openFileDialog(QStringLiteral("Select a skin to open"),
                                QStringLiteral("Skins (*.mds)|*.mds"), files_.skinDialogFolder());
    const SkinKeys keys = chosen.isEmpty() ? SkinKeys{} : readKeys(chosen);
    // A picture or colour that does not load abandons the rest: what was applied stays, nothing
    // is saved or announced.
    if (!keys.usable() || !showPicture(keys.image) || !setBackColor(keys.back) ||
        !setForeColor(keys.fore)) {
        desktop_.restorePlayer();
        return;
    }
    options_.set(setting::skin, chosen);
    desktop_.restorePlayer();
    if (keys.image == QLatin1String("default.bmp"))
        options_.set(setting::skin, QStringLiteral("default"));
    announcer_.announce(Announcement::SkinChanged, ini(QStringLiteral("skinname"), chosen));
}

QString Skins::findStoredSkin(const QString& stored) const {
    if (QFileInfo(stored).isFile()) return stored;
    const QString name = QFileInfo(QDir::fromNativeSeparators(stored)).fileName();
    if (name.isEmpty()) return {};
    // Looked for as a skin's picture is: in the skins folders, the per-user one first.
    const QString candidate = files_.skinPicture(name);
    return QFileInfo(candidate).isFile() ? QDir::toNativeSeparators(candidate) : QString();
}

QString Skins::applyAtStartup() {
    const QString saved = options_.read(setting::skin);
    if (saved == QLatin1String("default")) return {};
    const QString builtIn = QStringLiteral(
        "; melodrop shows its built-in skin. another can be "
        "chosen with \"- change skin\" in the options menu.");
    const QString found = findStoredSkin(saved);
    if (found.isEmpty())
        return QStringLiteral("the skin \"%1\" was not found").arg(saved) + builtIn;
    const SkinKeys keys = readKeys(found);
    if (!keys.usable())
        return QStringLiteral(
                   "the skin \"%1\" cannot be used: it lacks \"image\", "
                   "\"backcolor\" or \"forecolor\"")
                   .arg(found) +
               builtIn;
    // Each part that fails is skipped; the others still apply.
    QStringList failed;
    if (!showPicture(keys.image)) failed << QStringLiteral("its picture \"%1\"").arg(keys.image);
    const bool backShown = setBackColor(keys.back);
    const bool foreShown = setForeColor(keys.fore);
    if (!backShown || !foreShown) failed << QStringLiteral("its colours");
    if (failed.isEmpty()) return {};
    return QStringLiteral("the skin \"%1\" could not show %2.")
        .arg(found, failed.join(QStringLiteral(" and ")));
}

}  // namespace melodrop
