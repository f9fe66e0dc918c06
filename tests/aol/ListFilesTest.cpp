// LoadList, SaveList and ReadINI.
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "AolTestSupport.h"

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
    EXPECT_FALSE(fs::exists(path("immune.txt.tmp")));
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
    EXPECT_FALSE(fs::exists(path("target.tmp")));
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
    EXPECT_FALSE(fs::exists(path("immune.txt.tmp")));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].first, "There has been a error!");
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
