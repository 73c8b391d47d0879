// Replacing a whole file so that it is never left half written: songs and
// the settings file both go through here.
#pragma once

#include <string>
#include <string_view>

// The suffix of the temporary file beside the one being replaced. "~" cannot
// be typed into a song name, so it never names somebody's song.
constexpr char32_t replacementSuffix[] = U"~saving";

// The temporary file a replacement of path writes: "<path>~<pid>~saving".
// The writer's process id keeps two programs replacing one file from writing
// into, or renaming, each other's temporary, and tells a clean-up whether
// its owner is still running.
std::string replacementTemporary(const std::string& path);

// Whether a temporary left by a replacement may be removed: its owner has
// ended. A temporary without an owner's id (as older versions wrote them) is
// a leftover too.
bool replacementOwnerGone(const std::string& fileName);

// How far a replacement has got when replaceFile returns.
enum class Durability {
    cached,  // in the system's cache: enough for a file that is read back at once
    synced,  // on the disk under its new name: survives a power cut
};

// Writes the bytes to a temporary file beside path and renames that over it
// once every byte was written, flushed and closed. A symbolic link is
// followed: its target is replaced and the link stays. The new file keeps the
// old one's mode. An existing file that is not a regular file, or that the
// user may not write, is left alone. On any failure the temporary file is
// removed, the file keeps its old content, and the result is false.
bool replaceFile(const std::string& path, std::string_view bytes, Durability durability = Durability::synced);

// The folder a path lies in: "." for a bare name.
std::string folderOf(const std::string& path);

// Syncing a file does not make its new name durable: on ext4 and others a
// power cut can still lose a rename until the folder is synced too.
bool syncFolder(const std::string& folder);
