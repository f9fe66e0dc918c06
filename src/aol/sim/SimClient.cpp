#include "aol/sim/SimClient.h"

#include <algorithm>
#include <cstring>

#include "aol/Ansi.h"

namespace aol::sim {
namespace {

constexpr std::size_t kNameBytes = 16;
constexpr const char* kPrivateRoomPrefix = "aol://2719:2-2-";
constexpr const char* kSendImPrefix = "aol://9293:";

bool SameText(const char* a, const std::string& b) {
    return AnsiLower(a) == AnsiLower(b);
}

std::string NoLineBreaks(std::string text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            out += ' ';
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

// Screen names as the client compares them: letter case and blanks do not count.
std::string Normalised(const std::string& ansi) {
    std::string out;
    for (const char c : AnsiLower(ansi)) {
        if (c != ' ') out += c;
    }
    return out;
}

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && AnsiLower(text.substr(0, prefix.size())) == prefix;
}

void PutLe32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

SimClient::SimClient() {
    start();
}

SimClient::~SimClient() = default;

// ---- Windows -----------------------------------------------------------------------------------

SimClient::Window* SimClient::find(Hwnd id) {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

const SimClient::Window* SimClient::find(Hwnd id) const {
    const auto it = windows_.find(id);
    return it == windows_.end() ? nullptr : &it->second;
}

Hwnd SimClient::create(Hwnd parent, Kind kind, const std::string& cls, const std::string& text,
                       bool onTop) {
    const Hwnd id = nextHwnd_;
    nextHwnd_ += 4;
    Window w;
    w.id = id;
    w.parent = parent;
    w.kind = kind;
    w.cls = cls;
    w.text = text;
    windows_.emplace(id, std::move(w));
    if (parent == 0) {
        topLevels_.insert(topLevels_.begin(), id);  // a new top-level window is topmost
    } else {
        auto& siblings = windows_.at(parent).children;
        if (onTop) {
            siblings.insert(siblings.begin(), id);
        } else {
            siblings.push_back(id);  // controls follow in creation order
        }
    }
    return id;
}

void SimClient::destroyQuietly(Hwnd id) {
    Window* w = find(id);
    if (!w) return;
    const std::vector<Hwnd> children = w->children;
    for (const Hwnd child : children) destroyQuietly(child);
    w = find(id);
    if (!w) return;
    if (w->kind == Kind::Room) {
        const auto it = rooms_.find(id);
        if (it != rooms_.end()) {
            for (const Member& m : it->second.members) freeMember(m);
            rooms_.erase(it);
        }
    }
    if (w->parent == 0) {
        std::erase(topLevels_, id);
    } else if (Window* parent = find(w->parent)) {
        std::erase(parent->children, id);
    }
    windows_.erase(id);
}

void SimClient::destroy(Hwnd id) {
    destroyQuietly(id);
}

void SimClient::bringToTop(Hwnd id) {
    Window* w = find(id);
    if (!w) return;
    auto& siblings = w->parent == 0 ? topLevels_ : windows_.at(w->parent).children;
    std::erase(siblings, id);
    siblings.insert(siblings.begin(), id);
}

Hwnd SimClient::mdi() const {
    for (const Hwnd top : topLevels_) {
        const Window* w = find(top);
        if (!w || w->kind != Kind::Frame) continue;
        for (const Hwnd child : w->children) {
            const Window* c = find(child);
            if (c && c->kind == Kind::Mdi) return child;
        }
    }
    return 0;
}

Hwnd SimClient::roomHwnd(const std::string& name) const {
    const Window* m = find(mdi());
    if (!m) return 0;
    const std::string bytes = Utf8ToAnsi(name);
    for (const Hwnd child : m->children) {
        const Window* w = find(child);
        if (!w || w->kind != Kind::Room) continue;
        if (name.empty() || w->text == bytes) return child;
    }
    return 0;
}

SimClient::Room* SimClient::room(const std::string& name) {
    const auto it = rooms_.find(roomHwnd(name));
    return it == rooms_.end() ? nullptr : &it->second;
}

const SimClient::Room* SimClient::room(const std::string& name) const {
    const auto it = rooms_.find(roomHwnd(name));
    return it == rooms_.end() ? nullptr : &it->second;
}

// ---- WindowSystem ------------------------------------------------------------------------------

Hwnd SimClient::FindWindowA(const char* className, const char* caption) {
    return FindWindowExA(0, 0, className, caption);
}

Hwnd SimClient::FindWindowExA(Hwnd parent, Hwnd childAfter, const char* className,
                              const char* caption) {
    const std::vector<Hwnd>* siblings = &topLevels_;
    if (parent != 0) {
        const Window* p = find(parent);
        if (!p) return 0;
        siblings = &p->children;
    }
    auto it = siblings->begin();
    if (childAfter != 0) {
        it = std::find(siblings->begin(), siblings->end(), childAfter);
        if (it == siblings->end()) return 0;
        ++it;
    }
    for (; it != siblings->end(); ++it) {
        const Window* w = find(*it);
        if (!w) continue;
        if (className && !SameText(className, w->cls)) continue;
        if (caption && !SameText(caption, w->kind == Kind::Transcript ? std::string() : w->text)) {
            continue;
        }
        return *it;
    }
    return 0;
}

std::intptr_t SimClient::SendMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                      std::intptr_t lParam) {
    record(window, message, wParam, lParam, false);
    const std::intptr_t result = dispatch(window, message, wParam, lParam);
    return result;
}

bool SimClient::PostMessageA(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) {
    record(window, message, wParam, lParam, true);
    // Windows refuses to post a message whose parameter points into the sender's memory.
    if (!find(window) || message == WM_SETTEXT) return false;
    posted_.push_back(Posted{window, message, wParam, lParam});
    if (postNotifier_) postNotifier_();
    return true;
}

int SimClient::GetWindowTextLengthA(Hwnd window) {
    const Window* w = find(window);
    if (!w) return 0;
    if (w->kind == Kind::Transcript) {
        const auto it = rooms_.find(w->owner);
        return it == rooms_.end() ? 0 : static_cast<int>(transcriptOf(it->second).size());
    }
    return static_cast<int>(w->text.size());
}

int SimClient::GetWindowTextA(Hwnd window, char* buffer, int maxCount) {
    if (!buffer || maxCount <= 0) return 0;
    buffer[0] = '\0';
    const Window* w = find(window);
    if (!w) return 0;
    std::string text = w->text;
    if (w->kind == Kind::Transcript) {
        const auto it = rooms_.find(w->owner);
        text = it == rooms_.end() ? std::string() : transcriptOf(it->second);
    }
    const std::size_t n = std::min(text.size(), static_cast<std::size_t>(maxCount - 1));
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<int>(n);
}

std::uint32_t SimClient::GetWindowThreadProcessId(Hwnd window, std::uint32_t* processId) {
    if (!find(window)) {
        if (processId) *processId = 0;
        return 0;
    }
    if (processId) *processId = kProcessId;
    return kThreadId;
}

ProcessHandle SimClient::OpenProcess(std::uint32_t access, bool /*inheritHandle*/,
                                     std::uint32_t processId) {
    constexpr std::uint32_t kVmRead = 0x0010;
    if (!isRunning() || processOpenFails_ || processId != kProcessId || !(access & kVmRead)) {
        return 0;
    }
    const ProcessHandle h = nextHandle_;
    nextHandle_ += 4;
    handles_.insert(h);
    return h;
}

bool SimClient::ReadProcessMemory(ProcessHandle process, std::uint64_t address, void* buffer,
                                  std::size_t size, std::size_t* bytesRead) {
    if (bytesRead) *bytesRead = 0;
    if (!handles_.count(process) || !buffer) return false;
    auto it = memory_.upper_bound(address);
    if (it == memory_.begin()) return false;
    --it;
    const std::uint64_t offset = address - it->first;
    if (offset > it->second.size() || size > it->second.size() - offset) return false;
    std::memcpy(buffer, it->second.data() + offset, size);
    if (bytesRead) *bytesRead = size;
    return true;
}

bool SimClient::CloseHandle(ProcessHandle handle) {
    return handles_.erase(handle) > 0;
}

// ---- Messages ----------------------------------------------------------------------------------

void SimClient::record(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                       std::intptr_t lParam, bool posted) {
    const Window* w = find(window);
    std::string text;
    if (message == WM_SETTEXT && lParam != 0) {
        text = AnsiToUtf8(reinterpret_cast<const char*>(lParam));
    }
    log_.push_back(MessageRecord{window, w ? w->cls : std::string(), message, wParam, lParam,
                                 posted, std::move(text)});
}

void SimClient::deliverPosted() {
    if (delivering_) return;
    delivering_ = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{delivering_};
    while (!posted_.empty()) {
        const Posted p = posted_.front();
        posted_.pop_front();
        if (find(p.window)) dispatch(p.window, p.message, p.wParam, p.lParam);
    }
}

void SimClient::setPostNotifier(std::function<void()> notifier) {
    postNotifier_ = std::move(notifier);
}

void SimClient::addChangeListener(std::function<void()> listener) {
    listeners_.push_back(std::move(listener));
}

void SimClient::notify() {
    const auto listeners = listeners_;
    for (const auto& listener : listeners) listener();
}

std::intptr_t SimClient::dispatch(Hwnd window, std::uint32_t message, std::uintptr_t wParam,
                                  std::intptr_t lParam) {
    Window* w = find(window);
    if (!w) return 0;
    switch (message) {
        case WM_SETTEXT: {
            const char* text = reinterpret_cast<const char*>(lParam);
            if (w->kind == Kind::Transcript) return 1;  // read-only display
            w->text = text ? std::string(text) : std::string();
            w->caret = w->kind == Kind::KeywordBox ? 0 : w->text.size();
            notify();
            return 1;
        }
        case WM_CHAR: {
            const char c = static_cast<char>(wParam & 0xFF);
            if (w->kind == Kind::InputBox && wParam == VK_RETURN_CHAR) {
                submitInput(*w);
            } else if (w->kind == Kind::KeywordBox && wParam == VK_RETURN_CHAR) {
                submitKeyword(*w);
            } else if (w->kind == Kind::InputBox || w->kind == Kind::KeywordBox ||
                       w->kind == Kind::SendText) {
                typeChar(*w, c);
            }
            return 0;
        }
        case WM_KEYDOWN:
            if (w->kind == Kind::AlertButton && wParam == VK_SPACE) w->keyDown = true;
            return 0;
        case WM_KEYUP:
            if (w->kind == Kind::AlertButton && wParam == VK_SPACE && w->keyDown) {
                w->keyDown = false;
                destroy(w->parent);  // the button belongs to the alert
                notify();
            }
            return 0;
        case WM_LBUTTONDOWN:
            w->buttonDown = true;
            return 0;
        case WM_LBUTTONUP: {
            if (!w->buttonDown) return 0;
            w->buttonDown = false;
            if (w->kind == Kind::IgnoreBox) {
                clickIgnoreBox(*w);
            } else if (w->kind == Kind::SendButton) {
                clickSend(*w);
            } else if (w->kind == Kind::AlertButton) {
                destroy(w->parent);
                notify();
            }
            return 0;
        }
        case WM_LBUTTONDBLCLK:
            if (w->kind == Kind::MemberList) openMemberWindow(w->owner);
            return 0;
        case WM_CLOSE:
            switch (w->kind) {
                case Kind::Frame:
                    quit();
                    break;
                case Kind::Document:
                case Kind::Room:
                case Kind::MemberWindow:
                case Kind::SendWindow:
                case Kind::Alert:
                    destroy(window);
                    notify();
                    break;
                default:
                    break;
            }
            return 0;
        case LB_GETCOUNT: {
            if (w->kind != Kind::MemberList) return 0;
            const auto it = rooms_.find(w->owner);
            return it == rooms_.end() ? 0 : static_cast<std::intptr_t>(it->second.members.size());
        }
        case LB_SETCURSEL: {
            if (w->kind != Kind::MemberList) return -1;
            const auto it = rooms_.find(w->owner);
            if (it == rooms_.end()) return -1;
            Room& r = it->second;
            if (wParam < r.members.size()) {
                r.selection = static_cast<int>(wParam);
                return r.selection;
            }
            r.selection = -1;
            return -1;
        }
        case LB_GETITEMDATA: {
            if (w->kind != Kind::MemberList) return -1;
            const auto it = rooms_.find(w->owner);
            if (it == rooms_.end() || wParam >= it->second.members.size()) return -1;
            return static_cast<std::intptr_t>(it->second.members[wParam].record);
        }
        case BM_GETCHECK: {
            if (w->kind != Kind::IgnoreBox || ignoreBoxNeverChecked_) return 0;
            const Window* memberWindow = find(w->parent);
            if (!memberWindow) return 0;
            const auto it = rooms_.find(memberWindow->owner);
            if (it == rooms_.end()) return 0;
            return it->second.ignored.count(AnsiLower(memberWindow->subject)) ? 1 : 0;
        }
        default:
            return 0;
    }
}

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
    const std::string key = AnsiLower(mw->subject);
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
    create(alert, Kind::AlertButton, "Button", "OK");
    ++alertsShown_;
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
    const Hwnd rw = roomHwnd(name);
    if (rw == 0) return;
    destroy(rw);
    notify();
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
    if (r->ignored.count(AnsiLower(sender))) return;  // ignored members never reach the room
    addLine(*r, sender, NoLineBreaks(Utf8ToAnsi(text)));
}

void SimClient::userTypesWithoutEnter(const std::string& text, const std::string& roomName) {
    const Room* r = room(roomName);
    if (!r) return;
    const Hwnd input = r->input;
    for (const char c : NoLineBreaks(Utf8ToAnsi(text))) {
        dispatch(input, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
}

void SimClient::userTypes(const std::string& text, const std::string& roomName) {
    const Room* r = room(roomName);
    if (!r) return;
    const Hwnd input = r->input;
    userTypesWithoutEnter(text, roomName);
    dispatch(input, WM_CHAR, VK_RETURN_CHAR, 0);
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
            out.push_back(MemberInfo{AnsiToUtf8(m.name), r->ignored.count(AnsiLower(m.name)) > 0});
        }
    }
    return out;
}

bool SimClient::isIgnored(const std::string& name, const std::string& roomName) const {
    const Room* r = room(roomName);
    return r && r->ignored.count(AnsiLower(Utf8ToAnsi(name))) > 0;
}

void SimClient::setIgnored(const std::string& name, bool ignored, const std::string& roomName) {
    Room* r = room(roomName);
    if (!r) return;
    const std::string key = AnsiLower(Utf8ToAnsi(name));
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
    const std::string key = AnsiLower(Utf8ToAnsi(name));
    if (const Window* m = find(mdi())) {
        for (const Hwnd child : m->children) {
            const Window* w = find(child);
            if (w && w->kind == Kind::MemberWindow &&
                (name.empty() || AnsiLower(w->subject) == key)) {
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
    if (!find(window)) return false;
    destroy(window);
    notify();
    return true;
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
