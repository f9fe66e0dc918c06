#pragma once
// Renames `from` over `to`, replacing an existing `to` in one step. Kept apart from the rest of
// the module because on Windows it needs <windows.h>, which nothing else of the module includes.
#include <filesystem>

namespace aol {

bool ReplaceFileWith(const std::filesystem::path& from, const std::filesystem::path& to);

}  // namespace aol
