// export-csv: writes every live student of a roster store as CSV with the workbook's
// nineteen headings, and the photos as files. The store is opened read-only; all
// records are read before the first byte is written, and the CSV file appears only
// once it is complete.
#include "roster/columns.h"
#include "roster/store_layout.h"
#include "runtime/gbk.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"
#include "tools/store_cli/csv.h"
#include "tools/store_cli/json_text.h"
#include "tools/store_cli/photo_folder.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qr::tools {
namespace {

using runtime::Kind;
using namespace roster;
using runtime::Value;

// The cell text of a value: numbers in the shortest form that reads back to the
// same value, so that import after export restores them exactly.
std::string cellText(const Value& v)
{
    switch (v.kind()) {
    case Kind::Float: return shortestText(v.asFloat());
    case Kind::Double: return shortestText(v.asDouble());
    case Kind::Text: return runtime::gbkToUtf8(v.asText());
    default: return v.isInteger() ? std::to_string(v.numericAsInt64()) : std::string();
    }
}

struct Photo {
    std::string fileName;
    std::vector<std::uint8_t> bytes;
};

bool writeFile(const std::string& path, const void* data, std::size_t size, std::string& why)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    bool ok = fd >= 0;
    const auto* p = static_cast<const char*>(data);
    while (ok && size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok) {
            p += n;
            size -= static_cast<std::size_t>(n);
        }
    }
    const int err = errno;
    if (fd >= 0 && ::close(fd) != 0)
        ok = false;
    if (!ok)
        why = "cannot write " + path + ": " + std::strerror(err ? err : errno);
    return ok;
}

} // namespace

int runExportCsv(const Arguments& args)
{
    CsvArguments a;
    if (!parseCsvArguments(args, a))
        return refuse("usage: quillroll-store export-csv STORE FILE.csv [--photos DIR]");
    std::string name;
    if (!argumentToGbk(a.store, name))
        return refuse("the store name is not valid UTF-8");
    std::string why;
    bool createFolder = false;
    if (!a.photos.empty() && !isMissingOrEmptyFolder(a.photos, createFolder, why))
        return refuse(why);

    StoreSession session;
    if (!session.open(name, true, why))
        return openFailed(why);
    if (!isRosterLayout(session.info(), why))
        return refuse(a.store + " is no roster store: " + why);
    if (!session.holdStill(why)) {
        printError(a.store + ": " + why);
        return kExitFailed;
    }

    std::string csv;
    CsvRow headings;
    for (std::string_view heading : kHeadings)
        headings.push_back(runtime::gbkToUtf8(heading));
    appendCsvRow(csv, headings);

    std::vector<Photo> photos;
    std::map<std::string, std::int32_t> photoOwner; // file name -> record number
    std::size_t exported = 0;
    const std::int32_t count = session.info().recordCount;
    for (std::int32_t r = 1; r <= count; ++r) {
        std::int32_t status = 0;
        if (!store::goToRecord(r) || !store::readStatusWord(status)) {
            printError("cannot read record " + std::to_string(r) + ": " + resultText(store::lastError()));
            return kExitFailed;
        }
        if (status < 0)
            continue;
        std::vector<Value> values;
        for (int f = 1; f <= field::kCount; ++f) {
            values.push_back(store::readField(f));
            if (store::lastError() != store::rc::kOk) {
                printError("cannot read record " + std::to_string(r) + " field " + std::to_string(f) + ": " +
                           resultText(store::lastError()));
                return kExitFailed;
            }
        }
        CsvRow row;
        for (std::size_t k = 0; k < kColumnCount; ++k)
            row.push_back(cellText(values[field::indexOf(columnField(k))]));
        appendCsvRow(csv, row);
        ++exported;

        const Value& photo = values[field::indexOf(field::kPhoto)];
        if (a.photos.empty() || photo.kind() != Kind::ByteSet || photo.asByteSet().empty())
            continue;
        const Value& serial = values[field::indexOf(field::kNumber)];
        const double number = serial.numericAsDouble();
        const auto key = static_cast<std::int64_t>(std::isfinite(number) ? std::trunc(number) : 0);
        Photo p{photoFileName(key, photo.asByteSet()), photo.asByteSet()};
        const auto [it, fresh] = photoOwner.emplace(std::to_string(key), r);
        if (!fresh)
            return refuse("records " + std::to_string(it->second) + " and " + std::to_string(r) +
                          " both have a photo and " + u8text(u8"序号") + " " + std::to_string(key) +
                          "; their photo files would take one name");
        photos.push_back(std::move(p));
    }

    // The CSV is written aside first, so an unwritable name fails before any photo
    // is written, and appears under its name only when everything is in place.
    const std::string temporary = a.csv + ".partial";
    if (!writeFile(temporary, csv.data(), csv.size(), why)) {
        ::unlink(temporary.c_str());
        return refuse("cannot write " + a.csv + ": " + why.substr(why.rfind(": ") + 2));
    }
    // A failure from here on takes back everything this export wrote: the photos,
    // the folder it made, and the CSV written aside.
    std::vector<std::string> written;
    bool madeFolder = false;
    const auto undo = [&] {
        for (const std::string& path : written)
            ::unlink(path.c_str());
        if (madeFolder)
            ::rmdir(a.photos.c_str());
        ::unlink(temporary.c_str());
    };
    if (!a.photos.empty()) {
        if (createFolder) {
            if (::mkdir(a.photos.c_str(), 0755) != 0) {
                const int err = errno;
                undo();
                return refuse("cannot create the photo folder " + a.photos + ": " + std::strerror(err));
            }
            madeFolder = true;
        }
        for (const Photo& p : photos) {
            const std::string path = a.photos + "/" + p.fileName;
            written.push_back(path); // a file cut short is taken back as well
            if (!writeFile(path, p.bytes.data(), p.bytes.size(), why)) {
                undo();
                printError(why + "; nothing of the export is left behind");
                return kExitFailed;
            }
        }
    }
    if (::rename(temporary.c_str(), a.csv.c_str()) != 0) {
        printError("cannot put " + a.csv + " in place: " + std::strerror(errno) +
                   "; nothing of the export is left behind");
        undo();
        return kExitFailed;
    }
    std::cout << "exported " << exported << " students";
    if (!a.photos.empty())
        std::cout << " and " << photos.size() << " photos";
    std::cout << '\n';
    return kExitOk;
}

} // namespace qr::tools
