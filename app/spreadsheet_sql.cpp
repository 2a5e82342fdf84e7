#include "app/spreadsheet_sql.h"

#include "runtime/text_search.h"

namespace qr::app {

runtime::Text directoryOf(std::string_view fileNameGbk)
{
    const std::int32_t slash = runtime::findTextBackwards(fileNameGbk, "/");
    return slash < 1 ? runtime::Text{} : runtime::leftText(fileNameGbk, slash);
}

runtime::Text exportConnectString(std::string_view fileNameGbk)
{
    runtime::Text s = "ODBC;DBQ=";
    s += fileNameGbk;
    s += ";DefaultDir=";
    s += directoryOf(fileNameGbk);
    s += ";Driver={Microsoft Excel Driver (*.xls)};DriverId=790;FIL=excel 8.0;MaxBufferSize=2048;MaxScanRows=8;"
         "PageTimeout=5;ReadOnly=0;SafeTransactions=0;Threads=3;UID=admin;UserCommitSync=Yes;";
    return s;
}

namespace {

void appendQuoted(runtime::Text& sql, std::string_view value)
{
    // Only the ASCII quote is doubled; GBK trail bytes are never 0x27.
    for (char c : value) {
        sql += c;
        if (c == '\'')
            sql += '\'';
    }
}

} // namespace

runtime::Text insertStatement(const SheetRow& row)
{
    runtime::Text sql = "INSERT INTO [sheet1$] (";
    for (std::size_t k = 0; k < row.size(); ++k) {
        if (k > 0)
            sql += ',';
        sql += '[';
        sql += roster::kHeadings[k];
        sql += ']';
    }
    sql += ") VALUES ('";
    for (std::size_t k = 0; k < row.size(); ++k) {
        if (k > 0)
            sql += "','";
        appendQuoted(sql, row[k]);
    }
    sql += "')";
    return sql;
}

runtime::Text importConnectString(std::string_view fileNameGbk)
{
    runtime::Text s = "ODBC;DBQ=";
    s += fileNameGbk;
    s += ";Driver={Microsoft Excel Driver (*.xls)}; ";
    return s;
}

} // namespace qr::app
