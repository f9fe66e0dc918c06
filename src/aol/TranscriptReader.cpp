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

std::vector<RoomText> TranscriptReader::ReadRooms() {
    std::vector<aol::RoomText> rooms;
    if (!windows_.ReadRoomTexts(rooms)) rooms = client::ReadRoomTexts(windows_);
    return rooms;
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
    for (aol::RoomText& room : ReadRooms()) {
        KnownRoom& text = rooms_[room.room];
        text.lines = SplitLines(room.text);
        text.raw = std::move(room.text);
    }
}

std::vector<TranscriptLine> TranscriptReader::ReadNew() {
    std::vector<TranscriptLine> fresh;
    std::map<Hwnd, KnownRoom> rooms;
    bool first = true;
    for (aol::RoomText& room : ReadRooms()) {
        const auto known = rooms_.find(room.room);
        const bool unchanged = known != rooms_.end() && known->second.raw == room.text;
        const bool back = known == rooms_.end() &&
                          std::find(gone_.begin(), gone_.end(), room.room) != gone_.end();
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
    for (const auto& [room, text] : rooms_) {
        if (!rooms.count(room)) Forget(room);
    }
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
