// The angle tables at their telling entries, the fixed random sequence and the sign helper.
#include "render/tables.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

namespace {

struct TableEntry {
    const std::int32_t* table;
    const char* name;
    int index;
    std::int32_t value;
};

TEST(TrigTables, HoldTruncatedScaledValuesThatFallShortAtQuarterTurns) {
    BuildTrigTables();
    const TableEntry entries[] = {
        {cosTable, "cos", 0, 255},     {cosTable, "cos", 1, 254},   {sinTable, "sin", 0, 0},
        {sinTable, "sin", 450, 180},   {sinTable, "sin", 900, 254}, {cosTable, "cos", 900, 0},
        {cosTable, "cos", 1800, -254}, {sinTable, "sin", 1800, 0},  {sinTable, "sin", 2700, -254},
    };
    for (const TableEntry& e : entries) EXPECT_EQ(e.table[e.index], e.value) << e.name << "Table[" << e.index << "]";
}

TEST(TrigTables, BuildTheSecondTurnToo) {
    BuildTrigTables();
    // Entry 3600 falls just short of a full turn, so it gives 254 where entry 0 gives 255.
    const TableEntry entries[] = {
        {cosTable, "cos", 3600, 254},  {sinTable, "sin", 4500, 254}, {cosTable, "cos", 5400, -254},
        {sinTable, "sin", 6300, -254}, {sinTable, "sin", 7199, 0},   {cosTable, "cos", 7199, 254},
    };
    for (const TableEntry& e : entries) EXPECT_EQ(e.table[e.index], e.value) << e.name << "Table[" << e.index << "]";
}

// The recurrence as written out: state * 214013 + 2531011 modulo 2^32, then bits 16-30.
class RandomSequence {
public:
    int Next() {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu);
    }

private:
    std::uint32_t state = 1;
};

TEST(Random01, FollowsTheFixedSequenceFromItsFirstValue) {
    EXPECT_EQ(Random01(), 41 * 3.0518509e-05f);
    RandomSequence expected;
    expected.Next();
    for (int i = 0; i < 1000; ++i) {
        const int r = expected.Next();
        // Both forms advance the same generator.
        if (i % 2 == 0) {
            EXPECT_EQ(Random01(), r * 3.0518509e-05f) << i;
        } else {
            EXPECT_EQ(Random01Wide(), r * static_cast<double>(3.0518509e-05f)) << i;
        }
    }
}

TEST(Random01, ReachesOneOnlyWhenRoundedToSinglePrecision) {
    RandomSequence expected;
    int before = 0;
    while (expected.Next() != 32767) ++before;
    for (int i = 0; i < before; ++i) Random01Wide();
    const double wide = Random01Wide();
    EXPECT_LT(wide, 1.0);
    EXPECT_EQ(static_cast<float>(wide), 1.0f);
}

TEST(Sign, IsOneZeroOrMinusOne) {
    EXPECT_EQ(Sign(2.5f), 1);
    EXPECT_EQ(Sign(1e-30f), 1);
    EXPECT_EQ(Sign(0.0f), 0);
    EXPECT_EQ(Sign(-0.0f), 0);
    EXPECT_EQ(Sign(-319.0f), -1);
    EXPECT_EQ(Sign(std::nanf("")), -1);
}

}  // namespace
