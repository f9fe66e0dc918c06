// LoadList, SaveList and ReadINI.
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AolTestSupport.h"
#include "aol/QuartzlineFiles.h"
#include "fakes/FaultyFileSystem.h"

namespace aol::testing {
namespace {

namespace fs = std::filesystem;

class ListFiles : public AolTest {
protected:
    ListFiles() {
        dir = fs::temp_directory_path() /
              ("melodrop-aol-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    ~ListFiles() override {
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }
    std::string path(const std::string& name) const { return (dir / name).string(); }
    static void write(const std::string& file, const std::string& bytes) {
        std::ofstream out(file, std::ios::binary);
        out << bytes;
    }
    static std::string read(const std::string& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    }
    // The names in the folder, so that a temporary file left behind shows.
    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> out;
        for (const auto& entry : fs::directory_iterator(dir))
            out.push_back(entry.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<std::string> load(const std::string& bytes) {
        write(path("list.txt"), bytes);
        std::vector<std::string> list;
        q.LoadList(list, path("list.txt"));
        return list;
    }

    fs::path dir;
};

TEST_F(ListFiles, SaveAndLoadRoundTrip) {
    const std::vector<std::string> names{"bob", "Alice Smith", "zo\u00EB", "x\u2022y"};
    q.SaveList(names, path("immune.txt"));
    EXPECT_EQ(read(path("immune.txt")), "bob\r\nAlice Smith\r\nzo\xEB\r\nx\x95y\r\n");
    std::vector<std::string> loaded;
    q.LoadList(loaded, path("immune.txt"));
    EXPECT_EQ(loaded, names);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"immune.txt"});
}

TEST_F(ListFiles, AnEntryWithACommaComesBackAsTwo) {
    q.SaveList({"a,b", "c"}, path("l.txt"));
    std::vector<std::string> loaded;
    q.LoadList(loaded, path("l.txt"));
    EXPECT_EQ(loaded, (std::vector<std::string>{"a", "b", "c"}));
}

TEST_F(ListFiles, EmptyListMakesAnEmptyFileThatLoadsNothing) {
    write(path("l.txt"), "old content\r\n");
    q.SaveList({}, path("l.txt"));
    EXPECT_TRUE(fs::exists(path("l.txt")));
    EXPECT_EQ(fs::file_size(path("l.txt")), 0u);
    std::vector<std::string> loaded{"kept"};
    q.LoadList(loaded, path("l.txt"));
    EXPECT_EQ(loaded, std::vector<std::string>{"kept"});
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ListFiles, SaveReplacesALongerFileCompletely) {
    q.SaveList({"one", "two", "three", "four"}, path("l.txt"));
    q.SaveList({"x"}, path("l.txt"));
    EXPECT_EQ(read(path("l.txt")), "x\r\n");
}

TEST_F(ListFiles, LoadAppends) {
    std::vector<std::string> list{"first"};
    write(path("l.txt"), "second\r\n");
    q.LoadList(list, path("l.txt"));
    EXPECT_EQ(list, (std::vector<std::string>{"first", "second"}));
}

TEST_F(ListFiles, LoadRemovesQuotesAndKeepsQuotedCommas) {
    EXPECT_EQ(load("\"bob\"\r\n\"a,b\",c\r\n\"unclosed\r\nnext\r\n"),
              (std::vector<std::string>{"bob", "a,b", "c", "unclosed", "next"}));
}

TEST_F(ListFiles, LoadEmptyLinesAndLineEnds) {
    EXPECT_EQ(load("a\r\n\r\nb\r\n"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(load("a\nb\n\nc"), (std::vector<std::string>{"a", "b", "", "c"}));
    EXPECT_EQ(load("a,\r\n"), (std::vector<std::string>{"a", ""}));
    EXPECT_EQ(load("  spaced name  \r\n"), std::vector<std::string>{"  spaced name  "});
}

TEST_F(ListFiles, LoadOfAMissingFileShowsFileNotFound) {
    std::vector<std::string> list{"kept"};
    q.LoadList(list, path("missing.txt"));
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "File Not Found");
    EXPECT_EQ(boxes[0].second, "Error");
}

TEST_F(ListFiles, SaveIntoAMissingFolderShowsTheErrorBox) {
    q.SaveList({"a"}, path("no/such/folder/l.txt"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "There has been a error!");
    EXPECT_EQ(boxes[0].second, "Error");
}

TEST_F(ListFiles, AFailedRenameKeepsTheTargetAndLeavesNoTemporaryFile) {
    fs::create_directories(dir / "target" / "inside");
    q.SaveList({"a"}, path("target"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(fs::is_directory(dir / "target" / "inside"));
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"target"});
}

TEST_F(ListFiles, AFailedWriteKeepsTheOldFileWhole) {
    // The write fails half-way (a file-size limit, which holds even for root).
    const std::string old = "alice\r\nbob\r\n";
    write(path("immune.txt"), old);
    std::vector<std::string> big;
    for (int i = 0; i < 2000; ++i) big.push_back("member number " + std::to_string(i));
    struct rlimit saved {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previous = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    q.SaveList(big, path("immune.txt"));
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_EQ(read(path("immune.txt")), old);
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"immune.txt"});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "There has been a error!");
}

TEST_F(ListFiles, AFullOrReadOnlyDiskKeepsTheOldListWhole) {
    const std::string old = "alice\r\nbob\r\n";
    std::vector<std::string> big(3000, "a member of the room");
    for (const bool readOnly : {false, true}) {
        write(path("immune.txt"), old);
        files::testing::FaultyFileSystem faulty;
        if (readOnly)
            faulty.makeReadOnly();
        else
            faulty.fillDiskAfter(4096);
        files::FileSystemOverride use(faulty);
        q.SaveList(big, path("immune.txt"));
        EXPECT_EQ(read(path("immune.txt")), old);
        EXPECT_EQ(filesInFolder(), std::vector<std::string>{"immune.txt"});
    }
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].first, "There has been a error!");
}

