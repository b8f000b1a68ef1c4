// The workspace file: layout, round trips of every value class, the question
// about large variables, damaged and cut files, and failed saves. Files the
// loader reads are assembled byte by byte here from the documented layout.
#include "exec/WorkspaceFile.h"
#include "core/MathMatrix.h"
#include "core/OutputSink.h"
#include "exec/Workspace.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace vemlor {
namespace {

struct RecordingSink : OutputSink {
    std::vector<std::string> lines;
    void print(std::string_view text, bool, int) override { lines.emplace_back(text); }
    char setItemSeparator(char separator) override { return separator; }
};

// A list holding a list ... `depth` lists deep around the number 1.
ValuePtr nestedList(int depth) {
    ValuePtr value = std::make_unique<DoubleValue>(1.0);
    for (int i = 0; i < depth; ++i) {
        auto list = std::make_unique<ListValue>();
        list->setShapeKind(1, 1, 0);
        (*list)[0].value = std::move(value);
        value = std::move(list);
    }
    return value;
}

// Little-endian file content built by hand.
struct Bytes {
    std::string data;
    Bytes& int32(int32_t x) {
        for (int i = 0; i < 4; ++i)
            data += char(uint32_t(x) >> (8 * i) & 0xff);
        return *this;
    }
    Bytes& real(double x) {
        uint64_t bits;
        std::memcpy(&bits, &x, 8);
        for (int i = 0; i < 8; ++i)
            data += char(bits >> (8 * i) & 0xff);
        return *this;
    }
    Bytes& text(const std::string& s) {
        int32(int32_t(s.size()));
        data += s;
        data += '\0';
        return *this;
    }
    Bytes& header(int n, int nrow, int kind, int type) {
        return int32(n).int32(nrow).int32(kind).int32(type);
    }
    Bytes& scalarEntry(const std::string& name, double x) {
        return text(name).header(1, 1, 0, DOUBLE_VAL).real(x);
    }
};

class WorkspaceFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() /
               ("vemlor-wsfile-" + std::to_string(::getpid()) + "-" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir_);
        fs::create_directories(dir_);
        path_ = (dir_ / "vemlor_env.bin").string();
    }
    void TearDown() override {
        fs::permissions(dir_, fs::perms::owner_all, fs::perm_options::add);
        fs::remove_all(dir_);
    }

    std::string fileBytes() const {
        std::ifstream in(path_, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    void writeBytes(const std::string& bytes) const {
        std::ofstream(path_, std::ios::binary) << bytes;
    }
    DoubleValue& doubleVariable(Workspace& ws, const std::string& name, int count) {
        auto& v = static_cast<DoubleValue&>(*ws.createVariable(name, DOUBLE_VAL));
        v.setShape(1, count);
        for (int i = 0; i < count; ++i)
            v[i] = i + 0.25;
        return v;
    }

    fs::path dir_;
    std::string path_;
    RecordingSink sink_;
};

TEST_F(WorkspaceFileTest, FileHoldsNamesAndRecordsThenAnEmptyName) {
    Workspace ws(sink_);
    auto& v = static_cast<DoubleValue&>(*ws.createVariable("ab", DOUBLE_VAL));
    v.setShape(1, 2);
    v[0] = 1.0;
    v[1] = -2.0;
    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));
    Bytes expected;
    expected.text("ab").header(2, 1, 0, DOUBLE_VAL).real(1.0).real(-2.0).text("");
    EXPECT_EQ(fileBytes(), expected.data);
}

