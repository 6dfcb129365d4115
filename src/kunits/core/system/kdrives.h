#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kolvarin {

// CD and DVD drives. Linux has no drive letters: a drive is its device
// ("/dev/sr0"), as the kernel lists them in /proc/sys/dev/cdrom/info, and
// a path lies on it when it is the device or below the drive's mount point.

// The devices of all CD-ROM drives ("/dev/sr0" ...), in the kernel's order.
std::vector<std::string> GetCDDrives();
// True when Path is a CD-ROM device or lies below a mounted one's folder.
bool IsCDDrive(std::u16string_view path);
// The label of the medium that holds Path: the name of its mount folder
// (desktop mounts are named by label); empty when Path is on no CD drive.
std::u16string GetVolumeLabelW(std::u16string_view path);
std::string GetVolumeLabel(std::string_view path);

// The parsing behind the above, for the given file contents.
std::vector<std::string> ParseCDRomInfo(std::string_view info);
// The mount point of Path's CD drive per Mounts (/proc/mounts format),
// empty when none; Path may also name the device itself.
std::string FindCDMountPoint(std::string_view path, const std::vector<std::string>& drives, std::string_view mounts);

} // namespace kolvarin
