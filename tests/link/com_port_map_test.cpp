// COM numbers for the serial devices of a fake device folder, as a Linux user plugs them.

#include "link/com_port_map.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// A folder laid out as /dev is: device files and the serial/by-id links udev makes.
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
    void Unplug(const std::string& device, const std::string& byId = {}) {
        fs::remove(dev / device);
        if (!byId.empty())
            fs::remove(dev / "serial" / "by-id" / byId);
    }
    // COM n's device file as the toolkit would open it, and its name, with the map in `map`.
    fs::path Open(int n) { return ResolveComPort(n, dev, map).path; }
    std::string Name(int n) { return ResolveComPort(n, dev, map).name; }

    test::TempDir dir;
    fs::path dev = dir / "dev";
    fs::path map = dir / "app" / "tarvik" / "comports.ini";
};

TEST_F(ComPortMapTest, FirstSightKeepsTheOldAcmNumbersAndGivesOthersTheLowestFree) {
    const fs::path acm2 = Plug("ttyACM2"), usb0 = Plug("ttyUSB0"), rfcomm0 = Plug("rfcomm0");
    Plug("ttyS0"); // a built-in port is not a locator's
    Plug("ttyACMx");
    EXPECT_EQ(Open(3), acm2);
    EXPECT_EQ(Open(1), rfcomm0); // newcomers by name: rfcomm0 before ttyUSB0
    EXPECT_EQ(Open(2), usb0);
    EXPECT_EQ(Open(4), "");
    EXPECT_EQ(test::ReadBytes(map), "1," + rfcomm0.string() + "\r\n2," + usb0.string() + "\r\n3," +
                                        acm2.string() + "\r\n");

    // An ACM device whose old number is taken gets the lowest free.
    const fs::path acm1 = Plug("ttyACM1");
    EXPECT_EQ(Open(4), acm1);
}

TEST_F(ComPortMapTest, AStableNameIsRememberedAndFollowsTheDeviceToAnotherSocket) {
    const std::string locator = "usb-Tarvik_VZ3_12345678-if00";
    const std::string byId = (dev / "serial" / "by-id" / locator).string();
    Plug("ttyACM0", locator);
    EXPECT_EQ(Name(1), byId);

    // Away: the number stays with it, and a newcomer does not get it.
    Unplug("ttyACM0", locator);
    const fs::path other = Plug("ttyUSB3");
    EXPECT_EQ(Open(2), other);
    EXPECT_EQ(Name(1), byId);
    EXPECT_FALSE(fs::exists(Open(1)));

    // Back on another socket (it is now ttyACM1): still COM1, and COM2 is still the other one.
    const fs::path back = Plug("ttyACM1", locator);
    EXPECT_EQ(Open(1), back);
    EXPECT_EQ(Open(2), other);
}

TEST_F(ComPortMapTest, WhenAllSixteenAreTakenTheDeviceAwayLongestGivesUpItsNumber) {
    for (int k = 0; k < 16; ++k)
        Plug("ttyACM" + std::to_string(k));
    Open(1);
    Unplug("ttyACM4"); // COM5 goes away first,
    Open(1);
    Unplug("ttyACM9"); // then COM10
    Open(1);
    EXPECT_EQ(Open(5), Plug("ttyUSB0"));
    EXPECT_EQ(Open(10), Plug("ttyUSB1"));
    // Nothing is away now: a seventeenth device gets no number and takes none.
    Plug("ttyUSB2");
    for (int n = 1; n <= 16; ++n)
        EXPECT_NE(Name(n), (dev / "ttyUSB2").string()) << n;
    EXPECT_EQ(Open(1), fs::canonical(dev / "ttyACM0"));
}

TEST_F(ComPortMapTest, ADamagedMapFileKeepsWhatIsSoundAndAMapThatCannotBeSavedStillGivesNumbers) {
    const ComPortMap parsed = ComPortMap::Parse("2,/dev/ttyUSB0\r\ngarbage\n17,/dev/ttyUSB1\n"
                                                "0,/dev/ttyUSB2\n2,/dev/ttyUSB3\n" // number taken
                                                "5,/dev/ttyUSB0\n"                 // device taken
                                                "x,/dev/ttyUSB4\n7,\n9,/dev/ttyACM0\n");
    EXPECT_EQ(parsed.entries(),
              (std::vector<ComPortMap::Entry>{{2, "/dev/ttyUSB0"}, {9, "/dev/ttyACM0"}}));
    EXPECT_EQ(ComPortMap::Parse(parsed.Serialise()).entries(), parsed.entries());

    const fs::path acm = Plug("ttyACM1");
    test::WriteBytes(dir / "app", "a file where the folder should be");
    EXPECT_EQ(Open(2), acm);
    EXPECT_EQ(ResolveComPort(2, dev, {}).path, acm.string());
}

} // namespace
} // namespace tarvik
