// The floor: the same bytes moved with plain pread and pwrite, one call per record
// and per photo, no locks, no bookkeeping. No store can beat it.
#include "bench/store/bench_students.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace qr::bench {
namespace {

int openFile(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        std::exit(1);
    }
    return fd;
}

void writeAt(int fd, const void* p, std::size_t n, off_t at)
{
    if (::pwrite(fd, p, n, at) != static_cast<ssize_t>(n)) {
        std::perror("pwrite");
        std::exit(1);
    }
}

void readAt(int fd, void* p, std::size_t n, off_t at)
{
    if (::pread(fd, p, n, at) != static_cast<ssize_t>(n)) {
        std::perror("pread");
        std::exit(1);
    }
}

} // namespace

Figures runFloorSide(const std::string& dir, std::int32_t recordLength)
{
    const std::string dataPath = dir + "/floor.data";
    const std::string photoPath = dir + "/floor.photos";
    const auto r = static_cast<std::size_t>(recordLength);
    std::vector<std::uint8_t> record(r, 0x41);
    Figures f;

    auto start = Clock::now();
    {
        const int data = openFile(dataPath);
        const int photos = openFile(photoPath);
        for (int i = 0; i < kStudents; ++i) {
            const std::vector<std::uint8_t>& photo = photoOf(i);
            writeAt(photos, photo.data(), photo.size(), static_cast<off_t>(i * kPhotoBytes));
            writeAt(data, record.data(), r, static_cast<off_t>(i * r));
        }
        ::close(data);
        ::close(photos);
    }
    f.append = millisecondsSince(start);

    start = Clock::now();
    {
        const int data = openFile(dataPath);
        const int photos = openFile(photoPath);
        std::vector<std::uint8_t> photo(kPhotoBytes);
        for (int i = 0; i < kStudents; ++i) {
            readAt(data, record.data(), r, static_cast<off_t>(i * r));
            readAt(photos, photo.data(), photo.size(), static_cast<off_t>(i * kPhotoBytes));
        }
        ::close(data);
        ::close(photos);
    }
    f.readAll = millisecondsSince(start);

    start = Clock::now();
    {
        const int data = openFile(dataPath);
        for (int i = 0; i <= kSoughtStudent; ++i)
            readAt(data, record.data(), r, static_cast<off_t>(i * r));
        ::close(data);
    }
    f.find = millisecondsSince(start);

    start = Clock::now();
    {
        const int data = openFile(dataPath);
        const std::int32_t mark = -1;
        writeAt(data, &mark, 4, static_cast<off_t>((kDeletedRecord - 1) * r));
        // Close the gap: move every later record one place down, in 160 KB batches.
        const std::size_t perBatch = std::max<std::size_t>(1, 163840 / r);
        std::vector<std::uint8_t> batch(perBatch * r);
        for (std::size_t i = kDeletedRecord; i < static_cast<std::size_t>(kStudents); i += perBatch) {
            const std::size_t n = std::min(perBatch, kStudents - i);
            readAt(data, batch.data(), n * r, static_cast<off_t>(i * r));
            writeAt(data, batch.data(), n * r, static_cast<off_t>((i - 1) * r));
        }
        if (::ftruncate(data, static_cast<off_t>((kStudents - 1) * r)) != 0)
            std::perror("ftruncate");
        ::close(data);
    }
    f.deleteAndPack = millisecondsSince(start);

    start = Clock::now();
    {
        const int data = openFile(dataPath);
        for (int i = 0; i < kStudents - 1; ++i) {
            const std::int32_t number = i + 1;
            writeAt(data, &number, 4, static_cast<off_t>(i * r + 4));
        }
        ::close(data);
    }
    f.renumber = millisecondsSince(start);
    return f;
}

} // namespace qr::bench