TEST_F(WorkspaceFileTest, RoundTripKeepsClassesShapesKindsAndNesting) {
    Workspace ws(sink_);
    auto& m = static_cast<DoubleValue&>(*ws.createVariable("m", DOUBLE_VAL));
    m.setShape(2, 3);
    for (int i = 0; i < 6; ++i)
        m[i] = i * 1.5 - 2;
    auto& z = static_cast<ComplexValue&>(*ws.createVariable("z", COMPLEX_VAL));
    z.setShape(2, 1);
    z[0] = {1, -2};
    z[1] = {0.5, 3};
    ws.createVariable("s", DOUBLE_VAL)->assignString("hi");
    auto word = std::make_unique<IntValue>();
    word->assignString("ok");
    ws.bind("si", std::move(word)); // a string kept as integers at top level
    auto& cube = static_cast<DoubleValue&>(*ws.createVariable("cube", DOUBLE_VAL));
    cube.setShapeKind(8, 2, kind3D(2));
    for (int i = 0; i < 8; ++i)
        cube[i] = i;
    ws.createVariable("none", DOUBLE_VAL);

    auto& list = static_cast<ListValue&>(*ws.createVariable("lst", LIST_VAL));
    list.setShapeKind(3, 1, KIND_TEXT);
    list[0].value = std::make_unique<DoubleValue>(7.0);
    auto inner = std::make_unique<ListValue>();
    inner->setShapeKind(2, 2, 0);
    auto innerWord = std::make_unique<IntValue>();
    innerWord->assignString("ab");
    inner->operator[](0).value = std::move(innerWord);
    inner->operator[](1).value = std::make_unique<ComplexValue>(complexd(0, 1));
    list[2].value = std::move(inner);

    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));

    Workspace loaded(sink_);
    Value* keep = loaded.createVariable("keep", DOUBLE_VAL);
    loaded.createVariable("m", LIST_VAL);
    ASSERT_TRUE(loadWorkspace(path_, loaded, sink_));
    EXPECT_EQ(loaded.findVariable("keep"), keep);

    auto& m2 = static_cast<DoubleValue&>(*loaded.findVariable("m"));
    ASSERT_EQ(m2.type(), DOUBLE_VAL);
    EXPECT_EQ(m2.n, 6);
    EXPECT_EQ(m2.nrow, 2);
    EXPECT_EQ(m2[5], 5.5);
    EXPECT_EQ(m2[1], -0.5);

    auto& z2 = static_cast<ComplexValue&>(*loaded.findVariable("z"));
    ASSERT_EQ(z2.type(), COMPLEX_VAL);
    EXPECT_EQ(z2.nrow, 2);
    EXPECT_EQ(z2[0], complexd(1, -2));
    EXPECT_EQ(z2[1], complexd(0.5, 3));

    Value* s = loaded.findVariable("s");
    EXPECT_EQ(s->kind, KIND_STRING);
    EXPECT_EQ(s->toString(), "hi");
    Value* si = loaded.findVariable("si");
    EXPECT_EQ(si->type(), DOUBLE_VAL); // variables are never integer
    EXPECT_EQ(si->kind, KIND_STRING);
    EXPECT_EQ(si->toString(), "ok");

    auto& cube2 = static_cast<DoubleValue&>(*loaded.findVariable("cube"));
    EXPECT_EQ(cube2.kind, kind3D(2));
    EXPECT_EQ(cube2.nrow, 2);
    EXPECT_EQ(cube2[7], 7);
    EXPECT_EQ(loaded.findVariable("none")->n, 0);

    auto& list2 = static_cast<ListValue&>(*loaded.findVariable("lst"));
    ASSERT_EQ(list2.type(), LIST_VAL);
    EXPECT_EQ(list2.n, 3);
    EXPECT_EQ(list2.kind, KIND_TEXT);
    EXPECT_EQ(list2[0].value->scalarDouble(), 7.0);
    EXPECT_TRUE(list2[1].empty());
    ASSERT_EQ(list2[2].value->type(), LIST_VAL);
    auto& inner2 = static_cast<ListValue&>(*list2[2].value);
    EXPECT_EQ(inner2.nrow, 2);
    ASSERT_EQ(inner2[0].value->type(), INTEGER_VAL); // nested values keep their class
    EXPECT_EQ(inner2[0].value->kind, KIND_STRING);
    EXPECT_EQ(inner2[0].value->toString(), "ab");
    EXPECT_EQ(static_cast<ComplexValue&>(*inner2[1].value)[0], complexd(0, 1));
}

TEST_F(WorkspaceFileTest, TenThousandElementsAreLeftOutAndNineThousandNineHundredNinetyNineSaved) {
    Workspace ws(sink_);
    doubleVariable(ws, "big", 10000);
    doubleVariable(ws, "v", 9999);
    EXPECT_TRUE(hasLargeVariables(ws));
    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));
    Workspace loaded(sink_);
    ASSERT_TRUE(loadWorkspace(path_, loaded, sink_));
    EXPECT_EQ(loaded.findVariable("big"), nullptr);
    auto& v = static_cast<DoubleValue&>(*loaded.findVariable("v"));
    EXPECT_EQ(v.n, 9999);
    EXPECT_EQ(v[9998], 9998.25);
    EXPECT_FALSE(hasLargeVariables(loaded));
}

