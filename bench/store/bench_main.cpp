// quillroll-bench-store [DIR] [REPETITIONS]: runs the roster's work on the record
// store, on SQLite and as raw pread/pwrite, and prints the best time of each.
#include "bench/store/bench_students.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

using namespace qr::bench;

void keepBest(Figures& best, const Figures& f, bool first)
{
    auto pick = [first](double& b, double v) { b = first ? v : std::min(b, v); };
    pick(best.append, f.append);
    pick(best.readAll, f.readAll);
    pick(best.find, f.find);
    pick(best.deleteAndPack, f.deleteAndPack);
    pick(best.renumber, f.renumber);
}

void printLine(const char* what, double store, double sqlite, double floor)
{
    std::printf("%-44s %10.2f %10.2f %8.2f %10.2f\n", what, store, sqlite, store / sqlite, floor);
}

} // namespace

int main(int argc, char** argv)
{
    const std::string base = argc > 1 ? argv[1] : ".";
    const int repetitions = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    const std::vector<Student> students = makeStudents();
    preparePhotos();

    Figures store, sqlite, floor;
    AppFigures app;
    double vacuum = 0;
    std::int32_t recordLength = 0;
    for (int rep = 0; rep < repetitions; ++rep) {
        std::string dir = base + "/qr-bench-XXXXXX";
        if (::mkdtemp(dir.data()) == nullptr) {
            std::perror("mkdtemp");
            return 1;
        }
        double v = 0;
        keepBest(store, runStoreSide(dir, students, recordLength), rep == 0);
        keepBest(sqlite, runSqliteSide(dir, students, v), rep == 0);
        keepBest(floor, runFloorSide(dir, recordLength), rep == 0);
        vacuum = rep == 0 ? v : std::min(vacuum, v);
        const AppFigures a = runAppSide(dir, students);
        auto pick = [rep](double& b, double value) { b = rep == 0 ? value : std::min(b, value); };
        pick(app.singleAdd, a.singleAdd);
        pick(app.deleteWithRenumber, a.deleteWithRenumber);
        pick(app.import, a.import);
        std::filesystem::remove_all(dir);
    }

    std::printf("%d students, %zu-byte photos, record length %d; best of %d runs, milliseconds\n", kStudents,
                kPhotoBytes, recordLength, repetitions);
    std::printf("%-44s %10s %10s %8s %10s\n", "operation", "store", "SQLite", "ratio", "floor");
    printLine("append 2000 students with photos", store.append, sqlite.append, floor.append);
    printLine("read all 20 fields of all, record order", store.readAll, sqlite.readAll, floor.readAll);
    printLine("find one identity-card number", store.find, sqlite.find, floor.find);
    printLine("mark one deleted and pack (SQLite: DELETE)", store.deleteAndPack, sqlite.deleteAndPack,
              floor.deleteAndPack);
    printLine("rewrite every record with a new number", store.renumber, sqlite.renumber, floor.renumber);
    std::printf("SQLite VACUUM after the delete (space given back, as pack does): %.2f\n", vacuum);
    std::printf("application: add one student with a photo (open, add, close): %.2f\n", app.singleAdd);
    std::printf("application: delete one of %d with photos (move, pack, renumber): %.2f\n", kStudents + 10,
                app.deleteWithRenumber);
    std::printf("application: import %d rows replacing the roster: %.2f\n", kImportRows, app.import);
    return 0;
}
