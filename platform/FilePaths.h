#pragma once
#include <string>

namespace mirelock {

// A directory and a file name joined by exactly one "/"; an empty directory
// leaves the name as it is (relative to the working directory). Every place
// that puts a file into a directory of the document uses it, so that a
// directory stored with or without its trailing "/" means the same folder.
std::string JoinPath(const std::string& directory, const std::string& name);

// The directory a path's file is in ("." for a bare name).
std::string DirectoryOf(const std::string& path);

// The file a path finally names after following symbolic links of its last
// component (a dangling link names its missing target); the path itself when
// it is no link or the chain is too long to follow.
std::string FollowSymlinks(const std::string& path);

}  // namespace mirelock
