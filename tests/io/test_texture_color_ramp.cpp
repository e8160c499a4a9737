// CColorRamp: key lists and the linear interpolation of the presets.

#include <gtest/gtest.h>

#include "io/ColorRamp.h"

TEST(ColorRamp, PresetsInterpolateBetweenTheirKeys) {
  CColorRamp ramp; // gray
  EXPECT_EQ(ramp.GetNbKey(), 2);
  for (int i : {0, 1, 128, 254, 255}) {
    EXPECT_EQ(ramp.Red(i), i);
    EXPECT_EQ(ramp.Blue(i), i);
  }

  ramp.SetRainbow();
  EXPECT_EQ(ramp.GetNbKey(), 9);
  EXPECT_EQ(ramp.GetKey(1), 32);
  EXPECT_EQ(ramp.GetKey(8), 255);
  EXPECT_EQ(ramp.GetKey(9), -1);
  EXPECT_EQ(ramp.Blue(32), 255);
  EXPECT_EQ(ramp.Blue(16), 127); // trunc(0 + 255/32 * 16)
  EXPECT_EQ(ramp.Green(96), 252);
  EXPECT_EQ(ramp.Green(128), 254);
  EXPECT_EQ(ramp.Green(112), 253);
  EXPECT_EQ(ramp.Red(240), 128);
  EXPECT_EQ(ramp.Red(255), 255);
  EXPECT_EQ(ramp.Red(300), 255); // clamped lookups
  EXPECT_EQ(ramp.Red(-1), 0);

  ramp.SetHeat();
  EXPECT_EQ(ramp.Red(48), 128);
  EXPECT_EQ(ramp.Green(165), 128);
  ramp.SetBlueWhite();
  EXPECT_EQ(ramp.Blue(0), 128);
  EXPECT_EQ(ramp.Blue(48), 254);
  ramp.SetRedYellow();
  EXPECT_EQ(ramp.Red(77), 255);
  EXPECT_EQ(ramp.Green(255), 255);
  EXPECT_EQ(ramp.Blue(100), 0);
}

TEST(ColorRamp, EditedKeysRebuildTheListInOrder) {
  CColorRamp ramp;
  ramp.SetKey(100, 0, 0, 0);
  ramp.SetKey(50, 255, 255, 255);
  ramp.SetKey(999, 1, 1, 1); // ignored
  ramp.BuildKeyList();
  ASSERT_EQ(ramp.GetNbKey(), 4);
  EXPECT_EQ(ramp.GetKey(1), 50);
  EXPECT_EQ(ramp.GetKey(2), 100);
  ramp.Interpolate();
  EXPECT_EQ(ramp.Red(75), 127);
  ramp.ClearKey(50);
  ramp.ClearKey(0); // ends stay keys
  ramp.BuildKeyList();
  EXPECT_EQ(ramp.GetNbKey(), 3);
  ramp.ResetKeys();
  EXPECT_EQ(ramp.GetNbKey(), 2);
}
