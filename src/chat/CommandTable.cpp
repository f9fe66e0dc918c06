#include "chat/CommandTable.h"

#include <optional>

#include "chat/IgnoreCommands.h"
#include "chat/PlaybackCommands.h"
#include "chat/SettingsCommands.h"

namespace melodrop {

std::vector<Command> buildCommandTable(PlaybackCommands& p, IgnoreCommands& i,
                                       SettingsCommands& s) {
    using R = LengthRule;
    using L = const CommandLine&;
    // The rule numbers count the whole line, trigger included, whatever the trigger's length.
    return {
        {"trig", R::AtLeast, 6, [&s](L l) { s.trig(l.argument); }},
        {"trig?", R::AtMost, 6, [&s](L) { s.trigQuery(); }},
        {"hndle", R::AtLeast, 7, [&s](L l) { s.hndle(l.argument); }},
        {"dir", R::AtLeast, 5, [&p](L l) { p.dir(l.argument); }},
        {"dir?", R::AtMost, 5, [&p](L) { p.dirQuery(); }},
        {"refresh", R::AtMost, 8, [&p](L) { p.refresh(); }},
        {"play", R::AtLeast, 6, [&p](L l) { p.play(l.argument); }},
        {"stop", R::AtMost, 5, [&p](L) { p.stop(); }},
        {"pause", R::AtMost, 6, [&p](L) { p.pause(); }},
        {"unpause", R::AtMost, 8, [&p](L) { p.unpause(); }},
        {"rand", R::ArgumentFrom, 6,
         [&p](L l) { p.rand(l.withArgument ? std::optional(l.argument) : std::nullopt); }},
        {"counton", R::AtMost, 8, [&p](L) { p.setContinuous(true); }},
        {"countoff", R::AtMost, 9, [&p](L) { p.setContinuous(false); }},
        {"randon", R::AtMost, 7, [&p](L) { p.setRandom(true); }},
        {"randoff", R::AtMost, 8, [&p](L) { p.setRandom(false); }},
        {"next", R::AtMost, 5, [&p](L) { p.next(); }},
        {"prev", R::AtMost, 5, [&p](L) { p.prev(); }},
        {"fwd", R::AtLeast, 5, [&p](L l) { p.fwd(l.argument); }},
        {"rwnd", R::AtLeast, 6, [&p](L l) { p.rwnd(l.argument); }},
        {"vol", R::AtLeast, 5, [&p](L l) { p.vol(l.argument); }},
        {"vol?", R::AtMost, 5, [&p](L) { p.volQuery(); }},
        {"song?", R::AtMost, 6, [&p](L) { p.songQuery(); }},
        {"idle", R::AtLeast, 6, [&s](L l) { s.idle(l.argument); }},
        {"idlel", R::CommaRule, 0, [&s](L l) { s.idleLinker(l); }},
        // One more than the name's length plus one: a single blank after it is still taken.
        {"idleloff", R::AtMost, 10, [&s](L) { s.idleLinkerOff(); }},
        {"idleoff", R::AtMost, 8, [&s](L) { s.idleOff(); }},
        {"x", R::AtLeast, 3, [&i](L l) { i.ignore(l.argument, Announcement::Ignored); }},
        {"unx", R::AtLeast, 5, [&i](L l) { i.ignore(l.argument, Announcement::Unignored); }},
        {"pr", R::AtLeast, 4, [&s](L l) { s.privateRoom(l.argument); }},
        {"imson", R::AtMost, 6, [&s](L) { s.instantMessages(true); }},
        {"imsoff", R::AtMost, 7, [&s](L) { s.instantMessages(false); }},
        {"bust", R::Unchecked, 0, [](L) {}},
        {"ax", R::AtLeast, 4, [&i](L l) { i.autoIgnoreOn(l.argument); }},
        {"axoff", R::Unchecked, 0, [&i](L) { i.autoIgnoreOff(); }},
        {"imu", R::AtLeast, 5, [&i](L l) { i.immune(l.argument); }},
        {"unimu", R::AtLeast, 7, [&i](L l) { i.unimmune(l.argument); }},
        {"vimu", R::AtMost, 5, [&i](L) { i.viewImmune(); }},
        {"vcmds", R::AtMost, 6, [&s](L) { s.viewCommands(); }},
        {"show", R::AtMost, 5, [&s](L) { s.show(); }},
        {"mini", R::AtMost, 5, [&s](L) { s.mini(); }},
        {"exit", R::Unchecked, 0, [&s](L) { s.exit(); }},
    };
}

}  // namespace melodrop
