#include "bench/store/bench_students.h"

#include <cstdio>

namespace qr::bench {

std::vector<Student> makeStudents()
{
    std::vector<Student> out;
    out.reserve(kStudents);
    char buffer[64];
    for (int i = 0; i < kStudents; ++i) {
        Student s;
        s.number = i + 1;
        std::snprintf(buffer, sizeof buffer, "学生%04d", i);
        s.name = buffer;
        s.sex = i % 2 ? "女" : "男";
        s.height = 150.0 + (i % 40) + 0.5;
        s.weight = 40.0f + static_cast<float>(i % 30) + 0.5f;
        s.age = std::to_string(12 + i % 4);
        std::snprintf(buffer, sizeof buffer, "1234567%04d", i);
        s.registerNumber = buffer;
        std::snprintf(buffer, sizeof buffer, "11010820100101%04d", i);
        s.identity = buffer;
        s.nationalNumber = "G" + s.identity;
        s.boarder = i % 3 ? "是" : "否";
        s.dormitory = std::to_string(1 + i % 6) + "#" + std::to_string(201 + i % 20);
        s.bed = std::to_string(1 + i % 8);
        std::snprintf(buffer, sizeof buffer, "Hollowmere村%d组%d号", 1 + i % 9, 1 + i % 300);
        s.address = buffer;
        s.relation1 = "父亲";
        s.guardian1 = "家长" + std::to_string(i);
        s.phone1 = "188" + std::to_string(10000000 + i);
        s.relation2 = "母亲";
        s.guardian2 = "家长" + std::to_string(i + kStudents);
        s.phone2 = "199" + std::to_string(10000000 + i);
        out.push_back(std::move(s));
    }
    return out;
}

namespace {

std::vector<std::vector<std::uint8_t>>& photos()
{
    static std::vector<std::vector<std::uint8_t>> all;
    return all;
}

std::vector<std::uint8_t> makePhoto(int i)
{
    std::vector<std::uint8_t> photo(kPhotoBytes);
    std::uint32_t x = 2463534242u + static_cast<std::uint32_t>(i);
    for (auto& b : photo) { // incompressible, like a real JPEG
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        b = static_cast<std::uint8_t>(x);
    }
    photo[0] = 0xFF;
    photo[1] = 0xD8;
    photo[2] = 0xFF;
    return photo;
}

} // namespace

void preparePhotos()
{
    for (int i = static_cast<int>(photos().size()); i < kStudents; ++i)
        photos().push_back(makePhoto(i));
}

const std::vector<std::uint8_t>& photoOf(int i) { return photos().at(static_cast<std::size_t>(i)); }

} // namespace qr::bench
