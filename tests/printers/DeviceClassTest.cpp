#include "printers/DeviceClass.h"

#include <gtest/gtest.h>

#include "printers/DeviceName.h"
#include "printers/ProbeDeviceClass.h"
#include "support/FakeDeviceProbe.h"

namespace tavrin {
namespace {

struct ProbeCase {
    std::string description;
    std::optional<std::string> technology;
    std::string deviceClass;
    DeviceKind kind;
};

class ProbeDeviceClassTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeDeviceClassTest, GivesTheClassTheKindTestsAgreeOn) {
    const ProbeCase& c = GetParam();
    test::FakeDeviceProbe probe;
    probe.answers["dev"] = DeviceAnswer{c.description, c.technology};
    const std::string deviceClass = ProbeDeviceClass(probe, "dev");
    EXPECT_EQ(deviceClass, c.deviceClass);
    EXPECT_EQ(ClassOf(deviceClass), c.kind);
}

INSTANTIATE_TEST_SUITE_P(
    TechnologyAndName, ProbeDeviceClassTest,
    ::testing::Values(ProbeCase{"Plotter", "hpgl/2", "HPGL/2", DeviceKind::HpGl2},
                      ProbeCase{"Plotter", "HPGL2 plotter", "HPGL2 PLOTTER", DeviceKind::HpGl2},
                      ProbeCase{"Plotter", "my HpGl device", "MY HPGL DEVICE", DeviceKind::HpGl2},
                      ProbeCase{"Laser", "PostScript", "POSTSCRIPT", DeviceKind::PostScript},
                      ProbeCase{"Laser", "PostScript 3", "POSTSCRIPT 3", DeviceKind::Other},
                      ProbeCase{"Laser", std::nullopt, "Unknown", DeviceKind::Other},
                      ProbeCase{"Oce 9600", std::nullopt, "Oce 9X00", DeviceKind::Oce},
                      ProbeCase{"Oce 9600 plot room", std::nullopt, "Oce 9X00", DeviceKind::Oce},
                      ProbeCase{"oce 9600", std::nullopt, "Unknown", DeviceKind::Other},
                      ProbeCase{"OCE 9600", std::nullopt, "Unknown", DeviceKind::Other},
                      ProbeCase{"Oce 9600", "PostScript", "POSTSCRIPT", DeviceKind::PostScript},
                      ProbeCase{"Oce 9600", "oce 9x00", "OCE 9X00", DeviceKind::Other},
                      ProbeCase{"Plotter", "Raster \xe9t\xe9", "RASTER \xe9T\xe9",
                                DeviceKind::Other}));

TEST(DeviceClass, TheTestsTakeTheFirstMatch) {
    EXPECT_EQ(ClassOf("POSTSCRIPT HPGL"), DeviceKind::HpGl2);
    EXPECT_EQ(ClassOf("postscript"), DeviceKind::Other);
    EXPECT_EQ(ClassOf("Oce 9X00"), DeviceKind::Oce);
    EXPECT_EQ(ClassOf("Oce 9X00 "), DeviceKind::Other);
    EXPECT_EQ(ClassOf("hpgl"), DeviceKind::Other);
    EXPECT_EQ(ClassOf("Unknown"), DeviceKind::Other);
    EXPECT_EQ(ClassOf("Invalid or unknown"), DeviceKind::Other);
    EXPECT_EQ(ClassOf(""), DeviceKind::Other);
}

TEST(DeviceClass, ATechnologyAnswerIsCutAtItsFirstNulAndAt256Bytes) {
    test::FakeDeviceProbe probe;
    probe.answers["a"] = DeviceAnswer{"a", std::string("hpgl\0postscript", 15)};
    EXPECT_EQ(ProbeDeviceClass(probe, "a"), "HPGL");
    probe.answers["b"] = DeviceAnswer{"b", std::string(256, 'x') + "HPGL"};
    EXPECT_EQ(ProbeDeviceClass(probe, "b"), std::string(256, 'X'));
}

TEST(DeviceClass, ProbeErrorsPassThrough) {
    test::FakeDeviceProbe probe;
    probe.broken.insert("dev");
    EXPECT_THROW(ProbeDeviceClass(probe, "dev"), Error);
}

TEST(DeviceName, IsTheEntryCutBeforeItsFirstOn) {
    EXPECT_EQ(DeviceNameOf("Oce 9600 on LPT1:"), "Oce 9600");
    EXPECT_EQ(DeviceNameOf("A on B on C"), "A");
    EXPECT_EQ(DeviceNameOf("plotter"), "plotter");
    EXPECT_EQ(DeviceNameOf("Printer ON LPT1:"), "Printer ON LPT1:");
    EXPECT_EQ(DeviceNameOf("Laser online"), "Laser online");
    EXPECT_EQ(DeviceNameOf(" on port"), "");
}

}  // namespace
}  // namespace tavrin
