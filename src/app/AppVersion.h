#pragma once
// The tool's version as it follows the main window's caption; the update
// check compares offered versions against the same text.

inline constexpr char VersionText[] = " v1.21";
inline constexpr char DesignedCaption[] = "RV5K Loader";
