#include "fakes/TestRig.h"

#include <QDir>
#include <QFile>

#include "aol/TranscriptReader.h"

namespace melodrop::testing {

TestRig::TestRig() {
    QDir(programDir.path()).mkdir(QStringLiteral("skins"));
    sim.signOn(kUser.toStdString());
    sim.openRoom("Lobby");
    sim.memberJoins("Bob");
    sim.memberJoins("Alice123");
    // Posted messages reach the simulated client whenever the program pumps its events.
    clock.addPumpHook([this] { sim.deliverPosted(); });
    transcriptStart_ = static_cast<int>(sim.transcriptLines().size());
    settings.values[QStringLiteral("mp3dir")] = mp3Dir.path();
    desktop.visible = true;
}

TestRig::~TestRig() = default;

Boundaries TestRig::boundaries(Desktop& shownOn) {
    return {
        .settings = settings,
        .player = player,
        .desktop = shownOn,
        .clock = clock,
        .windows = sim,
        .web = web,
        .files = locations.value_or(FileLocations(programDir.path())),
        .serverBase = kServer,
        .scanners = {.toldOfChanges =
                         [this](std::function<void()> changed) {
                             sim.addChangeListener(std::move(changed));
                         }},
    };
}

Melodrop& TestRig::create() {
    if (!assembly) assembly = std::make_unique<Assembly>(boundaries());
    return program();
}

Melodrop& TestRig::load() {
    create().load();
    return program();
}

void TestRig::addMp3s(const QStringList& names) {
    for (const QString& name : names) {
        QFile file(mp3Path(name));
        file.open(QIODevice::WriteOnly);
    }
    if (assembly) ctx().tracks.refresh();
}

QString TestRig::mp3Path(const QString& name) const {
    return mp3Dir.path() + QDir::separator() + name;
}

void TestRig::userTypes(const QString& line) {
    sim.userTypes(line.toStdString());
    settle();
}

void TestRig::memberSays(const QString& member, const QString& line) {
    sim.memberSays(member.toStdString(), line.toStdString());
    settle();
}

void TestRig::settle(double seconds) {
    clock.advance(seconds);
}

QList<ChatLineSeen> TestRig::transcript() const {
    QList<ChatLineSeen> lines;
    const auto all = sim.transcriptLines();
    for (std::size_t i = static_cast<std::size_t>(transcriptStart_); i < all.size(); ++i) {
        aol::TranscriptLine split;
        if (aol::TranscriptReader::SplitUtf8Line(all[i], split))
            lines.append(
                {QString::fromStdString(split.screenName), QString::fromStdString(split.text)});
        else
            lines.append({QString(), QString::fromStdString(all[i])});
    }
    return lines;
}

QStringList TestRig::takeLines() {
    QStringList out;
    const auto lines = transcript();
    for (int i = linesTaken_; i < lines.size(); ++i)
        if (lines[i].sender == kUser) out << lines[i].text;
    linesTaken_ = static_cast<int>(lines.size());
    return out;
}

}  // namespace melodrop::testing
