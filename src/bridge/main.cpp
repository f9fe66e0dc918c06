// melodrop-bridge: runs next to the chat client (on Windows, or under Wine on Linux) and carries
// melodrop's window-system calls to the client: loopback TCP only, one melodrop at a time, which
// must prove that it knows the token made afresh at this start and kept in a file that only the
// user can read. The file is removed at every ending the bridge can see (Ctrl-C, the console
// closing, logging off, shutting down) and, by a small watcher process, when the bridge is killed.
// Started by melodrop (`melodrop --client wine`), it also ends when melodrop does, however that
// ends: melodrop holds its standard input, which closes with melodrop's process.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "aol/win32/Win32WindowSystem.h"
#include "bridge/service/BridgeServer.h"
#include "bridge/service/Token.h"

namespace {

constexpr const char* kUsage =
    "usage: melodrop-bridge [--port N] [--token-file FILE] [--end-with-input]\n"
    "  Serves melodrop the chat client's windows on 127.0.0.1 (default port %u).\n"
    "  --port N          listen on port N\n"
    "  --token-file FILE write the connection token to FILE, in a folder only you can enter\n"
    "                    (default: %s)\n"
    "  --end-with-input  end (removing the token) when standard input closes: melodrop starts\n"
    "                    the bridge so, and it ends with melodrop\n"
    "Start it next to the chat client, then start melodrop with --client bridge; or let\n"
    "melodrop start it: melodrop --client wine.\n";

constexpr const char* kWatchOption = "--remove-token-after";
// How long the loop waits at most when nothing is due: how soon a Ctrl-C is acted on.
constexpr int kMostWaitMs = 1000;

std::string g_tokenFile;
std::string g_token;
volatile LONG g_stop = 0;

void Say(const std::string& line) {
    std::printf("melodrop-bridge: %s\n", line.c_str());
    std::fflush(stdout);
}

BOOL WINAPI OnConsoleEvent(DWORD event) {
    // The token dies with the bridge. Ctrl-C and Ctrl-Break end the loop; after the others
    // (the console closing, logging off, shutting down) the process is ended once this returns.
    if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT) {
        InterlockedExchange(&g_stop, 1);
        return TRUE;
    }
    bridge::RemoveTokenFile(g_tokenFile, g_token);
    return TRUE;
}

// Whether the chat client's process still runs, asked of a handle kept open to it (so that its
// id cannot pass to another process meanwhile), with the right to query it and nothing more.
class ClientLife {
public:
    ~ClientLife() { Release(); }
    int operator()(std::uint32_t process) {
        if (process != process_) {
            Release();
            process_ = process;
            handle_ = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
        }
        if (!handle_) return -1;
        DWORD code = 0;
        if (!GetExitCodeProcess(handle_, &code)) return -1;
        return code == STILL_ACTIVE ? 1 : 0;
    }

private:
    void Release() {
        if (handle_) CloseHandle(handle_);
        handle_ = nullptr;
        process_ = 0;
    }
    HANDLE handle_ = nullptr;
    std::uint32_t process_ = 0;
};

// The watcher: a copy of the bridge, without a console, that waits for the bridge to end in any
// way (killed too, which the bridge itself cannot see) and then removes the token it wrote.
void StartWatcher(const std::string& tokenFile) {
    char self[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, self, MAX_PATH) == 0) return;
    std::string command = std::string("\"") + self + "\" " + kWatchOption + " " +
                          std::to_string(GetCurrentProcessId()) + " \"" + tokenFile + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                       nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

// Reads standard input until it ends (the program that started the bridge ended and its end of
// the pipe closed), then removes the token and ends the bridge at once, whatever the bridge was
// doing.
DWORD WINAPI EndWithInput(void* input) {
    char buffer[256];
    DWORD got = 0;
    while (ReadFile(static_cast<HANDLE>(input), buffer, sizeof buffer, &got, nullptr) && got > 0) {
    }
    Say("standard input closed (the program that started the bridge has ended): stopping");
    bridge::RemoveTokenFile(g_tokenFile, g_token);
    Say("stopped; the token is removed");
    ExitProcess(0);
    return 0;
}

