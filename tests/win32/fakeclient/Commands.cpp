// The fake client's command interpreter: what tests ask of it through its control window.
#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>

#include "FakeClientProtocol.h"
#include "aol/Ansi.h"
#include "fakeclient/FakeClient.h"

namespace fakeclient {
namespace {

std::vector<std::string> Words(const std::string& text) {
    std::vector<std::string> words;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = text.find(kWordSeparator, start);
        words.push_back(
            text.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return words;
        start = tab + 1;
    }
}

std::string Joined(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& item : items) {
        if (!out.empty()) out += '\n';
        out += aol::AnsiToUtf8(item);
    }
    return out;
}

void Reply(HWND to, const std::string& text) {
    if (!to) return;
    COPYDATASTRUCT data{};
    data.dwData = kCommandTag;
    data.cbData = static_cast<DWORD>(text.size());
    data.lpData = const_cast<char*>(text.data());
    SendMessageA(to, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data));
}

const char* YesNo(bool yes) {
    return yes ? "1" : "0";
}

}  // namespace

LRESULT RunCommand(HWND replyTo, const COPYDATASTRUCT& data) {
    if (data.dwData != kCommandTag) return 0;
    const std::string command(static_cast<const char*>(data.lpData), data.cbData);
    std::vector<std::string> w = Words(command);
    // Arguments arrive as UTF-8; the client keeps Windows-1252.
    for (std::size_t i = 1; i < w.size(); ++i) w[i] = aol::Utf8ToAnsi(w[i]);
    const std::string& verb = w[0];
    const auto arg = [&](std::size_t i) { return i < w.size() ? w[i] : std::string(); };
    const auto number = [&](std::size_t i) { return std::atoi(arg(i).c_str()); };
    FakeClient& client = FakeClient::instance();

    if (verb == "signon") {
        client.signOn(arg(1));
    } else if (verb == "room") {
        client.openRoom(arg(1));
    } else if (verb == "document") {
        client.addDocument(arg(1), std::vector<std::string>(
                                       w.begin() + std::min<std::size_t>(2, w.size()), w.end()));
    } else if (verb == "join") {
        client.memberJoins(arg(1));
    } else if (verb == "leave") {
        client.memberLeaves(arg(1));
    } else if (verb == "say") {
        client.memberSays(arg(1), arg(2));
    } else if (verb == "type") {
        client.userTypes(arg(1), arg(2) == "1");
    } else if (verb == "openmember") {
        client.userOpensMemberWindow(arg(1));
    } else if (verb == "setignored") {
        client.setIgnored(arg(1), arg(2) == "1");
    } else if (verb == "postdelay") {
        client.postDelayMs = number(1);
    } else if (verb == "transcriptlimit") {
        client.transcriptLimit = static_cast<std::size_t>(std::max(1, number(1)));
    } else if (verb == "imalert") {
        client.imAlert = arg(1) == "1";
    } else if (verb == "modalalerts") {
        client.modalAlerts = arg(1) == "1";
    } else if (verb == "cannotreceive") {
        std::string normalised;
        for (const char c : aol::AnsiLowerCase(arg(1))) {
            if (c != ' ') normalised += c;
        }
        client.cannotReceive.insert(normalised);
    } else if (verb == "hang") {
        client.hang(number(1));
    } else if (verb == "closedelay") {
        client.closeDelayMs = std::atof(arg(1).c_str());
    } else if (verb == "closememberin") {
        const std::string name = arg(1);
        At(Now() + std::atof(arg(2).c_str()) / 1000.0,
           [name] { FakeClient::instance().userClosesMemberWindow(name); });
    } else if (verb == "churn") {
        client.startChurn(number(1));
    } else if (verb == "reset") {
        client.reset();
    } else if (verb == "quit") {
        PostQuitMessage(0);
    } else if (verb == "transcript") {
        const Room* room = client.openRoomState();
        Reply(replyTo, room ? Joined({room->lines.begin(), room->lines.end()}) : std::string());
    } else if (verb == "inputbox") {
        const Room* room = client.openRoomState();
        Reply(replyTo, room ? aol::AnsiToUtf8(RichText(room->input)) : std::string());
    } else if (verb == "members") {
        const Room* room = client.openRoomState();
        std::vector<std::string> names;
        if (room) {
            for (const Member& m : room->members) names.push_back(m.name);
        }
        Reply(replyTo, Joined(names));
    } else if (verb == "user") {
        Reply(replyTo, aol::AnsiToUtf8(client.user()));
    } else if (verb == "keywords") {
        Reply(replyTo, Joined(client.keywords));
    } else if (verb == "rooms") {
        std::vector<std::string> names;
        for (const HWND doc : client.documents()) {
            const auto it = client.rooms.find(doc);
            if (it != client.rooms.end()) names.push_back(it->second.name);
        }
        Reply(replyTo, Joined(names));
    } else if (verb == "ims") {
        std::vector<std::string> lines;
        for (const auto& [to, text] : client.imsSent) lines.push_back(to + "\t" + text);
        Reply(replyTo, Joined(lines));
    } else if (verb == "imson") {
        Reply(replyTo, YesNo(client.imsOn));
    } else if (verb == "ignored") {
        const Room* room = client.openRoomState();
        Reply(replyTo, YesNo(room && room->ignored.count(aol::AnsiLowerCase(arg(1))) > 0));
    } else if (verb == "alert") {
        Reply(replyTo, YesNo(client.isAlertShowing()));
    } else if (verb == "sendwindow") {
        Reply(replyTo, YesNo(client.isSendWindowOpen()));
    } else if (verb == "memberwindow") {
        Reply(replyTo, YesNo(client.isMemberWindowOpen(arg(1))));
    } else if (verb == "churnleft") {
        Reply(replyTo, std::to_string(client.churnLeft()));
    } else {
        return 0;
    }
    return 1;
}

}  // namespace fakeclient
