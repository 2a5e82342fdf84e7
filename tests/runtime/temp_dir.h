// A fresh directory under the system's temporary directory, removed with
// everything in it when the test ends.
#pragma once

#include <string>

namespace qr::runtime::testing {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Whole file as bytes; "<missing>" when it cannot be opened.
std::string slurp(const std::string& path);
void spit(const std::string& path, const std::string& bytes);

} // namespace qr::runtime::testing
