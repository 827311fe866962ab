#include "ui/pixel_region.h"

#include <gtest/gtest.h>

#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace kr450 {
namespace {

constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) {
  return 0xFF000000u | r << 16 | g << 8 | b;
}

// A mask drawn as text: '#' dark (part of the window), '.' light (cut).
struct Mask {
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;
  PixelRows rows() const { return {width, height, pixels.data(), width}; }
};

Mask FromArt(const std::vector<std::string>& art) {
  Mask mask{static_cast<int>(art[0].size()), static_cast<int>(art.size()), {}};
  for (const std::string& line : art) {
    for (char c : line) mask.pixels.push_back(c == '#' ? Rgb(0, 0, 0) : Rgb(255, 255, 255));
  }
  return mask;
}

Mask Random(int width, int height, unsigned seed) {
  std::mt19937 random(seed);
  Mask mask{width, height, {}};
  // Mostly long stretches, like a real mask, with some pixels near the threshold.
  bool dark = false;
  for (int i = 0; i < width * height; ++i) {
    if (random() % 5 == 0) dark = !dark;
    const auto jitter = static_cast<uint32_t>(random() % 3);
    const uint32_t level = dark ? 100 - jitter : 101 + jitter;
    mask.pixels.push_back(Rgb(level, dark ? 255 : level, level));
  }
  return mask;
}

using PixelSet = std::set<std::pair<int, int>>;

// The region the one-pixel-at-a-time way.
PixelSet NaiveWindow(const Mask& mask) {
  PixelSet set;
  for (int x = 0; x < mask.width; ++x) {
    for (int y = 0; y < mask.height; ++y) {
      if (!IsCutPixel(mask.pixels[static_cast<size_t>(y * mask.width + x)])) set.insert({x, y});
    }
  }
  return set;
}

void NaiveXor(PixelSet& set, const ControlRect& r, int width, int height) {
  for (int x = std::max(r.left, 0); x < std::min(r.right, width); ++x) {
    for (int y = std::max(r.top, 0); y < std::min(r.bottom, height); ++y) {
      if (!set.erase({x, y})) set.insert({x, y});
    }
  }
}

PixelSet PixelsOf(const RunRegion& region) {
  PixelSet set;
  for (int y = 0; y < region.height(); ++y) {
    for (const PixelRun& run : region.Row(y)) {
      for (int x = run.begin; x < run.end; ++x) set.insert({x, y});
    }
  }
  return set;
}

PixelSet PixelsOf(const std::vector<RegionRect>& rects) {
  PixelSet set;
  for (const RegionRect& r : rects) {
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) EXPECT_TRUE(set.insert({x, y}).second);
    }
  }
  return set;
}

// Banded form: sorted by top then left, one height per band, no touching neighbours, and
// no two touching bands with the same spans.
void ExpectBanded(const std::vector<RegionRect>& rects) {
  for (size_t i = 1; i < rects.size(); ++i) {
    const RegionRect& a = rects[i - 1];
    const RegionRect& b = rects[i];
    if (a.top == b.top) {
      EXPECT_EQ(a.bottom, b.bottom);
      EXPECT_LT(a.right, b.left);
    } else {
      EXPECT_LE(a.bottom, b.top);
    }
  }
}

TEST(IsCutPixel, CutsOnlyWhenAllThreeComponentsAreAbove100) {
  struct Case {
    uint32_t rgb;
    bool cut;
  };
  const Case cases[] = {{Rgb(101, 101, 101), true},  {Rgb(255, 255, 255), true},
                        {Rgb(100, 255, 255), false}, {Rgb(255, 100, 255), false},
                        {Rgb(101, 101, 100), false}, {Rgb(0, 0, 0), false},
                        {0x00FFFFFFu, true}};  // alpha plays no part
  for (const Case& c : cases) {
    SCOPED_TRACE(c.rgb);
    EXPECT_EQ(IsCutPixel(c.rgb), c.cut);
  }
}

TEST(RunRegion, WindowOfAMaskIsItsDarkPixels) {
  const Mask ring = FromArt({"..........",  //
                             "..######..",  //
                             ".##....##.",  //
                             ".##....##.",  //
                             "..######..",  //
                             ".........#"});
  const RunRegion region = RunRegion::FromMask(ring.rows());
  EXPECT_EQ(PixelsOf(region), NaiveWindow(ring));
  EXPECT_EQ(region.Row(2), (std::vector<PixelRun>{{1, 3}, {7, 9}}));
  EXPECT_TRUE(region.Contains(9, 5));
  EXPECT_FALSE(region.Contains(4, 2));
  EXPECT_FALSE(region.Contains(-1, 2));
  EXPECT_FALSE(region.Contains(0, 6));
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    const Mask mask = Random(17, 9, seed);
    EXPECT_EQ(PixelsOf(RunRegion::FromMask(mask.rows())), NaiveWindow(mask));
  }
}

