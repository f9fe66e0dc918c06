// How the simulated client reacts to what the program does: typing, keywords, member windows,
// the ignore box, instant messages and alerts; its rooms and its process memory.
#include "aol/sim/SimClient.h"

#include <algorithm>
#include <cstring>

#include "aol/Ansi.h"
#include "aol/sim/SimText.h"

namespace aol::sim {

using namespace detail;

void SimClient::typeChar(Window& w, char c) {
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t') return;
    w.caret = std::min(w.caret, w.text.size());
    w.text.insert(w.caret, 1, c);
    ++w.caret;
    notify();
}

void SimClient::submitInput(Window& input) {
    const std::string line = NoLineBreaks(input.text);
    input.text.clear();
    input.caret = 0;
    const auto it = rooms_.find(input.owner);
    if (!line.empty() && !user_.empty() && it != rooms_.end()) {
        addLine(it->second, user_, line);
    } else {
        notify();
    }
}

void SimClient::submitKeyword(Window& box) {
    std::string keyword = box.text;
    box.text.clear();
    box.caret = 0;
    keyword.erase(0, keyword.find_first_not_of(' '));
    if (keyword.empty()) {
        notify();
        return;
    }
    keywords_.push_back(keyword);
    if (user_.empty()) {  // the client acts on keywords only while signed on
        notify();
        return;
    }
    const std::string room = kPrivateRoomPrefix;
    const std::string im = kSendImPrefix;
    if (StartsWithIgnoringCase(keyword, room)) {
        // One room at a time: leave every open room, then enter the private one.
        while (const Hwnd open = roomHwnd({})) destroy(open);
        openRoom(AnsiToUtf8(keyword.substr(room.size())));
    } else if (StartsWithIgnoringCase(keyword, im)) {
        if (!sendWindowNeverOpens_) openSendWindow(keyword.substr(im.size()));
    }
    notify();
}

void SimClient::openMemberWindow(Hwnd roomWindow) {
    if (memberWindowNeverOpens_) return;
    const auto it = rooms_.find(roomWindow);
    if (it == rooms_.end()) return;
    const Room& r = it->second;
    if (r.selection < 0 || static_cast<std::size_t>(r.selection) >= r.members.size()) return;
    const std::string name = r.members[static_cast<std::size_t>(r.selection)].name;
    if (Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            Window* w = find(child);
            if (w && w->kind == Kind::MemberWindow && w->owner == roomWindow &&
                w->subject == name) {
                w->switched = false;
                bringToTop(child);
                notify();
                return;
            }
        }
    }
    const Hwnd mw = create(mdi(), Kind::MemberWindow, "AOL Child", name, true);
    windows_.at(mw).owner = roomWindow;
    windows_.at(mw).subject = name;
    create(mw, Kind::Plain, "_AOL_Static", name);
    create(mw, Kind::IgnoreBox, "_AOL_Checkbox", "Ignore Member");
    create(mw, Kind::Plain, "_AOL_Glyph", "");
    create(mw, Kind::Plain, "_AOL_Icon", "Send Message");
    create(mw, Kind::Plain, "_AOL_Icon", "Get Profile");
    create(mw, Kind::Plain, "_AOL_Icon", "Locate");
    notify();
}

void SimClient::clickIgnoreBox(Window& box) {
    ++ignoreBoxClicks_;
    Window* mw = find(box.parent);
    if (!mw) return;
    const auto it = rooms_.find(mw->owner);
    if (it == rooms_.end()) return;
    if (ignoreBoxMode_ == IgnoreBoxMode::OncePerOpening && mw->switched) return;
    mw->switched = true;
    const std::string key = AnsiLowerCase(mw->subject);
    auto& ignored = it->second.ignored;
    if (!ignored.erase(key)) ignored.insert(key);
    notify();
}

void SimClient::openSendWindow(const std::string& recipient) {
    const Hwnd sw = create(mdi(), Kind::SendWindow, "AOL Child", "Send Instant Message", true);
    windows_.at(sw).subject = recipient;
    create(sw, Kind::Plain, "_AOL_Static", "To:");
    create(sw, Kind::Plain, "_AOL_Edit", recipient);
    create(sw, Kind::SendText, "RICHCNTL", "");
    static const char* const kIcons[] = {"Font", "Bold",   "Italic", "Underline", "Color",
                                         "Link", "Smiley", "Info",   "Send",      "Available?"};
    for (int i = 0; i < 10; ++i) {
        create(sw, i == 8 ? Kind::SendButton : Kind::Plain, "_AOL_Icon", kIcons[i]);
    }
}

