#include "link/com_port_map.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

class ComPortMapTest : public ::testing::Test {
protected:
    fs::path Plug(const std::string& device, const std::string& byId = {}) {
        test::WriteBytes(dev / device, "");
        if (!byId.empty()) {
            fs::create_directories(dev / "serial" / "by-id");
            fs::create_symlink("../../" + device, dev / "serial" / "by-id" / byId);
        }
        return fs::canonical(dev / device);
    }
    fs::path Open(int n) { return ResolveComPort(n, dev, map).path; }
    std::string Name(int n) { return ResolveComPort(n, dev, map).name; }

    test::TempDir dir;
    fs::path dev = dir / "dev";
    fs::path map = dir / "app" / "tarvik" / "comports.ini";
};

TEST_F(ComPortMapTest, AcmDevicesKeepTheirOldNumbersOthersTakeTheLowestFreeThenTheLongestAway) {
    const fs::path acm2 = Plug("ttyACM2"), usb0 = Plug("ttyUSB0"), rfcomm0 = Plug("rfcomm0");
    Plug("ttyS0"); // a built-in port is not a locator's
    Plug("ttyACMx");
    EXPECT_EQ(Open(3), acm2);
    EXPECT_EQ(Open(1), rfcomm0); // newcomers by name: rfcomm0 before ttyUSB0
    EXPECT_EQ(Open(2), usb0);
    EXPECT_EQ(Open(4), "");
    EXPECT_EQ(test::ReadBytes(map), "1," + rfcomm0.string() + "\r\n2," + usb0.string() + "\r\n3," +
                                        acm2.string() + "\r\n");
    const fs::path acm1 = Plug("ttyACM1"); // its old number is taken
    EXPECT_EQ(Open(4), acm1);

    // All sixteen taken: COM5 goes away first, then COM10; newcomers take theirs in that order.
    for (int k = 1; k <= 12; ++k)
        Plug("ttyUSB" + std::to_string(k));
    for (int away : {5, 10}) {
        fs::remove(Open(away));
        Open(1);
    }
    const fs::path first = Plug("ttyUSB20");
    EXPECT_EQ(Open(5), first);
    const fs::path second = Plug("ttyUSB21");
    EXPECT_EQ(Open(10), second);
    EXPECT_EQ(Open(1), rfcomm0);
}

TEST_F(ComPortMapTest, AStableNameFollowsTheDeviceAndADamagedOrUnsavableMapStillGivesNumbers) {
    const std::string locator = "usb-Tarvik_VZ3_12345678-if00";
    const std::string byId = (dev / "serial" / "by-id" / locator).string();
    Plug("ttyACM0", locator);
    EXPECT_EQ(Name(1), byId);
    // Away: the number stays with it, and a newcomer does not get it.
    fs::remove(dev / "ttyACM0");
    fs::remove(byId);
    const fs::path other = Plug("ttyUSB3");
    EXPECT_EQ(Open(2), other);
    EXPECT_EQ(Name(1), byId);
    EXPECT_FALSE(fs::exists(Open(1)));
    // Back on another socket (it is now ttyACM1): still COM1, and COM2 is still the other one.
    const fs::path back = Plug("ttyACM1", locator);
    EXPECT_EQ(Open(1), back);
    EXPECT_EQ(Open(2), other);

    const ComPortMap parsed = ComPortMap::Parse("2,/dev/ttyUSB0\r\ngarbage\n17,/dev/ttyUSB1\n"
                                                "0,/dev/ttyUSB2\n2,/dev/ttyUSB3\n" // number taken
                                                "5,/dev/ttyUSB0\n"                 // device taken
                                                "x,/dev/ttyUSB4\n7,\n9,/dev/ttyACM0\n");
    EXPECT_EQ(parsed.entries(),
              (std::vector<ComPortMap::Entry>{{2, "/dev/ttyUSB0"}, {9, "/dev/ttyACM0"}}));
    EXPECT_EQ(ComPortMap::Parse(parsed.Serialise()).entries(), parsed.entries());
    fs::remove_all(dir / "app");
    test::WriteBytes(dir / "app", "a file where the folder should be");
    EXPECT_EQ(Open(2), back); // numbered afresh: ttyACM1 is COM2
    EXPECT_EQ(ResolveComPort(2, dev, {}).path, back.string());
}

} // namespace
} // namespace tarvik
