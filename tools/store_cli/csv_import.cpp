// import-csv: appends the students of a CSV file to a roster store, converting each
// cell as the add form converts what is typed, with photos from a folder. Every row
// and photo is read and checked before the store is opened for writing.
#include "roster/columns.h"
#include "roster/store_layout.h"
#include "runtime/gbk.h"
#include "store/check/open_preview.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"
#include "tools/store_cli/csv.h"
#include "tools/store_cli/photo_folder.h"
#include "tools/store_cli/photo_kind.h"
#include "tools/store_cli/text_number.h"

#include <array>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>
#include <map>

namespace qr::tools {

bool parseCsvArguments(const Arguments& args, CsvArguments& out)
{
    std::vector<std::string> positional;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--photos" && i + 1 < args.size() && out.photos.empty())
            out.photos = args[++i];
        else if (args[i].rfind("--", 0) == 0)
            return false;
        else
            positional.push_back(args[i]);
    }
    if (positional.size() != 2)
        return false;
    out.store = positional[0];
    out.csv = positional[1];
    return true;
}

namespace {

using runtime::Value;
using store::FieldType;
using namespace roster;

std::string headingName(std::size_t heading) { return runtime::gbkToUtf8(kHeadings[heading]); }

// Column of each heading in the file; every heading exactly once, nothing else.
bool mapHeadings(const CsvRow& header, std::array<std::size_t, kColumnCount>& column, std::string& why)
{
    column.fill(SIZE_MAX);
    for (std::size_t c = 0; c < header.size(); ++c) {
        std::size_t k = 0;
        while (k < kColumnCount && headingName(k) != header[c])
            ++k;
        if (k == kColumnCount) {
            why = "line 1: column " + std::to_string(c + 1) + " has the heading \"" + header[c] +
                  "\", which is none of the roster's nineteen headings";
            return false;
        }
        if (column[k] != SIZE_MAX) {
            why = "line 1: the heading \"" + header[c] + "\" appears twice";
            return false;
        }
        column[k] = c;
    }
    for (std::size_t k = 0; k < kColumnCount; ++k) {
        if (column[k] == SIZE_MAX) {
            why = "line 1: the heading \"" + headingName(k) + "\" is missing";
            return false;
        }
    }
    return true;
}

// Whether a converted number can be stored in the field without being wrapped.
bool fitsNumericField(double v, FieldType type)
{
    if (!std::isfinite(v))
        return false;
    const double t = std::trunc(v);
    switch (type) {
    case FieldType::Byte: return t >= 0 && t <= 255;
    case FieldType::Short: return t >= -32768 && t <= 32767;
    case FieldType::Integer: return t >= -2147483648.0 && t <= 2147483647.0;
    case FieldType::Long: return t >= -9223372036854775808.0 && t < 9223372036854775808.0;
    case FieldType::Float: return std::fabs(v) <= 3.4028234663852886e38;
    default: return true;
    }
}

struct StudentRow {
    std::vector<Value> values;
    std::int64_t photoKey = 0; // 序号 as a whole number, for the photo's file name
    int line = 0;
};

bool convertRow(const CsvRow& row, int line, const std::array<std::size_t, kColumnCount>& column,
                const std::vector<store::FieldInfo>& fields, StudentRow& out, std::string& why)
{
    out.values.assign(field::kCount, Value());
    out.values[field::indexOf(field::kPhoto)] = Value::byteSet({});
    out.line = line;
    const std::string at = "line " + std::to_string(line) + ": ";
    for (std::size_t k = 0; k < kColumnCount; ++k) {
        const int fieldNumber = columnField(k);
        const std::size_t f = field::indexOf(fieldNumber);
        const bool serial = fieldNumber == field::kNumber, weight = fieldNumber == field::kWeight;
        const bool numeric = serial || weight || fieldNumber == field::kHeight;
        const std::string& cell = row[column[k]];
        const std::string gbk = runtime::utf8ToGbk(cell);
        if (gbk.find('\0') != std::string::npos) {
            why = at + headingName(k) + " holds a zero character, which a store text cannot keep";
            return false;
        }
        const store::FieldInfo& field = fields[f];
        if (numeric) {
            const double number = textToNumber(gbk);
            if (!fitsNumericField(number, field.type)) {
                why =
                    at + headingName(k) + " \"" + cell + "\" does not fit its " + fieldTypeName(field.type) + " field";
                return false;
            }
            // Height as a double keeps its fraction; weight is rounded once, to float.
            out.values[f] = weight ? Value::floating(textToFloat(gbk)) : Value::doubleFloat(number);
            if (serial)
                out.photoKey = static_cast<std::int64_t>(std::trunc(number));
        } else {
            if (field.type == FieldType::Text && gbk.size() > static_cast<std::size_t>(field.width)) {
                why = at + headingName(k) + " takes " + std::to_string(gbk.size()) + " bytes in GBK; the field holds " +
                      std::to_string(field.width);
                return false;
            }
            out.values[f] = Value::text(gbk);
        }
    }
    return true;
}

bool attachPhotos(const std::string& dir, std::vector<StudentRow>& students, std::string& why)
{
    std::map<std::int64_t, std::string> files;
    if (!listPhotoFiles(dir, files, why))
        return false;
    std::map<std::int64_t, int> takenBy; // photo number -> line of the row that has it
    for (StudentRow& s : students) {
        const auto it = files.find(s.photoKey);
        if (it == files.end())
            continue;
        // Two rows with one 序号 cannot tell whose photo it is.
        if (const auto [taken, fresh] = takenBy.emplace(s.photoKey, s.line); !fresh) {
            why = "the photo " + it->second + " fits two rows, lines " + std::to_string(taken->second) + " and " +
                  std::to_string(s.line) + ", which have the same " + u8text(u8"序号");
            return false;
        }
        std::string bytes;
        const std::string path = dir + "/" + it->second;
        std::string reason;
        if (!readWholeFile(path, kMaxPhotoBytes, bytes, reason)) {
            why = "cannot read the photo " + path + ": " + reason;
            return false;
        }
        std::vector<std::uint8_t> photo(bytes.begin(), bytes.end());
        const std::size_t dot = it->second.rfind('.');
        const bool raw = it->second.compare(dot + 1, std::string::npos, "bin") == 0;
        if (!raw && pictureExtension(photo).empty()) {
            why = "the photo " + path + " is no JPEG, PNG, BMP, GIF, ICO or CUR picture";
            return false;
        }
        s.values[field::indexOf(field::kPhoto)] = Value::byteSet(std::move(photo));
    }
    for (const auto& [number, name] : files) {
        if (!takenBy.count(number)) {
            why = "the photo " + name + " belongs to no row: no student has " + u8text(u8"序号") + " " +
                  std::to_string(number);
            return false;
        }
    }
    return true;
}

std::vector<store::FieldInfo> fieldsOf(const store::check::RawDataHeader& header)
{
    std::vector<store::FieldInfo> fields;
    for (const auto& f : header.fields)
        fields.push_back({f.nameGbk, static_cast<FieldType>(f.type), f.offset, f.width});
    return fields;
}

} // namespace