void SimClient::clickSend(Window& button) {
    const Hwnd sendWindow = button.parent;
    Window* sw = find(sendWindow);
    if (!sw || sendWindowNeverCloses_) return;
    std::string text;
    for (const Hwnd child : sw->children) {
        const Window* c = find(child);
        if (c && c->kind == Kind::SendText) text = c->text;
    }
    const std::string recipient = sw->subject;
    const std::string who = Normalised(recipient);
    if (who == "$im_off" || who == "$im_on") {
        imsOn_ = who == "$im_on";
        if (imSwitchShowsAlert_) {
            showAlert(imsOn_ ? "You are now accepting Instant Messages."
                             : "You are now ignoring Instant Messages.");
        } else {
            destroy(sendWindow);
        }
    } else if (cannotReceive_.count(who)) {
        showAlert(recipient + " is not currently signed on or is not accepting Instant Messages.");
    } else {
        imsSent_.push_back(SentInstantMessage{AnsiToUtf8(recipient), AnsiToUtf8(text)});
        destroy(sendWindow);
    }
    notify();
}

void SimClient::showAlert(const std::string& text) {
    const Hwnd alert = create(0, Kind::Alert, "#32770", "America Online");
    create(alert, Kind::Plain, "Static", text);
    ++alertsShown_;
    if (postDelay_ <= 0.0) {
        create(alert, Kind::AlertButton, "Button", "OK");
        return;
    }
    // The dialog is still being built: its button is replaced when it is done.
    create(alert, Kind::ProvisionalButton, "Button", "");
    posted_.push_back(Posted{alert, kFinishAlert, 0, 0, postTime() + postDelay_});
    if (postNotifier_) postNotifier_();
}

void SimClient::finishAlert(Window& alert) {
    const Hwnd id = alert.id;
    const std::vector<Hwnd> children = alert.children;
    for (const Hwnd child : children) {
        const Window* c = find(child);
        if (c && c->kind == Kind::ProvisionalButton) destroyQuietly(child);
    }
    create(id, Kind::AlertButton, "Button", "OK");
    notify();
}

// ---- Rooms and memory --------------------------------------------------------------------------

std::string SimClient::transcriptOf(const Room& r) const {
    std::string text;
    for (const std::string& line : r.lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

void SimClient::addLine(Room& r, const std::string& sender, const std::string& text) {
    r.lines.push_back(sender + ":\t" + text);
    while (r.lines.size() > transcriptLimit_) r.lines.pop_front();
    notify();
}

std::uint64_t SimClient::allocate(std::vector<std::uint8_t> bytes) {
    const std::uint64_t address = nextAddress_;
    nextAddress_ += (bytes.size() + 15) / 16 * 16 + 0x40;
    memory_.emplace(address, std::move(bytes));
    return address;
}

void SimClient::addMember(Room& r, const std::string& name) {
    Member m;
    m.name = name.substr(0, kNameBytes);
    // Name record: 6 bytes of header, 16 bytes of name (NUL-ended when shorter, the rest of the
    // field filled with stray bytes), then more stray bytes: a reader must stop at the NUL or
    // after 16 bytes.
    std::vector<std::uint8_t> nameRecord(6 + kNameBytes + 10, 'Z');
    const std::uint8_t header[6] = {0x01, 0x00, 0x7C, 0x13, 0x00, 0x02};
    std::memcpy(nameRecord.data(), header, sizeof header);
    std::memcpy(nameRecord.data() + 6, m.name.data(), m.name.size());
    if (m.name.size() < kNameBytes) nameRecord[6 + m.name.size()] = 0;
    m.nameRecord = allocate(std::move(nameRecord));
    // Entry record: 24 bytes of other fields, then the 32-bit address of the name record.
    std::vector<std::uint8_t> entry(32, 0xCD);
    PutLe32(entry, 24, m.nameRecord);
    m.record = allocate(std::move(entry));
    r.members.push_back(std::move(m));
}

void SimClient::freeMember(const Member& m) {
    memory_.erase(m.record);
    memory_.erase(m.nameRecord);
}

}  // namespace aol::sim
