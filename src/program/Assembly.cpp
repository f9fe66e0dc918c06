#include "program/Assembly.h"

namespace melodrop {

namespace {

// What the chat-client module reaches outside the client: the automatic-ignore scanner's tag
// and restart (its resume step after an ignore), and the list files' message boxes.
aol::QuartzlineHooks moduleHooks(ChatScanner& autoIgnore, Desktop& desktop) {
    aol::QuartzlineHooks hooks;
    hooks.autoIgnoreTag = [&autoIgnore] { return autoIgnore.Tag().toStdString(); };
    hooks.setAutoIgnoreTag = [&autoIgnore](const std::string& tag) {
        autoIgnore.setTag(QString::fromStdString(tag));
    };
    hooks.autoIgnoreScanOn = [&autoIgnore] { autoIgnore.ScanOn(); };
    hooks.messageBox = [&desktop](const std::string& text, const std::string& title) {
        desktop.messageBox(QString::fromStdString(text), QString::fromStdString(title),
                           MessageIcon::Critical, MessageButtons::Ok);
    };
    return hooks;
}

}  // namespace

Assembly::Assembly(const Boundaries& b)
    : scanWatch_(b.clock),
      chtMelodrop_(b.windows, scanWatch_),
      chat1_(b.windows, scanWatch_),
      aol_(b.windows, b.clock, moduleHooks(chat1_, b.desktop)) {
    if (b.scanners.toldOfChanges)
        b.scanners.toldOfChanges(scanWatch_.changeListener());
    else if (b.scanners.quietPollMilliseconds)
        scanWatch_.setQuietInterval(*b.scanners.quietPollMilliseconds);
    program_.reset(
        new Melodrop(b, ChatParts{.aol = aol_, .chtMelodrop = chtMelodrop_, .chat1 = chat1_}));
}

Assembly::~Assembly() = default;

}  // namespace melodrop
