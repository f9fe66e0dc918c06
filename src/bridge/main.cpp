// melodrop-bridge: runs next to the chat client (on Windows, or under Wine on Linux) and carries
// melodrop's window-system calls to the client: loopback TCP only, one connection at a time, a
// fresh token per start in a file only the user can read.
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
    "usage: melodrop-bridge [--port N] [--token-file FILE]\n"
    "  Serves melodrop the chat client's windows on 127.0.0.1 (default port %u).\n"
    "  --port N          listen on port N\n"
    "  --token-file FILE write the connection token to FILE (default: %s)\n"
    "Start it next to the chat client, then start melodrop with --client bridge.\n";

std::string g_tokenFile;

void Say(const std::string& line) {
    std::printf("melodrop-bridge: %s\n", line.c_str());
    std::fflush(stdout);
}

BOOL WINAPI OnConsoleClose(DWORD) {
    // The token dies with the bridge.
    if (!g_tokenFile.empty()) DeleteFileA(g_tokenFile.c_str());
    return FALSE;
}

}  // namespace

int main(int argc, char** argv) {
    std::uint16_t port = bridge::kDefaultPort;
    std::string tokenFile = bridge::DefaultTokenPath();
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
        } else {
            std::fprintf(stderr, "melodrop-bridge: unknown option: %s\n", arg.c_str());
            std::fprintf(stderr, kUsage, static_cast<unsigned>(bridge::kDefaultPort),
                         tokenFile.empty() ? "none known" : tokenFile.c_str());
            return 2;
        }
    }
    if (tokenFile.empty()) {
        std::fprintf(stderr, "melodrop-bridge: no place for the token known: give --token-file\n");
        return 2;
    }

    const std::string token = bridge::MakeToken();
    std::string error;
    if (token.empty() || !bridge::WriteTokenFile(tokenFile, token, error)) {
        std::fprintf(stderr, "melodrop-bridge: %s\n",
                     token.empty() ? "no randomness for a token" : error.c_str());
        return 1;
    }
    g_tokenFile = tokenFile;
    SetConsoleCtrlHandler(OnConsoleClose, TRUE);
    Say("token written to " + tokenFile);

    aol::Win32WindowSystem windows;
    bridge::ServerOptions options;
    options.port = port;
    options.token = token;
    options.log = Say;
    bridge::BridgeServer server(windows, options);
    if (!server.Listen()) {
        DeleteFileA(tokenFile.c_str());
        return 1;
    }
    for (;;) server.Poll(500);
}
