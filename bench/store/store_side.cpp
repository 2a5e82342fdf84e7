// The roster store doing the program's work through its commands.
#include "bench/store/bench_students.h"
#include "roster/files.h"
#include "roster/store_layout.h"
#include "roster/student_fields.h"
#include "store/commands.h"

#include <cstdio>
#include <cstdlib>

namespace qr::bench {
namespace {

using runtime::Value;

void must(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "store %s failed: result code %d\n", what, store::lastError().value());
        std::exit(1);
    }
}

std::vector<Value> valuesOf(const Student& s, int i)
{
    return {Value::integer(s.number),      Value::text(s.name),           Value::text(s.sex),
            Value::doubleFloat(s.height),  Value::floating(s.weight),     Value::text(s.age),
            Value::text(s.registerNumber), Value::text(s.nationalNumber), Value::byteSet(photoOf(i)),
            Value::text(s.boarder),        Value::text(s.dormitory),      Value::text(s.bed),
            Value::text(s.identity),       Value::text(s.address),        Value::text(s.relation1),
            Value::text(s.guardian1),      Value::text(s.phone1),         Value::text(s.relation2),
            Value::text(s.guardian2),      Value::text(s.phone2)};
}

} // namespace

Figures runStoreSide(const std::string& dir, const std::vector<Student>& students, std::int32_t& recordLength)
{
    const std::string path = dir + "/" + std::string(roster::kRosterStoreFile); // plain ASCII: the same bytes in GBK
    must(store::createStore(path, roster::rosterFieldSpecs()), "create");
    Figures f;

    auto start = Clock::now();
    must(store::openStore(path), "open");
    for (int i = 0; i < kStudents; ++i) {
        const std::vector<Value> values = valuesOf(students[static_cast<std::size_t>(i)], i);
        must(store::addRecord(values), "add");
    }
    store::closeStore();
    f.append = millisecondsSince(start);

    start = Clock::now();
    must(store::openStore(path), "open");
    {
        const std::int32_t count = store::recordCount();
        std::vector<Value> row(roster::field::kCount);
        for (std::int32_t r = 1; r <= count; ++r) {
            store::goToRecord(r);
            for (std::int32_t k = 1; k <= roster::field::kCount; ++k)
                row[static_cast<std::size_t>(k - 1)] = store::readField(k);
        }
        must(store::lastError() == store::rc::kOk && count == kStudents, "read");
    }
    store::StoreInfo info;
    must(store::currentStoreInfo(info), "info");
    recordLength = info.recordLength;
    store::closeStore();
    f.readAll = millisecondsSince(start);

    start = Clock::now();
    must(store::openStore(path), "open");
    {
        const std::string sought = students[kSoughtStudent].identity;
        const store::SubStatement sameIdentity = [&] {
            return Value::logical(store::readField(13).asText() == sought);
        };
        must(store::find(store::Condition(sameIdentity)), "find");
        must(store::readField(1).asInteger() == kSoughtStudent + 1, "find's record");
    }
    store::closeStore();
    f.find = millisecondsSince(start);

    start = Clock::now();
    must(store::openStore(path), "open");
    must(store::goToRecord(kDeletedRecord), "go to");
    must(store::deleteRecord(), "delete");
    must(store::pack(), "pack");
    store::closeStore();
    f.deleteAndPack = millisecondsSince(start);

    start = Clock::now();
    must(store::openStore(path), "open");
    {
        const std::int32_t count = store::recordCount();
        for (std::int32_t r = 1; r <= count; ++r) {
            store::goToRecord(r);
            const Value number = Value::integer(r);
            must(store::changeRecord(std::span<const Value>(&number, 1)), "change");
        }
    }
    store::closeStore();
    f.renumber = millisecondsSince(start);
    return f;
}

} // namespace qr::bench
