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

}  // namespace
namespace {

const char* Name(const std::optional<std::string>& s) {
    return s ? s->c_str() : nullptr;
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
        case Op::ReadRoomTexts:
            for (aol::RoomText& room : rooms_.Read(guard_, SteadySeconds())) {
                Answer::Room out;
                out.room = room.room;
                const std::uint64_t hash = TextHash(room.text);
                out.changed = true;
                for (const KnownRoom& known : r.known) {
                    if (known.room == room.room && known.hash == hash) out.changed = false;
                }
                if (out.changed) out.text = std::move(room.text);
                a.rooms.push_back(std::move(out));
            }
            a.ok = true;
            break;
    }
    return a;
}

}  // namespace bridge