TEST(RunRegion, AWhiteMaskLeavesNoWindowAndABlackOneAllOfIt) {
  const RunRegion white = RunRegion::FromMask(FromArt({"....", "...."}).rows());
  EXPECT_TRUE(white.empty());
  EXPECT_TRUE(white.BandedRects().empty());
  const RunRegion black = RunRegion::FromMask(FromArt({"####", "####", "####"}).rows());
  EXPECT_EQ(black, RunRegion::Rectangle(4, 3));
  EXPECT_EQ(black.BandedRects(), (std::vector<RegionRect>{{0, 0, 4, 3}}));
}

TEST(RunRegion, ExclusiveOrWithRectanglesFlipsTheirPixels) {
  const ControlRect rects[] = {{2, 1, 9, 5},    {0, 0, 17, 9}, {-5, -5, 3, 3},
                               {15, 7, 40, 40}, {4, 4, 4, 8},  {8, 2, 5, 6},
                               {3, 3, 6, 4},    {6, 0, 7, 9},  {30, 30, 40, 40}};
  for (unsigned seed = 1; seed <= 10; ++seed) {
    SCOPED_TRACE(seed);
    const Mask mask = Random(17, 9, seed);
    RunRegion region = RunRegion::FromMask(mask.rows());
    PixelSet expected = NaiveWindow(mask);
    for (const ControlRect& r : rects) {
      region.XorRect(r);
      NaiveXor(expected, r, mask.width, mask.height);
      ASSERT_EQ(PixelsOf(region), expected);
    }
    for (int y = 0; y < region.height(); ++y) {
      for (size_t i = 1; i < region.Row(y).size(); ++i) {
        EXPECT_LT(region.Row(y)[i - 1].end, region.Row(y)[i].begin) << "runs must not touch";
      }
    }
  }
}

TEST(RunRegion, BandedRectanglesCoverExactlyTheRegion) {
  const Mask ring = FromArt({"######", "######", "#....#", "#....#", "######", "..##.."});
  const std::vector<RegionRect> rects = RunRegion::FromMask(ring.rows()).BandedRects();
  EXPECT_EQ(rects, (std::vector<RegionRect>{
                       {0, 0, 6, 2}, {0, 2, 1, 4}, {5, 2, 6, 4}, {0, 4, 6, 5}, {2, 5, 4, 6}}));
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE(seed);
    const Mask mask = Random(23, 11, seed);
    const RunRegion region = RunRegion::FromMask(mask.rows());
    const std::vector<RegionRect> banded = region.BandedRects();
    EXPECT_EQ(PixelsOf(banded), PixelsOf(region));
    ExpectBanded(banded);
    EXPECT_EQ(region.Area(), static_cast<int64_t>(PixelsOf(region).size()));
  }
}

TEST(BuildWindowRegions, FlipsTheThreeControlsIntoTheAdvancedRepaintRegion) {
  // The left half is window, the right half cut; each control straddles the edge.
  const Mask mask = FromArt({"####....", "####....", "####....", "####....", "####...."});
  const ControlRect nameField{2, 0, 6, 1};
  const ControlRect eventList{3, 2, 5, 3};
  const ControlRect macroList{0, 4, 8, 5};
  const WindowRegions regions = BuildWindowRegions(mask.rows(), nameField, eventList, macroList);
  EXPECT_EQ(PixelsOf(regions.windowShape), NaiveWindow(mask));
  EXPECT_EQ(regions.advancedRepaintRegion.Row(0), (std::vector<PixelRun>{{0, 2}, {4, 6}}));
  EXPECT_EQ(regions.advancedRepaintRegion.Row(1), (std::vector<PixelRun>{{0, 4}}));
  EXPECT_EQ(regions.advancedRepaintRegion.Row(2), (std::vector<PixelRun>{{0, 3}, {4, 5}}));
  EXPECT_EQ(regions.advancedRepaintRegion.Row(4), (std::vector<PixelRun>{{4, 8}}));
  // Where the controls lie inside the window, they are simply left out.
  const WindowRegions inside =
      BuildWindowRegions(FromArt({"####", "####"}).rows(), {0, 0, 1, 1}, {}, {});
  EXPECT_FALSE(inside.advancedRepaintRegion.Contains(0, 0));
  EXPECT_TRUE(inside.windowShape.Contains(0, 0));
  EXPECT_EQ(inside.advancedRepaintRegion.Area(), 7);
}

}  // namespace
}  // namespace kr450
