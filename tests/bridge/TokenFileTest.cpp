// The token file: the bridge writes it only into a folder that is the user's alone, never through
// a planted link, readable by the user alone; melodrop reads it only when it is the user's own
// private file; both find it by one rule.
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <future>

#include "bridge/client/TokenFile.h"
#include "bridge/protocol/BridgeProtocol.h"
#include "bridge/service/Token.h"
#include "fakes/NeedOrSkip.h"

namespace bridge {
namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::string Contents(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TokenFolder : public ::testing::Test {
protected:
    TokenFolder() {
        folder = fs::temp_directory_path() / ("melodrop-token-test-" + std::to_string(getpid()));
        fs::create_directories(folder);
        fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
        file = (folder / kTokenFileName).string();
    }
    ~TokenFolder() override { fs::remove_all(folder); }

    std::size_t entries() const {
        return static_cast<std::size_t>(
            std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
    }
    aol::TokenRead read(std::string& token) { return aol::ReadTokenFile(file, token, error); }

    fs::path folder;
    std::string file;
    std::string error;
};

TEST_F(TokenFolder, WrittenForTheUserAloneReadBackAndRemovedOnlyWhenItsOwn) {
    const std::string token = MakeToken();
    EXPECT_EQ(token.size(), kTokenChars);
    EXPECT_NE(token, MakeToken());
    ASSERT_TRUE(WriteTokenFile(file, token, error)) << error;
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(entries(), 1u);  // no temporary file left behind
    std::string got;
    EXPECT_EQ(read(got), aol::TokenRead::Read) << error;
    EXPECT_EQ(got, token);
    // A later start replaces a token left behind by a bridge that was killed.
    const std::string fresh = MakeToken();
    ASSERT_TRUE(WriteTokenFile(file, fresh, error)) << error;
    EXPECT_EQ(read(got), aol::TokenRead::Read);
    EXPECT_EQ(got, fresh);
    RemoveTokenFile(file, token);  // not its own any more: kept
    EXPECT_TRUE(fs::exists(file));
    RemoveTokenFile(file, fresh);
    EXPECT_FALSE(fs::exists(file));
    EXPECT_EQ(read(got), aol::TokenRead::Missing);
}

TEST_F(TokenFolder, APlantedLinkIsReplacedNotFollowed) {
    const fs::path notes = folder / "notes.txt";
    Put(notes, "the user's own notes\n");
    fs::create_symlink(notes, file);
    const std::string token = MakeToken();
    ASSERT_TRUE(WriteTokenFile(file, token, error)) << error;
    EXPECT_EQ(Contents(notes), "the user's own notes\n");
    EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(file)));
    EXPECT_EQ(Contents(file), token);
    // A dangling link too.
    fs::remove(file);
    fs::create_symlink(folder / "nothing-here", file);
    ASSERT_TRUE(WriteTokenFile(file, token, error)) << error;
    EXPECT_FALSE(fs::exists(folder / "nothing-here"));
}

TEST_F(TokenFolder, ASharedOrForeignFolderIsRefusedSayingWhatToDo) {
    const std::string token = MakeToken();
    std::string got;
    for (const fs::perms shared :
         {fs::perms::owner_all | fs::perms::group_all,
          fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec}) {
        fs::permissions(folder, shared, fs::perm_options::replace);
        EXPECT_FALSE(WriteTokenFile(file, token, error));
        EXPECT_NE(error.find("others can enter or write the folder " + folder.string()),
                  std::string::npos)
            << error;
        EXPECT_NE(error.find("chmod 700"), std::string::npos) << error;
        EXPECT_EQ(entries(), 0u);
        EXPECT_EQ(read(got), aol::TokenRead::Refused);
        EXPECT_NE(error.find("others can enter or write"), std::string::npos) << error;
    }
    MELODROP_NEED(geteuid() == 0, "giving the folder to another user needs root");
    fs::permissions(folder, fs::perms::owner_all, fs::perm_options::replace);
    ASSERT_EQ(::chown(folder.c_str(), kNobody, static_cast<gid_t>(-1)), 0);
    EXPECT_FALSE(WriteTokenFile(file, token, error));
    EXPECT_NE(error.find("is not yours (it belongs to user id 65534)"), std::string::npos) << error;
    EXPECT_NE(error.find("XDG_RUNTIME_DIR"), std::string::npos) << error;
    EXPECT_EQ(read(got), aol::TokenRead::Refused);
    EXPECT_EQ(entries(), 0u);
}

TEST_F(TokenFolder, MelodropReadsOnlyTheUsersOwnPrivateTokenFile) {
    std::string got;
    EXPECT_EQ(read(got), aol::TokenRead::Missing);
    const std::string token = MakeToken();
    ASSERT_TRUE(WriteTokenFile(file, token, error)) << error;

    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read, fs::perm_options::replace);
    EXPECT_EQ(read(got), aol::TokenRead::Refused);
    EXPECT_NE(error.find("others can read or write the token file"), std::string::npos) << error;
    EXPECT_NE(error.find("mode 0440"), std::string::npos) << error;
    EXPECT_TRUE(got.empty());

