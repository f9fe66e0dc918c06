#include "chat/IgnoreCommands.h"

#include <string>
#include <vector>

#include "options/NumberText.h"

namespace melodrop {

void IgnoreCommands::ignore(const QString& part, Announcement line) {
    // lstRoom only grows: names of earlier rooms stay and can match first.
    std::vector<std::string> names;
    ctx_.aol.AddRoomToList(names, false);
    for (const std::string& name : names) ctx_.state.lstRoom << QString::fromStdString(name);

    const QString needle = part.toLower();
    for (const QString& entry : ctx_.state.lstRoom) {
        if (!entry.contains(needle)) continue;
        const QString member = entry;  // the ignore waits on the client; keep a copy
        ctx_.announcer.announce(line, member);
        ctx_.aol.ChatIgnore(member.toStdString());
        return;
    }
}

void IgnoreCommands::saveImmuneList() {
    std::vector<std::string> entries;
    entries.reserve(ctx_.state.lstImmune.size());
    for (const QString& entry : ctx_.state.lstImmune) entries.push_back(entry.toStdString());
    ctx_.aol.SaveList(entries, ctx_.immuneFile().toStdString());
}

void IgnoreCommands::immune(const QString& name) {
    ctx_.state.lstImmune << name.toLower();
    saveImmuneList();
    ctx_.announcer.announce(Announcement::Immuned, name);
}

void IgnoreCommands::unimmune(const QString& part) {
    const QString needle = part.toLower();
    QStringList& list = ctx_.state.lstImmune;
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (!list.at(i).toLower().contains(needle)) continue;
        // Taken out before the line goes, so that nothing in between can shift the index.
        const QString entry = list.takeAt(i);
        ctx_.announcer.announce(Announcement::Unimmuned, entry);
        saveImmuneList();
        return;
    }
}

void IgnoreCommands::viewImmune() {
    ctx_.desktop.openWithShell(ctx_.immuneFile());
    ctx_.announcer.announce(Announcement::ViewingImmune);
}

void IgnoreCommands::autoIgnoreOn(const QString& count) {
    if (!parseNumber(count)) return;
    ctx_.announcer.announce(Announcement::SetAutoXer, count);
    ctx_.state.Label1 = count;
    ctx_.chat1.ScanOn();
}

void IgnoreCommands::autoIgnoreOff() {
    ctx_.state.Label1.clear();
    ctx_.chat1.ScanOff();
    ctx_.announcer.announce(Announcement::SetAutoXerOff);
}

}  // namespace melodrop
