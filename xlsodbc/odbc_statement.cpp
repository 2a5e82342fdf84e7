// Statements: allocation, preparing and running SELECT and INSERT, parameters,
// result metadata and statement attributes.
#include "xlsodbc/odbc_entry.h"

#include "runtime/gbk.h"
#include "xlsodbc/value_convert.h"

#include <cstring>

namespace qr::xls {

constexpr std::size_t kMaxCellChars = 32767;

SQLRETURN allocStatement(Connection* c, SQLHANDLE* out)
{
    if (!c->connected)
        return c->error("08003", "the connection is not open");
    auto* s = new Statement(c);
    c->statements.insert(s);
    *out = s;
    return SQL_SUCCESS;
}

void freeStatement(Statement* s)
{
    s->dbc->statements.erase(s);
    delete s;
}

namespace {

SQLULEN columnSize(const ResultColumn& c) { return c.size; }

// Works out the columns of a prepared SELECT from the sheet as it is now.
SQLRETURN describe(Statement* s, const Sheet*& sheetOut, SheetTable& table, std::vector<std::size_t>& picked)
{
    Connection* c = s->dbc;
    if (!c->connected)
        return s->error("08003", "the connection is not open");
    Workbook& book = c->book->workbook();
    const auto index = findSheet(book, s->sql.table);
    if (!index)
        return s->error("42S02", "no worksheet named '" + s->sql.table + "' in the workbook");
    const Sheet& sheet = book.sheets()[*index];
    sheetOut = &sheet;
    table = describeTable(book, sheet, c->options.maxScanRows, c->options.firstRowHasNames);
    picked.clear();
    if (s->sql.kind == SqlStatement::Kind::Select && s->sql.allColumns) {
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            picked.push_back(i);
    } else {
        for (const std::string& name : s->sql.columns) {
            const auto col = findColumn(table, name);
            if (!col)
                return s->error("42S22", "no column named '" + name + "' in worksheet '" + s->sql.table + "'");
            picked.push_back(*col);
        }
    }
    if (s->sql.kind == SqlStatement::Kind::Select) {
        s->columns.clear();
        for (std::size_t i : picked) {
            const TableColumn& tc = table.columns[i];
            ResultColumn rc;
            rc.name = tc.name;
            rc.sqlType = tc.numeric ? SQL_DOUBLE : tc.longText ? SQL_LONGVARCHAR : SQL_VARCHAR;
            rc.size = tc.numeric ? 15 : tc.longText ? 65535 : kMaxVarcharChars;
            s->columns.push_back(rc);
        }
        // An empty sheet reads as one empty text column, as spreadsheet drivers show it.
        if (s->columns.empty())
            s->columns.push_back(ResultColumn{"F1", SQL_VARCHAR, kMaxVarcharChars});
    }
    return SQL_SUCCESS;
}

SQLRETURN parameterCell(Statement* s, const SqlValue& v, NewCell& cell, bool& isNull)
{
    isNull = false;
    if (v.kind == SqlValue::Kind::Null) {
        isNull = true;
        return SQL_SUCCESS;
    }
    if (v.kind == SqlValue::Kind::Text) {
        cell.isText = true;
        cell.text = runtime::gbkToUtf16(v.text);
        return SQL_SUCCESS;
    }
    if (v.kind == SqlValue::Kind::Number) {
        cell.isText = false;
        cell.number = v.number;
        return SQL_SUCCESS;
    }
    const auto it = s->params.find(static_cast<SQLUSMALLINT>(v.parameter + 1));
    if (it == s->params.end())
        return s->error("07002", "parameter " + std::to_string(v.parameter + 1) + " is not bound");
    const ParamBinding& b = it->second;
    SQLLEN ind = b.indicator ? *b.indicator : SQL_NTS;
    if (ind == SQL_NULL_DATA) {
        isNull = true;
        return SQL_SUCCESS;
    }
    if (ind == SQL_DATA_AT_EXEC || ind <= SQL_LEN_DATA_AT_EXEC_OFFSET)
        return s->error("HYC00", "data at execution time is not supported");
    if (!b.value)
        return s->error("HY009", "parameter " + std::to_string(v.parameter + 1) + " has no value buffer");
    const SQLSMALLINT cType = b.cType == SQL_C_DEFAULT ? defaultCType(b.sqlType) : b.cType;
    bool text = false;
    std::u16string chars;
    double number = 0;
    switch (cType) {
    case SQL_C_CHAR: {
        const char* p = static_cast<const char*>(b.value);
        const std::size_t len =
            ind == SQL_NTS
                ? (b.bufferLength > 0 ? strnlen(p, static_cast<std::size_t>(b.bufferLength)) : std::strlen(p))
                : static_cast<std::size_t>(ind);
        text = true;
        chars = runtime::gbkToUtf16(std::string_view(p, len));
        break;
    }
    case SQL_C_WCHAR: {
        const auto* p = static_cast<const char16_t*>(b.value);
        std::size_t len = 0;
        if (ind == SQL_NTS)
            while (p[len])
                ++len;
        else
            len = static_cast<std::size_t>(ind) / 2;
        text = true;
        chars.assign(p, len);
        break;
    }
    case SQL_C_DOUBLE: number = *static_cast<const SQLDOUBLE*>(b.value); break;
    case SQL_C_FLOAT: number = *static_cast<const SQLREAL*>(b.value); break;
    case SQL_C_LONG:
    case SQL_C_SLONG: number = *static_cast<const SQLINTEGER*>(b.value); break;
    case SQL_C_ULONG: number = *static_cast<const SQLUINTEGER*>(b.value); break;
    case SQL_C_SHORT:
    case SQL_C_SSHORT: number = *static_cast<const SQLSMALLINT*>(b.value); break;
    case SQL_C_USHORT: number = *static_cast<const SQLUSMALLINT*>(b.value); break;
    case SQL_C_TINYINT:
    case SQL_C_STINYINT: number = *static_cast<const SQLSCHAR*>(b.value); break;
    case SQL_C_UTINYINT:
    case SQL_C_BIT: number = *static_cast<const SQLCHAR*>(b.value); break;
    case SQL_C_SBIGINT: number = static_cast<double>(*static_cast<const SQLBIGINT*>(b.value)); break;
    case SQL_C_UBIGINT: number = static_cast<double>(*static_cast<const SQLUBIGINT*>(b.value)); break;
    case SQL_C_BINARY:
        return s->error("07006",
                        "a worksheet cell cannot hold binary data (parameter " + std::to_string(v.parameter + 1) + ")");
    default: return s->error("HYC00", "C type " + std::to_string(cType) + " is not supported for parameters");
    }
    if (text && isNumericSqlType(b.sqlType)) {
        if (!parseNumber(runtime::utf16ToGbk(chars), number))
            return s->error("22018", "parameter " + std::to_string(v.parameter + 1) + " is not a number");
        text = false;
    }
    cell.isText = text || !isNumericSqlType(b.sqlType);
    if (cell.isText)
        cell.text = text ? std::move(chars) : runtime::gbkToUtf16(formatNumber(number));
    else
        cell.number = number;
    return SQL_SUCCESS;
}

SQLRETURN runInsert(Statement* s)
{
    Connection* c = s->dbc;
    if (c->readOnly())
        return s->error("HY000", "the workbook was opened read-only (ReadOnly=1): INSERT is not allowed");
    const Sheet* sheet = nullptr;
    SheetTable table;
    std::vector<std::size_t> picked;
    // Named columns are looked up in the heading row only, so that each INSERT costs
    // the same however many rows the sheet already holds; anything else (no column
    // list, columns without a heading) needs the whole sheet described.
    bool quick = !s->sql.allColumns && s->dbc->options.firstRowHasNames;
    if (quick) {
        Workbook& book = c->book->workbook();
        const auto index = findSheet(book, s->sql.table);
        if (!index)
            return s->error("42S02", "no worksheet named '" + s->sql.table + "' in the workbook");
        sheet = &book.sheets()[*index];
        table = describeHeadings(book, *sheet);
        for (const std::string& name : s->sql.columns) {
            const auto col = findColumn(table, name);
            if (!col) {
                quick = false;
                picked.clear();
                break;
            }
            picked.push_back(*col);
        }
    }
    if (!quick) {
        if (const SQLRETURN rc = describe(s, sheet, table, picked); rc != SQL_SUCCESS)
            return rc;
    }
    if (s->sql.allColumns) {
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            picked.push_back(i);
        if (picked.size() != s->sql.values.size())
            return s->error("21S01", "the number of values differs from the number of columns of the worksheet");
    }
    std::vector<NewCell> cells;
    std::vector<bool> used(table.columns.size(), false);
    for (std::size_t i = 0; i < picked.size(); ++i) {
        if (used[picked[i]])
            return s->error("42000", "column '" + table.columns[picked[i]].name + "' is named twice");
        used[picked[i]] = true;
        NewCell cell;
        bool isNull = false;
        if (const SQLRETURN rc = parameterCell(s, s->sql.values[i], cell, isNull); rc != SQL_SUCCESS)
            return rc;
        if (isNull)
            continue;
        if (cell.isText && cell.text.size() > kMaxCellChars)
            return s->error("22001", "a text longer than 32767 characters does not fit a cell");
        cell.column = table.columns[picked[i]].sheetColumn;
        cells.push_back(std::move(cell));
    }
    const std::size_t index = static_cast<std::size_t>(sheet - c->book->workbook().sheets().data());
    if (!c->book->workbook().appendRow(index, cells))
        return s->error("HY000", "worksheet '" + s->sql.table + "' is full");
    s->affectedRows = 1;
    return SQL_SUCCESS;
}

SQLRETURN runSelect(Statement* s)
{
    const Sheet* sheet = nullptr;
    SheetTable table;
    std::vector<std::size_t> picked;
    if (const SQLRETURN rc = describe(s, sheet, table, picked); rc != SQL_SUCCESS)
        return rc;
    readTable(s->dbc->book->workbook(), *sheet, table, picked, s->values);
    const std::size_t width = s->columns.size();
    s->rowCount = picked.empty() ? 0 : s->values.size() / width;
    if (s->maxRows > 0 && s->rowCount > s->maxRows) {
        s->rowCount = s->maxRows;
        s->values.resize(s->rowCount * width);
    }
    s->hasResult = true;
    s->cursorOpen = true;
    s->position = -1;
    s->affectedRows = static_cast<SQLLEN>(s->rowCount);
    return SQL_SUCCESS;
}

SQLRETURN prepare(Statement* s, SQLCHAR* text, SQLINTEGER length)
{
    if (!text)
        return s->error("HY009", "no statement text");
    if (s->cursorOpen)
        return s->error("24000", "a cursor is open on the statement");
    const std::string sql = length == SQL_NTS ? std::string(reinterpret_cast<const char*>(text))
                                              : std::string(reinterpret_cast<const char*>(text),
                                                            length < 0 ? 0 : static_cast<std::size_t>(length));
    s->prepared = false;
    s->hasResult = false;
    s->columns.clear();
    s->values.clear();
    std::string err;
    if (!parseSql(sql, s->sql, err))
        return s->error("42000", "syntax error: " + err);
    s->prepared = true;
    return SQL_SUCCESS;
}

SQLRETURN execute(Statement* s)
{
    if (!s->prepared)
        return s->error("HY010", "no statement has been prepared");
    if (s->cursorOpen)
        return s->error("24000", "a cursor is open on the statement");
    if (!s->dbc->connected)
        return s->error("08003", "the connection is not open");
    s->hasResult = false;
    s->values.clear();
    s->rowCount = 0;
    s->affectedRows = -1;
    if (s->paramsProcessed)
        *s->paramsProcessed = 1;
    const SQLRETURN rc = s->sql.kind == SqlStatement::Kind::Select ? runSelect(s) : runInsert(s);
    if (s->paramStatus)
        *s->paramStatus = rc == SQL_ERROR ? SQL_PARAM_ERROR : SQL_PARAM_SUCCESS;
    return rc;
}

const char* typeName(SQLSMALLINT t)
{
    switch (t) {
    case SQL_DOUBLE: return "NUMBER";
    case SQL_LONGVARCHAR: return "LONGCHAR";
    default: return "VARCHAR";
    }
}

} // namespace
} // namespace qr::xls

