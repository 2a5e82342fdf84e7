// A small client of the spreadsheet component: exports three students into a new
// workbook and imports them back, through whatever driver the run's odbcinst.ini
// names. Used by the test of a moved run directory (it settles its run place as the
// program does, from its own folder) and by the smoke test of an installed package
// (pointed at the registration the installed program wrote).
//
//   qr_sheet_round_trip WORKDIR                       settle as the program does
//   qr_sheet_round_trip --registered DIR WORKDIR      use DIR/odbcinst.ini as it is
// Exit status 0 when every cell read back as written.
#include "app/run_place.h"
#include "app/workbook_exchange.h"
#include "runtime/directories.h"
#include "runtime/gbk.h"
#include "xlsodbc/driver_registration.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

using qr::app::SheetRow;

std::vector<SheetRow> students()
{
    std::vector<SheetRow> rows;
    for (int n = 1; n <= 3; ++n) {
        SheetRow row;
        for (std::size_t c = 0; c < row.size(); ++c)
            row[c] = "列" + std::to_string(c) + "-" + std::to_string(n);
        row[0] = std::to_string(n);
        row[1] = n == 2 ? "O'Brien 欧" : "学生" + std::to_string(n);
        row[2] = n % 2 ? "男" : "女";
        rows.push_back(row);
    }
    return rows;
}

int fail(const std::string& why)
{
    std::fprintf(stderr, "qr_sheet_round_trip: %s\n", why.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    std::string workDir;
    if (argc == 4 && std::string(argv[1]) == "--registered") {
        qr::xls::useRegistrationIn(argv[2]);
        workDir = argv[3];
    } else if (argc == 2) {
        std::string problems;
        const qr::app::RunPlace place = qr::app::settleRunPlace(qr::runtime::runDirectory(), problems);
        if (!problems.empty())
            return fail(problems);
        std::printf("data directory %s (%s), driver %s\n", qr::runtime::gbkToUtf8(place.data.directory).c_str(),
                    place.data.portable ? "portable" : "installed", place.driver.value_or("none").c_str());
        workDir = argv[1];
    } else {
        return fail("usage: qr_sheet_round_trip [--registered DIR] WORKDIR");
    }

    const qr::runtime::Text book = qr::runtime::utf8ToGbk(workDir) + "/花名册.xls";
    const std::vector<SheetRow> written = students();
    qr::sheet::ExternalDatabase sheetDb;
    if (!qr::app::exportRows(sheetDb, book, written))
        return fail("the export failed");
    const auto read = qr::app::importRows(sheetDb, book);
    if (!read)
        return fail("the exported workbook cannot be read");
    if (*read != written)
        return fail("the workbook read back differs from what was written (" + std::to_string(read->size()) + " rows)");
    std::printf("exported and imported %zu students\n", read->size());
    return 0;
}
