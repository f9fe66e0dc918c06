// quartzline32: list files and INI values. None of these pump events. Files are read and
// written through the file-system seam (files/FileSystem.h): only regular files of bounded size
// are read (a folder, a pipe or a device fails like a missing file, without blocking), and a list
// is written whole or not at all.
//
// - LoadList: an entry ends at a comma or at the line end (CR LF or LF); an entry that starts
//   with a double quote runs to the closing quote (commas inside it stay) and loses its quotes;
//   an empty line is an empty entry; the final line end does not start another entry. Bytes are
//   Windows-1252 and become UTF-8. A file that cannot be read shows "File Not Found" (title
//   "Error") through the hooks; the list is then unchanged.
// - SaveList: writes every entry followed by CR LF to a temporary file beside the target, then
//   renames it over the target, so the file holds either the whole new list or its old content.
//   On failure the temporary file is removed and "There has been a error!" (title "Error") shows.
// - ReadINI: the Windows profile rules: section and key names match regardless of letter case
//   and surrounding blanks; the first matching section and key win; the value loses surrounding
//   blanks, then one pair of surrounding double (or single) quotes; at most 749 characters;
//   "" when the file, section or key is missing, or the file cannot be read.
#include "aol/QuartzlineFiles.h"

#include "aol/Ansi.h"
#include "aol/Quartzline.h"
#include "files/FileSystem.h"

namespace aol {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return std::string(text.substr(begin, end - begin));
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return AnsiLowerCase(a) == AnsiLowerCase(b);
}

}  // namespace

void LoadListBytes(std::vector<std::string>& list, std::string_view content) {
    std::size_t pos = 0;
    while (pos < content.size()) {
        // One line: up to CR LF, LF or a lone CR.
        const std::size_t stop = content.find_first_of("\r\n", pos);
        const std::size_t lineEnd = stop == std::string_view::npos ? content.size() : stop;
        const std::string_view line = content.substr(pos, lineEnd - pos);
        pos = lineEnd;
        if (pos < content.size() && content[pos] == '\r') ++pos;
        if (pos < content.size() && content[pos] == '\n') ++pos;
        // Its entries, separated by commas.
        std::size_t at = 0;
        for (;;) {
            std::string_view entry;
            if (at < line.size() && line[at] == '"') {
                const std::size_t close = line.find('"', at + 1);
                if (close == std::string_view::npos) {
                    entry = line.substr(at + 1);
                    at = line.size();
                } else {
                    entry = line.substr(at + 1, close - at - 1);
                    const std::size_t comma = line.find(',', close + 1);
                    at = comma == std::string_view::npos ? line.size() : comma;
                }
            } else {
                const std::size_t comma = line.find(',', at);
                const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
                entry = line.substr(at, end - at);
                at = end;
            }
            list.push_back(AnsiToUtf8(entry));
            if (at >= line.size()) break;
            ++at;  // past the comma: another entry follows, maybe an empty one
        }
    }
}

std::string SaveListBytes(const std::vector<std::string>& list) {
    std::string bytes;
    for (const std::string& entry : list) {
        bytes += Utf8ToAnsi(entry);
        bytes += "\r\n";
    }
    return bytes;
}

std::string ReadINIBytes(const std::string& section, const std::string& key,
                         std::string_view content) {
    constexpr std::size_t kMaxValue = 749;
    bool utf8 = false;
    if (content.substr(0, 3) == "\xEF\xBB\xBF") {
        content.remove_prefix(3);
        utf8 = true;
    }
    const std::string wantedSection = Trim(utf8 ? section : Utf8ToAnsi(section));
    const std::string wantedKey = Trim(utf8 ? key : Utf8ToAnsi(key));

    bool inSection = false;
    bool sectionSeen = false;
    std::size_t pos = 0;
    while (pos < content.size()) {
        const std::size_t stop = content.find('\n', pos);
        const std::size_t end = stop == std::string_view::npos ? content.size() : stop;
        std::string_view line = content.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (sectionSeen) break;  // only the first section of that name counts
            const std::size_t close = trimmed.find(']');
            const std::string name = Trim(std::string_view(trimmed).substr(
                1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = SameIgnoringCase(name, wantedSection);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string::npos) continue;
        if (!SameIgnoringCase(Trim(std::string_view(trimmed).substr(0, equals)), wantedKey))
            continue;
        std::string value = Trim(std::string_view(trimmed).substr(equals + 1));
        if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
            value.back() == value.front()) {
            value = value.substr(1, value.size() - 2);
        }
        if (utf8) {
            // Count characters, not bytes, in a UTF-8 file.
            std::size_t chars = 0;
            std::size_t cut = 0;
            for (; cut < value.size(); ++cut) {
                if ((static_cast<unsigned char>(value[cut]) & 0xC0) != 0x80) {
                    if (chars == kMaxValue) break;
                    ++chars;
                }
            }
            return value.substr(0, cut);
        }
        if (value.size() > kMaxValue) value.resize(kMaxValue);
        return AnsiToUtf8(value);
    }
    return {};
}

void Quartzline::LoadList(std::vector<std::string>& list, const std::string& path) {
    const files::ReadResult read = files::readWholeFile(path, kMaxListFileBytes);
    if (!read.ok()) {
        ShowMessage("File Not Found", "Error");
        return;
    }
    LoadListBytes(list, read.bytes);
}

void Quartzline::SaveList(const std::vector<std::string>& list, const std::string& path) {
    if (files::writeWholeFile(path, SaveListBytes(list)))
        ShowMessage("There has been a error!", "Error");
}

std::string Quartzline::ReadINI(const std::string& section, const std::string& key,
                                const std::string& path) {
    const files::ReadResult read = files::readWholeFile(path, kMaxIniFileBytes);
    if (!read.ok()) return {};
    return ReadINIBytes(section, key, read.bytes);
}

}  // namespace aol
