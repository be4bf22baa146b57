// Evaluation of a track at fractional rows: clamping outside the keys, the four
// interpolations, unknown and negative types, and the search that picks the key.
#include "sync/Sync.h"
#include "sync/TrackEval.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

namespace {

using Values = std::vector<float>;

// A track over keys owned by the test.
struct Track {
    explicit Track(std::vector<TrackKey> keys) : keys(std::move(keys))
    {
        track.name = nullptr;
        track.keys = this->keys.empty() ? nullptr : this->keys.data();
        track.keyCount = static_cast<int>(this->keys.size());
    }
    float at(double row) const { return getTrackValue(&track, row); }
    // The values at each of the rows, to compare with the expected ones in one go.
    std::vector<float> at(std::initializer_list<double> rows) const
    {
        std::vector<float> values;
        for (const double row : rows)
            values.push_back(at(row));
        return values;
    }

    std::vector<TrackKey> keys;
    SyncTrack track;
};

Track between10And12(int32_t type)
{
    return Track({{10, 0.0f, type}, {12, 1.0f, Step}});
}

TEST(TrackEval, NoKeysGivesZeroEverywhere)
{
    const Track empty({});
    for (const double row : {-100.0, 0.0, 0.5, 1e6})
        EXPECT_EQ(empty.at(row), 0.0f);
    EXPECT_EQ(getTrackValue(nullptr, 3.0), 0.0f);
    EXPECT_EQ(TrackHandle().getValue(3.0), 0.0f);
}

TEST(TrackEval, OneKeyGivesItsValueBeforeAndAfter)
{
    const Track one({{5, 7.5f, Linear}});
    for (const double row : {-3.0, 4.99, 5.0, 5.5, 1000.0})
        EXPECT_EQ(one.at(row), 7.5f);
}

TEST(TrackEval, BeforeFirstKeyIsFirstValueWhateverItsType)
{
    for (const int32_t type : {int32_t(Step), int32_t(Linear), int32_t(Smooth), int32_t(Quadratic), 4, -1}) {
        const Track track({{10, 3.0f, type}, {20, 9.0f, Linear}});
        EXPECT_EQ(track.at({9.99, -50.0}), Values({3.0f, 3.0f})) << "type " << type;
    }
}

TEST(TrackEval, AtAndAfterLastKeyIsLastValue)
{
    const Track track({{0, 1.0f, Linear}, {10, 4.0f, Linear}});
    EXPECT_EQ(track.at({10.0, 10.75, 1e9}), Values({4.0f, 4.0f, 4.0f}));
}

TEST(TrackEval, KnownValuesHalfwayIntoTheFirstRow)
{
    EXPECT_EQ(between10And12(Linear).at(10.5), 0.25f);
    EXPECT_EQ(between10And12(Smooth).at(10.5), 0.15625f);
    EXPECT_EQ(between10And12(Quadratic).at(10.5), 0.0625f);
    EXPECT_EQ(between10And12(Step).at(10.5), 0.0f);
}

TEST(TrackEval, OnAKeyRowTheKeyValueHolds)
{
    const Track track({{0, 2.0f, Linear}, {8, 6.0f, Smooth}, {16, -2.0f, Quadratic}, {24, 5.0f, Step}});
    EXPECT_EQ(track.at({0.0, 8.0, 16.0, 24.0}), Values({2.0f, 6.0f, -2.0f, 5.0f}));
}

TEST(TrackEval, FractionOfTheFullRowDrivesInterpolation)
{
    // The whole row picks the key pair, the full row sets t: 11.75 is t = 0.875.
    const Track linear = between10And12(Linear);
    EXPECT_EQ(linear.at({11.0, 11.75}), Values({0.5f, 0.875f}));
    const Track falling({{0, 10.0f, Linear}, {4, 2.0f, Step}});
    EXPECT_EQ(falling.at({1.0, 3.5}), Values({8.0f, 3.0f}));
}

TEST(TrackEval, StepHoldsUntilTheNextKey)
{
    const Track track({{0, 2.0f, Step}, {400, 0.0f, Step}});
    EXPECT_EQ(track.at({0.0, 399.999, 400.0}), Values({2.0f, 2.0f, 0.0f}));
}

TEST(TrackEval, UnknownAndNegativeTypesGiveZeroOnlyBetweenKeys)
{
    for (const int32_t type : {4, 100, -1, -128, INT_MIN}) {
        const Track track({{10, 3.0f, type}, {20, 9.0f, Linear}});
        EXPECT_EQ(track.at({10.0, 15.5, 9.0, 20.0}), Values({0.0f, 0.0f, 3.0f, 9.0f})) << "type " << type;
    }
}

TEST(TrackEval, NegativeRowsUseFloorNotTruncation)
{
    // Row -0.5 lies in whole row -1, between the keys at -2 and 0, so the key at -2 rules.
    const Track track({{-2, 4.0f, Linear}, {0, 8.0f, Step}, {2, 100.0f, Step}});
    EXPECT_EQ(track.at(-0.5), 7.0f);
    EXPECT_EQ(track.at(-2.0), 4.0f);
    const Track step({{-1, 1.0f, Step}, {0, 5.0f, Step}});
    EXPECT_EQ(step.at(-0.5), 1.0f);
}

TEST(TrackEval, PrecisionOfEachArithmeticStep)
{
    // The value difference is a float subtraction and the sum is rounded once to float.
    const float a = 16777216.0f; // 2^24: a + 1 is not representable as a float
    const Track track({{0, a, Linear}, {2, a + 4.0f, Step}});
    const double t = 0.5 / 2.0;
    EXPECT_EQ(track.at(0.5), static_cast<float>(double(a) + double((a + 4.0f) - a) * t));
}

TEST(TrackEval, KeysAtOppositeEndsOfTheFloatRangeGiveFiniteValuesBetweenThem)
{
    // Their float difference overflows; every value between two finite keys must not.
    const float big = 3.4e38f;
    for (const int32_t type : {Linear, Smooth, Quadratic}) {
        const Track track({{0, big, type}, {10, -big, Step}});
        for (double row = 0.0; row < 10.0; row += 0.25) {
            const float value = track.at(row);
            EXPECT_TRUE(std::isfinite(value)) << "type " << type << " row " << row;
            EXPECT_LE(std::fabs(value), big) << "type " << type << " row " << row;
        }
        EXPECT_EQ(track.at(0.0), big);
        EXPECT_NEAR(track.at(5.0) / big, type == Linear ? 0.0 : type == Smooth ? 0.0 : 0.5, 1e-6);
    }
}

TEST(TrackEval, RowsOutsideTheIntRangeAreSafe)
{
    const Track track({{INT_MIN, -1.0f, Linear}, {0, 1.0f, Linear}, {INT_MAX, 3.0f, Step}});
    EXPECT_EQ(track.at({-1e12, 1e12}), Values({-1.0f, 3.0f}));
    EXPECT_EQ(track.at(std::numeric_limits<double>::infinity()), 3.0f);
    EXPECT_EQ(track.at(-std::numeric_limits<double>::infinity()), -1.0f);
    EXPECT_EQ(track.at(std::numeric_limits<double>::quiet_NaN()), -1.0f);
    // Keys at opposite ends of the int range still interpolate without overflow.
    EXPECT_NEAR(track.at(-1610612736.0), -0.5f, 1e-6f); // a quarter of the way
    EXPECT_NEAR(track.at(1073741823.5), 2.0f, 1e-6f);
}

TEST(TrackEval, EqualRowsBuiltByHandDoNotDivideByZero)
{
    // With six keys the search lands on index 1 for row 5, whose successor has the same
    // row; the earlier key's value stands instead of 0/0.
    const Track track({{0, 0.0f, Step}, {5, 1.0f, Linear}, {5, 9.0f, Linear}, {7, 0.0f, Step},
        {8, 0.0f, Step}, {9, 0.0f, Step}});
    ASSERT_EQ(findKey(&track.track, 5), 1);
    EXPECT_EQ(track.at(5.5), 1.0f);
}

TEST(TrackSearch, ExactHitsAndInsertionPoints)
{
    const Track track({{0, 0, Step}, {10, 0, Step}, {20, 0, Step}, {30, 0, Step}});
    EXPECT_EQ(searchKey(&track.track, 0), 0);
    EXPECT_EQ(searchKey(&track.track, 20), 2);
    EXPECT_EQ(searchKey(&track.track, 30), 3);
    EXPECT_EQ(searchKey(&track.track, -5), -1); // insertion point 0
    EXPECT_EQ(searchKey(&track.track, 15), -3); // insertion point 2
    EXPECT_EQ(searchKey(&track.track, 99), -5); // insertion point 4
    EXPECT_EQ(findKey(&track.track, -5), -1);
    EXPECT_EQ(findKey(&track.track, 0), 0);
    EXPECT_EQ(findKey(&track.track, 15), 1);
    EXPECT_EQ(findKey(&track.track, 29), 2);
    EXPECT_EQ(findKey(&track.track, 99), 3);
    const Track empty({});
    EXPECT_EQ(searchKey(&empty.track, 7), -1);
    EXPECT_EQ(findKey(&empty.track, 7), -1);
}

TEST(TrackSearch, FindKeyAgreesWithALinearScan)
{
    std::vector<TrackKey> keys;
    for (int32_t row = -301; row < 1000; row += 7)
        keys.push_back({row, 0.0f, Step});
    const Track track(keys);
    for (int row = -320; row < 1020; ++row) {
        int expected = -1;
        for (size_t i = 0; i < keys.size(); ++i) {
            if (keys[i].row <= row)
                expected = static_cast<int>(i);
        }
        ASSERT_EQ(findKey(&track.track, row), expected) << "row " << row;
    }
}

} // namespace
