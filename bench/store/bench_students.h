// The class the benchmark works on: 2,000 students with every field filled as the
// add form fills it, and a 30 KB photo each.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace qr::bench {

inline constexpr int kStudents = 2000;
inline constexpr std::size_t kPhotoBytes = 30 * 1024;

struct Student {
    std::int32_t number = 0;
    std::string name, sex; // texts are GBK
    double height = 0;
    float weight = 0;
    std::string age, registerNumber, nationalNumber;
    std::string boarder, dormitory, bed, identity, address;
    std::string relation1, guardian1, phone1, relation2, guardian2, phone2;
};

std::vector<Student> makeStudents();
// The photo of student i: a JPEG-looking 30 KB of incompressible bytes. All photos
// are made once, before anything is timed.
void preparePhotos();
const std::vector<std::uint8_t>& photoOf(int i);

// The identity number looked for by the find (a student near the end, the worst case
// for a scan) and the record deleted before the pack (in the middle).
inline constexpr int kSoughtStudent = kStudents - 2;
inline constexpr int kDeletedRecord = kStudents / 2;

// The figures of one side, in milliseconds.
struct Figures {
    double append = 0, readAll = 0, find = 0, deleteAndPack = 0, renumber = 0;
};

using Clock = std::chrono::steady_clock;
inline double millisecondsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Each side runs the five operations in order on files in dir and returns the times.
// Each operation opens and closes its files, as the program does per action.
Figures runStoreSide(const std::string& dir, const std::vector<Student>& students, std::int32_t& recordLength);
Figures runSqliteSide(const std::string& dir, const std::vector<Student>& students, double& vacuumMs);
Figures runFloorSide(const std::string& dir, std::int32_t recordLength);

// The application's actions through its own code (app/store_session, app/roster_replace).
inline constexpr int kImportRows = 3000;
struct AppFigures {
    double singleAdd = 0;          // open, add one student with a photo, close; the mean of ten
    double deleteWithRenumber = 0; // the move of record kDeletedRecord to the recycle store
    double import = 0;             // kImportRows rows replacing the roster of kStudents + 10
};
AppFigures runAppSide(const std::string& dir, const std::vector<Student>& students);

} // namespace qr::bench
