// A scratch directory per test (also the current directory, so relative names
// work), raw access to the files, and a store with one field of every type.
#pragma once

#include "store/commands.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qr::store::testing {

using Bytes = std::vector<std::uint8_t>;

Bytes readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const Bytes& bytes);
std::int32_t i32At(const Bytes& bytes, std::size_t offset);
void putI32At(Bytes& bytes, std::size_t offset, std::int32_t value);
Bytes pattern(std::size_t size, std::uint8_t seed);

// Field numbers of allTypesFields(), 1-based.
enum AllTypes : std::int32_t {
    kByte = 1,
    kShort,
    kInteger,
    kLong,
    kFloat,
    kDouble,
    kLogical,
    kDateTime,
    kPointer,
    kText,
    kBytes,
    kMemo
};
std::vector<FieldSpec> allTypesFields(); // text width 10

class StoreTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Opens and remembers the store so that TearDown closes it.
    bool open(const std::string& name, const OpenOptions& options = {});
    void create(const std::string& name, const std::vector<FieldSpec>& fields);
    // Creates, opens and fills the store with n records whose integer field is i.
    void createAllTypes(const std::string& name, int records = 0);
    bool add(std::initializer_list<Value> values);

    test_support::TempDir scratch_;
    std::filesystem::path dir_;
    std::filesystem::path previous_;
    std::vector<std::string> opened_;
};

} // namespace qr::store::testing
