#include "sheet/result_set.h"

#include "sheet/cell_value.h"
#include "sheet/odbc_calls.h"

#include <algorithm>
#include <cstring>

namespace qr::sheet {

namespace {

constexpr SQLULEN kMaxBoundSize = 512;

// Room for the text of any value of a bound column: a column's size counts
// characters (up to four bytes each once converted) and numbers may print
// wider than their precision ("-1.2345678901234e-308").
std::size_t boundTextCapacity(SQLULEN size) { return static_cast<std::size_t>(size) * 4 + 64; }

template <class T> std::optional<T> getFixed(SQLHSTMT statement, SQLUSMALLINT columnNumber, SQLSMALLINT cType)
{
    T value{};
    SQLLEN indicator = 0;
    const SQLRETURN rc =
        odbc::untilDone([&] { return SQLGetData(statement, columnNumber, cType, &value, sizeof value, &indicator); });
    if (!odbc::succeeded(rc) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return value;
}

} // namespace

std::unique_ptr<ResultSet> ResultSet::open(SQLHDBC connection, const std::string& sql)
{
    std::unique_ptr<ResultSet> set(new ResultSet);
    if (!odbc::succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, &set->statement_))) {
        set->statement_ = SQL_NULL_HSTMT;
        return nullptr;
    }
    SQLHSTMT statement = set->statement_;

    // The snapshot must be able to go back to its first row after counting.
    const SQLRETURN cursorRc =
        SQLSetStmtAttr(statement, SQL_ATTR_CURSOR_TYPE, reinterpret_cast<SQLPOINTER>(SQL_CURSOR_STATIC), 0);
    if (!odbc::succeeded(cursorRc))
        return nullptr;
    if (cursorRc == SQL_SUCCESS_WITH_INFO) {
        // The driver chose another cursor type (01S02); any scrollable one will do.
        SQLULEN cursorType = SQL_CURSOR_FORWARD_ONLY;
        if (!odbc::succeeded(SQLGetStmtAttr(statement, SQL_ATTR_CURSOR_TYPE, &cursorType, 0, nullptr)) ||
            cursorType == SQL_CURSOR_FORWARD_ONLY)
            return nullptr;
    }
    // Lets deleted rows be recognised and skipped; a driver without row status
    // leaves the status untouched, which reads as a good row.
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_STATUS_PTR, &set->rowStatus_, 0);

    set->sql_.assign(sql.begin(), sql.end());
    set->sql_.push_back('\0');
    const SQLRETURN rc = odbc::untilDone([&] { return SQLExecDirect(statement, set->sql_.data(), SQL_NTS); });
    if (!odbc::succeeded(rc))
        return nullptr;
    if (!set->describeAndBind() || !set->countRowsAndRewind())
        return nullptr;
    return set;
}

ResultSet::~ResultSet()
{
    if (statement_ != SQL_NULL_HSTMT)
        odbc::cancelAndFree(statement_);
}

bool ResultSet::describeAndBind()
{
    SQLSMALLINT count = 0;
    if (!odbc::succeeded(SQLNumResultCols(statement_, &count)) || count <= 0)
        return false;
    // Sized once: the driver keeps pointers to the buffers and indicators.
    columns_.resize(static_cast<std::size_t>(count));
    rowCache_.assign(columns_.size(), std::nullopt);
    for (SQLUSMALLINT number = 1; number <= static_cast<SQLUSMALLINT>(count); ++number) {
        Column& column = columns_[number - 1];
        std::vector<SQLCHAR> name(256);
        SQLSMALLINT nameLength = 0;
        SQLSMALLINT decimalDigits = 0;
        SQLSMALLINT nullable = 0;
        for (;;) {
            const SQLRETURN rc = SQLDescribeCol(statement_, number, name.data(), static_cast<SQLSMALLINT>(name.size()),
                                                &nameLength, &column.sqlType, &column.size, &decimalDigits, &nullable);
            if (!odbc::succeeded(rc))
                return false;
            if (nameLength < 0)
                nameLength = 0;
            if (static_cast<std::size_t>(nameLength) < name.size() || name.size() >= 32767)
                break;
            name.resize(std::min<std::size_t>(static_cast<std::size_t>(nameLength) + 1, 32767));
        }
        column.name.assign(reinterpret_cast<const char*>(name.data()),
                           std::min<std::size_t>(static_cast<std::size_t>(nameLength), name.size() - 1));
        if (column.sqlType == SQL_TINYINT) {
            SQLLEN isUnsigned = SQL_FALSE;
            if (odbc::succeeded(
                    SQLColAttribute(statement_, number, SQL_DESC_UNSIGNED, nullptr, 0, nullptr, &isUnsigned)))
                column.isUnsigned = isUnsigned == SQL_TRUE;
        }
        column.bound = !isLongOrBinaryType(column.sqlType) && column.size <= kMaxBoundSize;
        if (column.bound) {
            column.text.assign(boundTextCapacity(column.size), '\0');
            if (!odbc::succeeded(SQLBindCol(statement_, number, SQL_C_CHAR, column.text.data(),
                                            static_cast<SQLLEN>(column.text.size()), &column.indicator)))
                return false;
        }
    }
    return true;
}

