// The fake client's state and its reactions: rooms and their members (with the member records
// in this process's memory), lines, keywords, member windows, instant messages and the alert.
#include "fakeclient/FakeClient.h"

#include <algorithm>
#include <cstring>

#include "aol/Ansi.h"

namespace fakeclient {
namespace {

constexpr std::size_t kNameBytes = 16;
constexpr std::size_t kArenaBytes = 4u << 20;
const std::string kPrivateRoomPrefix = "aol://2719:2-2-";
const std::string kSendImPrefix = "aol://9293:";

std::string Lower(const std::string& ansi) {
    return aol::AnsiLowerCase(ansi);
}

// Screen names as the client compares them: letter case and blanks do not count.
std::string Normalised(const std::string& ansi) {
    std::string out;
    for (const char c : Lower(ansi)) {
        if (c != ' ') out += c;
    }
    return out;
}

std::string NoLineBreaks(const std::string& text) {
    std::string out;
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

bool StartsWithIgnoringCase(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && Lower(text.substr(0, prefix.size())) == prefix;
}

// Memory below 4 GiB, as a 32-bit client's addresses are.
std::uint8_t* LowArena() {
    for (std::uintptr_t hint = 0x20000000; hint < 0xF0000000; hint += 0x01000000) {
        void* p = VirtualAlloc(reinterpret_cast<void*>(hint), kArenaBytes, MEM_RESERVE | MEM_COMMIT,
                               PAGE_READWRITE);
        if (p) return static_cast<std::uint8_t*>(p);
    }
    return nullptr;
}

}  // namespace

FakeClient& FakeClient::instance() {
    static FakeClient client;
    return client;
}

void FakeClient::start(HINSTANCE instance) {
    instance_ = instance;
    arena_ = LowArena();
    RegisterClasses(instance);
    control_ =
        CreateWindowExA(0, kControlClass, "", 0, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr);
    frame_ = CreateWindowExA(0, "AOL Frame25", "America  Online",
                             WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE, 0, 0, 800, 600,
                             nullptr, nullptr, instance, nullptr);
    mdi_ = FindWindowExA(frame_, nullptr, "MDIClient", nullptr);
    const HWND toolbar = createChild(frame_, "AOL Toolbar", "");
    const HWND inner = createChild(toolbar, "_AOL_Toolbar", "");
    createChild(inner, "_AOL_Icon", "Read");
    createChild(inner, "_AOL_Icon", "Write");
    const HWND combo = createChild(inner, "_AOL_Combobox", "");
    keywordBox_ = createChild(combo, "Edit", "", ES_AUTOHSCROLL);
    HookKeywordBox(keywordBox_);
    createChild(inner, "_AOL_Icon", "Go");
}

void FakeClient::reset() {
    for (HWND alert = FindWindowA("#32770", "America Online"); alert;
         alert = FindWindowExA(nullptr, alert, "#32770", "America Online")) {
        SendMessageA(alert, WM_COMMAND, IDOK, 0);
    }
    DropActs();
    churnLeft_ = 0;
    for (const HWND w : documents())
        SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
    DropHeldMessages();
    SetWindowTextA(keywordBox_, "");
    user_.clear();
    keywords.clear();
    imsSent.clear();
    imsOn = true;
    postDelayMs = 0;
    closeDelayMs = 0.0;
    transcriptLimit = 250;
    imAlert = false;
    modalAlerts = false;
    cannotReceive.clear();
    arenaUsed_ = 0;
}

HWND FakeClient::createChild(HWND parent, const char* cls, const std::string& text, DWORD style) {
    RegisterPlainClass(instance_, cls);  // classes of look-alike windows exist on demand
    return CreateWindowExA(0, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, 0, 0, 120, 24,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(nextId_++)),
                           instance_, nullptr);
}

HWND FakeClient::createDocument(const std::string& caption) {
    // A new MDI child is activated: it comes first in the MDI client's child order.
    return CreateMDIWindowA("AOL Child", caption.c_str(), WS_VISIBLE, 10, 10, 400, 300, mdi_,
                            instance_, 0);
}

std::vector<HWND> FakeClient::documents() const {
    std::vector<HWND> out;
    for (HWND w = GetWindow(mdi_, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) out.push_back(w);
    return out;
}

std::uint32_t FakeClient::allocate(const std::vector<std::uint8_t>& bytes) {
    const std::size_t size = (bytes.size() + 15) / 16 * 16 + 0x40;
    if (!arena_ || arenaUsed_ + size > kArenaBytes) return 0;
    std::uint8_t* at = arena_ + arenaUsed_;
    std::memcpy(at, bytes.data(), bytes.size());
    arenaUsed_ += size;
    return static_cast<std::uint32_t>(reinterpret_cast<std::uintptr_t>(at));
}

// ---- The client and its user ---------------------------------------------------------------

void FakeClient::signOn(const std::string& user) {
    user_ = user.substr(0, kNameBytes);
    const HWND welcome = createDocument("Welcome, " + user_ + "!");
    createChild(welcome, "_AOL_Static", "Top News");
    createChild(welcome, "_AOL_Icon", "Mail");
    createChild(welcome, "_AOL_Icon", "People");
    createChild(welcome, "_AOL_Icon", "Channels");
    createChild(welcome, "_AOL_Image", "");
}

HWND FakeClient::openRoom(const std::string& name) {
    const HWND window = createDocument(name);
    Room room;
    room.name = name;
    createChild(window, "_AOL_Static", "People Here");
    room.transcript = createChild(window, "RICHCNTL", "");
    room.list = createChild(window, "_AOL_Listbox", "");
    room.input = createChild(window, "RICHCNTL", "");
    createChild(window, "_AOL_Icon", "Send");
    createChild(window, "_AOL_Icon", "Notify AOL");
    createChild(window, "_AOL_Static", name);
    SetRichKind(room.transcript, RichKind::Transcript);
    SetRichKind(room.input, RichKind::Input);
    Room& stored = rooms.emplace(window, std::move(room)).first->second;
    if (!user_.empty()) addMember(stored, user_);
    return window;
}

HWND FakeClient::addDocument(const std::string& caption, const std::vector<std::string>& classes) {
    const HWND window = createDocument(caption);
    for (const std::string& cls : classes) createChild(window, cls.c_str(), "");
    return window;
}

Room* FakeClient::openRoomState() {
    for (const HWND w : documents()) {
        const auto it = rooms.find(w);
        if (it != rooms.end()) return &it->second;
    }
    return nullptr;
}

void FakeClient::addMember(Room& room, const std::string& name) {
    Member member;
    member.name = name.substr(0, kNameBytes);
    // Name record: 6 bytes of header, the name (NUL-ended when shorter than 16 bytes, the rest of
    // the field stray bytes), then more stray bytes.
    std::vector<std::uint8_t> nameRecord(6 + kNameBytes + 10, 'Z');
    const std::uint8_t header[6] = {0x01, 0x00, 0x7C, 0x13, 0x00, 0x02};
    std::memcpy(nameRecord.data(), header, sizeof header);
    std::memcpy(nameRecord.data() + 6, member.name.data(), member.name.size());
    if (member.name.size() < kNameBytes) nameRecord[6 + member.name.size()] = 0;
    const std::uint32_t nameAddress = allocate(nameRecord);
    std::vector<std::uint8_t> entry(32, 0xCD);
    for (int i = 0; i < 4; ++i) entry[24 + i] = static_cast<std::uint8_t>(nameAddress >> (8 * i));
    member.record = allocate(entry);
    room.members.push_back(member);
}

void FakeClient::memberJoins(const std::string& name) {
    if (Room* room = openRoomState()) addMember(*room, name);
}

void FakeClient::memberLeaves(const std::string& name) {
    Room* room = openRoomState();
    if (!room) return;
    auto& members = room->members;
    for (std::size_t i = 0; i < members.size(); ++i) {
        if (Lower(members[i].name) != Lower(name)) continue;
        members.erase(members.begin() + static_cast<std::ptrdiff_t>(i));
        if (room->selection == static_cast<int>(i)) {
            room->selection = -1;
        } else if (room->selection > static_cast<int>(i)) {
            --room->selection;
        }
        return;
    }
}

void FakeClient::addLine(Room& room, const std::string& sender, const std::string& text) {
    room.lines.push_back(sender + ":\t" + text);
    while (room.lines.size() > transcriptLimit) room.lines.pop_front();
}

void FakeClient::memberSays(const std::string& name, const std::string& text) {
    Room* room = openRoomState();
    if (!room || room->ignored.count(Lower(name))) return;
    addLine(*room, name, NoLineBreaks(text));
}

void FakeClient::userTypes(const std::string& text, bool enter) {
    Room* room = openRoomState();
    if (!room) return;
    for (const char c : NoLineBreaks(text)) {
        SendMessageA(room->input, WM_CHAR, static_cast<unsigned char>(c), 0);
    }
    if (enter) SendMessageA(room->input, WM_CHAR, '\r', 0);
}

void FakeClient::userOpensMemberWindow(const std::string& name) {
    Room* room = openRoomState();
    if (!room) return;
    for (std::size_t i = 0; i < room->members.size(); ++i) {
        if (Lower(room->members[i].name) != Lower(name)) continue;
        room->selection = static_cast<int>(i);
        openMemberWindow(room->list);
        return;
    }
}

void FakeClient::setIgnored(const std::string& name, bool ignored) {
    Room* room = openRoomState();
    if (!room) return;
    if (ignored) {
        room->ignored.insert(Lower(name));
    } else {
        room->ignored.erase(Lower(name));
    }
}

void FakeClient::hang(int ms) {
    PostMessageA(control_, kHangMessage, static_cast<WPARAM>(ms), 0);
}

void FakeClient::userClosesMemberWindow(const std::string& name) {
    std::vector<HWND> closing;
    for (const auto& [window, member] : memberWindows) {
        if (Lower(member.member) == Lower(name)) closing.push_back(window);
    }
    for (const HWND w : closing) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
}

void FakeClient::startChurn(int rounds) {
    churnLeft_ = rounds;
    if (churnLeft_ > 0) churnRound(0);
}

void FakeClient::churnRound(int round) {
    constexpr double kStep = 30e-6;
    const HWND window = createDocument("Churn");
    At(Now() + kStep * (1 + round % 7), [this, window, round] {
        if (IsWindow(window))
            SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        if (--churnLeft_ <= 0) return;
        At(Now() + kStep * (1 + round % 5), [this, round] { churnRound(round + 1); });
    });
}

// ---- Reactions -----------------------------------------------------------------------------

Room* FakeClient::roomOfControl(HWND control) {
    const auto it = rooms.find(GetParent(control));
    return it == rooms.end() ? nullptr : &it->second;
}

std::string FakeClient::transcriptOf(const Room& room) const {
    std::string text;
    for (const std::string& line : room.lines) {
        if (!text.empty()) text += "\r\n";
        text += line;
    }
    return text;
}

void FakeClient::submitInput(HWND input) {
    const std::string line = NoLineBreaks(RichText(input));
    SetRichText(input, "");
    Room* room = roomOfControl(input);
    if (room && !line.empty() && !user_.empty()) addLine(*room, user_, line);
}

void FakeClient::submitKeyword(const std::string& typed) {
    std::string keyword = typed;
    keyword.erase(0, keyword.find_first_not_of(' '));
    if (keyword.empty()) return;
    keywords.push_back(keyword);
    if (user_.empty()) return;  // keywords act only while signed on
    if (StartsWithIgnoringCase(keyword, kPrivateRoomPrefix)) {
        // One room at a time: leave every open room, then enter the private one.
        std::vector<HWND> open;
        for (const auto& [window, room] : rooms) open.push_back(window);
        for (const HWND w : open) SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(w), 0);
        openRoom(keyword.substr(kPrivateRoomPrefix.size()));
    } else if (StartsWithIgnoringCase(keyword, kSendImPrefix)) {
        openSendWindow(keyword.substr(kSendImPrefix.size()));
    }
}

void FakeClient::openMemberWindow(HWND list) {
    Room* room = roomOfControl(list);
    if (!room || room->selection < 0 ||
        static_cast<std::size_t>(room->selection) >= room->members.size()) {
        return;
    }
    const HWND roomWindow = GetParent(list);
    const std::string name = room->members[static_cast<std::size_t>(room->selection)].name;
    for (const auto& [window, member] : memberWindows) {
        if (member.room == roomWindow && member.member == name) {
            SendMessageA(mdi_, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(window), 0);
            return;
        }
    }
    const bool ignored = room->ignored.count(Lower(name)) > 0;
    const HWND window = createDocument(name);
    MemberWindow state;
    state.room = roomWindow;
    state.member = name;
    createChild(window, "_AOL_Static", name);
    state.box = createChild(window, "_AOL_Checkbox", "Ignore Member", BS_AUTOCHECKBOX);
    SendMessageA(state.box, BM_SETCHECK, ignored ? BST_CHECKED : BST_UNCHECKED, 0);
    createChild(window, "_AOL_Glyph", "");
    createChild(window, "_AOL_Icon", "Send Message");
    createChild(window, "_AOL_Icon", "Get Profile");
    createChild(window, "_AOL_Icon", "Locate");
    memberWindows.emplace(window, state);
}

void FakeClient::ignoreBoxClicked(HWND box) {
    const auto it = memberWindows.find(GetParent(box));
    if (it == memberWindows.end() || it->second.box != box) return;
    const auto room = rooms.find(it->second.room);
    if (room == rooms.end()) return;
    const std::string key = Lower(it->second.member);
    if (SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED) {
        room->second.ignored.insert(key);
    } else {
        room->second.ignored.erase(key);
    }
}

void FakeClient::openSendWindow(const std::string& recipient) {
    const HWND window = createDocument("Send Instant Message");
    SendWindow state;
    state.recipient = recipient;
    createChild(window, "_AOL_Static", "To:");
    createChild(window, "_AOL_Edit", recipient);
    state.text = createChild(window, "RICHCNTL", "");
    SetRichKind(state.text, RichKind::ImText);
    static const char* const kIcons[] = {"Font", "Bold",   "Italic", "Underline", "Color",
                                         "Link", "Smiley", "Info",   "Send",      "Available?"};
    for (int i = 0; i < 10; ++i) {
        const HWND icon = createChild(window, "_AOL_Icon", kIcons[i]);
        if (i == 8) state.sendButton = icon;
    }
    sendWindows.emplace(window, state);
}

void FakeClient::iconClicked(HWND icon) {
    const HWND window = GetParent(icon);
    const auto it = sendWindows.find(window);
    if (it == sendWindows.end() || it->second.sendButton != icon) return;
    const std::string text = RichText(it->second.text);
    const std::string recipient = it->second.recipient;
    const std::string who = Normalised(recipient);
    if (who == "$im_off" || who == "$im_on") {
        imsOn = who == "$im_on";
        if (imAlert) {
            showAlert(imsOn ? "You are now accepting Instant Messages."
                            : "You are now ignoring Instant Messages.",
                      true);
        } else {
            SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
        }
    } else if (cannotReceive.count(who)) {
        showAlert(recipient + " is not currently signed on or is not accepting Instant Messages.",
                  true);
    } else {
        imsSent.emplace_back(recipient, text);
        SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    }
}

void FakeClient::showAlert(const std::string& text, bool insideSentMessage) {
    if (modalAlerts && insideSentMessage) {
        MessageBoxA(nullptr, text.c_str(), "America Online", MB_OK);
        return;
    }
    PostMessageA(control_, kAlertMessage, 0, reinterpret_cast<LPARAM>(new std::string(text)));
}

void FakeClient::closeDocument(HWND window) {
    const auto destroy = [this, window] {
        if (IsWindow(window))
            SendMessageA(mdi_, WM_MDIDESTROY, reinterpret_cast<WPARAM>(window), 0);
    };
    if (closeDelayMs <= 0.0) {
        destroy();
    } else {
        At(Now() + closeDelayMs / 1000.0, destroy);
    }
}

void FakeClient::documentDestroyed(HWND window) {
    rooms.erase(window);
    memberWindows.erase(window);
    sendWindows.erase(window);
}

bool FakeClient::isMemberWindowOpen(const std::string& name) const {
    for (const auto& [window, member] : memberWindows) {
        if (Lower(member.member) == Lower(name)) return true;
    }
    return false;
}

bool FakeClient::isSendWindowOpen() const {
    return !sendWindows.empty();
}

bool FakeClient::isAlertShowing() const {
    return FindWindowA("#32770", "America Online") != nullptr;
}

}  // namespace fakeclient
