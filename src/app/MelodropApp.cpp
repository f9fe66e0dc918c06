#include "app/MelodropApp.h"

#include <utility>

#include "app/clients/ErrorOutput.h"
#include "ui/OtherStarts.h"

namespace melodrop::app {

namespace {

ui::QtDesktopOptions desktopHolding(std::shared_ptr<ui::InstanceLock> lock) {
    ui::QtDesktopOptions options;
    options.heldLock = std::move(lock);
    return options;
}

}  // namespace

QString updateServerBase() {
    const QString fromEnvironment = qEnvironmentVariable("MELODROP_UPDATE_SERVER");
    return fromEnvironment.isEmpty() ? QStringLiteral(MELODROP_UPDATE_SERVER) : fromEnvironment;
}

MelodropApp::MelodropApp(const ClientChoice& client, std::shared_ptr<ui::InstanceLock> lock)
    : client_(makeChatClient(client, clock_)), desktop_(desktopHolding(std::move(lock))) {
    assembly_ = std::make_unique<Assembly>(Boundaries{
        .settings = settings_,
        .player = player_,
        .desktop = desktop_,
        .clock = clock_,
        .windows = client_->windows(),
        .web = web_,
        .files = FileLocations::forThisProgram(),
        .serverBase = updateServerBase(),
        .scanners = client_->scannerMode(),
    });
    playerWindow_ = std::make_unique<ui::PlayerWindow>(program());
    desktop_.setPlayerWindow(playerWindow_.get());
    ui::connectToMelodrop(desktop_, program());
    settings_.tellFailuresThrough(desktop_);
    client_->tellUserThrough(desktop_);
    client_->watchLink(
        [&link = program().context().link](const aol::LinkStatus& status) { link.set(status); });
}

MelodropApp::~MelodropApp() = default;

void MelodropApp::launch() {
    launching_ = true;
    program().launch();
    launching_ = false;
    if (program().ended()) return;
    client_->programLaunched(playerWindow_->frameGeometry());
    const QList<ui::InstanceRequest> waiting = std::exchange(waiting_, {});
    for (const ui::InstanceRequest& request : waiting) handle(request);
}

bool MelodropApp::listenForOtherStarts() {
    otherStarts_ = std::make_unique<ui::InstanceServer>();
    QObject::connect(otherStarts_.get(), &ui::InstanceServer::requested, &program(),
                     [this](const ui::InstanceRequest& request) { handle(request); });
    return otherStarts_->listen();
}

void MelodropApp::handle(const ui::InstanceRequest& request) {
    if (launching_) {
        waiting_ << request;
        return;
    }
    ui::answerOtherStart(desktop_, program(), request);
}

void MelodropApp::bringForward() {
    ui::bringPlayerForward(desktop_, program());
}

void MelodropApp::playFile(const QString& path) {
    ui::playFileFromOutside(desktop_, program(), path);
}

int handToRunningInstance(const QString& file) {
    ui::InstanceRequest request;
    if (!file.isEmpty()) request = {ui::InstanceRequest::Kind::Play, file};
    QString reason;
    if (ui::sendToRunningInstance(request, &reason)) return 0;
    sayOnErrorOutput(QStringLiteral("melodrop is running already, but it could not be reached: ") +
                     reason);
    return 1;
}

}  // namespace melodrop::app
