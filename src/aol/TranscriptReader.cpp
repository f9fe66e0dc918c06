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

// The number of lines of `now` that were already in `before`: the longest tail of `before` that
// is a prefix of `now`, preferring the fewest lines dropped from the top.
std::size_t Overlap(const std::vector<std::string>& before, const std::vector<std::string>& now) {
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

}  // namespace

TranscriptReader::TranscriptReader(WindowSystem& windows) : windows_(windows) {}

std::vector<std::pair<Hwnd, std::string>> TranscriptReader::ReadRooms() {
    std::vector<std::pair<Hwnd, std::string>> rooms;
    const Hwnd mdi = client::MdiClient(windows_);
    for (Hwnd w = client::Child(windows_, mdi, client::kChildClass); w != 0;
         w = client::Child(windows_, mdi, client::kChildClass, w)) {
        if (!client::IsChatRoom(windows_, w)) continue;
        rooms.emplace_back(w, client::ControlBytes(windows_, client::RoomTranscript(windows_, w)));
    }
    return rooms;
}

void TranscriptReader::Reset() {
    rooms_.clear();
    for (auto& [room, raw] : ReadRooms()) {
        RoomText& text = rooms_[room];
        text.lines = SplitLines(raw);
        text.raw = std::move(raw);
    }
}

std::vector<TranscriptLine> TranscriptReader::ReadNew() {
    std::vector<TranscriptLine> fresh;
    std::map<Hwnd, RoomText> rooms;
    bool first = true;
    for (auto& [room, raw] : ReadRooms()) {
        const auto known = rooms_.find(room);
        const bool unchanged = known != rooms_.end() && known->second.raw == raw;
        RoomText text;
        if (unchanged) {
            text = std::move(known->second);
        } else {
            text.lines = SplitLines(raw);
            text.raw = std::move(raw);
        }
        if (first && !unchanged) {
            const std::size_t seen =
                known == rooms_.end() ? 0 : Overlap(known->second.lines, text.lines);
            for (std::size_t i = seen; i < text.lines.size(); ++i) {
                TranscriptLine line;
                if (SplitLine(text.lines[i], line)) fresh.push_back(std::move(line));
            }
        }
        first = false;
        rooms.emplace(room, std::move(text));
    }
    rooms_ = std::move(rooms);
    return fresh;
}

bool TranscriptReader::SplitLine(const std::string& line, TranscriptLine& out) {
    const std::size_t sep = line.find(":\t");
    if (sep == std::string::npos) return false;
    out.screenName = AnsiToUtf8(line.substr(0, sep));
    out.text = AnsiToUtf8(line.substr(sep + 2));
    return true;
}

}  // namespace aol
