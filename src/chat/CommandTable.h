#pragma once
// The chat command table: every command's name, length rule, rule number and action, in the
// order the dispatcher tries them.
#include <vector>

#include "chat/CommandDispatcher.h"

namespace melodrop {

class PlaybackCommands;
class IgnoreCommands;
class SettingsCommands;

std::vector<Command> buildCommandTable(PlaybackCommands& playback, IgnoreCommands& ignore,
                                       SettingsCommands& settings);

}  // namespace melodrop