using namespace qr::xls;

QR_ODBC_EXPORT SQLRETURN SQL_API SQLPrepare(SQLHSTMT StatementHandle, SQLCHAR* StatementText, SQLINTEGER TextLength)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] { return prepare(s, StatementText, TextLength); });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLExecute(SQLHSTMT StatementHandle)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] { return execute(s); });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLExecDirect(SQLHSTMT StatementHandle, SQLCHAR* StatementText, SQLINTEGER TextLength)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] {
        const SQLRETURN rc = prepare(s, StatementText, TextLength);
        return rc == SQL_SUCCESS ? execute(s) : rc;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLBindParameter(SQLHSTMT StatementHandle, SQLUSMALLINT ParameterNumber,
                                                  SQLSMALLINT InputOutputType, SQLSMALLINT ValueType,
                                                  SQLSMALLINT ParameterType, SQLULEN ColumnSize, SQLSMALLINT,
                                                  SQLPOINTER ParameterValuePtr, SQLLEN BufferLength,
                                                  SQLLEN* StrLen_or_IndPtr)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (ParameterNumber == 0)
            return s->error("07009", "invalid parameter number");
        if (InputOutputType != SQL_PARAM_INPUT)
            return s->error("HYC00", "only input parameters are supported");
        s->params[ParameterNumber] = ParamBinding{InputOutputType,   ValueType,    ParameterType,   ColumnSize,
                                                  ParameterValuePtr, BufferLength, StrLen_or_IndPtr};
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLNumParams(SQLHSTMT StatementHandle, SQLSMALLINT* ParameterCountPtr)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (!s->prepared)
            return s->error("HY010", "no statement has been prepared");
        if (ParameterCountPtr)
            *ParameterCountPtr = static_cast<SQLSMALLINT>(s->sql.parameterCount);
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLNumResultCols(SQLHSTMT StatementHandle, SQLSMALLINT* ColumnCount)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (!s->prepared)
            return s->error("HY010", "no statement has been prepared");
        if (s->sql.kind == SqlStatement::Kind::Select && s->columns.empty()) {
            const Sheet* sheet = nullptr;
            SheetTable table;
            std::vector<std::size_t> picked;
            if (const SQLRETURN rc = describe(s, sheet, table, picked); rc != SQL_SUCCESS)
                return rc;
        }
        if (ColumnCount)
            *ColumnCount = s->sql.kind == SqlStatement::Kind::Select ? static_cast<SQLSMALLINT>(s->columns.size()) : 0;
        return SQL_SUCCESS;
    });
}