// One limit for both sides: what the writer keeps reads back, what it
// leaves out it names, and a record beyond the limit in a file written
// elsewhere costs only its own variable.
TEST_F(WorkspaceFileTest, NestingLimitIsSharedByWriterAndReader) {
    Workspace ws(sink_);
    ws.bind("deepest", nestedList(kDeepestNesting));
    ws.bind("deeper", nestedList(kDeepestNesting + 1));
    doubleVariable(ws, "zz", 2);
    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));
    EXPECT_EQ(sink_.lines,
              (std::vector<std::string>{"deeper not saved: lists nested more than 1000 deep"}));
    Workspace loaded(sink_);
    ASSERT_TRUE(loadWorkspace(path_, loaded, sink_));
    EXPECT_EQ(loaded.findVariable("deeper"), nullptr);
    ASSERT_NE(loaded.findVariable("deepest"), nullptr);
    EXPECT_EQ(unsavableReason(*loaded.findVariable("deepest")), "");
    EXPECT_EQ(loaded.findVariable("zz")->n, 2);
    EXPECT_EQ(sink_.lines.size(), 1u);

    Bytes file;
    file.text("deep");
    for (int i = 0; i < 5000; ++i)
        file.header(1, 1, 0, LIST_VAL);
    file.header(1, 1, 0, DOUBLE_VAL).real(3);
    file.scalarEntry("after", 7).text("");
    writeBytes(file.data);
    sink_.lines.clear();
    Workspace fromElsewhere(sink_);
    ASSERT_TRUE(loadWorkspace(path_, fromElsewhere, sink_));
    EXPECT_EQ(fromElsewhere.findVariable("deep"), nullptr);
    EXPECT_EQ(fromElsewhere.findVariable("after")->scalarDouble(), 7.0);
    EXPECT_EQ(sink_.lines,
              (std::vector<std::string>{"deep not restored: lists nested more than 1000 deep"}));
}

TEST_F(WorkspaceFileTest, CutFileKeepsWhatWasReadAndReportsFailure) {
    Bytes whole;
    whole.scalarEntry("a", 1.5).scalarEntry("bb", 2.5).text("");
    // "a": 6 bytes of name and 24 of record, so "bb" starts at offset 30;
    // its name takes 7 bytes, its record header 16, its element 8.
    for (size_t cut : {32u, 35u, 30u + 7u + 10u, 30u + 7u + 16u + 3u}) {
        SCOPED_TRACE(cut);
        writeBytes(whole.data.substr(0, cut));
        Workspace ws(sink_);
        EXPECT_FALSE(loadWorkspace(path_, ws, sink_));
        ASSERT_NE(ws.findVariable("a"), nullptr);
        EXPECT_EQ(ws.findVariable("a")->scalarDouble(), 1.5);
        EXPECT_EQ(ws.findVariable("bb"), nullptr);
    }
    // Without the end marker the file simply ends after a whole entry.
    writeBytes(whole.data.substr(0, whole.data.size() - 5));
    Workspace ws(sink_);
    EXPECT_TRUE(loadWorkspace(path_, ws, sink_));
    EXPECT_EQ(ws.findVariable("bb")->scalarDouble(), 2.5);
}

TEST_F(WorkspaceFileTest, CountsTheFileCannotHoldAllocateNothing) {
    // A few bytes claiming two billion elements, or a list of lists each
    // claiming millions of items, are cut files: refused before anything of
    // that size is allocated (followed, the nested lists took 3.6 GB).
    auto peakKilobytes = [] {
        rusage usage{};
        ::getrusage(RUSAGE_SELF, &usage);
        return usage.ru_maxrss;
    };
    long peakBefore = peakKilobytes();
    auto expectRefused = [&](const Bytes& file) {
        writeBytes(file.data);
        Workspace ws(sink_);
        EXPECT_FALSE(loadWorkspace(path_, ws, sink_));
        EXPECT_NE(ws.findVariable("a"), nullptr);
        EXPECT_EQ(ws.findVariable("huge"), nullptr);
    };
    for (int type : {int(INTEGER_VAL), int(DOUBLE_VAL), int(COMPLEX_VAL), int(LIST_VAL)}) {
        SCOPED_TRACE(type);
        Bytes file;
        file.scalarEntry("a", 1).text("huge").header(2000000000, 1, 0, type).real(1);
        expectRefused(file);
    }
    Bytes nested;
    nested.scalarEntry("a", 1).text("huge");
    for (int i = 0; i < 64; ++i)
        nested.header(6000000, 1, 0, LIST_VAL);
    expectRefused(nested);
    EXPECT_LT(peakKilobytes() - peakBefore, 200 * 1024);
}

