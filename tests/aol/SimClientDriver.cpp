#include "SimClientDriver.h"

namespace aol::testing {
namespace {

constexpr double kCallSeconds = 20e-6;  // one call of the module to the client
constexpr double kChurnStep = 30e-6;    // the churning window's pace is a few of these

}  // namespace

SimClientDriver::SimClientDriver() {
    client_.setClock([this] { return pump_.now; });
    client_.setCallCost(kCallSeconds, [this](double seconds) { pump_.now += seconds; });
}

void SimClientDriver::addDocument(const std::string& caption,
                                  const std::vector<std::string>& childClasses) {
    client_.addDocumentWindow(caption, childClasses);
}

void SimClientDriver::memberSays(const std::string& name, const std::string& text) {
    client_.memberSays(name, text);
}

void SimClientDriver::userTypes(const std::string& text, bool enter) {
    if (enter) {
        client_.userTypes(text);
    } else {
        client_.userTypesWithoutEnter(text);
    }
}

void SimClientDriver::userOpensMemberWindow(const std::string& name) {
    client_.userOpensMemberWindow(name);
}

void SimClientDriver::setIgnored(const std::string& name, bool ignored) {
    client_.setIgnored(name, ignored);
}

void SimClientDriver::setPostDelayMs(int ms) {
    client_.setPostDelay(ms / 1000.0, [this] { return pump_.now; });
}

void SimClientDriver::setCannotReceiveIms(const std::string& name) {
    client_.setCannotReceiveIMs(name, true);
}

void SimClientDriver::hangFor(int ms) {
    client_.setHung(true);
    pump_.at(pump_.now + ms / 1000.0, [this] { client_.setHung(false); });
}

void SimClientDriver::userClosesMemberWindowIn(const std::string& name, double ms) {
    client_.at(pump_.now + ms / 1000.0, [this, name] { client_.userClosesMemberWindow(name); });
}

void SimClientDriver::startDocumentChurn(int rounds) {
    churnLeft_ = rounds;
    if (rounds > 0) churnRound(pump_.now, 0);
}

void SimClientDriver::churnRound(double when, int round) {
    client_.at(when, [this, round] {
        const Hwnd window = client_.addDocumentWindow("Churn", {});
        const double closed = kChurnStep * (1 + round % 5);
        client_.at(pump_.now + kChurnStep * (1 + round % 7), [this, window, round, closed] {
            client_.closeWindow(window);
            if (--churnLeft_ > 0) churnRound(pump_.now + closed, round + 1);
        });
    });
}

std::vector<contract::ReceivedIm> SimClientDriver::instantMessagesSent() {
    std::vector<contract::ReceivedIm> out;
    for (const auto& im : client_.instantMessagesSent()) out.push_back({im.to, im.text});
    return out;
}

bool SimClientDriver::isMemberWindowOpen(const std::string& name) {
    return client_.isMemberWindowOpen(name);
}

std::unique_ptr<contract::ClientDriver> MakeSimDriver() {
    return std::make_unique<SimClientDriver>();
}

}  // namespace aol::testing
