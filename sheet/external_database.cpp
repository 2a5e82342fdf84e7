#include "sheet/external_database.h"

#include "sheet/odbc_service.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace qr::sheet {

using runtime::Kind;
using runtime::Value;

namespace {

Value handleValue(std::int32_t handle) { return Value::integer(handle); }

} // namespace

ExternalDatabase::ExternalDatabase()
    : services_(&odbcServiceTable())
{}

ExternalDatabase::ExternalDatabase(const ServiceTable& services)
    : services_(&services)
{}

ExternalDatabase::~ExternalDatabase() { CloseDatabase(); }

Value ExternalDatabase::call(std::string_view entry, std::span<const Value> args)
{
    const ServiceEntryPoint point = services_->find(entry);
    if (!point)
        return {};
    return point(ServiceCall{connection_, args});
}

bool ExternalDatabase::callLogical(std::string_view entry, std::span<const Value> args, bool missing)
{
    const Value v = call(entry, args);
    if (v.kind() == Kind::Logical)
        return v.asLogical();
    if (v.isNumeric())
        return v.numericAsDouble() != 0.0;
    return missing;
}

std::int32_t ExternalDatabase::callInteger(std::string_view entry, std::span<const Value> args)
{
    const Value v = call(entry, args);
    if (!v.isNumeric())
        return 0;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        v.numericAsInt64(), std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

runtime::Text ExternalDatabase::callText(std::string_view entry, std::span<const Value> args)
{
    const Value v = call(entry, args);
    return v.kind() == Kind::Text ? v.asText() : runtime::Text{};
}

Value ExternalDatabase::cellResult(Value cell)
{
    // The empty cell value reaches the caller as the empty text.
    return cell.isNone() ? Value::text("") : cell;
}

bool ExternalDatabase::NewOpenDatabase(std::string_view connectGbk, bool readOnly, bool noConnectDialog)
{
    Value opened;
    if (services_->find("NewOpenDatabase")) {
        const Value args[] = {Value::text(connectGbk), Value::logical(readOnly), Value::logical(noConnectDialog)};
        opened = call("NewOpenDatabase", args);
    } else {
        const Value args[] = {Value::text(connectGbk), Value::logical(readOnly)};
        opened = call("OpenDatabase", args);
    }
    const ConnectionHandle handle = opened.isNumeric() ? opened.numericAsInt64() : 0;
    if (handle == 0)
        return false;
    // The new connection is up: only now is the old one given up.
    CloseDatabase();
    connection_ = handle;
    return true;
}

void ExternalDatabase::CloseDatabase()
{
    if (connection_ == 0 || !services_->find("CloseDatabase"))
        return;
    call("CloseDatabase", {});
    connection_ = 0;
}

std::int32_t ExternalDatabase::OpenTable(std::string_view sqlGbk)
{
    if (sqlGbk.empty())
        return 0;
    const Value args[] = {Value::text(sqlGbk)};
    return callInteger("OpenTable", args);
}

bool ExternalDatabase::CloseTable(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callLogical("CloseTable", args);
}

bool ExternalDatabase::CloseTable() { return callLogical("CloseTable", {}); }

bool ExternalDatabase::IsEOF(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callLogical("IsEOF", args, true);
}

bool ExternalDatabase::IsBOF(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callLogical("IsBOF", args, true);
}

void ExternalDatabase::MoveFirst(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    call("MoveFirst", args);
}

void ExternalDatabase::MoveNext(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    call("MoveNext", args);
}

void ExternalDatabase::MovePrev(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    call("MovePrev", args);
}

void ExternalDatabase::MoveLast(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    call("MoveLast", args);
}

bool ExternalDatabase::Requery(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callLogical("Requery", args);
}

Value ExternalDatabase::ReadColByName(std::int32_t handle, std::string_view columnNameGbk)
{
    const Value args[] = {handleValue(handle), Value::text(columnNameGbk)};
    return cellResult(call("ReadColByName", args));
}

Value ExternalDatabase::ReadColByIndex(std::int32_t handle, const Value& columnNumber)
{
    if (!columnNumber.isNumeric())
        return cellResult({});
    const std::int64_t number = columnNumber.numericAsInt64();
    if (number < 1 || number > std::numeric_limits<std::int32_t>::max())
        return cellResult({});
    return ReadColByIndex(handle, static_cast<std::int32_t>(number));
}

Value ExternalDatabase::ReadColByIndex(std::int32_t handle, std::int32_t columnNumber)
{
    const Value args[] = {handleValue(handle), Value::integer(columnNumber)};
    return cellResult(call("ReadColByIndex", args));
}

Value ExternalDatabase::ReadCol(std::int32_t handle, const Value& nameOrNumber)
{
    if (nameOrNumber.kind() == Kind::Text)
        return ReadColByName(handle, nameOrNumber.asText());
    return ReadColByIndex(handle, nameOrNumber);
}

bool ExternalDatabase::ExecuteSql(std::string_view sqlGbk, std::span<const Value> parameters)
{
    if (sqlGbk.empty() || connection_ == 0)
        return false;
    std::vector<Value> args;
    args.reserve(parameters.size() + 1);
    args.push_back(Value::text(sqlGbk));
    args.insert(args.end(), parameters.begin(), parameters.end());
    return callLogical("ExecuteSql", args);
}

bool ExternalDatabase::ExecuteSql(std::string_view sqlGbk, std::initializer_list<Value> parameters)
{
    return ExecuteSql(sqlGbk, std::span<const Value>(parameters.begin(), parameters.size()));
}

runtime::Text ExternalDatabase::GetConnectString() { return callText("GetConnectString", {}); }

bool ExternalDatabase::BeginTrans() { return callLogical("BeginTrans", {}); }

bool ExternalDatabase::CommitTrans() { return callLogical("CommitTrans", {}); }

bool ExternalDatabase::RollbackTrans() { return callLogical("RollbackTrans", {}); }

std::int32_t ExternalDatabase::BDGetRecCount(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callInteger("BDGetRecCount", args);
}

std::int32_t ExternalDatabase::BDGetColCount(std::int32_t handle)
{
    const Value args[] = {handleValue(handle)};
    return callInteger("BDGetColCount", args);
}

runtime::Text ExternalDatabase::BDGetColName(std::int32_t handle, std::int32_t columnNumber)
{
    const Value args[] = {handleValue(handle), Value::integer(columnNumber)};
    return callText("BDGetColName", args);
}

std::int32_t ExternalDatabase::BDGetColSQLType(std::int32_t handle, std::int32_t columnNumber)
{
    const Value args[] = {handleValue(handle), Value::integer(columnNumber)};
    return callInteger("BDGetColSQLType", args);
}

std::int32_t ExternalDatabase::BDGetColWidth(std::int32_t handle, std::int32_t columnNumber)
{
    const Value args[] = {handleValue(handle), Value::integer(columnNumber)};
    return callInteger("BDGetColWidth", args);
}

runtime::Text ExternalDatabase::BDGetColText(std::int32_t handle, std::int32_t columnNumber)
{
    const Value args[] = {handleValue(handle), Value::integer(columnNumber)};
    return callText("BDGetColText", args);
}

} // namespace qr::sheet
