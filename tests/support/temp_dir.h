// A fresh directory per test under the system's temporary directory ($TMPDIR or
// /tmp), removed with everything in it when the object goes: the one scratch
// folder every test program uses.
#pragma once

#include <string>
#include <string_view>

namespace qr::test_support {

class TempDir {
public:
    // Named qr-test- and six random characters. Failing to make it throws
    // std::runtime_error, which fails the test that asked.
    TempDir();
    // Gives the owner back the rights a test took from the directory, then removes
    // it with all it holds.
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string file(std::string_view name) const { return path_ + "/" + std::string(name); }

private:
    std::string path_;
};

} // namespace qr::test_support
