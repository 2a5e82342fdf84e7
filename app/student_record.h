// One student of the roster: the twenty fields in store order, how they are read
// from the current record of a store, and how they are written back.
#pragma once

#include "roster/student_fields.h"
#include "runtime/value.h"

#include <cstdint>
#include <vector>

namespace qr::app {

class RosterStore;

using runtime::ByteSet;
using runtime::Text;
using runtime::Value;

// Fields by number (1-based store order). The application addresses fields by number only.
namespace field = roster::field;

struct StudentRecord {
    std::int32_t number = 0;
    Text name, sex;
    double height = 0; // kept as a double so that 165.5 survives every move
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
