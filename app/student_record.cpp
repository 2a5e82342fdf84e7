#include "app/student_record.h"

#include "app/roster_store.h"
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

Value numericField(RosterStore& source, int fieldNumber)
{
    Value value = source.readField(fieldNumber);
    if (!value.isNumeric())
        wrongFieldKind(fieldNumber, "数值");
    return value;
}

} // namespace

double readNumberField(RosterStore& source, int fieldNumber)
{
    const Value value = numericField(source, fieldNumber);
    switch (value.kind()) {
    case runtime::Kind::Byte: return value.asByte();
    case runtime::Kind::Short: return value.asShort();
    case runtime::Kind::Integer: return value.asInteger();
    case runtime::Kind::Long: return static_cast<double>(value.asLong());
    case runtime::Kind::Float: return value.asFloat();
    default: return value.asDouble();
    }
}

Text readNumberFieldText(RosterStore& source, int fieldNumber)
{
    return runtime::toText(numericField(source, fieldNumber));
}

Text readTextField(RosterStore& source, int fieldNumber)
{
    Value value = source.readField(fieldNumber);
    if (value.kind() != runtime::Kind::Text)
        wrongFieldKind(fieldNumber, "文本");
    return value.asText();
}

ByteSet readByteSetField(RosterStore& source, int fieldNumber)
{
    Value value = source.readField(fieldNumber);
    if (value.kind() != runtime::Kind::ByteSet)
        wrongFieldKind(fieldNumber, "字节集");
    return value.asByteSet();
}

StudentRecord readCurrentStudent(RosterStore& source, bool* whole)
{
    StudentRecord r;
    bool allRead = true;
    // Each read leaves its own result in the last-error slot.
    auto check = [&allRead] { allRead = allRead && store::lastError() == store::rc::kOk; };
    r.number = toInt32(readNumberField(source, field::kNumber));
    check();
    r.name = readTextField(source, field::kName);
    check();
    r.sex = readTextField(source, field::kSex);
    check();
    r.height = readNumberField(source, field::kHeight);
    check();
    r.weight = static_cast<float>(readNumberField(source, field::kWeight));
    check();
    r.age = readTextField(source, field::kAge);
    check();
    r.registerNumber = readTextField(source, field::kRegisterNumber);
    check();
    r.nationalNumber = readTextField(source, field::kNationalNumber);
    check();
    r.photo = readByteSetField(source, field::kPhoto);
    check();
    r.boarding = readTextField(source, field::kBoarding);
    check();
    r.dormitory = readTextField(source, field::kDormitory);
    check();
    r.bed = readTextField(source, field::kBed);
    check();
    r.idCard = readTextField(source, field::kIdCard);
    check();
    r.address = readTextField(source, field::kAddress);
    check();
    r.guardian1Relation = readTextField(source, field::kGuardian1Relation);
    check();
    r.guardian1Name = readTextField(source, field::kGuardian1Name);
    check();
    r.guardian1Phone = readTextField(source, field::kGuardian1Phone);
    check();
    r.guardian2Relation = readTextField(source, field::kGuardian2Relation);
    check();
    r.guardian2Name = readTextField(source, field::kGuardian2Name);
    check();
    r.guardian2Phone = readTextField(source, field::kGuardian2Phone);
    check();
    if (whole)
        *whole = allRead;
    return r;
}

std::vector<Value> StudentRecord::storeValues() const
{
    return {Value::integer(number),      Value::text(name),           Value::text(sex),
            Value::doubleFloat(height),  Value::floating(weight),     Value::text(age),
            Value::text(registerNumber), Value::text(nationalNumber), Value::byteSet(photo),
            Value::text(boarding),       Value::text(dormitory),      Value::text(bed),
            Value::text(idCard),         Value::text(address),        Value::text(guardian1Relation),
            Value::text(guardian1Name),  Value::text(guardian1Phone), Value::text(guardian2Relation),
            Value::text(guardian2Name),  Value::text(guardian2Phone)};
}

} // namespace qr::app
