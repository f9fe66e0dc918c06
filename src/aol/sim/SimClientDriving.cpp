// The simulated client driven from outside: the client starts and quits, the user signs on,
// rooms open, members join and speak, the user types; and what tests read back.
#include "aol/sim/SimClient.h"

#include <algorithm>
#include <cstring>

#include "aol/Ansi.h"
#include "aol/sim/SimText.h"

namespace aol::sim {

using namespace detail;

// ---- Driving -----------------------------------------------------------------------------------

void SimClient::start() {
    if (isRunning()) return;
    const Hwnd frame = create(0, Kind::Frame, "AOL Frame25", "America  Online");
    const Hwnd toolbar = create(frame, Kind::Plain, "AOL Toolbar", "");
    const Hwnd inner = create(toolbar, Kind::Plain, "_AOL_Toolbar", "");
    create(inner, Kind::Plain, "_AOL_Icon", "Read");
    create(inner, Kind::Plain, "_AOL_Icon", "Write");
    const Hwnd combo = create(inner, Kind::Plain, "_AOL_Combobox", "");
    create(combo, Kind::KeywordBox, "Edit", "");
    create(inner, Kind::Plain, "_AOL_Icon", "Go");
    create(frame, Kind::Mdi, "MDIClient", "");
    notify();
}

void SimClient::quit() {
    const std::vector<Hwnd> tops = topLevels_;
    for (const Hwnd top : tops) destroyQuietly(top);
    rooms_.clear();
    memory_.clear();
    posted_.clear();
    user_.clear();
    imsOn_ = true;
    notify();
}

bool SimClient::isRunning() const {
    return mdi() != 0;
}

void SimClient::signOn(const std::string& screenName) {
    if (!isRunning()) return;
    if (!user_.empty()) signOff();
    user_ = Utf8ToAnsi(screenName).substr(0, kNameBytes);
    const Hwnd welcome =
        create(mdi(), Kind::Document, "AOL Child", "Welcome, " + user_ + "!", true);
    create(welcome, Kind::Plain, "_AOL_Static", "Top News");
    create(welcome, Kind::Plain, "_AOL_Icon", "Mail");
    create(welcome, Kind::Plain, "_AOL_Icon", "People");
    create(welcome, Kind::Plain, "_AOL_Icon", "Channels");
    create(welcome, Kind::Plain, "_AOL_Image", "");
    notify();
}

void SimClient::signOff() {
    if (Window* m = find(mdi())) {
        const std::vector<Hwnd> children = m->children;
        for (const Hwnd child : children) destroyQuietly(child);
    }
    user_.clear();
    imsOn_ = true;
    notify();
}

std::string SimClient::signedOnUser() const {
    return AnsiToUtf8(user_);
}

Hwnd SimClient::openRoom(const std::string& name) {
    const Hwnd parent = mdi();
    if (parent == 0) return 0;
    const std::string caption = Utf8ToAnsi(name);
    const Hwnd rw = create(parent, Kind::Room, "AOL Child", caption, true);
    Room r;
    r.name = caption;
    create(rw, Kind::Plain, "_AOL_Static", "People Here");
    r.transcript = create(rw, Kind::Transcript, "RICHCNTL", "");
    r.list = create(rw, Kind::MemberList, "_AOL_Listbox", "");
    r.input = create(rw, Kind::InputBox, "RICHCNTL", "");
    create(rw, Kind::Plain, "_AOL_Icon", "Send");
    create(rw, Kind::Plain, "_AOL_Icon", "Notify AOL");
    create(rw, Kind::Plain, "_AOL_Static", caption);
    for (const Hwnd part : {r.transcript, r.list, r.input}) windows_.at(part).owner = rw;
    Room& stored = rooms_.emplace(rw, std::move(r)).first->second;
    if (!user_.empty()) addMember(stored, user_);
    notify();
    return rw;
}

void SimClient::closeRoom(const std::string& name) {
    documentGoes(roomHwnd(name));
}

std::vector<std::string> SimClient::openRooms() const {
    std::vector<std::string> names;
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w && w->kind == Kind::Room) names.push_back(AnsiToUtf8(w->text));
        }
    }
    return names;
}

std::string SimClient::currentRoom() const {
    const Window* w = find(roomHwnd({}));
    return w ? AnsiToUtf8(w->text) : std::string();
}

Hwnd SimClient::roomWindow(const std::string& name) const {
    return roomHwnd(name);
}

void SimClient::memberJoins(const std::string& name, const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    addMember(*r, Utf8ToAnsi(name));
    notify();
}

void SimClient::memberLeaves(const std::string& name, const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    const std::string key = Normalised(Utf8ToAnsi(name));
    const auto it = std::find_if(r->members.begin(), r->members.end(),
                                 [&](const Member& m) { return Normalised(m.name) == key; });
    if (it == r->members.end()) return;
    freeMember(*it);
    const auto index = static_cast<int>(it - r->members.begin());
    r->members.erase(it);
    if (r->selection == index) {
        r->selection = -1;
    } else if (r->selection > index) {
        --r->selection;
    }
    notify();
}

void SimClient::memberSays(const std::string& name, const std::string& text,
                           const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    const std::string sender = Utf8ToAnsi(name);
    if (r->ignored.count(AnsiLowerCase(sender))) return;  // ignored members never reach the room
    addLine(*r, sender, NoLineBreaks(Utf8ToAnsi(text)));
}

