// Which chat client the program runs on.
#include "app/clients/ChatClient.h"
#include "app/clients/SimulatedChatClient.h"

#ifdef _WIN32
#include "aol/win32/Win32WindowSystem.h"
#else
#include <QCoreApplication>

#include "app/clients/BridgeChatClient.h"
#include "app/clients/WineChatClient.h"
#include "locations/FileLocations.h"
#endif

namespace melodrop::app {
namespace {

#ifdef _WIN32
// The real client on this desktop, reached directly.
class Win32ChatClient : public ChatClient {
public:
    aol::WindowSystem& windows() override { return windows_; }
    int quietPollMilliseconds() const override {
        return TranscriptWatch::kResponsiveSlowMilliseconds;
    }
    void watchLink(std::function<void(const aol::LinkStatus&)> listener) override {
        if (listener)
            listener({aol::LinkState::Connected, 0, "the chat client on this desktop",
                      "reaching the chat client on this desktop directly"});
    }

private:
    aol::Win32WindowSystem windows_;
};
#endif

}  // namespace

QStringList clientKindNames() {
#ifdef _WIN32
    return {QStringLiteral("win32"), QStringLiteral("sim")};
#else
    return {QStringLiteral("sim"), QStringLiteral("bridge"), QStringLiteral("wine")};
#endif
}

std::unique_ptr<ChatClient> makeChatClient(const ClientChoice& choice, Clock& clock) {
    switch (choice.kind) {
        case ClientKind::Simulated:
            return std::make_unique<SimulatedChatClient>(clock);
#ifdef _WIN32
        case ClientKind::Win32:
            return std::make_unique<Win32ChatClient>();
        case ClientKind::Bridge:
        case ClientKind::Wine:
            break;
#else
        case ClientKind::Bridge:
            return std::make_unique<BridgeChatClient>(choice);
        case ClientKind::Wine:
            return std::make_unique<WineChatClient>(
                choice, FileLocations::forProgram(QCoreApplication::applicationDirPath())
                            .bridgeProgramPlaces());
        case ClientKind::Win32:
            break;
#endif
    }
    return std::make_unique<SimulatedChatClient>(clock);
}

}  // namespace melodrop::app
