#include "bridge/service/RequestHandler.h"

#include <chrono>
#include <vector>

#include "aol/ClientWindows.h"

namespace bridge {
namespace {

double SteadySeconds() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

const char* Name(const std::optional<std::string>& s) {
    return s ? s->c_str() : nullptr;
}

// The text as it fits in `room` bytes: whole when it does, else its last whole lines that do
// (as if the client had dropped the first ones, which the reader of a transcript allows for).
std::string LastLinesWithin(std::string text, std::size_t room) {
    if (text.size() <= room) return text;
    std::size_t start = text.size() - room;
    if (start > 0 && text[start - 1] != '\n') {
        const std::size_t lineEnd = text.find('\n', start);
        start = lineEnd == std::string::npos ? text.size() : lineEnd + 1;
    }
    return text.substr(start);
}

}  // namespace

bool RequestHandler::RoomsChanged(double now) {
    guard_.RefreshIfStale(now);
    return rooms_.Changed(guard_, now);
}

Answer RequestHandler::Handle(const Request& r) {
    guard_.RefreshIfStale(SteadySeconds());
    Answer a;
    std::intptr_t result = 0;
    switch (r.op) {
        case Op::Hello:
        case Op::Prove:
        case Op::WatchRooms:  // the server's own
            break;
        case Op::FindWindow:
            a.value = guard_.FindWindowA(Name(r.className), Name(r.caption));
            break;
        case Op::FindWindowEx:
            a.value = guard_.FindWindowExA(r.window, r.after, Name(r.className), Name(r.caption));
            break;
        case Op::SendMessage:
            a.ok = guard_.SendMessageTimeoutA(r.window, r.message, r.wParam, 0, r.flags,
                                              r.timeoutMs, &result);
            a.value = result;
            break;
        case Op::SendSetText: {
            const std::string text = r.text;  // NUL-ended by the string
            a.ok = guard_.SendMessageTimeoutA(r.window, aol::kWmSetText, 0,
                                              reinterpret_cast<std::intptr_t>(text.c_str()),
                                              r.flags, r.timeoutMs, &result);
            a.value = result;
            break;
        }
        case Op::SendGetText: {
            if (r.size == 0) break;
            std::vector<char> buffer(r.size, '\0');
            a.ok = guard_.SendMessageTimeoutA(r.window, aol::kWmGetText, r.size,
                                              reinterpret_cast<std::intptr_t>(buffer.data()),
                                              r.flags, r.timeoutMs, &result);
            a.value = result;
            if (a.ok && result > 0) {
                const auto n = std::min<std::size_t>(static_cast<std::size_t>(result), r.size - 1);
                a.bytes.assign(buffer.data(), n);
            }
            break;
        }
        case Op::PostMessage:
            a.ok = guard_.PostMessageA(r.window, r.message, r.wParam, 0);
            break;
        case Op::GetWindowTextLength:
            a.value = guard_.GetWindowTextLengthA(r.window);
            break;
        case Op::GetWindowText: {
            if (r.size == 0) break;
            std::vector<char> buffer(r.size, '\0');
            const int n = guard_.GetWindowTextA(r.window, buffer.data(), static_cast<int>(r.size));
            if (n > 0) a.bytes.assign(buffer.data(), std::min<std::size_t>(n, r.size - 1));
            break;
        }
        case Op::GetWindowThreadProcessId: {
            std::uint32_t pid = 0;
            a.value = guard_.GetWindowThreadProcessId(r.window, &pid);
            a.processId = pid;
            break;
        }
        case Op::OpenProcess:
            a.value =
                static_cast<std::int64_t>(guard_.OpenProcess(r.access, r.inherit, r.processId));
            break;
        case Op::ReadProcessMemory: {
            std::vector<char> buffer(r.size, '\0');
            std::size_t got = 0;
            a.ok = guard_.ReadProcessMemory(static_cast<aol::ProcessHandle>(r.handle), r.address,
                                            buffer.data(), buffer.size(), &got);
            if (a.ok) a.bytes.assign(buffer.data(), std::min(got, buffer.size()));
            break;
        }
        case Op::CloseHandle:
            a.ok = guard_.CloseHandle(static_cast<aol::ProcessHandle>(r.handle));
            break;
        case Op::ReadRoomTexts: {
            // Every room's transcript together within kMaxRoomTextsBytes: what melodrop keeps
            // of the rooms stays within what the module reads of one control.
            std::size_t room = kMaxRoomTextsBytes;
            for (aol::RoomText& read : rooms_.Read(guard_, SteadySeconds())) {
                if (a.rooms.size() >= kMaxKnownRooms) break;
                Answer::Room out;
                out.room = read.room;
                std::string text = LastLinesWithin(std::move(read.text), room);
                room -= text.size();
                const std::uint64_t hash = TextHash(text);
                out.changed = true;
                for (const KnownRoom& known : r.known) {
                    if (known.room == out.room && known.hash == hash) out.changed = false;
                }
                if (out.changed) out.text = std::move(text);
                a.rooms.push_back(std::move(out));
            }
            a.ok = true;
            break;
        }
    }
    return a;
}

}  // namespace bridge