namespace {

SQLRETURN columnFor(Statement* s, SQLUSMALLINT number, const ResultColumn*& out)
{
    if (!s->prepared)
        return s->error("HY010", "no statement has been prepared");
    if (s->sql.kind == SqlStatement::Kind::Select && s->columns.empty()) {
        const Sheet* sheet = nullptr;
        SheetTable table;
        std::vector<std::size_t> picked;
        if (const SQLRETURN rc = describe(s, sheet, table, picked); rc != SQL_SUCCESS)
            return rc;
    }
    if (s->sql.kind != SqlStatement::Kind::Select)
        return s->error("07005", "the statement returns no columns");
    if (number == 0 || number > s->columns.size())
        return s->error("07009", "invalid column number " + std::to_string(number));
    out = &s->columns[number - 1];
    return SQL_SUCCESS;
}

} // namespace

QR_ODBC_EXPORT SQLRETURN SQL_API SQLDescribeCol(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                                SQLCHAR* ColumnName, SQLSMALLINT BufferLength, SQLSMALLINT* NameLength,
                                                SQLSMALLINT* DataType, SQLULEN* ColumnSize, SQLSMALLINT* DecimalDigits,
                                                SQLSMALLINT* Nullable)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        const ResultColumn* col = nullptr;
        if (const SQLRETURN rc = columnFor(s, ColumnNumber, col); rc != SQL_SUCCESS)
            return rc;
        if (DataType)
            *DataType = col->sqlType;
        if (ColumnSize)
            *ColumnSize = columnSize(*col);
        if (DecimalDigits)
            *DecimalDigits = 0;
        if (Nullable)
            *Nullable = SQL_NULLABLE;
        if (!copyOut(col->name, ColumnName, BufferLength, NameLength) && ColumnName)
            return s->warning("01004", "the column name was cut to the buffer");
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLColAttribute(SQLHSTMT StatementHandle, SQLUSMALLINT ColumnNumber,
                                                 SQLUSMALLINT FieldIdentifier, SQLPOINTER CharacterAttribute,
                                                 SQLSMALLINT BufferLength, SQLSMALLINT* StringLength,
                                                 SQLLEN* NumericAttribute)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (FieldIdentifier == SQL_DESC_COUNT || FieldIdentifier == SQL_COLUMN_COUNT) {
            if (!s->prepared)
                return s->error("HY010", "no statement has been prepared");
            SQLSMALLINT count = 0;
            if (s->sql.kind == SqlStatement::Kind::Select) {
                const ResultColumn* col = nullptr;
                if (const SQLRETURN rc = columnFor(s, 1, col); rc != SQL_SUCCESS)
                    return rc;
                count = static_cast<SQLSMALLINT>(s->columns.size());
            }
            if (NumericAttribute)
                *NumericAttribute = count;
            return SQL_SUCCESS;
        }
        const ResultColumn* col = nullptr;
        if (const SQLRETURN rc = columnFor(s, ColumnNumber, col); rc != SQL_SUCCESS)
            return rc;
        auto number = [&](SQLLEN v) {
            if (NumericAttribute)
                *NumericAttribute = v;
            return SQL_SUCCESS;
        };
        auto text = [&](std::string_view v) -> SQLRETURN {
            if (!copyOut(v, static_cast<SQLCHAR*>(CharacterAttribute), BufferLength, StringLength) &&
                CharacterAttribute)
                return s->warning("01004", "the attribute was cut to the buffer");
            return SQL_SUCCESS;
        };
        const bool dbl = col->sqlType == SQL_DOUBLE;
        switch (FieldIdentifier) {
        case SQL_DESC_NAME:
        case SQL_DESC_LABEL:
        case SQL_DESC_BASE_COLUMN_NAME:
        case SQL_COLUMN_NAME: return text(col->name);
        case SQL_DESC_TABLE_NAME:
        case SQL_DESC_BASE_TABLE_NAME: return text(s->sql.table);
        case SQL_DESC_TYPE_NAME: return text(typeName(col->sqlType));
        case SQL_DESC_SCHEMA_NAME:
        case SQL_DESC_CATALOG_NAME:
        case SQL_DESC_LITERAL_PREFIX:
        case SQL_DESC_LITERAL_SUFFIX:
        case SQL_DESC_LOCAL_TYPE_NAME:
            return text(
                dbl || FieldIdentifier == SQL_DESC_SCHEMA_NAME || FieldIdentifier == SQL_DESC_CATALOG_NAME ? "" : "'");
        case SQL_DESC_TYPE:
        case SQL_DESC_CONCISE_TYPE: return number(col->sqlType);
        case SQL_DESC_LENGTH:
        case SQL_COLUMN_LENGTH:
        case SQL_DESC_OCTET_LENGTH:
            return number(dbl                                  ? 8
                          : FieldIdentifier == SQL_DESC_LENGTH ? static_cast<SQLLEN>(col->size)
                                                               : static_cast<SQLLEN>(col->size) * 2);
        case SQL_DESC_PRECISION:
        case SQL_COLUMN_PRECISION: return number(dbl ? 15 : static_cast<SQLLEN>(col->size));
        case SQL_DESC_SCALE:
        case SQL_COLUMN_SCALE: return number(0);
        case SQL_DESC_DISPLAY_SIZE: return number(dbl ? 24 : static_cast<SQLLEN>(col->size));
        case SQL_DESC_NUM_PREC_RADIX: return number(dbl ? 2 : 0);
        case SQL_DESC_NULLABLE:
        case SQL_COLUMN_NULLABLE: return number(SQL_NULLABLE);
        case SQL_DESC_UNSIGNED: return number(dbl ? SQL_FALSE : SQL_TRUE);
        case SQL_DESC_FIXED_PREC_SCALE:
        case SQL_DESC_AUTO_UNIQUE_VALUE:
        case SQL_DESC_UNNAMED: return number(FieldIdentifier == SQL_DESC_UNNAMED ? SQL_NAMED : SQL_FALSE);
        case SQL_DESC_CASE_SENSITIVE: return number(SQL_FALSE);
        case SQL_DESC_SEARCHABLE: return number(dbl ? SQL_PRED_BASIC : SQL_PRED_SEARCHABLE);
        case SQL_DESC_UPDATABLE: return number(SQL_ATTR_READONLY);
        default: return s->error("HY091", "invalid descriptor field " + std::to_string(FieldIdentifier));
        }
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLRowCount(SQLHSTMT StatementHandle, SQLLEN* RowCount)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] {
        if (RowCount)
            *RowCount = s->affectedRows;
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLMoreResults(SQLHSTMT StatementHandle)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&] {
        s->closeCursor(); // every statement has exactly one result
        return SQL_NO_DATA;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLCloseCursor(SQLHSTMT StatementHandle)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        if (!s->cursorOpen)
            return s->error("24000", "no cursor is open");
        s->closeCursor();
        return SQL_SUCCESS;
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLCancel(SQLHSTMT StatementHandle)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [] { return SQL_SUCCESS; }); // nothing ever runs in the background
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLFreeStmt(SQLHSTMT StatementHandle, SQLUSMALLINT Option)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    if (!s)
        return SQL_INVALID_HANDLE;
    if (Option == SQL_DROP) {
        freeStatement(s);
        return SQL_SUCCESS;
    }
    return guarded(s, [&]() -> SQLRETURN {
        switch (Option) {
        case SQL_CLOSE: s->closeCursor(); return SQL_SUCCESS;
        case SQL_UNBIND: s->columnsBound.clear(); return SQL_SUCCESS;
        case SQL_RESET_PARAMS: s->params.clear(); return SQL_SUCCESS;
        default: return s->error("HY092", "invalid option");
        }
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLSetStmtAttr(SQLHSTMT StatementHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                                SQLINTEGER)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        const auto v = reinterpret_cast<SQLULEN>(Value);
        switch (Attribute) {
        case SQL_ATTR_CURSOR_TYPE:
            if (s->cursorOpen)
                return s->error("24000", "a cursor is open on the statement");
            if (v == SQL_CURSOR_FORWARD_ONLY || v == SQL_CURSOR_STATIC) {
                s->cursorType = v;
                return SQL_SUCCESS;
            }
            s->cursorType = SQL_CURSOR_STATIC;
            return s->warning("01S02", "option value changed: the cursor is static");
        case SQL_ATTR_CONCURRENCY:
            if (v == SQL_CONCUR_READ_ONLY)
                return SQL_SUCCESS;
            return s->warning("01S02", "option value changed: the cursor is read-only");
        case SQL_ATTR_CURSOR_SCROLLABLE:
            s->cursorType = v == SQL_SCROLLABLE ? SQL_CURSOR_STATIC : SQL_CURSOR_FORWARD_ONLY;
            return SQL_SUCCESS;
        case SQL_ATTR_CURSOR_SENSITIVITY:
            return v == SQL_SENSITIVE ? s->error("HYC00", "sensitive cursors are not supported") : SQL_SUCCESS;
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE:
            if (v == 0)
                return s->error("HY024", "the rowset size must be at least 1");
            s->rowArraySize = v;
            return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_TYPE: s->rowBindType = v; return SQL_SUCCESS;
        case SQL_ATTR_ROWS_FETCHED_PTR: s->rowsFetched = static_cast<SQLULEN*>(Value); return SQL_SUCCESS;
        case SQL_ATTR_ROW_STATUS_PTR: s->rowStatus = static_cast<SQLUSMALLINT*>(Value); return SQL_SUCCESS;
        case SQL_ATTR_ROW_BIND_OFFSET_PTR: s->bindOffset = static_cast<SQLULEN*>(Value); return SQL_SUCCESS;
        case SQL_ATTR_MAX_ROWS: s->maxRows = v; return SQL_SUCCESS;
        case SQL_ATTR_MAX_LENGTH: s->maxLength = v; return SQL_SUCCESS;
        case SQL_ATTR_QUERY_TIMEOUT: s->queryTimeout = v; return SQL_SUCCESS;
        case SQL_ATTR_NOSCAN: s->noscan = v; return SQL_SUCCESS;
        case SQL_ATTR_RETRIEVE_DATA: s->retrieveData = v; return SQL_SUCCESS;
        case SQL_ATTR_KEYSET_SIZE:
        case SQL_ATTR_SIMULATE_CURSOR:
        case SQL_ATTR_METADATA_ID:
        case SQL_ATTR_ENABLE_AUTO_IPD: return SQL_SUCCESS;
        case SQL_ATTR_ASYNC_ENABLE:
            return v == SQL_ASYNC_ENABLE_OFF ? SQL_SUCCESS
                                             : s->error("HYC00", "asynchronous execution is not supported");
        case SQL_ATTR_USE_BOOKMARKS:
            return v == SQL_UB_OFF ? SQL_SUCCESS : s->error("HYC00", "bookmarks are not supported");
        case SQL_ATTR_PARAMSET_SIZE:
            return v == 1 ? SQL_SUCCESS : s->error("HYC00", "arrays of parameters are not supported");
        case SQL_ATTR_PARAM_BIND_TYPE:
            return v == SQL_PARAM_BIND_BY_COLUMN ? SQL_SUCCESS
                                                 : s->error("HYC00", "row-wise parameter binding is not supported");
        case SQL_ATTR_PARAM_BIND_OFFSET_PTR:
            return Value ? s->error("HYC00", "parameter bind offsets are not supported") : SQL_SUCCESS;
        case SQL_ATTR_PARAMS_PROCESSED_PTR: s->paramsProcessed = static_cast<SQLULEN*>(Value); return SQL_SUCCESS;
        case SQL_ATTR_PARAM_STATUS_PTR: s->paramStatus = static_cast<SQLUSMALLINT*>(Value); return SQL_SUCCESS;
        default: return s->error("HYC00", "statement attribute " + std::to_string(Attribute) + " is not supported");
        }
    });
}

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetStmtAttr(SQLHSTMT StatementHandle, SQLINTEGER Attribute, SQLPOINTER Value,
                                                SQLINTEGER, SQLINTEGER* StringLength)
{
    auto* s = asHandle<Statement>(StatementHandle, HandleKind::Stmt);
    return guarded(s, [&]() -> SQLRETURN {
        auto ulen = [&](SQLULEN v) {
            if (Value)
                *static_cast<SQLULEN*>(Value) = v;
            if (StringLength)
                *StringLength = sizeof v;
            return SQL_SUCCESS;
        };
        auto ptr = [&](void* p) {
            if (Value)
                *static_cast<SQLPOINTER*>(Value) = p;
            if (StringLength)
                *StringLength = sizeof p;
            return SQL_SUCCESS;
        };
        switch (Attribute) {
        case SQL_ATTR_CURSOR_TYPE: return ulen(s->cursorType);
        case SQL_ATTR_CONCURRENCY: return ulen(SQL_CONCUR_READ_ONLY);
        case SQL_ATTR_CURSOR_SCROLLABLE:
            return ulen(s->cursorType == SQL_CURSOR_STATIC ? SQL_SCROLLABLE : SQL_NONSCROLLABLE);
        case SQL_ATTR_CURSOR_SENSITIVITY: return ulen(SQL_INSENSITIVE);
        case SQL_ATTR_ROW_ARRAY_SIZE:
        case SQL_ROWSET_SIZE: return ulen(s->rowArraySize);
        case SQL_ATTR_ROW_BIND_TYPE: return ulen(s->rowBindType);
        case SQL_ATTR_ROWS_FETCHED_PTR: return ptr(s->rowsFetched);
        case SQL_ATTR_ROW_STATUS_PTR: return ptr(s->rowStatus);
        case SQL_ATTR_ROW_BIND_OFFSET_PTR: return ptr(s->bindOffset);
        case SQL_ATTR_MAX_ROWS: return ulen(s->maxRows);
        case SQL_ATTR_MAX_LENGTH: return ulen(s->maxLength);
        case SQL_ATTR_QUERY_TIMEOUT: return ulen(s->queryTimeout);
        case SQL_ATTR_NOSCAN: return ulen(s->noscan);
        case SQL_ATTR_RETRIEVE_DATA: return ulen(s->retrieveData);
        case SQL_ATTR_KEYSET_SIZE: return ulen(0);
        case SQL_ATTR_SIMULATE_CURSOR: return ulen(SQL_SC_UNIQUE);
        case SQL_ATTR_ASYNC_ENABLE: return ulen(SQL_ASYNC_ENABLE_OFF);
        case SQL_ATTR_USE_BOOKMARKS: return ulen(SQL_UB_OFF);
        case SQL_ATTR_METADATA_ID:
        case SQL_ATTR_ENABLE_AUTO_IPD: return ulen(SQL_FALSE);
        case SQL_ATTR_PARAMSET_SIZE: return ulen(1);
        case SQL_ATTR_PARAM_BIND_TYPE: return ulen(SQL_PARAM_BIND_BY_COLUMN);
        case SQL_ATTR_PARAM_BIND_OFFSET_PTR: return ptr(nullptr);
        case SQL_ATTR_PARAMS_PROCESSED_PTR: return ptr(s->paramsProcessed);
        case SQL_ATTR_PARAM_STATUS_PTR: return ptr(s->paramStatus);
        case SQL_ATTR_ROW_NUMBER:
            return ulen(s->cursorOpen && s->position >= 0 && static_cast<std::size_t>(s->position) < s->rowCount
                            ? static_cast<SQLULEN>(s->position + 1)
                            : 0);
        case SQL_ATTR_APP_ROW_DESC: return ptr(&s->appRow);
        case SQL_ATTR_APP_PARAM_DESC: return ptr(&s->appParam);
        case SQL_ATTR_IMP_ROW_DESC: return ptr(&s->impRow);
        case SQL_ATTR_IMP_PARAM_DESC: return ptr(&s->impParam);
        default: return s->error("HYC00", "statement attribute " + std::to_string(Attribute) + " is not supported");
        }
    });
}