// A folder, a pipe and a device are not list files: "File Not Found", at once, list unchanged.
TEST_F(ListFiles, LoadOfAFolderPipeOrDeviceShowsFileNotFoundWithoutBlocking) {
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo(path("fifo").c_str(), 0600), 0);
    for (const std::string& p : {path("folder"), path("fifo"), std::string("/dev/zero")}) {
        std::vector<std::string> list{"kept"};
        q.LoadList(list, p);
        EXPECT_EQ(list, std::vector<std::string>{"kept"}) << p;
    }
    ASSERT_EQ(boxes.size(), 3u);
    for (const auto& box : boxes)
        EXPECT_EQ(box, std::make_pair(std::string("File Not Found"), std::string("Error")));
}

TEST_F(ListFiles, AListBeyondTheBoundIsRefusedAndAMillionNamesAreNot) {
    std::string million;
    million.reserve(18 * 1000000);
    for (int i = 0; i < 1000000; ++i) million += "ScreenName" + std::to_string(100000 + i) + "\r\n";
    write(path("big.txt"), million);
    std::vector<std::string> list;
    q.LoadList(list, path("big.txt"));
    ASSERT_EQ(list.size(), 1000000u);
    EXPECT_EQ(list.back(), "ScreenName1099999");
    EXPECT_TRUE(boxes.empty());

    fs::resize_file(path("big.txt"), kMaxListFileBytes + 1);
    list.clear();
    q.LoadList(list, path("big.txt"));
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ListFiles, ShortReadsLoadTheSameAndAFailedReadLoadsNothing) {
    write(path("l.txt"), "alice\r\nbob\r\ncarol\r\n");
    files::testing::FaultyFileSystem faulty;
    faulty.shortReads(1);
    {
        files::FileSystemOverride use(faulty);
        std::vector<std::string> list;
        q.LoadList(list, path("l.txt"));
        EXPECT_EQ(list, (std::vector<std::string>{"alice", "bob", "carol"}));
        EXPECT_EQ(q.ReadINI("s", "k", path("l.txt")), "");
    }
    faulty.failReadsAfter(8);
    files::FileSystemOverride use(faulty);
    std::vector<std::string> list{"kept"};
    q.LoadList(list, path("l.txt"));
    EXPECT_EQ(list, std::vector<std::string>{"kept"});
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(ListFiles, ReadIniOfAPipeDeviceOrHugeFileIsEmptyAtOnce) {
    ASSERT_EQ(::mkfifo(path("skin.mds").c_str(), 0600), 0);
    EXPECT_EQ(q.ReadINI("melodrop", "image", path("skin.mds")), "");
    EXPECT_EQ(q.ReadINI("melodrop", "image", "/dev/zero"), "");
    write(path("huge.mds"), "[melodrop]\nimage=a.bmp\n");
    fs::resize_file(path("huge.mds"), kMaxIniFileBytes + 1);
    EXPECT_EQ(q.ReadINI("melodrop", "image", path("huge.mds")), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ListFiles, TheByteFormsFollowTheSameRules) {
    std::vector<std::string> list;
    LoadListBytes(list, "\"a,b\",c\r\n\r\nzo\xEB");
    EXPECT_EQ(list, (std::vector<std::string>{"a,b", "c", "", "zo\u00EB"}));
    EXPECT_EQ(SaveListBytes({"zo\u00EB", ""}), "zo\xEB\r\n\r\n");
    EXPECT_EQ(ReadINIBytes("Melodrop", "IMAGE", "[melodrop]\r\nimage = x.bmp \r\n"), "x.bmp");
    EXPECT_EQ(ReadINIBytes("s", "k", std::string_view("[s]\nk=a\0b\n", 9)), std::string("a\0b", 3));
}

TEST_F(ListFiles, ListFilesDoNotPump) {
    q.SaveList({"a"}, path("l.txt"));
    std::vector<std::string> list;
    q.LoadList(list, path("l.txt"));
    q.ReadINI("s", "k", path("l.txt"));
    EXPECT_EQ(pump.pumps, 0);
}

TEST_F(ListFiles, ReadIniFindsKeysAndSectionsRegardlessOfCase) {
    write(path("skin.mds"), "[MeloDrop]\r\nIMAGE=Blue.BMP\r\nBackColor = &H00FF00&\r\n");
    EXPECT_EQ(q.ReadINI("melodrop", "image", path("skin.mds")), "Blue.BMP");
    EXPECT_EQ(q.ReadINI("melodrop", "backcolor", path("skin.mds")), "&H00FF00&");
    EXPECT_EQ(q.ReadINI("MELODROP", "Image", path("skin.mds")), "Blue.BMP");
}

TEST_F(ListFiles, ReadIniTrimsLikeTheProfileApi) {
    write(path("a.ini"),
          "[s]\nquoted =   \"  inner blanks \"  \nplain=  a b  \nhalf=\"open\nsingle='x'\n"
          "eq=a=b\n");
    EXPECT_EQ(q.ReadINI("s", "quoted", path("a.ini")), "  inner blanks ");
    EXPECT_EQ(q.ReadINI("s", "plain", path("a.ini")), "a b");
    EXPECT_EQ(q.ReadINI("s", "half", path("a.ini")), "\"open");
    EXPECT_EQ(q.ReadINI("s", "single", path("a.ini")), "x");
    EXPECT_EQ(q.ReadINI("s", "eq", path("a.ini")), "a=b");
}

TEST_F(ListFiles, ReadIniReturnsAtMost749Characters) {
    write(path("a.ini"), "[s]\r\nlong=" + std::string(1000, 'x') + "\r\n");
    EXPECT_EQ(q.ReadINI("s", "long", path("a.ini")), std::string(749, 'x'));
}

TEST_F(ListFiles, ReadIniMissingPiecesGiveEmpty) {
    write(path("a.ini"), "[one]\r\nkey=1\r\n[two]\r\nother=2\r\n");
    EXPECT_EQ(q.ReadINI("one", "key", path("a.ini")), "1");
    EXPECT_EQ(q.ReadINI("two", "key", path("a.ini")), "");
    EXPECT_EQ(q.ReadINI("three", "key", path("a.ini")), "");
    EXPECT_EQ(q.ReadINI("one", "key", path("missing.ini")), "");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(ListFiles, ReadIniConvertsFromWindows1252) {
    write(path("a.ini"), "[melodrop]\r\nskinname=Caf\xE9 \x95 Blue\r\n");
    EXPECT_EQ(q.ReadINI("melodrop", "skinname", path("a.ini")), "Caf\u00E9 \u2022 Blue");
}

}  // namespace
}  // namespace aol::testing
