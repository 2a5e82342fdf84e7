#include "app/student_record.h"

#include "runtime/error_report.h"
#include "runtime/to_text.h"
#include "store/commands.h"

#include <cmath>
#include <limits>
#include <string>

namespace qr::app {

namespace {

[[noreturn]] void wrongFieldKind(int fieldNumber, const char* expected)
{
    Text message = "学生数据库的字段";
    message += std::to_string(fieldNumber);
    message += "不是";
    message += expected;
    message += "字段";
    runtime::reportRuntimeError(message, -1, 0, 0);
}

std::int32_t toInt32(double value)
{
    // Cut toward zero; values outside the 32-bit range are clamped rather than
    // left to undefined conversion.
    if (std::isnan(value))
        return 0;
    value = std::trunc(value);
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

Value numericField(int fieldNumber)
{
    Value value = store::readField(fieldNumber);
    if (!value.isNumeric())
        wrongFieldKind(fieldNumber, "数值");
    return value;
}

} // namespace

double readNumberField(int fieldNumber)
{
    const Value value = numericField(fieldNumber);
    switch (value.kind()) {
    case runtime::Kind::Byte: return value.asByte();
    case runtime::Kind::Short: return value.asShort();
    case runtime::Kind::Integer: return value.asInteger();
    case runtime::Kind::Long: return static_cast<double>(value.asLong());
    case runtime::Kind::Float: return value.asFloat();
    default: return value.asDouble();
    }
}

Text readNumberFieldText(int fieldNumber)
{
    return runtime::toText(numericField(fieldNumber));
}

Text readTextField(int fieldNumber)
{
    Value value = store::readField(fieldNumber);
    if (value.kind() != runtime::Kind::Text)
        wrongFieldKind(fieldNumber, "文本");
    return value.asText();
}

ByteSet readByteSetField(int fieldNumber)
{
    Value value = store::readField(fieldNumber);
    if (value.kind() != runtime::Kind::ByteSet)
        wrongFieldKind(fieldNumber, "字节集");
    return value.asByteSet();
}

StudentRecord readCurrentStudent(bool* whole)
{
    StudentRecord r;
    bool allRead = true;
    // Each read leaves its own result in the last-error slot.
    auto check = [&allRead] { allRead = allRead && store::lastError() == store::rc::kOk; };
    r.number = toInt32(readNumberField(field::kNumber));
    check();
    r.name = readTextField(field::kName);
    check();
    r.sex = readTextField(field::kSex);
    check();
    r.height = readNumberField(field::kHeight);
    check();
    r.weight = static_cast<float>(readNumberField(field::kWeight));
    check();
    r.age = readTextField(field::kAge);
    check();
    r.registerNumber = readTextField(field::kRegisterNumber);
    check();
    r.nationalNumber = readTextField(field::kNationalNumber);
    check();
    r.photo = readByteSetField(field::kPhoto);
    check();
    r.boarding = readTextField(field::kBoarding);
    check();
    r.dormitory = readTextField(field::kDormitory);
    check();
    r.bed = readTextField(field::kBed);
    check();
    r.idCard = readTextField(field::kIdCard);
    check();
    r.address = readTextField(field::kAddress);
    check();
    r.guardian1Relation = readTextField(field::kGuardian1Relation);
    check();
    r.guardian1Name = readTextField(field::kGuardian1Name);
    check();
    r.guardian1Phone = readTextField(field::kGuardian1Phone);
    check();
    r.guardian2Relation = readTextField(field::kGuardian2Relation);
    check();
    r.guardian2Name = readTextField(field::kGuardian2Name);
    check();
    r.guardian2Phone = readTextField(field::kGuardian2Phone);
    check();
    if (whole)
        *whole = allRead;
    return r;
}

std::vector<Value> StudentRecord::storeValues() const
{
    return {Value::integer(number),     Value::text(name),          Value::text(sex),
            Value::doubleFloat(height), Value::floating(weight),    Value::text(age),
            Value::text(registerNumber), Value::text(nationalNumber), Value::byteSet(photo),
            Value::text(boarding),      Value::text(dormitory),     Value::text(bed),
            Value::text(idCard),        Value::text(address),       Value::text(guardian1Relation),
            Value::text(guardian1Name), Value::text(guardian1Phone), Value::text(guardian2Relation),
            Value::text(guardian2Name), Value::text(guardian2Phone)};
}

} // namespace qr::app
