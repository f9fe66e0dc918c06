#pragma once
// The whole program put together, in this one place, on the boundaries its caller chose (the
// real program in app/MelodropApp, the scenario runner, the test rig, the benchmarks): the
// chat-client module and both transcript scanners on the client's window system, with one watch
// that decides when the scanners look (after each change the client tells of, or polling); the
// module's hooks into the automatic-ignore scanner and the desktop, given as it is made; and the
// program's logic, Melodrop. The assembly owns all it builds.
#include <memory>

#include "aol/Quartzline.h"
#include "base/Boundaries.h"
#include "chat/TranscriptChatScanner.h"
#include "chat/TranscriptWatch.h"
#include "program/Melodrop.h"

namespace melodrop {

class Assembly {
public:
    explicit Assembly(const Boundaries& boundaries);
    ~Assembly();
    Assembly(const Assembly&) = delete;
    Assembly& operator=(const Assembly&) = delete;

    Melodrop& program() { return *program_; }

    // The parts built on the chat client, for tests and tools that look inside.
    aol::Quartzline& aol() { return aol_; }
    TranscriptChatScanner& chtMelodrop() { return chtMelodrop_; }
    TranscriptChatScanner& chat1() { return chat1_; }
    TranscriptWatch& scanWatch() { return scanWatch_; }

private:
    TranscriptWatch scanWatch_;
    TranscriptChatScanner chtMelodrop_;  // the chat commands' lines
    TranscriptChatScanner chat1_;        // the lines automatic ignoring counts
    aol::Quartzline aol_;
    std::unique_ptr<Melodrop> program_;
};

}  // namespace melodrop