int runImportCsv(const Arguments& args)
{
    CsvArguments a;
    if (!parseCsvArguments(args, a))
        return refuse("usage: quillroll-store import-csv STORE FILE.csv [--photos DIR]");
    std::string name;
    if (!argumentToGbk(a.store, name))
        return refuse("the store name is not valid UTF-8");
    const store::OpenPreview preview = store::previewWritableOpen(name);
    if (preview.result != store::rc::kOk)
        return openFailed("cannot open " + a.store + ": " + resultText(preview.result), preview.result);
    store::StoreInfo layout;
    layout.fields = fieldsOf(preview.header);
    std::string why;
    if (!isRosterLayout(layout, why))
        return refuse(a.store + " is no roster store: " + why);

    std::string text;
    if (!readWholeFile(a.csv, kMaxCsvBytes, text, why))
        return refuse("cannot read " + a.csv + ": " + why);
    if (!isValidUtf8(text))
        return refuse(a.csv + " is not UTF-8 text");
    CsvTable table;
    if (!parseCsv(text, table, why))
        return refuse(a.csv + ": " + why);
    if (table.rows.empty())
        return refuse(a.csv + " is empty: the first line must hold the headings");
    std::array<std::size_t, kColumnCount> column{};
    if (!mapHeadings(table.rows[0], column, why))
        return refuse(a.csv + ": " + why);

    std::vector<StudentRow> students(table.rows.size() - 1);
    for (std::size_t r = 1; r < table.rows.size(); ++r) {
        const CsvRow& row = table.rows[r];
        if (row.size() != table.rows[0].size())
            return refuse(a.csv + ": line " + std::to_string(table.lines[r]) + " has " + std::to_string(row.size()) +
                          " fields, the heading line " + std::to_string(table.rows[0].size()));
        if (!convertRow(row, table.lines[r], column, layout.fields, students[r - 1], why))
            return refuse(a.csv + ": " + why);
    }
    if (!a.photos.empty() && !attachPhotos(a.photos, students, why))
        return refuse(why);

    for (const std::string& c : preview.corrections)
        std::cout << "note: opening " << a.store << " for writing corrects it: " << c << '\n';
    StoreSession session;
    if (!session.open(name, false, why))
        return openFailed(why);
    if (!isRosterLayout(session.info(), why))
        return refuse(a.store + " is no roster store: " + why);
    // One unit: killed part-way, the store is as it was; and one commit for all.
    // On a failure the students appended so far stay, committed when the store closes.
    if (!store::beginUnit())
        return refuse("cannot start writing " + a.store + ": " + resultText(store::lastError()));
    std::size_t appended = 0;
    for (const StudentRow& s : students) {
        if (!store::addRecord(s.values)) {
            // An add whose photo could not be written still appends the record.
            const store::ResultCode code = store::lastError();
            printError("line " + std::to_string(s.line) + " could not be appended whole after " +
                       std::to_string(appended) + " of " + std::to_string(students.size()) +
                       " students: " + resultText(code));
            return kExitFailed;
        }
        ++appended;
    }
    if (!store::endUnit())
        return refuse("cannot commit the import into " + a.store + ": " + resultText(store::lastError()));
    std::cout << "imported " << appended << " students\n";
    return kExitOk;
}

} // namespace qr::tools
