// One student of the roster: the twenty fields in store order, how they are read
// from the current record of a store, and how they are written back.
#pragma once

#include "runtime/value.h"

#include <cstdint>
#include <vector>

namespace qr::app {

class RosterStore;

using runtime::ByteSet;
using runtime::Text;
using runtime::Value;

// Field numbers (1-based store order). The application addresses fields by number only.
namespace field {
inline constexpr int kNumber = 1;         // 序号
inline constexpr int kName = 2;           // 姓名
inline constexpr int kSex = 3;            // 性别
inline constexpr int kHeight = 4;         // 身高
inline constexpr int kWeight = 5;         // 体重
inline constexpr int kAge = 6;            // 年龄
inline constexpr int kRegisterNumber = 7; // 学籍辅号
inline constexpr int kNationalNumber = 8; // 全国学号
inline constexpr int kPhoto = 9;          // 照片
inline constexpr int kBoarding = 10;      // 是否住宿
inline constexpr int kDormitory = 11;     // 宿舍号
inline constexpr int kBed = 12;           // 床位号
inline constexpr int kIdCard = 13;        // 身份证号
inline constexpr int kAddress = 14;       // 家庭住址
inline constexpr int kGuardian1Relation = 15;
inline constexpr int kGuardian1Name = 16;
inline constexpr int kGuardian1Phone = 17;
inline constexpr int kGuardian2Relation = 18;
inline constexpr int kGuardian2Name = 19;
inline constexpr int kGuardian2Phone = 20;
inline constexpr int kCount = 20;
} // namespace field

struct StudentRecord {
    std::int32_t number = 0;
    Text name, sex;
    double height = 0;   // kept as a double so that 165.5 survives every move
    float weight = 0;
    Text age, registerNumber, nationalNumber;
    ByteSet photo;
    Text boarding, dormitory, bed, idCard, address;
    Text guardian1Relation, guardian1Name, guardian1Phone;
    Text guardian2Relation, guardian2Name, guardian2Phone;

    // The twenty values for add record or change record, field 1 being `number`:
    // integer, text, text, double, float, three texts, byte set, eleven texts.
    std::vector<Value> storeValues() const;
};

// Reading fields of the current record of the store. A field of another kind than
// the roster layout expects is a fault of the installation and ends the program
// through the runtime error report.
double readNumberField(RosterStore& source, int fieldNumber);
Text readTextField(RosterStore& source, int fieldNumber);
ByteSet readByteSetField(RosterStore& source, int fieldNumber);
// A numeric field as the lists and forms show it (integers plain, a float "%.6g",
// a double "%.13g").
Text readNumberFieldText(RosterStore& source, int fieldNumber);

// The whole current record; 序号 is cut toward zero to an integer.
// `whole` (when given) tells whether every field was read without a store error:
// a photo whose chain cannot be read comes back empty, and must not be moved so.
StudentRecord readCurrentStudent(RosterStore& source, bool* whole = nullptr);

} // namespace qr::app
