// The same work on an SQLite table: synchronous=OFF, one statement per operation and
// no enclosing transaction, since the store too works one command at a time.
#include "bench/store/bench_students.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace qr::bench {
namespace {

void must(int rc, sqlite3* db, const char* what)
{
    if (rc != SQLITE_OK && rc != SQLITE_DONE && rc != SQLITE_ROW) {
        std::fprintf(stderr, "SQLite %s: %s\n", what, sqlite3_errmsg(db));
        std::exit(1);
    }
}

sqlite3* openDatabase(const std::string& path)
{
    sqlite3* db = nullptr;
    must(sqlite3_open(path.c_str(), &db), db, "open");
    must(sqlite3_exec(db, "PRAGMA synchronous=OFF", nullptr, nullptr, nullptr), db, "pragma");
    return db;
}

sqlite3_stmt* prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* st = nullptr;
    must(sqlite3_prepare_v2(db, sql, -1, &st, nullptr), db, sql);
    return st;
}

void bindText(sqlite3_stmt* st, int column, const std::string& text)
{
    sqlite3_bind_text(st, column, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

// What a caller holds after reading one column: its own copy, as the store returns.
void keepColumn(sqlite3_stmt* st, int column, std::string& into)
{
    const void* p = sqlite3_column_blob(st, column);
    into.assign(static_cast<const char*>(p ? p : ""), static_cast<std::size_t>(sqlite3_column_bytes(st, column)));
}

} // namespace

Figures runSqliteSide(const std::string& dir, const std::vector<Student>& students, double& vacuumMs)
{
    const std::string path = dir + "/roster.sqlite";
    Figures f;
    {
        sqlite3* db = openDatabase(path);
        must(sqlite3_exec(db,
                          "CREATE TABLE student(c1 INTEGER, c2 TEXT, c3 TEXT, c4 REAL, c5 REAL, c6 TEXT, c7 TEXT,"
                          " c8 TEXT, c9 BLOB, c10 TEXT, c11 TEXT, c12 TEXT, c13 TEXT, c14 TEXT, c15 TEXT,"
                          " c16 TEXT, c17 TEXT, c18 TEXT, c19 TEXT, c20 TEXT)",
                          nullptr, nullptr, nullptr),
             db, "create");
        sqlite3_close(db);
    }

    auto start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        sqlite3_stmt* st = prepare(db, "INSERT INTO student VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)");
        for (int i = 0; i < kStudents; ++i) {
            const Student& s = students[static_cast<std::size_t>(i)];
            const std::vector<std::uint8_t>& photo = photoOf(i);
            sqlite3_bind_int(st, 1, s.number);
            bindText(st, 2, s.name);
            bindText(st, 3, s.sex);
            sqlite3_bind_double(st, 4, s.height);
            sqlite3_bind_double(st, 5, s.weight);
            bindText(st, 6, s.age);
            bindText(st, 7, s.registerNumber);
            bindText(st, 8, s.nationalNumber);
            sqlite3_bind_blob(st, 9, photo.data(), static_cast<int>(photo.size()), SQLITE_STATIC);
            const std::string* texts[] = {&s.boarder,   &s.dormitory, &s.bed,       &s.identity,
                                          &s.address,   &s.relation1, &s.guardian1, &s.phone1,
                                          &s.relation2, &s.guardian2, &s.phone2};
            for (int k = 0; k < 11; ++k)
                bindText(st, 10 + k, *texts[k]);
            must(sqlite3_step(st), db, "insert");
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    f.append = millisecondsSince(start);

    start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        sqlite3_stmt* st = prepare(db, "SELECT * FROM student ORDER BY rowid");
        std::string cells[20];
        double numbers = 0;
        int rows = 0;
        while (sqlite3_step(st) == SQLITE_ROW) {
            numbers += sqlite3_column_int(st, 0) + sqlite3_column_double(st, 3) + sqlite3_column_double(st, 4);
            for (int c = 0; c < 20; ++c)
                if (c != 0 && c != 3 && c != 4)
                    keepColumn(st, c, cells[c]);
            ++rows;
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (rows != kStudents || numbers <= 0)
            std::fprintf(stderr, "SQLite read %d rows\n", rows);
    }
    f.readAll = millisecondsSince(start);

    start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        sqlite3_stmt* st = prepare(db, "SELECT rowid FROM student WHERE c13 = ?");
        bindText(st, 1, students[kSoughtStudent].identity);
        const int found = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : 0;
        sqlite3_finalize(st);
        sqlite3_close(db);
        if (found != kSoughtStudent + 1)
            std::fprintf(stderr, "SQLite found row %d\n", found);
    }
    f.find = millisecondsSince(start);

    start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        sqlite3_stmt* st = prepare(db, "DELETE FROM student WHERE rowid = ?");
        sqlite3_bind_int(st, 1, kDeletedRecord);
        must(sqlite3_step(st), db, "delete");
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    f.deleteAndPack = millisecondsSince(start);

    start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        sqlite3_stmt* st = prepare(db, "UPDATE student SET c1 = ? WHERE rowid = ?");
        sqlite3_stmt* ids = prepare(db, "SELECT rowid FROM student ORDER BY rowid");
        std::vector<int> rowids;
        while (sqlite3_step(ids) == SQLITE_ROW)
            rowids.push_back(sqlite3_column_int(ids, 0));
        sqlite3_finalize(ids);
        for (std::size_t k = 0; k < rowids.size(); ++k) {
            sqlite3_bind_int(st, 1, static_cast<int>(k + 1));
            sqlite3_bind_int(st, 2, rowids[k]);
            must(sqlite3_step(st), db, "update");
            sqlite3_reset(st);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
    }
    f.renumber = millisecondsSince(start);

    // What it costs SQLite to give the deleted row's space back to the file system,
    // as pack does: shown beside the figures, not in the ratio.
    start = Clock::now();
    {
        sqlite3* db = openDatabase(path);
        must(sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr), db, "vacuum");
        sqlite3_close(db);
    }
    vacuumMs = millisecondsSince(start);
    return f;
}

} // namespace qr::bench
