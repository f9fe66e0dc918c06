#pragma once
// What a run prints: the room's lines as the client shows them ("Sender: text", the HTML as it
// is), each line once, with a marker where the lines move to another room, and the scenario's
// notes between them.
#include <QString>

namespace melodrop::scenario {

class ScenarioWorld;

// Prints the lines that reached the room since the last print.
void printNewLines(ScenarioWorld& world);
// Prints the lines so far, then "# text" after a blank line.
void printNote(ScenarioWorld& world, const QString& text);

}  // namespace melodrop::scenario