void SimClient::userTypesWithoutEnter(const std::string& text, const std::string& roomName) {
    const Room* r = room(roomName);
    if (!r) return;
    const Hwnd input = r->input;
    for (const char c : NoLineBreaks(Utf8ToAnsi(text))) {
        dispatch(input, kWmChar, static_cast<unsigned char>(c), 0);
    }
}

void SimClient::userTypes(const std::string& text, const std::string& roomName) {
    const Room* r = room(roomName);
    if (!r) return;
    const Hwnd input = r->input;
    userTypesWithoutEnter(text, roomName);
    dispatch(input, kWmChar, kCharEnter, 0);
}

std::string SimClient::transcriptBytes(const std::string& roomName) const {
    const Room* r = room(roomName);
    return r ? transcriptOf(*r) : std::string();
}

std::string SimClient::transcriptText(const std::string& roomName) const {
    return AnsiToUtf8(transcriptBytes(roomName));
}

std::vector<std::string> SimClient::transcriptLines(const std::string& roomName) const {
    std::vector<std::string> lines;
    if (const Room* r = room(roomName)) {
        for (const std::string& line : r->lines) lines.push_back(AnsiToUtf8(line));
    }
    return lines;
}

std::string SimClient::inputBox(const std::string& roomName) const {
    const Room* r = room(roomName);
    const Window* w = r ? find(r->input) : nullptr;
    return w ? AnsiToUtf8(w->text) : std::string();
}

std::vector<MemberInfo> SimClient::members(const std::string& roomName) const {
    std::vector<MemberInfo> out;
    if (const Room* r = room(roomName)) {
        for (const Member& m : r->members) {
            out.push_back(
                MemberInfo{AnsiToUtf8(m.name), r->ignored.count(AnsiLowerCase(m.name)) > 0});
        }
    }
    return out;
}

bool SimClient::isIgnored(const std::string& name, const std::string& roomName) const {
    const Room* r = room(roomName);
    return r && r->ignored.count(AnsiLowerCase(Utf8ToAnsi(name))) > 0;
}

void SimClient::setIgnored(const std::string& name, bool ignored, const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    const std::string key = AnsiLowerCase(Utf8ToAnsi(name));
    if (ignored) {
        r->ignored.insert(key);
    } else {
        r->ignored.erase(key);
    }
    notify();
}

void SimClient::setTranscriptLimit(std::size_t lines) {
    transcriptLimit_ = std::max<std::size_t>(1, lines);
    for (auto& [id, r] : rooms_) {
        while (r.lines.size() > transcriptLimit_) r.lines.pop_front();
    }
    notify();
}

std::vector<std::string> SimClient::keywords() const {
    std::vector<std::string> out;
    for (const std::string& k : keywords_) out.push_back(AnsiToUtf8(k));
    return out;
}

bool SimClient::isAlertShowing() const {
    for (const Hwnd top : topLevels_) {
        const Window* w = find(top);
        if (w && w->kind == Kind::Alert) return true;
    }
    return false;
}

bool SimClient::isSendWindowOpen() const {
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w && w->kind == Kind::SendWindow) return true;
        }
    }
    return false;
}

bool SimClient::isMemberWindowOpen(const std::string& name) const {
    const std::string key = AnsiLowerCase(Utf8ToAnsi(name));
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w && w->kind == Kind::MemberWindow &&
                (name.empty() || AnsiLowerCase(w->subject) == key)) {
                return true;
            }
        }
    }
    return false;
}

std::vector<std::pair<std::string, std::string>> SimClient::documentWindows() const {
    std::vector<std::pair<std::string, std::string>> out;
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w) out.emplace_back(w->cls, AnsiToUtf8(w->text));
        }
    }
    return out;
}

Hwnd SimClient::addDocumentWindow(const std::string& caption,
                                  const std::vector<std::string>& classes) {
    const Hwnd parent = mdi();
    if (parent == 0) return 0;
    const Hwnd w = create(parent, Kind::Document, "AOL Child", Utf8ToAnsi(caption), true);
    for (const std::string& cls : classes) create(w, Kind::Plain, cls, "");
    notify();
    return w;
}

bool SimClient::closeWindow(Hwnd window) {
    const Window* w = find(window);
    if (!w) return false;
    if (w->parent != 0 && w->parent == mdi()) {
        documentGoes(window);
    } else {
        destroy(window);
        notify();
    }
    return true;
}

void SimClient::userOpensMemberWindow(const std::string& name, const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    const std::string key = AnsiLowerCase(Utf8ToAnsi(name));
    for (std::size_t i = 0; i < r->members.size(); ++i) {
        if (AnsiLowerCase(r->members[i].name) != key) continue;
        r->selection = static_cast<int>(i);
        openMemberWindow(roomHwnd(roomName));
        return;
    }
}

void SimClient::userClosesMemberWindow(const std::string& name) {
    const std::string key = AnsiLowerCase(Utf8ToAnsi(name));
    std::vector<Hwnd> closing;
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w && w->kind == Kind::MemberWindow && AnsiLowerCase(w->subject) == key) {
                closing.push_back(child);
            }
        }
    }
    for (const Hwnd w : closing) documentGoes(w);
}

void SimClient::showAlertNow(const std::string& text) {
    showAlert(Utf8ToAnsi(text));
    notify();
}

void SimClient::setCannotReceiveIMs(const std::string& name, bool cannot) {
    const std::string key = Normalised(Utf8ToAnsi(name));
    if (cannot) {
        cannotReceive_.insert(key);
    } else {
        cannotReceive_.erase(key);
    }
}

}  // namespace aol::sim
