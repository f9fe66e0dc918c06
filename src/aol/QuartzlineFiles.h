#pragma once
// The list-file and INI rules of quartzline32 on bytes already in memory, apart from the files:
// Quartzline::LoadList and Quartzline::ReadINI read a file through the file-system seam and hand
// its bytes to these (the fuzz targets call them directly).
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace aol {

// Bounds of what the module reads: larger files are refused as a failed read. A list file of a
// million screen names (16 bytes, CR LF) fits; an INI file (a skin) is a few hundred bytes.
inline constexpr std::size_t kMaxListFileBytes = 32u * 1024 * 1024;
inline constexpr std::size_t kMaxIniFileBytes = 4u * 1024 * 1024;

// LoadList on the bytes of a list file: appends its entries (UTF-8) to the list.
void LoadListBytes(std::vector<std::string>& list, std::string_view bytes);
// SaveList's bytes for the list: every entry (UTF-8 in, Windows-1252 out) followed by CR LF.
std::string SaveListBytes(const std::vector<std::string>& list);
// ReadINI on the bytes of an INI file.
std::string ReadINIBytes(const std::string& section, const std::string& key,
                         std::string_view bytes);

}  // namespace aol