    fs::permissions(file, fs::perms::owner_read, fs::perm_options::replace);
    Put(file, "not a token");
    EXPECT_EQ(read(got), aol::TokenRead::Refused);
    EXPECT_NE(error.find("holds no token"), std::string::npos) << error;

    // Through a link: refused, even to a good token file of the user's.
    fs::remove(file);
    const fs::path elsewhere = folder / "elsewhere";
    Put(elsewhere, token);
    fs::permissions(elsewhere, fs::perms::owner_read, fs::perm_options::replace);
    fs::create_symlink(elsewhere, file);
    EXPECT_EQ(read(got), aol::TokenRead::Refused);
    EXPECT_NE(error.find("symbolic link"), std::string::npos) << error;

    // A pipe is refused without waiting for a writer.
    fs::remove(file);
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    auto reading = std::async(std::launch::async, [&] {
        std::string t, e;
        return aol::ReadTokenFile(file, t, e);
    });
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(5)), std::future_status::ready);
    EXPECT_EQ(reading.get(), aol::TokenRead::Refused);

    MELODROP_NEED(geteuid() == 0, "giving the file to another user needs root");
    fs::remove(file);
    Put(file, token);
    fs::permissions(file, fs::perms::owner_read, fs::perm_options::replace);
    ASSERT_EQ(::chown(file.c_str(), kNobody, static_cast<gid_t>(-1)), 0);
    EXPECT_EQ(read(got), aol::TokenRead::Refused);
    EXPECT_NE(error.find("is not yours"), std::string::npos) << error;
}

// One rule for both programs: $XDG_RUNTIME_DIR/melodrop-bridge.token, nothing relative.
TEST(TokenPlace, OneRuleForBothProgramsAndNoRelativeFallback) {
    std::string error;
    EXPECT_EQ(DefaultTokenPathFor("/run/user/1000", error), "/run/user/1000/melodrop-bridge.token");
    EXPECT_EQ(DefaultTokenPathFor("/run/user/1000/", error),
              "/run/user/1000/melodrop-bridge.token");
    for (const char* unusable : {static_cast<const char*>(nullptr), "", "relative/runtime"}) {
        error.clear();
        EXPECT_EQ(DefaultTokenPathFor(unusable, error), "");
        EXPECT_NE(error.find("XDG_RUNTIME_DIR"), std::string::npos) << error;
        EXPECT_NE(error.find("--bridge-token-file"), std::string::npos) << error;
        EXPECT_NE(error.find("--token-file"), std::string::npos) << error;
    }
    std::string melodropError;
    std::string bridgeError;
    EXPECT_EQ(aol::DefaultTokenFile(melodropError), DefaultTokenPath(bridgeError));
    EXPECT_EQ(melodropError, bridgeError);
}

}  // namespace
}  // namespace bridge
