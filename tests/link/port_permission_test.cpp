// A serial device the user's account may not open is named, with the fix, instead of being
// called "not valid".

#include "common/colours.h"
#include "link/discovery.h"
#include "link/link_fakes.h"
#include "link/port_naming.h"
#include "link/qt_serial_port.h"
#include "support/simulator_process.h"
#include "support/temp_dir.h"

#include <gtest/gtest.h>

namespace tarvik {
namespace {

TEST(PortPermission, TheRealPortTellsADeviceInUseFromOneThatIsNotThere) {
    test::TempDir dir;
    ::setenv("TARVIK_PORT_PATTERN", (dir / "COM{n}").c_str(), 1);
    QtSerialPort port, second;
    EXPECT_FALSE(port.Open(4, PortRole::Probe));
    EXPECT_EQ(port.OpenProblem(), "");
    // A device held by another port is refused with a permission error, which must reach
    // the user as what it is.
    test::SimulatorProcess sim(dir / "COM4", {});
    ASSERT_TRUE(sim.Ready());
    ASSERT_TRUE(port.Open(4, PortRole::Probe));
    EXPECT_FALSE(second.Open(4, PortRole::Probe));
    EXPECT_NE(second.OpenProblem().find("in use by another program"), std::string::npos);
    ::unsetenv("TARVIK_PORT_PATTERN");
}

// A probe port whose every device exists but refuses this user.
class RefusingPort final : public SerialPort {
public:
    bool Open(int comNumber, PortRole) override {
        problem_ = OpenProblemText(comNumber, "/dev/ttyUSB" + std::to_string(comNumber - 1),
                                   QSerialPort::PermissionError, false);
        return false;
    }
    std::string OpenProblem() const override { return problem_; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    void Write(std::string_view) override {}
    std::string ReadAll() override { return {}; }
    void ClearInput() override {}
    void SetDtr(bool) override {}
    void SetRts(bool) override {}

private:
    std::string problem_;
};

TEST(PortPermission, AScanOrASavedPortNamesTheRefusedDeviceAndTellsTheFixOnce) {
    test::TempDir dir;
    test::SimulatedPorts ports;
    test::SimulatedPorts::Port link{ports};
    RefusingPort probe;
    test::ZeroPacer pacer;
    test::RecordingView view;
    test::ScriptedPrompts prompts;
    FixedClock clock{{2026, 12, 5, 10, 0, 0}};
    SharedFileHandle file1;
    LinkSession session{link, probe, pacer, view, prompts, clock, file1};
    Discovery discovery{session, dir / "ports.ini"};

    // Only a permission error on a device this user may not read and write asks for the group.
    const std::string refused = NoPermissionText(1, "/dev/ttyUSB0");
    EXPECT_NE(refused.find("Port 1 (/dev/ttyUSB0)"), std::string::npos) << refused;
    EXPECT_NE(refused.find("add your user to the dialout group, then log in again"),
              std::string::npos);
    EXPECT_EQ(
        OpenProblemText(3, "/dev/ttyACM2", QSerialPort::PermissionError, true).find("dialout"),
        std::string::npos);
    EXPECT_EQ(OpenProblemText(3, "/dev/ttyACM2", QSerialPort::DeviceNotFoundError, false), "");
    EXPECT_EQ(OpenProblemText(3, "", QSerialPort::PermissionError, false), "");

    prompts.AnswerNo();
    discovery.ScanAndConnect();
    EXPECT_NE(std::find(view.statuses.begin(), view.statuses.end(),
                        NoPermissionText(16, "/dev/ttyUSB15")),
              view.statuses.end());
    EXPECT_TRUE(std::none_of(view.statuses.begin(), view.statuses.end(),
                             [](const std::string& s) { return s.find("not valid") != s.npos; }));
    EXPECT_EQ(prompts.Texts(), (test::Texts{NoPermissionText(1, "/dev/ttyUSB0"),
                                            "No locator found. Search again?"}));

    prompts.Clear();
    discovery.cboLocators_Click(2);
    EXPECT_EQ(view.statuses.back(), NoPermissionText(2, "/dev/ttyUSB1"));
    EXPECT_EQ(prompts.Texts(), test::Texts{NoPermissionText(2, "/dev/ttyUSB1")});
    EXPECT_EQ(view.lamp, colours::kDarkRed);
}

} // namespace
} // namespace tarvik
