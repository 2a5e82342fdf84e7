#include "sheet/odbc_service.h"

#include "sheet/connection.h"
#include "sheet/sql_brackets.h"

#include <algorithm>
#include <limits>
#include <map>
#include <memory>

namespace qr::sheet {

namespace {

using runtime::Kind;
using runtime::Value;

// Every open connection by its handle. The component runs on one thread only.
std::map<ConnectionHandle, std::unique_ptr<Connection>>& connections()
{
    static std::map<ConnectionHandle, std::unique_ptr<Connection>> open;
    return open;
}

Connection* connectionOf(const ServiceCall& call)
{
    auto& open = connections();
    const auto it = open.find(call.connection);
    return it == open.end() ? nullptr : it->second.get();
}

const Value* argument(const ServiceCall& call, std::size_t index)
{
    return index < call.args.size() ? &call.args[index] : nullptr;
}

std::string textArgument(const ServiceCall& call, std::size_t index)
{
    const Value* v = argument(call, index);
    return v && v->kind() == Kind::Text ? v->asText() : std::string{};
}

bool logicalArgument(const ServiceCall& call, std::size_t index)
{
    const Value* v = argument(call, index);
    if (!v)
        return false;
    if (v->kind() == Kind::Logical)
        return v->asLogical();
    return v->isNumeric() && v->numericAsDouble() != 0.0;
}

std::int32_t integerArgument(const ServiceCall& call, std::size_t index)
{
    const Value* v = argument(call, index);
    if (!v || !v->isNumeric())
        return 0;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v->numericAsInt64(), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

ResultSet* resultSetOf(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    return c ? c->resultSet(integerArgument(call, 0)) : nullptr;
}

// The 0-based column of a 1-based column number argument, or -1.
int columnArgument(const ServiceCall& call, const ResultSet& set, std::size_t index)
{
    const std::int32_t number = integerArgument(call, index);
    return number >= 1 && static_cast<std::size_t>(number) <= set.columns().size() ? number - 1 : -1;
}

Value openConnection(const std::string& connect, OpenOptions options)
{
    static ConnectionHandle last = 0;
    auto connection = Connection::open(connect, options);
    if (!connection)
        return Value::longInt(0);
    const ConnectionHandle handle = ++last;
    connections().emplace(handle, std::move(connection));
    return Value::longInt(handle);
}

Value newOpenDatabase(const ServiceCall& call)
{
    return openConnection(textArgument(call, 0), OpenOptions{logicalArgument(call, 1), logicalArgument(call, 2)});
}

Value openDatabase(const ServiceCall& call)
{
    return openConnection(textArgument(call, 0), OpenOptions{logicalArgument(call, 1), false});
}

Value closeDatabase(const ServiceCall& call) { return Value::logical(connections().erase(call.connection) > 0); }

Value getConnectString(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    return Value::text(c ? c->connectString() : std::string{});
}

Value openTable(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    const std::string sql = textArgument(call, 0);
    if (!c || sql.empty())
        return Value::integer(0);
    return Value::integer(c->openResultSet(sql));
}

Value closeTable(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    if (!c)
        return Value::logical(false);
    const Value* handle = argument(call, 0);
    if (!handle || handle->isNone()) {
        c->closeAllResultSets();
        return Value::logical(true);
    }
    return Value::logical(c->closeResultSet(integerArgument(call, 0)));
}

Value isEOF(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    return Value::logical(!set || set->isEOF());
}

Value isBOF(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    return Value::logical(!set || set->isBOF());
}

template <void (ResultSet::*Move)()> Value move(const ServiceCall& call)
{
    ResultSet* set = resultSetOf(call);
    if (set)
        (set->*Move)();
    return Value::logical(set != nullptr);
}

Value requery(const ServiceCall& call)
{
    ResultSet* set = resultSetOf(call);
    return Value::logical(set && set->requery());
}

Value readColByName(const ServiceCall& call)
{
    ResultSet* set = resultSetOf(call);
    if (!set)
        return {};
    // The name ends at its first NUL, as every text the driver sees.
    const int column = set->findColumn(upToFirstNul(textArgument(call, 1)));
    return column < 0 ? Value{} : set->read(static_cast<std::size_t>(column));
}

Value readColByIndex(const ServiceCall& call)
{
    ResultSet* set = resultSetOf(call);
    if (!set)
        return {};
    const int column = columnArgument(call, *set, 1);
    return column < 0 ? Value{} : set->read(static_cast<std::size_t>(column));
}

Value executeSql(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    const std::string sql = textArgument(call, 0);
    if (!c || sql.empty())
        return Value::logical(false);
    return Value::logical(c->execute(sql, call.args.subspan(std::min<std::size_t>(1, call.args.size()))));
}

Value beginTrans(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    return Value::logical(c && c->beginTransaction());
}

Value commitTrans(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    return Value::logical(c && c->endTransaction(true));
}

Value rollbackTrans(const ServiceCall& call)
{
    Connection* c = connectionOf(call);
    return Value::logical(c && c->endTransaction(false));
}

Value getRecCount(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    return Value::integer(
        set ? static_cast<std::int32_t>(std::min<long>(set->rowCount(), std::numeric_limits<std::int32_t>::max())) : 0);
}

Value getColCount(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    return Value::integer(set ? static_cast<std::int32_t>(set->columns().size()) : 0);
}

Value getColName(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    const int column = set ? columnArgument(call, *set, 1) : -1;
    return Value::text(column < 0 ? std::string{} : set->columns()[static_cast<std::size_t>(column)].name);
}

Value getColText(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    const int column = set ? columnArgument(call, *set, 1) : -1;
    return Value::text(column < 0 ? std::string{} : set->boundText(static_cast<std::size_t>(column)));
}

Value getColSqlType(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    const int column = set ? columnArgument(call, *set, 1) : -1;
    return Value::integer(column < 0 ? 0 : set->columns()[static_cast<std::size_t>(column)].sqlType);
}

Value getColWidth(const ServiceCall& call)
{
    const ResultSet* set = resultSetOf(call);
    const int column = set ? columnArgument(call, *set, 1) : -1;
    if (column < 0)
        return Value::integer(0);
    const SQLULEN size = set->columns()[static_cast<std::size_t>(column)].size;
    return Value::integer(static_cast<std::int32_t>(std::min<SQLULEN>(size, std::numeric_limits<std::int32_t>::max())));
}

ServiceTable fillTable()
{
    ServiceTable table;
    table.add("NewOpenDatabase", newOpenDatabase);
    table.add("OpenDatabase", openDatabase);
    table.add("CloseDatabase", closeDatabase);
    table.add("GetConnectString", getConnectString);
    table.add("OpenTable", openTable);
    table.add("CloseTable", closeTable);
    table.add("IsEOF", isEOF);
    table.add("IsBOF", isBOF);
    table.add("MoveFirst", move<&ResultSet::moveFirst>);
    table.add("MoveNext", move<&ResultSet::moveNext>);
    table.add("MovePrev", move<&ResultSet::movePrev>);
    table.add("MoveLast", move<&ResultSet::moveLast>);
    table.add("Requery", requery);
    table.add("ReadColByName", readColByName);
    table.add("ReadColByIndex", readColByIndex);
    table.add("ExecuteSql", executeSql);
    table.add("BeginTrans", beginTrans);
    table.add("CommitTrans", commitTrans);
    table.add("RollbackTrans", rollbackTrans);
    table.add("BDGetRecCount", getRecCount);
    table.add("BDGetColCount", getColCount);
    table.add("BDGetColName", getColName);
    table.add("BDGetColText", getColText);
    table.add("BDGetColSQLType", getColSqlType);
    table.add("BDGetColWidth", getColWidth);
    return table;
}

} // namespace

const ServiceTable& odbcServiceTable()
{
    static const ServiceTable table = fillTable();
    return table;
}

} // namespace qr::sheet
