#pragma once

// The maker's details, shown in the About box, messages and on certificates. Kept in one
// place so a change of address or web site is one edit.
namespace tarvik::maker {

inline constexpr const char* kCompanyName = "Tarvik International Ltd";
inline constexpr const char* kAddressLines[4] = {"Unit 4, Heronsgate Trading Estate", "Quarry Lane",
                                                 "Brackenfield", "BF12 3TV, United Kingdom"};
inline constexpr const char* kTelephone = "+44 (0)1632 960 410";
inline constexpr const char* kFax = "+44 (0)1632 960 411";
inline constexpr const char* kEmail = "support@tarvik.example";
inline constexpr const char* kWebAddress = "www.tarvik.example";
inline constexpr const char* kWebUrl = "https://www.tarvik.example/";
inline constexpr const char* kSupportUrl = "https://www.tarvik.example/support";

} // namespace tarvik::maker
