#include "aol/TranscriptReader.h"

#include <algorithm>

#include "aol/Ansi.h"
#include "aol/ClientWindows.h"

namespace aol {
namespace {

std::vector<std::string> SplitLines(const std::string& raw) {
    std::vector<std::string> lines;
    std::size_t pos = 0;
    while (pos < raw.size()) {
        const std::size_t stop = raw.find_first_of("\r\n", pos);
        const std::size_t end = stop == std::string::npos ? raw.size() : stop;
        if (end > pos) lines.push_back(raw.substr(pos, end - pos));  // empty lines carry nothing
        pos = end;
        if (pos < raw.size() && raw[pos] == '\r') ++pos;
        if (pos < raw.size() && raw[pos] == '\n') ++pos;
    }
    return lines;
}

}  // namespace

std::size_t TranscriptReader::Overlap(const std::vector<std::string>& before,
                                      const std::vector<std::string>& now) {
    for (std::size_t dropped = 0; dropped < before.size(); ++dropped) {
        const std::size_t kept = before.size() - dropped;
        if (kept > now.size()) continue;
        if (std::equal(before.begin() + static_cast<std::ptrdiff_t>(dropped), before.end(),
                       now.begin())) {
            return kept;
        }
    }
    return 0;
}

TranscriptReader::TranscriptReader(WindowSystem& windows) : windows_(windows) {}

bool TranscriptReader::ReadRooms(std::vector<RoomText>& rooms) {
    if (windows_.ReadRoomTexts(rooms)) return true;
    bool complete = true;
    rooms = client::ReadRoomTexts(windows_, &complete);
    return complete;
}

void TranscriptReader::Forget(Hwnd room) {
    constexpr std::size_t kRemembered = 64;
    std::erase(gone_, room);
    gone_.push_back(room);
    if (gone_.size() > kRemembered) gone_.pop_front();
}

void TranscriptReader::Reset() {
    rooms_.clear();
    gone_.clear();
    std::vector<RoomText> found;
    partialBaseline_ = !ReadRooms(found);
    for (aol::RoomText& room : found) {
        if (room.unanswered) {
            Forget(room.room);  // taken as it is when it answers: what it held is not new
            continue;
        }
        KnownRoom& text = rooms_[room.room];
        text.lines = SplitLines(room.text);
        text.raw = std::move(room.text);
    }
}

std::vector<TranscriptLine> TranscriptReader::ReadNew() {
    std::vector<TranscriptLine> fresh;
    std::vector<RoomText> found;
    const bool complete = ReadRooms(found);
    std::map<Hwnd, KnownRoom> rooms;
    bool first = true;
    for (aol::RoomText& room : found) {
        const auto known = rooms_.find(room.room);
        if (room.unanswered) {
            // A hung client's transcript has not emptied: what was known of it stands, and it
            // is read again next time. (As the open room, it hides the rooms behind it.)
            if (known != rooms_.end()) rooms.emplace(room.room, std::move(known->second));
            first = false;
            continue;
        }
        const bool unchanged = known != rooms_.end() && known->second.raw == room.text;
        // A room the baseline may have missed is taken as it is now, as the baseline would have.
        const bool back =
            known == rooms_.end() &&
            (partialBaseline_ || std::find(gone_.begin(), gone_.end(), room.room) != gone_.end());
        KnownRoom text;
        if (unchanged) {
            text = std::move(known->second);
        } else {
            text.lines = SplitLines(room.text);
            text.raw = std::move(room.text);
        }
        if (back) std::erase(gone_, room.room);
        if (first && !unchanged && !back) {
            const std::size_t seen =
                known == rooms_.end() ? 0 : Overlap(known->second.lines, text.lines);
            for (std::size_t i = seen; i < text.lines.size(); ++i) {
                TranscriptLine line;
                if (SplitLine(text.lines[i], line)) fresh.push_back(std::move(line));
            }
        }
        first = false;
        rooms.emplace(room.room, std::move(text));
    }
    for (auto& [room, text] : rooms_) {
        if (rooms.count(room)) continue;
        if (complete) {
            Forget(room);
        } else {
            rooms.emplace(room, std::move(text));  // not reached: kept as it was
        }
    }
    if (complete) partialBaseline_ = false;
    rooms_ = std::move(rooms);
    return fresh;
}

bool TranscriptReader::SplitLine(const std::string& line, TranscriptLine& out) {
    if (!SplitUtf8Line(line, out)) return false;
    out.screenName = AnsiToUtf8(out.screenName);
    out.text = AnsiToUtf8(out.text);
    return true;
}

bool TranscriptReader::SplitUtf8Line(const std::string& line, TranscriptLine& out) {
    const std::size_t sep = line.find(":\t");
    if (sep == std::string::npos) return false;
    out.screenName = line.substr(0, sep);
    out.text = line.substr(sep + 2);
    return true;
}

}  // namespace aol
