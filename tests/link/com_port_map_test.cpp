// COM numbers for the serial devices of a fake device folder, as a Linux user plugs them.

#include "link/com_port_map.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

namespace fs = std::filesystem;

// A folder laid out as /dev is: device files and the serial/by-id links udev makes.
class FakeDevices {
public:
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
    // COM n's device file as the toolkit would open it, with the map kept in `map`.
    std::string Open(int n) { return ResolveComPort(n, dev, map).path; }
    std::string Name(int n) { return ResolveComPort(n, dev, map).name; }

    test::TempDir dir;
    fs::path dev = dir / "dev";
    fs::path map = dir / "app" / "tarvik" / "comports.ini";
};

TEST(ComPortMap, FirstSightKeepsTheOldAcmNumbersAndGivesOthersTheLowestFree) {
    FakeDevices devices;
    const fs::path acm2 = devices.Plug("ttyACM2");
    const fs::path usb0 = devices.Plug("ttyUSB0");
    const fs::path rfcomm0 = devices.Plug("rfcomm0");
    devices.Plug("ttyS0"); // a built-in port is not a locator's
    devices.Plug("ttyACMx");

    EXPECT_EQ(devices.Open(3), acm2.string());
    EXPECT_EQ(devices.Open(1), rfcomm0.string()); // newcomers by name: rfcomm0 before ttyUSB0
    EXPECT_EQ(devices.Open(2), usb0.string());
    EXPECT_EQ(devices.Open(4), "");
    EXPECT_EQ(test::ReadBytes(devices.map), "1," + rfcomm0.string() + "\r\n2," + usb0.string() +
                                                "\r\n3," + acm2.string() + "\r\n");
}

TEST(ComPortMap, AStableNameIsRememberedAndFollowsTheDeviceToAnotherSocket) {
    FakeDevices devices;
    const std::string locator = "usb-Tarvik_VZ3_12345678-if00";
    devices.Plug("ttyACM0", locator);
    EXPECT_EQ(devices.Name(1), (devices.dev / "serial" / "by-id" / locator).string());

    // Away: the number stays with it, and a newcomer does not get it.
    devices.Unplug("ttyACM0", locator);
    const fs::path other = devices.Plug("ttyUSB3");
    EXPECT_EQ(devices.Open(2), other.string());
    EXPECT_EQ(devices.Name(1), (devices.dev / "serial" / "by-id" / locator).string());
    EXPECT_FALSE(fs::exists(devices.Open(1)));

    // Back on another socket (it is now ttyACM1): still COM1, and COM2 is still the other one.
    const fs::path back = devices.Plug("ttyACM1", locator);
    EXPECT_EQ(devices.Open(1), back.string());
    EXPECT_EQ(devices.Open(2), other.string());
}

TEST(ComPortMap, AnAcmDeviceWhoseOldNumberIsTakenGetsTheLowestFree) {
    FakeDevices devices;
    const fs::path usb = devices.Plug("ttyUSB0");
    ASSERT_EQ(devices.Open(1), usb.string());
    const fs::path acm0 = devices.Plug("ttyACM0");
    const fs::path acm1 = devices.Plug("ttyACM1");
    EXPECT_EQ(devices.Open(2), acm1.string());
    EXPECT_EQ(devices.Open(3), acm0.string());
}

TEST(ComPortMap, WhenAllSixteenAreTakenTheDeviceAwayLongestGivesUpItsNumber) {
    FakeDevices devices;
    for (int k = 0; k < 16; ++k)
        devices.Plug("ttyACM" + std::to_string(k));
    devices.Open(1);
    devices.Unplug("ttyACM4"); // COM5 goes away first,
    devices.Open(1);
    devices.Unplug("ttyACM9"); // then COM10
    devices.Open(1);

    const fs::path first = devices.Plug("ttyUSB0");
    EXPECT_EQ(devices.Open(5), first.string());
    const fs::path second = devices.Plug("ttyUSB1");
    EXPECT_EQ(devices.Open(10), second.string());
    // Nothing is away now: a seventeenth device gets no number and takes none.
    devices.Plug("ttyUSB2");
    for (int n = 1; n <= 16; ++n)
        EXPECT_NE(devices.Name(n), (devices.dev / "ttyUSB2").string()) << n;
    EXPECT_EQ(devices.Open(1), fs::canonical(devices.dev / "ttyACM0").string());
}

TEST(ComPortMap, ADamagedMapFileKeepsWhatIsSound) {
    const ComPortMap map = ComPortMap::Parse("2,/dev/ttyUSB0\r\n"
                                             "garbage\n"
                                             "17,/dev/ttyUSB1\n"
                                             "0,/dev/ttyUSB2\n"
                                             "2,/dev/ttyUSB3\n" // number taken
                                             "5,/dev/ttyUSB0\n" // device taken
                                             "x,/dev/ttyUSB4\n"
                                             "7,\n"
                                             "9,/dev/ttyACM0\n");
    EXPECT_EQ(map.entries(),
              (std::vector<ComPortMap::Entry>{{2, "/dev/ttyUSB0"}, {9, "/dev/ttyACM0"}}));
    EXPECT_EQ(ComPortMap::Parse(map.Serialise()).entries(), map.entries());
}

TEST(ComPortMap, ANumberIsStillGivenWhenTheMapCannotBeSaved) {
    FakeDevices devices;
    const fs::path acm = devices.Plug("ttyACM1");
    test::WriteBytes(devices.dir / "app", "a file where the folder should be");
    EXPECT_EQ(devices.Open(2), acm.string());
    EXPECT_EQ(ResolveComPort(2, devices.dev, {}).path, acm.string());
}

} // namespace
} // namespace tarvik
