// Bounded whole-file reads and whole-or-nothing writes, on real special files and with the
// faults of a disk that fills up, a read-only disk, short and failing reads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "fakes/FaultyFileSystem.h"
#include "files/FileSystem.h"

namespace files {
namespace {

namespace fs = std::filesystem;
using testing::FaultyFileSystem;

class FileSystemTest : public ::testing::Test {
protected:
    FileSystemTest() {
        dir = fs::temp_directory_path() /
              ("melodrop-files-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~FileSystemTest() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static void put(const std::string& file, const std::string& bytes) {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    static std::string get(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // Every name in the folder, so that a left-over temporary file shows.
    std::vector<std::string> names() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }

    fs::path dir;
};

std::string sample(std::size_t size) {
    std::string s(size, '\0');
    for (std::size_t i = 0; i < size; ++i) s[i] = static_cast<char>(i * 31 % 251);
    return s;
}

TEST_F(FileSystemTest, ReadsAWholeFileAlsoInShortReads) {
    const std::string content = sample(200000);
    put(path("a.bin"), content);
    EXPECT_EQ(readWholeFile(path("a.bin"), content.size()).bytes, content);

    FaultyFileSystem faulty;
    faulty.shortReads(7);
    FileSystemOverride use(faulty);
    const ReadResult r = readWholeFile(path("a.bin"), content.size());
    EXPECT_TRUE(r.ok()) << r.error.message();
    EXPECT_EQ(r.bytes, content);
    EXPECT_EQ(faulty.opened, faulty.closed);
}

TEST_F(FileSystemTest, RefusesWhatIsNotARegularFileWithoutBlocking) {
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& p :
         {path("folder"), path("fifo"), std::string("/dev/zero"), std::string("/dev/null")}) {
        const ReadResult r = readWholeFile(p, 1024);
        EXPECT_EQ(r.error, FileProblem::NotARegularFile) << p << ": " << r.error.message();
        EXPECT_TRUE(r.bytes.empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_EQ(readWholeFile(path("missing"), 1024).error, std::errc::no_such_file_or_directory);
}

TEST_F(FileSystemTest, RefusesFilesBeyondTheBoundAlsoWhenTheirSizeSaysLess) {
    put(path("big"), std::string(1025, 'x'));
    EXPECT_EQ(readWholeFile(path("big"), 1024).error, FileProblem::TooLarge);
    EXPECT_TRUE(readWholeFile(path("big"), 1025).ok());
    // Files of /proc say they are empty; what arrives still counts.
    const ReadResult proc = readWholeFile("/proc/self/status", 64 * 1024);
    EXPECT_TRUE(proc.ok());
    EXPECT_NE(proc.bytes.find("VmRSS"), std::string::npos);
    EXPECT_EQ(readWholeFile("/proc/self/status", 10).error, FileProblem::TooLarge);
}

TEST_F(FileSystemTest, AReadThatFailsHalfWayGivesNothing) {
    put(path("a"), sample(5000));
    FaultyFileSystem faulty;
    faulty.failReadsAfter(3000);
    FileSystemOverride use(faulty);
    const ReadResult r = readWholeFile(path("a"), 10000);
    EXPECT_EQ(r.error, std::errc::io_error);
    EXPECT_TRUE(r.bytes.empty());
    EXPECT_EQ(faulty.opened, faulty.closed);
}

TEST_F(FileSystemTest, WritesReplaceWholeAndKeepPermissions) {
    put(path("t"), std::string(10000, 'o'));
    ::chmod(path("t").c_str(), 0640);
    EXPECT_FALSE(writeWholeFile(path("t"), "new"));
    EXPECT_EQ(get(path("t")), "new");
    EXPECT_EQ(fs::status(path("t")).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_FALSE(writeWholeFile(path("fresh"), ""));
    EXPECT_EQ(get(path("fresh")), "");
    EXPECT_EQ(names(), (std::vector<std::string>{"fresh", "t"}));
}

TEST_F(FileSystemTest, EveryFailedWriteKeepsTheOldFileWholeAndLeavesNothingBehind) {
    const std::string old = sample(30018);
    const std::string fresh = sample(40000) + "new";
    struct Fault {
        const char* name;
        std::function<void(FaultyFileSystem&)> apply;
        std::errc expected;
    } faults[] = {
        {"disk full at once", [](FaultyFileSystem& f) { f.fillDiskAfter(0); },
         std::errc::no_space_on_device},
        {"disk full half-way", [](FaultyFileSystem& f) { f.fillDiskAfter(28672); },
         std::errc::no_space_on_device},
        {"disk full one byte short",
         [&](FaultyFileSystem& f) { f.fillDiskAfter(fresh.size() - 1); },
         std::errc::no_space_on_device},
        {"read-only disk", [](FaultyFileSystem& f) { f.makeReadOnly(); },
         std::errc::read_only_file_system},
        {"sync fails", [](FaultyFileSystem& f) { f.failSync(); }, std::errc::io_error},
        {"rename fails", [](FaultyFileSystem& f) { f.failRename(); }, std::errc::cross_device_link},
    };
    for (const Fault& fault : faults) {
        put(path("settings.ini"), old);
        FaultyFileSystem faulty;
        fault.apply(faulty);
        FileSystemOverride use(faulty);
        const std::error_code error = writeWholeFile(path("settings.ini"), fresh);
        EXPECT_EQ(error, fault.expected) << fault.name << ": " << error.message();
        EXPECT_EQ(get(path("settings.ini")), old) << fault.name;
        EXPECT_EQ(names(), std::vector<std::string>{"settings.ini"}) << fault.name;
        EXPECT_EQ(faulty.opened, faulty.closed) << fault.name;
    }
}

TEST_F(FileSystemTest, WritingIntoAMissingFolderOrOverAFolderFails) {
    EXPECT_EQ(writeWholeFile(path("no/such/file"), "x"), std::errc::no_such_file_or_directory);
    fs::create_directories(dir / "target" / "inside");
    EXPECT_TRUE(writeWholeFile(path("target"), "x"));
    EXPECT_TRUE(fs::is_directory(dir / "target" / "inside"));
    EXPECT_EQ(names(), std::vector<std::string>{"target"});
}

TEST_F(FileSystemTest, DescribeNamesThePathAndTheSystemsWords) {
    EXPECT_EQ(describe("/x/settings.ini", std::make_error_code(std::errc::no_space_on_device)),
              "/x/settings.ini: No space left on device");
    EXPECT_EQ(describe("p", FileProblem::TooLarge), "p: the file is too large");
}

}  // namespace
}  // namespace files