bool ResultSet::countRowsAndRewind()
{
    long rows = 0;
    for (;;) {
        const Fetched f = fetch(SQL_FETCH_NEXT);
        if (f == Fetched::Failed)
            return false;
        if (f == Fetched::NoData)
            break;
        ++rows;
    }
    rowCount_ = rows;
    if (rows == 0) {
        onRow_ = false;
        bof_ = eof_ = true;
        return true;
    }
    if (fetch(SQL_FETCH_FIRST) != Fetched::Row)
        return false;
    onRow_ = true;
    bof_ = eof_ = false;
    return true;
}

ResultSet::Fetched ResultSet::fetch(SQLSMALLINT orientation)
{
    for (;;) {
        rowStatus_ = SQL_ROW_SUCCESS;
        const SQLRETURN rc = odbc::untilDone([&] { return SQLFetchScroll(statement_, orientation, 0); });
        if (rc == SQL_NO_DATA)
            return Fetched::NoData;
        if (!odbc::succeeded(rc))
            return Fetched::Failed;
        if (rc == SQL_SUCCESS_WITH_INFO && odbc::fetchInfoIsError(statement_))
            return Fetched::Failed;
        if (rowStatus_ != SQL_ROW_DELETED)
            return Fetched::Row;
        // Skip the deleted row in the direction of the move.
        orientation =
            (orientation == SQL_FETCH_FIRST || orientation == SQL_FETCH_NEXT) ? SQL_FETCH_NEXT : SQL_FETCH_PRIOR;
    }
}

void ResultSet::afterMove(Fetched result, bool forward)
{
    std::fill(rowCache_.begin(), rowCache_.end(), std::nullopt);
    onRow_ = result == Fetched::Row;
    if (onRow_) {
        bof_ = eof_ = false;
    } else if (forward) {
        eof_ = true;
    } else {
        bof_ = true;
    }
}

void ResultSet::forgetRows()
{
    std::fill(rowCache_.begin(), rowCache_.end(), std::nullopt);
    onRow_ = false;
    bof_ = eof_ = true;
    rowCount_ = 0;
}

bool ResultSet::requery()
{
    forgetRows();
    // Closing the cursor keeps the column bindings for the new run.
    SQLFreeStmt(statement_, SQL_CLOSE);
    const SQLRETURN rc = odbc::untilDone([&] { return SQLExecDirect(statement_, sql_.data(), SQL_NTS); });
    SQLSMALLINT count = 0;
    if (!odbc::succeeded(rc) || !odbc::succeeded(SQLNumResultCols(statement_, &count)) ||
        static_cast<std::size_t>(count) != columns_.size())
        return false;
    if (countRowsAndRewind())
        return true;
    forgetRows();
    return false;
}

void ResultSet::moveFirst()
{
    const Fetched f = fetch(SQL_FETCH_FIRST);
    afterMove(f, true);
    if (f == Fetched::NoData)
        bof_ = true;
}

void ResultSet::moveLast()
{
    const Fetched f = fetch(SQL_FETCH_LAST);
    afterMove(f, false);
    if (f == Fetched::NoData)
        eof_ = true;
}

void ResultSet::moveNext()
{
    if (eof_)
        return;
    afterMove(fetch(SQL_FETCH_NEXT), true);
}

void ResultSet::movePrev()
{
    if (bof_)
        return;
    afterMove(fetch(SQL_FETCH_PRIOR), false);
}

int ResultSet::findColumn(std::string_view name) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i) {
        if (columns_[i].name == name)
            return static_cast<int>(i);
    }
    return -1;
}

std::string ResultSet::boundText(std::size_t index) const
{
    if (index >= columns_.size() || !onRow_)
        return {};
    const Column& column = columns_[index];
    if (!column.bound || column.indicator == SQL_NULL_DATA)
        return {};
    const std::size_t room = column.text.size() - 1;
    const std::size_t length = column.indicator >= 0
                                   ? std::min<std::size_t>(static_cast<std::size_t>(column.indicator), room)
                                   : ::strnlen(column.text.data(), room);
    return std::string(column.text.data(), length);
}

runtime::Value ResultSet::read(std::size_t index)
{
    if (index >= columns_.size() || !onRow_)
        return {};
    if (!rowCache_[index])
        rowCache_[index] = fetchCell(index);
    return *rowCache_[index];
}

