#pragma once

// Who the program is: the texts of the title, the version and the maker.
namespace vr5 {

inline constexpr const char* kCompanyKey = "Tarnell";
inline constexpr const char* kAppTitle = "Tarnell VR5-XP";
// The identifier the program writes at the head of every report and into the identity string.
inline constexpr const char* kVersionId = "VR5Xv0.3.0";
// The version as shown: the identifier without its first four characters.
inline constexpr const char* kVersionText = "v0.3.0";

// The maker's four lines: notice, name, telephone number, web address.
inline constexpr const char* kMakerNotice = "Copyright (C) 2026";
inline constexpr const char* kMakerName = "Tarnell Fusion Instruments";
inline constexpr const char* kMakerPhone = "Tel. +1 555 0142 700";
inline constexpr const char* kMakerWeb = "www.tarnell.example";

}  // namespace vr5
