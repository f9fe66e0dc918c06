// Chat lines as the program meets them: the split of a transcript line and of a command line,
// then the whole program (its real logic, the real chat scanners and dispatcher, the simulated
// room, fake player, desktop, settings and web) taking the lines in. The user's lines run the
// chat commands; a member's lines go to automatic ignoring. No crash, no endless wait.
//
// Input: lines separated by LF, Windows-1252 like the room's text. A line starting with an
// even byte is typed by the user, with an odd byte said by the member Bob (the byte itself is
// dropped). At most 24 lines.
#include <QCoreApplication>
#include <cstdint>
#include <string>
#include <string_view>

#include "aol/Ansi.h"
#include "aol/TranscriptReader.h"
#include "chat/CommandLine.h"
#include "fakes/TestRig.h"

namespace {

constexpr int kMaxLines = 24;

void splitOnly(std::string_view raw) {
    aol::TranscriptLine line;
    aol::TranscriptReader::SplitLine(std::string(raw), line);
    const QString text = QString::fromStdString(aol::AnsiToUtf8(raw));
    const melodrop::CommandLine command = melodrop::splitCommandLine(text);
    QString before;
    QString after;
    melodrop::splitAtComma(command, before, after);
    melodrop::startsWithTrigger(text, command.word.left(2));
    melodrop::trimBlanks(command.argument);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    splitOnly(input);

    melodrop::testing::TestRig rig;
    rig.load();
    rig.settle();
    std::size_t at = 0;
    for (int n = 0; n < kMaxLines && at < input.size(); ++n) {
        const std::size_t end = std::min(input.find('\n', at), input.size());
        const std::string_view line = input.substr(at, end - at);
        at = end + 1;
        if (line.empty()) continue;
        const QString text = QString::fromStdString(aol::AnsiToUtf8(line.substr(1)));
        if (static_cast<unsigned char>(line.front()) % 2 == 0)
            rig.userTypes(text);
        else
            rig.memberSays(QStringLiteral("Bob"), text);
    }
    rig.settle(0.5);
    return 0;
}
