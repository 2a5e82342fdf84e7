// The external-database component (window class _QX_ODBCDB): a small,
// handle-based view of an ODBC data source for the application. Every method
// looks its entry up in the service table and calls it with the component's
// connection handle; a name missing from the table makes the method do nothing
// and answer false, 0 or the empty cell value (IsEOF: true). The component
// shows no message: every failure comes back as false, 0 or an empty value.
#pragma once

#include "runtime/value.h"
#include "sheet/service_table.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string_view>

namespace qr::sheet {

class ExternalDatabase {
public:
    // Over the ODBC service table.
    ExternalDatabase();
    // Over another table, which must outlive the component.
    explicit ExternalDatabase(const ServiceTable& services);
    ~ExternalDatabase(); // closes the connection it holds
    ExternalDatabase(const ExternalDatabase&) = delete;
    ExternalDatabase& operator=(const ExternalDatabase&) = delete;

    // Connects with an ODBC connect string (a leading "ODBC;" is dropped). An
    // empty string asks for the driver manager's connect dialog and an
    // incomplete one lets the manager complete it. The component passes no
    // window to own a dialog, so none appears: an empty string then fails.
    // noConnectDialog rules every dialog out. On success the connection held
    // before is closed and replaced; on failure it is kept.
    bool NewOpenDatabase(std::string_view connectGbk, bool readOnly = false, bool noConnectDialog = false);
    // Closes every result set, disconnects; nothing to do when not connected.
    void CloseDatabase();

    // Opens a read-only snapshot over a query; its handle, or 0 (empty text, no
    // connection, all 30 result-set slots in use, or the driver rejects it).
    std::int32_t OpenTable(std::string_view sqlGbk);
    // Closes one result set, freeing its slot.
    bool CloseTable(std::int32_t handle);
    // Closes every result set of the connection.
    bool CloseTable();

    // True for an unknown handle, for a result set without rows, and after
    // moving past the last row.
    bool IsEOF(std::int32_t handle);
    bool IsBOF(std::int32_t handle);
    void MoveFirst(std::int32_t handle);
    void MoveNext(std::int32_t handle); // at EOF: stays there
    void MovePrev(std::int32_t handle); // at BOF: stays there
    void MoveLast(std::int32_t handle);
    // Runs a result set's query again for a new snapshot, on its first row.
    bool Requery(std::int32_t handle);

    // Typed value of a cell of the current row; the empty text when the column
    // is not found (names compare byte for byte, case-sensitively), the handle
    // is unknown, or there is no current row.
    runtime::Value ReadColByName(std::int32_t handle, std::string_view columnNameGbk);
    // By 1-based column number; any numeric value is truncated to an integer.
    runtime::Value ReadColByIndex(std::int32_t handle, const runtime::Value& columnNumber);
    runtime::Value ReadColByIndex(std::int32_t handle, std::int32_t columnNumber);
    // The application's one read command: a text reads by name, a number by index.
    runtime::Value ReadCol(std::int32_t handle, const runtime::Value& nameOrNumber);

    // Runs one statement; parameters bind to the markers in order, texts as
    // character data up to their first NUL, byte sets as binary data; values of
    // other kinds are skipped. True when the statement ran.
    bool ExecuteSql(std::string_view sqlGbk, std::span<const runtime::Value> parameters = {});
    bool ExecuteSql(std::string_view sqlGbk, std::initializer_list<runtime::Value> parameters);

    // "ODBC;" and the connect string the driver manager completed; empty when not connected.
    runtime::Text GetConnectString();
    bool BeginTrans();
    bool CommitTrans();
    bool RollbackTrans();

    // Row count of a result set (every row is fetched when it opens), its number
    // of columns, and a column's name, SQL type, size and bound text in the
    // current row, by 1-based column number.
    std::int32_t BDGetRecCount(std::int32_t handle);
    std::int32_t BDGetColCount(std::int32_t handle);
    runtime::Text BDGetColName(std::int32_t handle, std::int32_t columnNumber);
    std::int32_t BDGetColSQLType(std::int32_t handle, std::int32_t columnNumber);
    std::int32_t BDGetColWidth(std::int32_t handle, std::int32_t columnNumber);
    runtime::Text BDGetColText(std::int32_t handle, std::int32_t columnNumber);

    bool isConnected() const { return connection_ != 0; }

private:
    // The entry's answer, or None when the table has no entry of that name.
    runtime::Value call(std::string_view entry, std::span<const runtime::Value> args);
    bool callLogical(std::string_view entry, std::span<const runtime::Value> args, bool missing = false);
    std::int32_t callInteger(std::string_view entry, std::span<const runtime::Value> args);
    runtime::Text callText(std::string_view entry, std::span<const runtime::Value> args);
    runtime::Value cellResult(runtime::Value cell);

    const ServiceTable* services_;
    ConnectionHandle connection_ = 0;
};

} // namespace qr::sheet
