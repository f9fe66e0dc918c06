#include "scenario/TranscriptOutput.h"

#include "scenario/ScenarioWorld.h"
#include "scenario/StepKinds.h"

namespace melodrop::scenario {

namespace {

void emitLine(ScenarioWorld& world, const QString& text) {
    if (world.output) world.output(text);
    world.printedAnything = true;
}

}  // namespace

void printNewLines(ScenarioWorld& world) {
    const auto& lines = world.lines();
    for (; world.linesPrinted < lines.size(); ++world.linesPrinted) {
        const RoomLine& line = lines[world.linesPrinted];
        if (!world.lastPrintedRoom.isEmpty() && line.room != world.lastPrintedRoom)
            emitLine(world, QStringLiteral("-- in the room %1 --").arg(line.room));
        world.lastPrintedRoom = line.room;
        emitLine(world, line.printed());
    }
}

void printNote(ScenarioWorld& world, const QString& text) {
    printNewLines(world);
    if (world.printedAnything) emitLine(world, QString());
    emitLine(world, QStringLiteral("# ") + text);
}

std::vector<StepKind> outputSteps() {
    using T = TailRule;
    using B = BlockRule;
    return {
        {{"print", 0, 0, T::None, B::None, "print"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step&) {
             printNewLines(w);
             return passed();
         }},
        {{"note", 0, 0, T::Required, B::None, "note TEXT"},
         Phase::Anytime,
         false,
         [](ScenarioWorld& w, const Step& s) {
             printNote(w, s.tail);
             return passed();
         }},
    };
}

}  // namespace melodrop::scenario
