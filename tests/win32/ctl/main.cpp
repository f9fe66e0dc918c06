// fake-client-ctl: starts the fake chat client and relays commands to it from standard input,
// so that programs outside Windows (the scenario runner, under Wine) can drive it. One command a
// line, its words separated by the byte 0x1F; each answer on standard output as its length in
// bytes on a line of its own, then the bytes ("-1" for a command the client did not take).
// "ready" on a line of its own when the client is up; the client ends with standard input.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>

#include "driver/FakeClientProcess.h"

int main() {
    // Bytes as they are: the answers are counted in bytes.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    try {
        wintest::FakeClientProcess& client = wintest::FakeClientProcess::shared();
        bool refused = false;
        client.onRefused = [&](const std::string&) { refused = true; };
        std::printf("ready\n");
        std::fflush(stdout);
        std::string line;
        while (std::getline(std::cin, line)) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.empty()) continue;
            refused = false;
            const std::string verb = line.substr(0, line.find(fakeclient::kWordSeparator));
            const std::string answer = client.command(line, verb);
            if (refused) {
                std::printf("-1\n");
            } else {
                std::printf("%zu\n", answer.size());
                std::fwrite(answer.data(), 1, answer.size(), stdout);
            }
            std::fflush(stdout);
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "fake-client-ctl: %s\n", e.what());
        return 1;
    }
    return 0;
}
