// The application's own store work on a class of 2,000 students with photos: one
// add as the add form saves it, a delete as the main window does it (the student
// moves to the recycle store and the roster is renumbered), and an import of 3,000
// rows that replaces the roster.
#include "app/roster_replace.h"
#include "app/store_session.h"
#include "bench/store/bench_students.h"
#include "roster/files.h"
#include "roster/store_layout.h"
#include "store/commands.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace qr::bench {
namespace {

using runtime::Value;

void must(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "application %s failed: result code %d\n", what, store::lastError().value());
        std::exit(1);
    }
}

app::StudentRecord recordOf(const Student& s, int i)
{
    app::StudentRecord r;
    r.number = s.number;
    r.name = s.name;
    r.sex = s.sex;
    r.height = s.height;
    r.weight = s.weight;
    r.age = s.age;
    r.registerNumber = s.registerNumber;
    r.nationalNumber = s.nationalNumber;
    r.photo = photoOf(i);
    r.boarding = s.boarder;
    r.dormitory = s.dormitory;
    r.bed = s.bed;
    r.idCard = s.identity;
    r.address = s.address;
    r.guardian1Relation = s.relation1;
    r.guardian1Name = s.guardian1;
    r.guardian1Phone = s.phone1;
    r.guardian2Relation = s.relation2;
    r.guardian2Name = s.guardian2;
    r.guardian2Phone = s.phone2;
    return r;
}

app::SheetRow rowOf(const Student& s, int number)
{
    app::SheetRow row{};
    const runtime::Text texts[] = {std::to_string(number),
                                   s.name,
                                   s.sex,
                                   std::to_string(s.height),
                                   std::to_string(s.weight),
                                   s.age,
                                   s.registerNumber,
                                   s.nationalNumber,
                                   s.boarder,
                                   s.dormitory,
                                   s.bed,
                                   s.identity,
                                   s.address,
                                   s.relation1,
                                   s.guardian1,
                                   s.phone1,
                                   s.relation2,
                                   s.guardian2,
                                   s.phone2};
    for (std::size_t c = 0; c < row.size() && c < std::size(texts); ++c)
        row[c] = texts[c];
    return row;
}

} // namespace

AppFigures runAppSide(const std::string& base, const std::vector<Student>& students)
{
    // A run directory of its own: the store side leaves its roster in base.
    const std::string dir = base + "/run";
    std::filesystem::create_directory(dir);
    const std::string roster = dir + "/" + std::string(roster::kRosterStoreFile);
    const std::string recycle = dir + "/" + std::string(roster::kRecycleStoreFile);
    must(store::createStore(roster, roster::rosterFieldSpecs()), "create");
    must(store::createStore(recycle, roster::rosterFieldSpecs()), "create");
    {
        app::RosterStore store(roster);
        for (int i = 0; i < kStudents; ++i)
            must(app::appendStudent(store, recordOf(students[static_cast<std::size_t>(i)], i)), "fill");
    }
    AppFigures f;

    constexpr int kAdds = 10;
    auto start = Clock::now();
    for (int i = 0; i < kAdds; ++i) {
        app::RosterStore store(roster);
        must(app::appendStudent(store, recordOf(students[static_cast<std::size_t>(i)], i)), "add");
    }
    f.singleAdd = millisecondsSince(start) / kAdds;

    start = Clock::now();
    must(app::moveStudent(roster, recycle, kDeletedRecord), "delete");
    f.deleteWithRenumber = millisecondsSince(start);

    std::vector<app::SheetRow> rows;
    for (int i = 0; i < kImportRows; ++i)
        rows.push_back(rowOf(students[static_cast<std::size_t>(i % kStudents)], i + 1));
    start = Clock::now();
    must(app::replaceStoreContent(roster, rows), "import");
    f.import = millisecondsSince(start);
    return f;
}

} // namespace qr::bench