TEST_F(WorkspaceFileTest, OversizedRecordIsSkippedAndTheRestRead) {
    const int stored = kLargestRecordCount + 5;
    Bytes file;
    file.text("big").header(1, 1, 0, LIST_VAL).header(stored, stored, 0, INTEGER_VAL);
    file.data.reserve(size_t(stored) * 4 + 64);
    for (int i = 0; i < stored; ++i)
        file.int32(i);
    file.scalarEntry("after", 7).text("");
    writeBytes(file.data);

    Workspace ws(sink_);
    ASSERT_TRUE(loadWorkspace(path_, ws, sink_));
    EXPECT_EQ(ws.findVariable("big"), nullptr);
    ASSERT_NE(ws.findVariable("after"), nullptr);
    EXPECT_EQ(ws.findVariable("after")->scalarDouble(), 7.0);
    EXPECT_EQ(sink_.lines,
              (std::vector<std::string>{"big not restored: a part of more than 6003000 elements"}));
}

TEST_F(WorkspaceFileTest, OverlongNameEndsLoadingQuietly) {
    Bytes file;
    file.scalarEntry("a", 4).int32(100002).data += std::string(64, 'x');
    writeBytes(file.data);
    Workspace ws(sink_);
    EXPECT_TRUE(loadWorkspace(path_, ws, sink_));
    EXPECT_EQ(ws.variables().size(), 1u);
    EXPECT_EQ(ws.findVariable("a")->scalarDouble(), 4.0);
}

TEST_F(WorkspaceFileTest, DamagedRecordsFailTheLoad) {
    Bytes unknownType;
    unknownType.scalarEntry("a", 4).text("b").header(1, 1, 0, 7).real(1).text("");
    writeBytes(unknownType.data);
    Workspace ws(sink_);
    EXPECT_FALSE(loadWorkspace(path_, ws, sink_));
    EXPECT_NE(ws.findVariable("a"), nullptr);
    EXPECT_EQ(ws.findVariable("b"), nullptr);

    // Lists nested beyond reason are read past without following them (that
    // would exhaust the stack), up to the cut.
    Bytes deep;
    deep.text("d");
    for (int i = 0; i < 5000; ++i)
        deep.header(1, 1, 0, LIST_VAL);
    writeBytes(deep.data);
    Workspace ws2(sink_);
    EXPECT_FALSE(loadWorkspace(path_, ws2, sink_));
}

TEST_F(WorkspaceFileTest, MissingFileLoadsNothingWithoutFailing) {
    Workspace ws(sink_);
    EXPECT_TRUE(loadWorkspace(path_, ws, sink_));
    EXPECT_TRUE(ws.variables().empty());
}

TEST_F(WorkspaceFileTest, SaveOntoADirectoryFails) {
    Workspace ws(sink_);
    doubleVariable(ws, "a", 2);
    fs::create_directory(path_);
    EXPECT_FALSE(saveWorkspace(path_, ws, sink_));
    EXPECT_TRUE(fs::is_directory(path_));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(WorkspaceFileTest, SaveThatRunsOutOfRoomLeavesTheOldFile) {
    Workspace ws(sink_);
    doubleVariable(ws, "a", 2);
    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));
    std::string previous = fileBytes();
    doubleVariable(ws, "b", 5000); // 40000 bytes, far beyond the limit below

    // A file size limit makes writes fail even for root, which ignores
    // permission bits.
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    bool written = saveWorkspace(path_, ws, sink_);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(fileBytes(), previous);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
}

TEST_F(WorkspaceFileTest, SaveIntoAReadOnlyDirectoryLeavesTheOldFile) {
    if (::geteuid() == 0) GTEST_SKIP() << "permission bits do not stop root";
    Workspace ws(sink_);
    doubleVariable(ws, "a", 2);
    ASSERT_TRUE(saveWorkspace(path_, ws, sink_));
    std::string previous = fileBytes();
    doubleVariable(ws, "b", 3);
    fs::permissions(dir_, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(saveWorkspace(path_, ws, sink_));
    EXPECT_EQ(fileBytes(), previous);
}

TEST_F(WorkspaceFileTest, RecordPairServesSingleValues) {
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    BinaryWriter writer(file);
    IntValue row;
    row.setShape(1, 3);
    for (int i = 0; i < 3; ++i)
        row[i] = -i;
    writeValueRecord(writer, row);
    writeValueRecord(writer, nullptr);
    std::rewind(file);

    BinaryReader reader(file);
    ValuePtr back = readValueRecord(reader);
    ASSERT_EQ(back->type(), INTEGER_VAL);
    EXPECT_EQ(back->nrow, 1);
    EXPECT_EQ(static_cast<IntValue&>(*back)[2], -2);
    EXPECT_EQ(readValueRecord(reader), nullptr);
    EXPECT_THROW(readValueRecord(reader), TruncatedFile);
    std::fclose(file);
}

} // namespace
} // namespace vemlor
