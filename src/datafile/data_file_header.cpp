#include "datafile/data_file_header.h"

#include <array>

namespace tarvik {

namespace {
constexpr std::array<const char*, 28> kLegendNames = {"Date(DDMMYY)",
                                                      "Time(HHMMSS)",
                                                      "Mode",
                                                      "GenmodeFrequency",
                                                      "Bargraph(2)",
                                                      "Bargraph(1)",
                                                      "SensitivityLevel(3)",
                                                      "SensitivityLevel(2)",
                                                      "SensitivityLevel(1)",
                                                      "MeasurementType",
                                                      "Depth(3)",
                                                      "Depth(2)",
                                                      "Depth(1)",
                                                      "AccelWarningOn",
                                                      "Overload",
                                                      "BladeAngleSign",
                                                      "BladeAngle(2)",
                                                      "BladeAngle(1)",
                                                      "PaddleAngleSign",
                                                      "PaddleAngle(2)",
                                                      "PadleAngle(1)",
                                                      "SelfTest",
                                                      "Lat",
                                                      "Long",
                                                      "Alt",
                                                      "Heading",
                                                      "Accuracy",
                                                      "Speed"};

constexpr const char* kColumnLine =
    "Date,Time,Mode,GenModeFrequency,Bargraph(1),Bargraph(2),SensitivityLevel(3),"
    "SensitivityLevel(2),SensitivityLevel(1),MeasurementType,Depth(3),Depth(2),Depth(1),"
    "AccelWarningOn,Overload,BladeAngleSign,BladeAngle(2),BladeAngle(1),PaddleAngleSign,"
    "PaddleAngle(2),PaddleAngle(1),SelfTest,Lat,Long,Alt,Heading,Accuracy,Speed";

std::string MakeHeader() {
    std::string header;
    for (const char* name : kLegendNames) {
        header += "//     ";
        header += name;
        header += "\r\n";
    }
    header += "// ";
    header += kColumnLine;
    header += "\r\n";
    return header;
}
} // namespace

const std::string& BuildDataFileHeader() {
    static const std::string header = MakeHeader();
    return header;
}

std::string BuildIdentityLine(const LocatorIdentity& identity) {
    return identity.user + "," + identity.model + "," + identity.serial + "\r\n";
}

} // namespace tarvik
