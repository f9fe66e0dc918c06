// quartzline32: list files and INI values. None of these pump events.
//
// - LoadList: an entry ends at a comma or at the line end (CR LF or LF); an entry that starts
//   with a double quote runs to the closing quote (commas inside it stay) and loses its quotes;
//   an empty line is an empty entry; the final line end does not start another entry. Bytes are
//   Windows-1252 and become UTF-8. A file that cannot be opened or read shows "File Not Found"
//   (title "Error") through the hooks; entries read before the failure stay in the list.
// - SaveList: writes every entry followed by CR LF to a temporary file beside the target, then
//   renames it over the target, so the file holds either the whole new list or its old content.
//   On failure the temporary file is removed and "There has been a error!" (title "Error") shows.
// - ReadINI: the Windows profile rules: section and key names match regardless of letter case
//   and surrounding blanks; the first matching section and key win; the value loses surrounding
//   blanks, then one pair of surrounding double (or single) quotes; at most 749 characters;
//   "" when the file, section or key is missing.
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "aol/Ansi.h"
#include "aol/Quartzline.h"
#include "aol/ReplaceFile.h"

namespace aol {
namespace {

std::filesystem::path PathFromUtf8(const std::string& utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    std::ifstream in(PathFromUtf8(path), std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    if (in.bad()) return false;
    content = buffer.str();
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string Trim(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool SameIgnoringCase(const std::string& a, const std::string& b) {
    return AnsiLowerCase(a) == AnsiLowerCase(b);
}

}  // namespace

void Quartzline::LoadList(std::vector<std::string>& list, const std::string& path) {
    std::string content;
    if (!ReadWholeFile(path, content)) {
        ShowMessage("File Not Found", "Error");
        return;
    }
    std::size_t pos = 0;
    while (pos < content.size()) {
        // One line: up to CR LF, LF or a lone CR.
        const std::size_t stop = content.find_first_of("\r\n", pos);
        const std::size_t lineEnd = stop == std::string::npos ? content.size() : stop;
        const std::string line = content.substr(pos, lineEnd - pos);
        pos = lineEnd;
        if (pos < content.size() && content[pos] == '\r') ++pos;
        if (pos < content.size() && content[pos] == '\n') ++pos;
        // Its entries, separated by commas.
        std::size_t at = 0;
        for (;;) {
            std::string entry;
            if (at < line.size() && line[at] == '"') {
                const std::size_t close = line.find('"', at + 1);
                if (close == std::string::npos) {
                    entry = line.substr(at + 1);
                    at = line.size();
                } else {
                    entry = line.substr(at + 1, close - at - 1);
                    const std::size_t comma = line.find(',', close + 1);
                    at = comma == std::string::npos ? line.size() : comma;
                }
            } else {
                const std::size_t comma = line.find(',', at);
                const std::size_t end = comma == std::string::npos ? line.size() : comma;
                entry = line.substr(at, end - at);
                at = end;
            }
            list.push_back(AnsiToUtf8(entry));
            if (at >= line.size()) break;
            ++at;  // past the comma: another entry follows, maybe an empty one
        }
    }
}

void Quartzline::SaveList(const std::vector<std::string>& list, const std::string& path) {
    const std::filesystem::path target = PathFromUtf8(path);
    std::filesystem::path temporary = target;
    temporary += ".tmp";
    bool ok = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        if (out) {
            for (const std::string& entry : list) {
                const std::string bytes = Utf8ToAnsi(entry);
                out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
                out.write("\r\n", 2);
                if (!out) break;
            }
            out.flush();
            ok = static_cast<bool>(out);
            out.close();
            ok = ok && !out.fail();
        }
    }
    if (ok) ok = ReplaceFileWith(temporary, target);
    if (!ok) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        ShowMessage("There has been a error!", "Error");
    }
}

std::string Quartzline::ReadINI(const std::string& section, const std::string& key,
                                const std::string& path) {
    constexpr std::size_t kMaxValue = 749;
    std::string content;
    if (!ReadWholeFile(path, content)) return {};
    bool utf8 = false;
    if (content.compare(0, 3, "\xEF\xBB\xBF") == 0) {
        content.erase(0, 3);
        utf8 = true;
    }
    const std::string wantedSection = Trim(utf8 ? section : Utf8ToAnsi(section));
    const std::string wantedKey = Trim(utf8 ? key : Utf8ToAnsi(key));

    bool inSection = false;
    bool sectionSeen = false;
    std::istringstream lines(content);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        const std::string trimmed = Trim(line);
        if (!trimmed.empty() && trimmed.front() == '[') {
            if (sectionSeen) break;  // only the first section of that name counts
            const std::size_t close = trimmed.find(']');
            const std::string name =
                Trim(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            inSection = SameIgnoringCase(name, wantedSection);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection) continue;
        const std::size_t equals = trimmed.find('=');
        if (equals == std::string::npos) continue;
        if (!SameIgnoringCase(Trim(trimmed.substr(0, equals)), wantedKey)) continue;
        std::string value = Trim(trimmed.substr(equals + 1));
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

}  // namespace aol