int Watch(const char* processText, const std::string& tokenFile) {
    const DWORD bridgeProcess = std::strtoul(processText, nullptr, 10);
    const HANDLE bridgeHandle = OpenProcess(SYNCHRONIZE, FALSE, bridgeProcess);
    if (!bridgeHandle) return 1;
    // The token as written now: only that one is removed.
    const HANDLE file = CreateFileA(tokenFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    char buffer[bridge::kTokenChars + 2] = {};
    DWORD got = 0;
    if (file != INVALID_HANDLE_VALUE) {
        ReadFile(file, buffer, sizeof buffer, &got, nullptr);
        CloseHandle(file);
    }
    WaitForSingleObject(bridgeHandle, INFINITE);
    CloseHandle(bridgeHandle);
    if (got > 0) bridge::RemoveTokenFile(tokenFile, std::string(buffer, got));
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], kWatchOption) == 0) {
        SetConsoleCtrlHandler(nullptr, TRUE);  // the bridge handles Ctrl-C; this waits for it
        return Watch(argv[2], argv[3]);
    }
    std::uint16_t port = bridge::kDefaultPort;
    std::string defaultError;
    std::string tokenFile = bridge::DefaultTokenPath(defaultError);
    bool endWithInput = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::printf(kUsage, static_cast<unsigned>(bridge::kDefaultPort),
                        tokenFile.empty() ? "none known" : tokenFile.c_str());
            return 0;
        }
        if (arg == "--port" && i + 1 < argc) {
            char* end = nullptr;
            const unsigned long value = std::strtoul(argv[++i], &end, 10);
            if (*end != '\0' || value == 0 || value > 65535) {
                std::fprintf(stderr, "melodrop-bridge: not a port: %s\n", argv[i]);
                return 2;
            }
            port = static_cast<std::uint16_t>(value);
        } else if (arg == "--token-file" && i + 1 < argc) {
            tokenFile = argv[++i];
        } else if (arg == "--end-with-input") {
            endWithInput = true;
        } else {
            std::fprintf(stderr, "melodrop-bridge: unknown option: %s\n", arg.c_str());
            std::fprintf(stderr, kUsage, static_cast<unsigned>(bridge::kDefaultPort),
                         tokenFile.empty() ? "none known" : tokenFile.c_str());
            return 2;
        }
    }
    if (tokenFile.empty()) {
        std::fprintf(stderr, "melodrop-bridge: %s\n", defaultError.c_str());
        return 2;
    }
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (endWithInput && (input == nullptr || input == INVALID_HANDLE_VALUE)) {
        std::fprintf(stderr, "melodrop-bridge: --end-with-input: there is no standard input\n");
        return 2;
    }

    // The port first: a bridge that cannot serve leaves the token of one that does alone.
    const std::string token = bridge::MakeToken();
    if (token.empty()) {
        std::fprintf(stderr, "melodrop-bridge: no randomness for a token\n");
        return 1;
    }
    aol::Win32WindowSystem windows;
    ClientLife clientLife;
    bridge::ServerOptions options;
    options.port = port;
    options.token = token;
    options.log = Say;
    options.processLife = [&clientLife](std::uint32_t process) { return clientLife(process); };
    bridge::BridgeServer server(windows, options);
    if (!server.Listen()) return 1;
    std::string error;
    if (!bridge::WriteTokenFile(tokenFile, token, error)) {
        std::fprintf(stderr, "melodrop-bridge: %s\n", error.c_str());
        return 1;
    }
    g_tokenFile = tokenFile;
    g_token = token;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
    StartWatcher(tokenFile);
    Say("token written to " + tokenFile);
    Say("listening on 127.0.0.1:" + std::to_string(server.port()));
    if (endWithInput) {
        const HANDLE thread = CreateThread(nullptr, 0, EndWithInput, input, 0, nullptr);
        if (!thread) {
            bridge::RemoveTokenFile(tokenFile, token);
            std::fprintf(stderr, "melodrop-bridge: cannot watch standard input\n");
            return 1;
        }
        CloseHandle(thread);
    }

    while (InterlockedCompareExchange(&g_stop, 0, 0) == 0) server.Poll(kMostWaitMs);
    bridge::RemoveTokenFile(tokenFile, token);
    Say("stopped; the token is removed");
    return 0;
}
