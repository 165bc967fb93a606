// The response engine's designs, curves, sums and marker positions.
#include "eq/resp.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <numbers>
#include <vector>

#include "eq/resp_kernel.h"

namespace {

constexpr float kSentinel = 12345.0f;
constexpr double kNudge = 1.0 / (1 << 23);

EqBand Band(int type, int slope, int freq, int q, int gain) {
    return EqBand{static_cast<uint8_t>(slope), static_cast<uint8_t>(type),
                  static_cast<uint16_t>(freq), static_cast<uint16_t>(q),
                  static_cast<int16_t>(gain)};
}

class RespTest : public ::testing::Test {
protected:
    void SetUp() override { resp_.SetUpAxis(600, 290, 20); }

    std::vector<float> Curve(const EqBand& band, int* result = nullptr) {
        std::vector<float> curve(CResp::kMaxColumns, kSentinel);
        const int r = resp_.BandCurve(curve.data(), &band);
        if (result != nullptr) *result = r;
        return curve;
    }

    CResp resp_;
};

TEST_F(RespTest, AxisSpansTenHertzToTwentyFiveKilohertzAndPlusMinus24Db) {
    EXPECT_EQ(resp_.xStart, 50);
    EXPECT_EQ(resp_.yTop, 20);
    EXPECT_EQ(resp_.yBottom, 260);
    EXPECT_FLOAT_EQ(resp_.pxPerDecade, 176.57756f);
    EXPECT_EQ(resp_.xOffset, -176);
    EXPECT_FLOAT_EQ(resp_.pxPerDb, 5.0f);
    EXPECT_EQ(resp_.xEnd, 600);
    EXPECT_EQ(resp_.height, 290);
    EXPECT_NEAR(resp_.ColumnFrequency(0), 10.0f, 0.1f);
    EXPECT_NEAR(resp_.ColumnFrequency(600), 25000.0f, 250.0f);

    CResp boost;
    boost.SetUpAxis(600, 290, 30);
    EXPECT_EQ(boost.yTop, 30);
    EXPECT_FLOAT_EQ(boost.pxPerDb, 230.0f / 48.0f);
}

TEST_F(RespTest, ZeroGainPeakAndShelvesAreExactlyFlatAndOnlyTheirColumnsAreWritten) {
    for (int type : {0, 1, 2}) {
        for (int freq : {20, 1000, 20000}) {
            int result = -1;
            const std::vector<float> curve = Curve(Band(type, 0, freq, 7, 0), &result);
            EXPECT_EQ(result, 1);
            for (int x = 0; x < CResp::kMaxColumns; ++x) {
                const bool inside = x >= resp_.xStart && x < resp_.xEnd;
                ASSERT_EQ(curve[x], inside ? 0.0f : kSentinel)
                    << "type " << type << " freq " << freq << " column " << x;
            }
        }
    }
}

TEST_F(RespTest, FlatPassFilterWritesNothingAndAddsNothing) {
    for (int type : {3, 4}) {
        int result = -1;
        const std::vector<float> curve = Curve(Band(type, 0, 1000, 7, 0), &result);
        EXPECT_EQ(result, 0);
        for (float v : curve) ASSERT_EQ(v, kSentinel);
    }
    const EqBand bands[] = {Band(3, 0, 1000, 7, 0), Band(4, 0, 100, 7, 0)};
    resp_.SumBandsMasked(2, bands, 0xFFFF);
    for (float v : resp_.sumCurve) ASSERT_EQ(v, 0.0f);
}

TEST_F(RespTest, UnknownTypeOrSlopeDrawsFlatAndCounts) {
    for (const EqBand& band : {Band(5, 0, 1000, 7, 60), Band(255, 2, 1000, 7, 60),
                               Band(3, 8, 1000, 7, 60), Band(4, 255, 1000, 7, 60)}) {
        int result = -1;
        const std::vector<float> curve = Curve(band, &result);
        EXPECT_EQ(result, 1);
        for (int x = resp_.xStart; x < resp_.xEnd; ++x) ASSERT_EQ(curve[x], 0.0f);
    }
}

TEST_F(RespTest, PassFilterSectionCountsFollowThePrototypeTable) {
    struct Row {
        int slope;
        int count;
    };
    for (const Row row :
         {Row{0, 0}, Row{1, 1}, Row{2, 1}, Row{3, 2}, Row{4, 2}, Row{5, 2}, Row{6, 2}, Row{7, 2}}) {
        for (bool highPass : {false, true}) {
            const BandDesign d = resp_.DesignPassFilter(highPass, row.slope, 1000.0f);
            EXPECT_EQ(d.count, row.count) << "slope " << row.slope;
            EXPECT_FALSE(d.doubled);
        }
    }
}

TEST_F(RespTest, LinkwitzRileyIsOneButterworthSectionUsedTwice) {
    for (int type : {3, 4}) {
        const BandDesign d = resp_.DesignPassFilter(type == 4, 7, 2000.0f);
        const BiquadSection plain = CResp::DesignPassSection(type == 4, 1.4142135f, 1.0f, 2000.0f);
        for (const BiquadSection& s : d.sections) {
            EXPECT_EQ(s.b0, plain.b0);
            EXPECT_EQ(s.a1, plain.a1);
            EXPECT_EQ(s.a2, plain.a2);
        }
        const std::vector<float> lr = Curve(Band(type, 7, 2000, 7, 0));
        const std::vector<float> bw = Curve(Band(type, 2, 2000, 7, 0));
        for (int x = resp_.xStart; x < resp_.xEnd; ++x) ASSERT_EQ(lr[x], 2.0f * bw[x]) << x;
    }
}

TEST_F(RespTest, FortyEightDbVariantDoublesTheButterworth24LowPassOnly) {
    const std::vector<float> lp6 = Curve(Band(3, 6, 150, 7, 0));
    const std::vector<float> lp7 = Curve(Band(3, 7, 150, 7, 0));
    const std::vector<float> hp7 = Curve(Band(4, 7, 150, 7, 0));
    resp_.lowPass48Db = 1;
    const std::vector<float> lp48 = Curve(Band(3, 7, 150, 7, 0));
    const std::vector<float> hp7WithFlag = Curve(Band(4, 7, 150, 7, 0));
    const std::vector<float> lp6WithFlag = Curve(Band(3, 6, 150, 7, 0));
    EXPECT_TRUE(resp_.DesignPassFilter(false, 7, 150.0f).doubled);
    for (int x = resp_.xStart; x < resp_.xEnd; ++x) {
        const float want = lp6[x] < -CResp::kCurveLimitDb * resp_.pxPerDb / 2
                               ? -CResp::kCurveLimitDb * resp_.pxPerDb
                               : 2.0f * lp6[x];
        ASSERT_EQ(lp48[x], want) << x;
        ASSERT_EQ(hp7WithFlag[x], hp7[x]) << x;
        ASSERT_EQ(lp6WithFlag[x], lp6[x]) << x;
    }
    EXPECT_NE(lp48[400], lp7[400]);
}

TEST_F(RespTest, FirstOrderSectionsOfThe18DbSlopesAreNudgedTowardZero) {
    struct Row {
        int slope;
        float a;
        float b;
    };
    const Row firstPairs[] = {{3, 0.7560432f, 0.0f}, {4, 1.0f, 0.0f}};
    const Row secondPairs[] = {{3, 0.9996292f, 0.47719136f}, {4, 1.0f, 1.0f}};
    for (int i = 0; i < 2; ++i) {
        for (bool highPass : {false, true}) {
            for (float f : {20.0f, 1000.0f, 20000.0f}) {
                const BandDesign d = resp_.DesignPassFilter(highPass, firstPairs[i].slope, f);
                const BiquadSection plain =
                    CResp::DesignPassSection(highPass, firstPairs[i].a, firstPairs[i].b, f);
                // A first-order low-pass has a1 > 0, a high-pass a1 < 0.
                const double step = highPass ? kNudge : -kNudge;
                EXPECT_NEAR(d.sections[0].a1 - plain.a1, step, 1e-15)
                    << "slope " << firstPairs[i].slope << " hp " << highPass << " f " << f;
                EXPECT_EQ(d.sections[0].a2, plain.a2);
                const BiquadSection second =
                    CResp::DesignPassSection(highPass, secondPairs[i].a, secondPairs[i].b, f);
                EXPECT_EQ(d.sections[1].a1, second.a1);
            }
        }
    }
    for (int slope : {5, 6}) {
        const BandDesign d = resp_.DesignPassFilter(false, slope, 1000.0f);
        const BiquadSection plain = CResp::DesignPassSection(
            false, slope == 5 ? 1.3396637f : 1.847759f, slope == 5 ? 0.48890415f : 1.0f, 1000.0f);
        EXPECT_EQ(d.sections[0].a1, plain.a1) << "slope " << slope;
    }
}

// A 20 Hz shelf is where the single-precision steps show most (cos w0 is within
// 4e-6 of 1). These coefficients are the steps carried out one by one; a
// compiler that keeps a bracket unrounded, or divides in single, moves them.
TEST_F(RespTest, ShelfCoefficientsKeepTheirSingleRoundingSteps) {
    const BiquadSection low = CResp::DesignLowShelf(24.0f, 2.0f, 20.0f);
    EXPECT_EQ(low.b0, 0x1.00407aaa5f854p+0);
    EXPECT_EQ(low.b1, -0x1.ffd413caca88dp+0);
    EXPECT_EQ(low.b2, 0x1.ff2abdf4e89ecp-1);
    EXPECT_EQ(low.a1, -0x1.ffd4e963b8e7ap+0);
    EXPECT_EQ(low.a2, 0x1.ffaa0904a2819p-1);
    const BiquadSection high = CResp::DesignHighShelf(24.0f, 2.0f, 20.0f);
    EXPECT_EQ(high.b0, 0x1.faaad5e21a8e8p+3);
    EXPECT_EQ(high.b1, -0x1.fa8032292678ap+4);
    EXPECT_EQ(high.b2, 0x1.fa55c41cc47c7p+3);
    EXPECT_EQ(high.a1, -0x1.ff5349f64f9c7p+0);
    EXPECT_EQ(high.a2, 0x1.feaa1ebc4b62ep-1);
}

TEST_F(RespTest, PeakReachesItsGainAtItsFrequencyAndPassFiltersAreThreeDbDownAtTheCorner) {
    // Evaluated right at the design frequency: the cookbook peak gives its
    // gain, every Butterworth and the gain-normalised Bessel -3 dB, the
    // Linkwitz-Riley -6 dB.
    const double w = 2.0 * std::numbers::pi * 1000.0 / 48000.0;
    auto db = [&](const BiquadSection& s) { return 20.0 * std::log10(CResp::Magnitude(w, s)); };
    EXPECT_NEAR(db(CResp::DesignPeak(12.0f, 2.0f, 1000.0f)), 12.0, 1e-4);
    EXPECT_NEAR(db(CResp::DesignPeak(-7.5f, 30.0f, 1000.0f)), -7.5, 1e-4);
    EXPECT_NEAR(db(CResp::DesignLowShelf(10.0f, 0.7f, 1000.0f)), 5.0, 1e-3);
    EXPECT_NEAR(db(CResp::DesignHighShelf(-10.0f, 0.7f, 1000.0f)), -5.0, 1e-3);
    for (int slope = 1; slope <= 7; ++slope) {
        for (bool highPass : {false, true}) {
            const BandDesign d = resp_.DesignPassFilter(highPass, slope, 1000.0f);
            double total = 0.0;
            for (int i = 0; i < d.count; ++i) total += db(d.sections[i]);
            EXPECT_NEAR(total, slope == 7 ? -6.0206 : -3.0103, 2e-3)
                << "slope " << slope << " hp " << highPass;
        }
    }
}

// The column loops run several columns at once; each value must still be the
// one-column result with its fixed rounding steps.
TEST_F(RespTest, CurveColumnsAreTheOneColumnFormula) {
    resp_.SetUpAxis(2048, 290, 20);
    auto value = [&](double w, const BiquadSection& s) {
        const float lg =
            static_cast<float>(std::log10(static_cast<double>(CResp::Magnitude(w, s))));
        const float db = static_cast<float>(20.0 * lg);
        return static_cast<float>(static_cast<double>(db) * resp_.pxPerDb);
    };
    for (const EqBand& band :
         {Band(0, 0, 1000, 43, 90), Band(1, 0, 80, 7, -60), Band(2, 0, 9000, 14, 120),
          Band(3, 5, 300, 7, 0), Band(4, 3, 60, 7, 0), Band(3, 1, 20000, 7, 0)}) {
        const BandDesign d = resp_.Design(band);
        const std::vector<float> curve = Curve(band);
        for (int x = resp_.xStart; x < resp_.xEnd; ++x) {
            const double w = resp_.ColumnOmega(x);
            float want = value(w, d.sections[0]);
            if (d.count == 2)
                want = static_cast<float>(static_cast<double>(want) + value(w, d.sections[1]));
            ASSERT_EQ(curve[x], want) << "type " << int{band.type} << " column " << x;
        }
    }
}

TEST(RespKernel, Log10SingleIsTheLibraryResultRoundedToSingle) {
    std::vector<float> in;
    // Every 4099th bit pattern of the positive floats, then the special ones.
    for (uint64_t bits = 0; bits < 0x80000000u; bits += 4099) {
        in.push_back(std::bit_cast<float>(static_cast<uint32_t>(bits)));
    }
    for (float v :
         {0.0f, -0.0f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::min(),
          1.0f, 10.0f, 1e-30f, 1e30f, std::nextafter(1.0f, 2.0f), std::nextafter(1.0f, 0.0f), -1.0f,
          std::numeric_limits<float>::infinity(), std::numeric_limits<float>::max(),
          std::numeric_limits<float>::quiet_NaN()}) {
        in.push_back(v);
    }
    std::vector<float> out(in.size());
    resp_kernel::Log10Single(in.data(), static_cast<int>(in.size()), out.data());
    for (size_t i = 0; i < in.size(); ++i) {
        const float want = static_cast<float>(std::log10(static_cast<double>(in[i])));
        if (std::isnan(want)) {
            ASSERT_TRUE(std::isnan(out[i])) << in[i];
        } else {
            ASSERT_EQ(std::bit_cast<uint32_t>(out[i]), std::bit_cast<uint32_t>(want))
                << std::hexfloat << in[i];
        }
    }
}

TEST_F(RespTest, MaskedSumTakesEnabledBandsAndEveryPassFilter) {
    const EqBand bands[] = {Band(0, 0, 200, 14, 60), Band(1, 0, 3000, 7, -45),
                            Band(3, 4, 8000, 7, 0), Band(4, 2, 90, 7, 0)};
    std::vector<std::vector<float>> curves;
    for (const EqBand& b : bands) curves.push_back(Curve(b));
    struct Row {
        uint16_t mask;
        bool peq;
        bool shelf;
    };
    for (const Row row : {Row{0x0000, false, false}, Row{0x0001, true, false},
                          Row{0x0002, false, true}, Row{0xFFFF, true, true}}) {
        resp_.SumBandsMasked(4, bands, row.mask);
        for (int x = resp_.xStart; x < resp_.xEnd; ++x) {
            float want = 0.0f;
            if (row.peq) want += curves[0][x];
            if (row.shelf) want += curves[1][x];
            want += curves[2][x];
            want += curves[3][x];
            ASSERT_EQ(resp_.sumCurve[x], want) << "mask " << row.mask << " column " << x;
        }
    }
    resp_.SumBands(4, bands);
    for (int x = resp_.xStart; x < resp_.xEnd; ++x) {
        ASSERT_EQ(resp_.sumCurve[x], curves[0][x] + curves[1][x] + curves[2][x] + curves[3][x]);
    }
}

TEST_F(RespTest, MaskBitsReachSixteenBandsOnly) {
    // A 17-band page: bit i switches band i; a seventeenth PEQ record has no bit.
    std::vector<EqBand> bands(17, Band(0, 0, 1000, 10, 0));
    bands[15] = Band(0, 0, 1000, 10, 60);
    bands[16] = Band(0, 0, 1000, 10, 60);
    const std::vector<float> one = Curve(bands[15]);
    resp_.SumBandsMasked(17, bands.data(), 0xFFFF);
    EXPECT_EQ(resp_.sumCurve[354], one[354]);
}

TEST_F(RespTest, MarkerPositionsOnThe600ColumnGraph) {
    struct Row {
        int freq;
        int gain;
        int x;
        int y;
    };
    const Row rows[] = {{1000, 0, 354, 140},  {20, 240, 54, 20},    {20000, -240, 583, 260},
                        {1000, 125, 354, 77}, {1000, -5, 354, 142}, {10, 0, 1, 140}};
    for (const Row& row : rows) {
        const EqBand band = Band(0, 0, row.freq, 10, row.gain);
        int x = -1;
        int y = -1;
        EXPECT_TRUE(resp_.MarkerPosition(&band, 1, 0, &x, &y));
        EXPECT_EQ(x, row.x) << row.freq << " Hz " << row.gain;
        EXPECT_EQ(y, row.y) << row.freq << " Hz " << row.gain;
    }
}

TEST_F(RespTest, MarkerPositionOutsideTheBandsOrOffAnyPixelIsZeroZero) {
    const EqBand bands[] = {Band(0, 0, 1000, 10, 60), Band(0, 0, 0, 10, 60)};
    for (int index : {-1, 2, 100, 1}) {
        int x = -1;
        int y = -1;
        EXPECT_FALSE(resp_.MarkerPosition(bands, 2, index, &x, &y)) << index;
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
    }
    for (int selected : {-1, 2, 1}) {
        resp_.selectedBand = selected;
        int x = -1;
        int y = -1;
        EXPECT_FALSE(resp_.SelectedMarkerPosition(bands, 2, &x, &y)) << selected;
        EXPECT_EQ(x, 0);
        EXPECT_EQ(y, 0);
    }
    resp_.selectedBand = 0;
    int x = 0;
    int y = 0;
    EXPECT_TRUE(resp_.SelectedMarkerPosition(bands, 2, &x, &y));
    EXPECT_EQ(x, 354);
    EXPECT_EQ(y, 110);
}

// Fields outside their ranges reach the engine from a corrupt mode or block;
// every such band still gives a finite curve within the limit.
TEST_F(RespTest, OutOfRangeBandsGiveFiniteBoundedCurves) {
    const float limit = CResp::kCurveLimitDb * resp_.pxPerDb;
    for (int type : {0, 1, 2, 3, 4}) {
        for (int slope : {1, 3, 7}) {
            for (int freq : {0, 1, 19, 24000, 47999, 48000, 65535}) {
                for (int q : {0, 1, 65535}) {
                    for (int gain : {-32768, -241, 0, 241, 32767}) {
                        for (int lp48 : {0, 1}) {
                            resp_.lowPass48Db = lp48;
                            const std::vector<float> curve =
                                Curve(Band(type, slope, freq, q, gain));
                            for (int x = resp_.xStart; x < resp_.xEnd; ++x) {
                                ASSERT_TRUE(std::isfinite(curve[x]) && std::fabs(curve[x]) <= limit)
                                    << "type " << type << " slope " << slope << " freq " << freq
                                    << " q " << q << " gain " << gain << " column " << x << ": "
                                    << curve[x];
                            }
                        }
                    }
                }
            }
        }
    }
}

TEST_F(RespTest, BandWithNoFilterDrawsFlat) {
    // Q 0 makes the peaking design 0 / 0: the band draws as 0 dB, not as NaN.
    const std::vector<float> curve = Curve(Band(0, 0, 1000, 0, 120));
    for (int x = resp_.xStart; x < resp_.xEnd; ++x) ASSERT_EQ(curve[x], 0.0f) << x;
}

TEST_F(RespTest, ColumnsOutsideTheCurveBuffersAreNeverWritten) {
    // A broken axis: start left of column 0, end past the buffers.
    resp_.xStart = -40;
    resp_.xEnd = 5000;
    std::vector<float> curve(CResp::kMaxColumns, kSentinel);  // heap: an overrun is caught
    const EqBand band = Band(0, 0, 1000, 10, 60);
    EXPECT_EQ(resp_.BandCurve(curve.data(), &band), 1);
    EXPECT_NE(curve[0], kSentinel);
    EXPECT_NE(curve[CResp::kMaxColumns - 1], kSentinel);
    const int32_t yTop = resp_.yTop;
    resp_.SumBands(1, &band);
    EXPECT_EQ(resp_.yTop, yTop);
    EXPECT_EQ(resp_.sumCurve[CResp::kMaxColumns - 1], curve[CResp::kMaxColumns - 1]);
}

}  // namespace
