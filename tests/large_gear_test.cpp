// Large gears: every generated profile runs from the root circle to the tip circle and
// never inside the root circle, for both generations and tooth counts up to INT_MAX; the
// data files of tooth counts that were already sound stay byte for byte what they were.
#include "cutdemo1.h"
#include "rack_generation.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

RackTables tables;  // large: one shared instance

enum class Edition { rollStepped, phiStepped };

const char* nameOf(Edition e) { return e == Edition::rollStepped ? "cutdemo3" : "cutdemo1"; }

// The data file of tooth count z as the edition writes it.
std::string toothFile(Edition edition, int z)
{
    const RackGear g = makeRackGear(z);
    PhiRack rack{};
    const bool fits = edition == Edition::rollStepped ? generateRackTables(g, rollSteps(g), &tables) >= 0
                                                      : generatePhiTables(g, &tables, &rack);
    EXPECT_TRUE(fits) << z;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* f = open_memstream(&buffer, &size);
    writeToothData(f, z, tables.profileLast, tables.toothProfile);
    std::fclose(f);
    std::string text(buffer, size);
    std::free(buffer);
    return text;
}

struct Row {
    double x, y;
};

// The rows of a data file, checking that the header counts them.
std::vector<Row> rowsOf(const std::string& text, int z)
{
    std::istringstream in(text);
    std::string line;
    std::getline(in, line);
    int headerZ = 0, last = -1;
    EXPECT_EQ(std::sscanf(line.c_str(), "z=%d   m=%d", &headerZ, &last), 2) << line;
    EXPECT_EQ(headerZ, z);
    std::vector<Row> rows;
    while (std::getline(in, line) && !line.empty()) {
        Row r{};
        EXPECT_EQ(std::sscanf(line.c_str(), "%lf,%lf", &r.x, &r.y), 2) << line;
        rows.push_back(r);
    }
    EXPECT_EQ(static_cast<int>(rows.size()), last + 1) << "z=" << z;
    return rows;
}

std::vector<int> sweptToothCounts()
{
    std::vector<int> zs;
    for (int z = 1; z <= 1500; ++z) zs.push_back(z);
    for (double z = 1500; z < INT_MAX; z *= 1.37) zs.push_back(static_cast<int>(z));
    for (int z : {4096, 12345, 65535, INT_MAX - 1, INT_MAX}) zs.push_back(z);
    return zs;
}

TEST(LargeGears, EveryProfileRunsFromTheRootCircleToTheTipCircleAndNeverInsideTheRoot)
{
    for (Edition edition : {Edition::rollStepped, Edition::phiStepped}) {
        for (int z : sweptToothCounts()) {
            SCOPED_TRACE(std::string(nameOf(edition)) + " z=" + std::to_string(z));
            const RackGear g = makeRackGear(z);
            const std::vector<Row> rows = rowsOf(toothFile(edition, z), z);
            ASSERT_GE(rows.size(), 2u);
            // Six printed decimals, and the last bits of coordinates near rp for huge gears.
            const double rounding = 2e-6 + 4e-16 * g.pitchRadius;
            const double rootRadius = std::fabs(g.rootRadius);  // one or two teeth: below the centre
            double deepest = 0;
            for (const Row& r : rows)
                deepest = std::max(deepest, rootRadius - std::hypot(r.x, r.y + g.pitchRadius));
            EXPECT_LE(deepest, rounding);
            EXPECT_NEAR(std::hypot(rows.front().x, rows.front().y + g.pitchRadius), rootRadius, rounding);
            EXPECT_NEAR(std::hypot(rows.back().x, rows.back().y + g.pitchRadius), g.tipRadius, rounding);
        }
    }
}

TEST(LargeGears, DataFilesOfSoundToothCountsAreByteForByteAsBefore)
{
    std::ifstream saved(TEST_DATA_DIR "/sound_tooth_files.txt");
    ASSERT_TRUE(saved) << "missing " TEST_DATA_DIR "/sound_tooth_files.txt";
    std::string line;
    int checked = 0;
    while (std::getline(saved, line)) {
        if (line.empty() || line[0] == '#') continue;
        char edition[16] = {};
        int z = 0;
        unsigned long long want = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%15s %d %llx", edition, &z, &want), 3) << line;
        const std::string text = toothFile(std::string(edition) == "cutdemo1" ? Edition::phiStepped
                                                                                : Edition::rollStepped, z);
        unsigned long long hash = 1469598103934665603ULL;  // FNV-1a 64
        for (unsigned char c : text) hash = (hash ^ c) * 1099511628211ULL;
        EXPECT_EQ(hash, want) << line;
        ++checked;
    }
    EXPECT_GT(checked, 400);
}

TEST(LargeGears, AJoinThatWouldOverflowTheTableIsRefusedAndWritesNothing)
{
    std::vector<Point2> U(351), T(351);
    for (int i = 0; i <= 350; ++i) {
        U[i] = {-1.0 - 0.01 * (350 - i), 0.0};  // nearing T[0] without crossing T: the walk
                                                  // runs to its end
        T[i] = {0.0, 1.0 + i};
    }
    static ToothTable profile;
    profile[0] = {42, 42};
    int last = -7, leaving = -7;
    EXPECT_EQ(joinUndercut(350, U.data(), 350, T.data(), &last, profile, &leaving), 0);
    EXPECT_EQ(profile[0].x, 42);
    EXPECT_EQ(last, -7);

    U.resize(250);
    EXPECT_EQ(joinUndercut(249, U.data(), 350, T.data(), &last, profile, &leaving), 1);
    EXPECT_LE(last, toothTableCapacity - 1);
}

}  // namespace
