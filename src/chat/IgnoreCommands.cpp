#include "chat/IgnoreCommands.h"

#include <string>
#include <vector>

#include "base/NumberText.h"

namespace melodrop {

void IgnoreCommands::ignore(const QString& part, Announcement line) {
    // lstRoom only grows: names of earlier rooms stay and can match first.
    std::vector<std::string> names;
    aol_.AddRoomToList(names, false);
    for (const std::string& name : names) state_.lstRoom << QString::fromStdString(name);

    const QString needle = part.toLower();
    for (const QString& entry : state_.lstRoom) {
        if (!entry.contains(needle)) continue;
        const QString member = entry;  // the ignore waits on the client; keep a copy
        announcer_.announce(line, member);
        aol_.ChatIgnore(member.toStdString());
        return;
    }
}

void IgnoreCommands::saveImmuneList() {
    std::vector<std::string> entries;
    entries.reserve(state_.lstImmune.size());
    for (const QString& entry : state_.lstImmune) entries.push_back(entry.toStdString());
    aol_.SaveList(entries, files_.immuneFile().toStdString());
}

void IgnoreCommands::immune(const QString& name) {
    state_.lstImmune << name.toLower();
    saveImmuneList();
    announcer_.announce(Announcement::Immuned, name);
}

void IgnoreCommands::unimmune(const QString& part) {
    const QString needle = part.toLower();
    QStringList& list = state_.lstImmune;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).toLower().contains(needle)) continue;
        // Taken out before the line goes, so that nothing in between can shift the index.
        const QString entry = list.takeAt(i);
        announcer_.announce(Announcement::Unimmuned, entry);
        saveImmuneList();
        return;
    }
}

void IgnoreCommands::viewImmune() {
    desktop_.openWithShell(files_.immuneFile());
    announcer_.announce(Announcement::ViewingImmune);
}

void IgnoreCommands::autoIgnoreOn(const QString& count) {
    if (!parseNumber(count)) return;
    announcer_.announce(Announcement::SetAutoXer, count);
    state_.Label1 = count;
    chat1_.ScanOn();
}

void IgnoreCommands::autoIgnoreOff() {
    state_.Label1.clear();
    chat1_.ScanOff();
    announcer_.announce(Announcement::SetAutoXerOff);
}

}  // namespace melodrop
