#include "store_test_support.h"

#include "runtime/coding.h"
#include "store/env.h"
#include "tests/support/file_contents.h"

#include <cstdlib>

namespace qr::store::testing {

Bytes readBytes(const std::filesystem::path& path) { return test_support::wholeFileBytes(path.string()); }

void writeBytes(const std::filesystem::path& path, const Bytes& bytes)
{
    test_support::writeWholeFile(path.string(), bytes);
}

// at() first: an offset past the end fails the test instead of reading beyond it.
std::int32_t i32At(const Bytes& bytes, std::size_t offset)
{
    (void)bytes.at(offset + 3);
    return runtime::getI32(bytes.data() + offset);
}

void putI32At(Bytes& bytes, std::size_t offset, std::int32_t value)
{
    (void)bytes.at(offset + 3);
    runtime::putI32(bytes.data() + offset, value);
}

Bytes pattern(std::size_t size, std::uint8_t seed)
{
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7 + (i >> 8));
    return b;
}

std::vector<FieldSpec> allTypesFields()
{
    return {
        {"字节", FieldType::Byte, 0},    {"短整数", FieldType::Short, 0},  {"整数", FieldType::Integer, 0},
        {"长整数", FieldType::Long, 0},  {"小数", FieldType::Float, 0},    {"双精度", FieldType::Double, 0},
        {"逻辑", FieldType::Logical, 0}, {"日期", FieldType::DateTime, 0}, {"子程序", FieldType::SubprogramPointer, 0},
        {"文本", FieldType::Text, 10},   {"照片", FieldType::ByteSet, 0},  {"备注", FieldType::Memo, 0},
    };
}

void StoreTest::SetUp()
{
    previous_ = std::filesystem::current_path();
    dir_ = scratch_.path();
    std::filesystem::current_path(dir_);
    setLockRetryTimeout(0);
}

void StoreTest::TearDown()
{
    for (auto it = opened_.rbegin(); it != opened_.rend(); ++it)
        closeStore(*it);
    setStoreEnv(nullptr);
    setLockRetryTimeout(0);
    std::filesystem::current_path(previous_);
}

bool StoreTest::open(const std::string& name, const OpenOptions& options)
{
    const bool ok = openStore(name, options);
    if (ok) {
        StoreInfo info;
        if (currentStoreInfo(info))
            opened_.push_back(info.fullPath);
    }
    return ok;
}

void StoreTest::create(const std::string& name, const std::vector<FieldSpec>& fields)
{
    ASSERT_TRUE(createStore(name, fields)) << lastError();
}

void StoreTest::createAllTypes(const std::string& name, int records)
{
    create(name, allTypesFields());
    ASSERT_TRUE(open(name)) << lastError();
    for (int i = 1; i <= records; ++i) {
        const Value values[] = {Value(), Value(), Value::integer(i)};
        ASSERT_TRUE(addRecord(values)) << lastError();
    }
}

bool StoreTest::add(std::initializer_list<Value> values)
{
    return addRecord(std::span<const Value>(values.begin(), values.size()));
}

} // namespace qr::store::testing