std::optional<std::string> ResultSet::fetchVariable(SQLUSMALLINT columnNumber, SQLSMALLINT cType)
{
    const std::size_t terminator = cType == SQL_C_CHAR ? 1 : 0;
    std::vector<char> chunk(4096);
    std::string value;
    bool gotAny = false;
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN rc = odbc::untilDone([&] {
            return SQLGetData(statement_, columnNumber, cType, chunk.data(), static_cast<SQLLEN>(chunk.size()),
                              &indicator);
        });
        if (rc == SQL_NO_DATA)
            break; // everything has been read
        if (!odbc::succeeded(rc) || indicator == SQL_NULL_DATA)
            return std::nullopt;
        gotAny = true;
        const std::size_t room = chunk.size() - terminator;
        const bool complete =
            rc == SQL_SUCCESS || (indicator != SQL_NO_TOTAL && static_cast<std::size_t>(indicator) <= room);
        std::size_t length = room;
        if (indicator >= 0 && static_cast<std::size_t>(indicator) < room)
            length = static_cast<std::size_t>(indicator);
        value.append(chunk.data(), length);
        if (complete)
            break;
    }
    if (!gotAny)
        return std::nullopt;
    return value;
}

runtime::Value ResultSet::fetchCell(std::size_t index)
{
    const Column& column = columns_[index];
    const auto number = static_cast<SQLUSMALLINT>(index + 1);
    std::optional<runtime::Value> value;
    switch (cellFetchFor(column.sqlType)) {
    case CellFetch::Skip: return {};
    case CellFetch::TinyInt:
        if (column.isUnsigned) {
            if (auto v = getFixed<SQLCHAR>(statement_, number, SQL_C_UTINYINT))
                value = runtime::Value::byte(*v);
        } else if (auto v = getFixed<SQLSCHAR>(statement_, number, SQL_C_STINYINT)) {
            value = runtime::Value::byte(static_cast<std::uint8_t>(*v));
        }
        break;
    case CellFetch::SmallInt:
        if (auto v = getFixed<SQLSMALLINT>(statement_, number, SQL_C_SSHORT))
            value = runtime::Value::shortInt(*v);
        break;
    case CellFetch::Integer:
        if (auto v = getFixed<SQLINTEGER>(statement_, number, SQL_C_SLONG))
            value = runtime::Value::integer(*v);
        break;
    case CellFetch::Real:
        if (auto v = getFixed<SQLREAL>(statement_, number, SQL_C_FLOAT))
            value = runtime::Value::floating(*v);
        break;
    case CellFetch::Double:
        if (auto v = getFixed<SQLDOUBLE>(statement_, number, SQL_C_DOUBLE))
            value = runtime::Value::doubleFloat(*v);
        break;
    case CellFetch::Bit:
        if (auto v = getFixed<SQLCHAR>(statement_, number, SQL_C_BIT))
            value = runtime::Value::logical(*v != 0);
        break;
    case CellFetch::Date:
        if (auto v = getFixed<SQL_DATE_STRUCT>(statement_, number, SQL_C_TYPE_DATE)) {
            if (auto days = dateTimeDays(v->year, v->month, v->day, 0, 0, 0, 0))
                value = runtime::Value::dateTime(*days);
        }
        break;
    case CellFetch::Time:
        if (auto v = getFixed<SQL_TIME_STRUCT>(statement_, number, SQL_C_TYPE_TIME)) {
            if (auto days = dateTimeDays(1899, 12, 30, v->hour, v->minute, v->second, 0))
                value = runtime::Value::dateTime(*days);
        }
        break;
    case CellFetch::Timestamp:
        if (auto v = getFixed<SQL_TIMESTAMP_STRUCT>(statement_, number, SQL_C_TYPE_TIMESTAMP)) {
            if (auto days = dateTimeDays(v->year, v->month, v->day, v->hour, v->minute, v->second, v->fraction))
                value = runtime::Value::dateTime(*days);
        }
        break;
    case CellFetch::Text:
        if (auto v = fetchVariable(number, SQL_C_CHAR))
            value = runtime::Value::text(std::move(*v));
        break;
    case CellFetch::Binary:
        if (auto v = fetchVariable(number, SQL_C_BINARY)) {
            value = runtime::Value::byteSet(runtime::ByteSet(v->begin(), v->end()));
        }
        break;
    }
    if (value)
        return std::move(*value);
    // No value from the driver (a NULL cell or a failed fetch): make the cell
    // from the bound text instead.
    const bool hasText = column.bound && column.indicator != SQL_NULL_DATA;
    const std::string text = boundText(index);
    return cellFromBoundText(column.sqlType, hasText ? std::optional<std::string_view>(text) : std::nullopt);
}

} // namespace qr::sheet
