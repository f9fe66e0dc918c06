#pragma once
// Where the programs' files are. Run from the build tree, everything lies beside the program:
// the skins folder, commands.txt and immune.txt, read and written in one folder. Installed, the
// program's folder is read-only: the shipped files (skins, commands.txt) lie in the shipped
// folder (<prefix>/share/melodrop), and everything the programs write (immune.txt, downloaded
// skins, skinfetch's list copy, the update archive) goes to the per-user data folder
// (~/.local/share/melodrop). Skins are looked up in the per-user folder first, then in the
// shipped one.
#include <QString>
#include <QStringList>

namespace melodrop {

class FileLocations {
public:
    // Everything beside the program in programFolder (the build tree, the tests). Implicit, so
    // that a folder can be given wherever locations are expected.
    FileLocations(QString programFolder);  // NOLINT(google-explicit-constructor)
    // An installed program: the shipped files in shippedFolder, its own writing in userFolder.
    FileLocations(QString programFolder, QString shippedFolder, QString userFolder);

    // How the program lying in programFolder finds its files: installed when the shipped folder
    // lies where the install puts it (programFolder/../share/melodrop), beside it otherwise.
    static FileLocations forProgram(const QString& programFolder);
    // The running program's (the folder of its executable), with the per-user folder prepared.
    static FileLocations forThisProgram();
    // The per-user data folder of melodrop (also skinfetch's): ~/.local/share/melodrop.
    static QString perUserFolder();

    bool installed() const { return installed_; }
    // Where melodrop and skinfetch lie.
    QString programFolder() const { return programFolder_; }
    // The read-only files that come with the program.
    QString shippedFolder() const { return shippedFolder_; }
    // Where the programs write.
    QString userFolder() const { return userFolder_; }

    // The skins folders in lookup order: the per-user one, then the shipped one (one folder
    // when both are the same).
    QStringList skinsFolders() const;
    // The skins folder the programs write into (skinfetch's downloads).
    QString userSkinsFolder() const;
    // A skin picture named by a skin's "image" value: the first skins folder that holds it, or
    // the first skins folder's path when none does (so that loading it fails as for any missing
    // picture).
    QString skinPicture(const QString& image) const;
    // Where the change-skin dialog opens: the per-user skins folder once it holds a skin file,
    // the shipped one before that.
    QString skinDialogFolder() const;

    QString immuneFile() const;
    QString commandsFile() const;

    // Where melodrop-bridge.exe may lie, in lookup order. Installed, in the programs' helper
    // folder (<prefix>/lib/melodrop), found relative to the programs' folder; in the build tree,
    // beside the program, then in the build's Windows output (windows-x64/bin).
    QStringList bridgeProgramPlaces() const;

    // Installed: makes the per-user folder and its skins folder, and an empty immune list when
    // there is none yet (as a fresh copy beside the program would have), so that the first
    // start finds everything in place. Beside the program nothing is made. False when something
    // could not be made.
    bool prepareUserFolder() const;

private:
    QString programFolder_;
    QString shippedFolder_;
    QString userFolder_;
    bool installed_ = false;
};

}  // namespace melodrop
