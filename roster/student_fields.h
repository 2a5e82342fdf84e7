// The twenty fields of a student record in store order: their numbers, names,
// kinds and text widths. Whatever reads, writes, creates or checks a roster store
// takes the fields from here. Qt-free.
#pragma once

#include "store/commands.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qr::roster {

// Field numbers, 1-based as the store's field calls (and their messages) count.
namespace field {
enum Number : int {
    kNumber = 1,        // 序号
    kName,              // 姓名
    kSex,               // 性别
    kHeight,            // 身高
    kWeight,            // 体重
    kAge,               // 年龄
    kRegisterNumber,    // 学籍辅号
    kNationalNumber,    // 全国学号
    kPhoto,             // 照片
    kBoarding,          // 是否住宿
    kDormitory,         // 宿舍号
    kBed,               // 床位号
    kIdCard,            // 身份证号
    kAddress,           // 家庭住址
    kGuardian1Relation, // 监护1关系
    kGuardian1Name,     // 监护1姓名
    kGuardian1Phone,    // 监护1电话
    kGuardian2Relation, // 监护2关系
    kGuardian2Name,     // 监护2姓名
    kGuardian2Phone,    // 监护2电话
};
inline constexpr int kCount = 20;

// Where field `number` sits among a record's values (0-based).
constexpr std::size_t indexOf(int number) { return std::size_t(number - 1); }
} // namespace field

struct FieldDescription {
    std::string_view nameGbk;
    store::FieldType type;
    std::int32_t width; // text fields only: the GBK bytes the store keeps
};

// Text widths in GBK bytes. The store cuts a longer text without a word, so each
// width covers what reaches the field: the add form limits 年龄 and 学籍辅号 to 12
// bytes and 身份证号 to 18, but the modify form and a spreadsheet import limit
// nothing, so every field gets room beyond the form's limit. A spreadsheet cell of a
// legacy workbook read through the driver carries at most 255 characters; that bound
// (510 GBK bytes) is kept for the one free-text field, 家庭住址, whose usual content
// is under 60 Chinese characters. Names get 64 bytes (32 Chinese
// characters: long minority names with separator dots fit), numbers and codes 32
// (an 18-character identity number, "G" plus 18 for the national number, telephone
// numbers with extension), and the picked words (性别, 是否住宿, the relations) 16,
// four times what the forms' lists store, for the words a sheet may bring ("外祖父母").
// A record takes about 1 KB, so a class of 60 costs about 63 KB of data file.
//
// In store order: kFields[field::indexOf(n)] describes field n.
inline constexpr std::array<FieldDescription, field::kCount> kFields = {{
    {"序号", store::FieldType::Integer, 0},    {"姓名", store::FieldType::Text, 64},
    {"性别", store::FieldType::Text, 16},      {"身高", store::FieldType::Double, 0},
    {"体重", store::FieldType::Float, 0},      {"年龄", store::FieldType::Text, 32},
    {"学籍辅号", store::FieldType::Text, 32},  {"全国学号", store::FieldType::Text, 32},
    {"照片", store::FieldType::ByteSet, 0},    {"是否住宿", store::FieldType::Text, 16},
    {"宿舍号", store::FieldType::Text, 32},    {"床位号", store::FieldType::Text, 32},
    {"身份证号", store::FieldType::Text, 32},  {"家庭住址", store::FieldType::Text, 510},
    {"监护1关系", store::FieldType::Text, 16}, {"监护1姓名", store::FieldType::Text, 64},
    {"监护1电话", store::FieldType::Text, 32}, {"监护2关系", store::FieldType::Text, 16},
    {"监护2姓名", store::FieldType::Text, 64}, {"监护2电话", store::FieldType::Text, 32},
}};

constexpr const FieldDescription& describe(int number) { return kFields[field::indexOf(number)]; }

} // namespace qr::roster
