// SQLGetInfo: what the driver tells applications and the driver manager about itself.
#include "xlsodbc/odbc_entry.h"

#include <variant>

namespace qr::xls {
namespace {

using InfoValue = std::variant<const char*, SQLUSMALLINT, SQLUINTEGER>;

// The identifier quote character: brackets that applications write around names are
// turned into it before statements reach a driver.
constexpr const char* kQuoteChar = "`";

bool lookupInfo(SQLUSMALLINT type, const Connection* c, InfoValue& v, std::string& text)
{
    switch (type) {
    // Texts.
    case SQL_DRIVER_NAME: v = "libqrxlsodbc.so"; return true;
    case SQL_DRIVER_VER: v = "01.00.0000"; return true;
    case SQL_DRIVER_ODBC_VER: v = "03.00"; return true;
    case SQL_DBMS_NAME: v = "EXCEL"; return true;
    case SQL_DBMS_VER: v = "08.00.0000"; return true;
    case SQL_IDENTIFIER_QUOTE_CHAR: v = kQuoteChar; return true;
    case SQL_DATA_SOURCE_READ_ONLY: v = (c->connected && c->readOnly()) ? "Y" : "N"; return true;
    case SQL_DATA_SOURCE_NAME:
    case SQL_SERVER_NAME: v = ""; return true;
    case SQL_DATABASE_NAME:
        text = c->connected ? c->options.file : "";
        v = text.c_str();
        return true;
    case SQL_USER_NAME: v = "admin"; return true;
    case SQL_SEARCH_PATTERN_ESCAPE: v = "\\"; return true;
    case SQL_CATALOG_NAME_SEPARATOR: v = "."; return true;
    case SQL_CATALOG_TERM: v = "DATABASE"; return true;
    case SQL_SCHEMA_TERM: v = ""; return true;
    case SQL_TABLE_TERM: v = "TABLE"; return true;
    case SQL_PROCEDURE_TERM: v = ""; return true;
    case SQL_KEYWORDS: v = ""; return true;
    case SQL_SPECIAL_CHARACTERS: v = "$#"; return true;
    case SQL_ACCESSIBLE_TABLES:
    case SQL_ACCESSIBLE_PROCEDURES:
    case SQL_PROCEDURES:
    case SQL_ROW_UPDATES:
    case SQL_MULT_RESULT_SETS:
    case SQL_MULTIPLE_ACTIVE_TXN:
    case SQL_OUTER_JOINS:
    case SQL_EXPRESSIONS_IN_ORDERBY:
    case SQL_ORDER_BY_COLUMNS_IN_SELECT:
    case SQL_MAX_ROW_SIZE_INCLUDES_LONG:
    case SQL_NEED_LONG_DATA_LEN:
    case SQL_LIKE_ESCAPE_CLAUSE:
    case SQL_INTEGRITY:
    case SQL_DESCRIBE_PARAMETER:
    case SQL_COLUMN_ALIAS: v = "N"; return true;
    case SQL_CATALOG_NAME: v = "N"; return true;
    case SQL_ODBC_VER: v = "03.52"; return true;
    case SQL_COLLATION_SEQ: v = ""; return true;
    case SQL_XOPEN_CLI_YEAR: v = "1995"; return true;
    // Small integers.
    case SQL_MAX_DRIVER_CONNECTIONS: v = SQLUSMALLINT(0); return true;
    case SQL_MAX_CONCURRENT_ACTIVITIES: v = SQLUSMALLINT(0); return true;
    case SQL_CURSOR_COMMIT_BEHAVIOR:
    case SQL_CURSOR_ROLLBACK_BEHAVIOR: v = SQLUSMALLINT(SQL_CB_PRESERVE); return true;
    case SQL_TXN_CAPABLE: v = SQLUSMALLINT(SQL_TC_DML); return true;
    case SQL_IDENTIFIER_CASE: v = SQLUSMALLINT(SQL_IC_MIXED); return true;
    case SQL_QUOTED_IDENTIFIER_CASE: v = SQLUSMALLINT(SQL_IC_MIXED); return true;
    case SQL_CONCAT_NULL_BEHAVIOR: v = SQLUSMALLINT(SQL_CB_NON_NULL); return true;
    case SQL_NON_NULLABLE_COLUMNS: v = SQLUSMALLINT(SQL_NNC_NULL); return true;
    case SQL_NULL_COLLATION: v = SQLUSMALLINT(SQL_NC_LOW); return true;
    case SQL_CORRELATION_NAME: v = SQLUSMALLINT(SQL_CN_NONE); return true;
    case SQL_GROUP_BY: v = SQLUSMALLINT(SQL_GB_NOT_SUPPORTED); return true;
    case SQL_FILE_USAGE: v = SQLUSMALLINT(SQL_FILE_CATALOG); return true;
    case SQL_ODBC_API_CONFORMANCE: v = SQLUSMALLINT(SQL_OAC_LEVEL1); return true;
    case SQL_ODBC_SQL_CONFORMANCE: v = SQLUSMALLINT(SQL_OSC_MINIMUM); return true;
    case SQL_ODBC_SAG_CLI_CONFORMANCE: v = SQLUSMALLINT(SQL_OSCC_NOT_COMPLIANT); return true;
    case SQL_CATALOG_LOCATION: v = SQLUSMALLINT(SQL_CL_START); return true;
    case SQL_ACTIVE_ENVIRONMENTS: v = SQLUSMALLINT(0); return true;
    case SQL_MAX_COLUMN_NAME_LEN:
    case SQL_MAX_TABLE_NAME_LEN:
    case SQL_MAX_CURSOR_NAME_LEN: v = SQLUSMALLINT(64); return true;
    case SQL_MAX_COLUMNS_IN_TABLE:
    case SQL_MAX_COLUMNS_IN_SELECT: v = SQLUSMALLINT(255); return true;
    case SQL_MAX_SCHEMA_NAME_LEN:
    case SQL_MAX_CATALOG_NAME_LEN:
    case SQL_MAX_PROCEDURE_NAME_LEN:
    case SQL_MAX_COLUMNS_IN_GROUP_BY:
    case SQL_MAX_COLUMNS_IN_INDEX:
    case SQL_MAX_COLUMNS_IN_ORDER_BY:
    case SQL_MAX_TABLES_IN_SELECT:
    case SQL_MAX_USER_NAME_LEN:
    case SQL_MAX_IDENTIFIER_LEN:
        v = SQLUSMALLINT(type == SQL_MAX_IDENTIFIER_LEN ? 64 : type == SQL_MAX_TABLES_IN_SELECT ? 1 : 0);
        return true;
    case SQL_TXN_ISOLATION_OPTION: v = SQLUINTEGER(SQL_TXN_READ_COMMITTED); return true;
    case SQL_DEFAULT_TXN_ISOLATION: v = SQLUINTEGER(SQL_TXN_READ_COMMITTED); return true;
    // Bit masks and sizes.
    case SQL_GETDATA_EXTENSIONS: v = SQLUINTEGER(SQL_GD_ANY_COLUMN | SQL_GD_ANY_ORDER | SQL_GD_BOUND); return true;
    case SQL_SCROLL_OPTIONS: v = SQLUINTEGER(SQL_SO_FORWARD_ONLY | SQL_SO_STATIC); return true;
    case SQL_SCROLL_CONCURRENCY: v = SQLUINTEGER(SQL_SCCO_READ_ONLY); return true;
    case SQL_STATIC_SENSITIVITY: v = SQLUINTEGER(0); return true;
    case SQL_FETCH_DIRECTION:
        v = SQLUINTEGER(SQL_FD_FETCH_NEXT | SQL_FD_FETCH_FIRST | SQL_FD_FETCH_LAST | SQL_FD_FETCH_PRIOR |
                        SQL_FD_FETCH_ABSOLUTE | SQL_FD_FETCH_RELATIVE);
        return true;
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES1: v = SQLUINTEGER(SQL_CA1_NEXT); return true;
    case SQL_STATIC_CURSOR_ATTRIBUTES1:
        v = SQLUINTEGER(SQL_CA1_NEXT | SQL_CA1_ABSOLUTE | SQL_CA1_RELATIVE | SQL_CA1_LOCK_NO_CHANGE);
        return true;
    case SQL_STATIC_CURSOR_ATTRIBUTES2:
    case SQL_FORWARD_ONLY_CURSOR_ATTRIBUTES2: v = SQLUINTEGER(SQL_CA2_READ_ONLY_CONCURRENCY); return true;
    case SQL_KEYSET_CURSOR_ATTRIBUTES1:
    case SQL_KEYSET_CURSOR_ATTRIBUTES2:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES1:
    case SQL_DYNAMIC_CURSOR_ATTRIBUTES2: v = SQLUINTEGER(0); return true;
    case SQL_LOCK_TYPES: v = SQLUINTEGER(SQL_LCK_NO_CHANGE); return true;
    case SQL_POS_OPERATIONS:
    case SQL_POSITIONED_STATEMENTS:
    case SQL_BOOKMARK_PERSISTENCE:
    case SQL_STRING_FUNCTIONS:
    case SQL_NUMERIC_FUNCTIONS:
    case SQL_TIMEDATE_FUNCTIONS:
    case SQL_SYSTEM_FUNCTIONS:
    case SQL_CONVERT_FUNCTIONS:
    case SQL_SUBQUERIES:
    case SQL_UNION:
    case SQL_ALTER_TABLE:
    case SQL_OJ_CAPABILITIES:
    case SQL_BATCH_SUPPORT:
    case SQL_BATCH_ROW_COUNT:
    case SQL_PARAM_ARRAY_ROW_COUNTS:
    case SQL_PARAM_ARRAY_SELECTS:
    case SQL_DATETIME_LITERALS:
    case SQL_SCHEMA_USAGE:
    case SQL_CATALOG_USAGE:
    case SQL_INDEX_KEYWORDS:
    case SQL_INFO_SCHEMA_VIEWS:
    case SQL_AGGREGATE_FUNCTIONS:
    case SQL_DDL_INDEX:
    case SQL_DROP_TABLE:
    case SQL_CREATE_TABLE:
    case SQL_CREATE_VIEW:
    case SQL_DROP_VIEW:
    case SQL_TIMEDATE_ADD_INTERVALS:
    case SQL_TIMEDATE_DIFF_INTERVALS:
    case SQL_MAX_ASYNC_CONCURRENT_STATEMENTS:
    case SQL_ASYNC_MODE: v = SQLUINTEGER(0); return true;
    case SQL_SQL_CONFORMANCE: v = SQLUINTEGER(SQL_SC_SQL92_ENTRY); return true;
    case SQL_ODBC_INTERFACE_CONFORMANCE: v = SQLUINTEGER(SQL_OIC_CORE); return true;
    case SQL_INSERT_STATEMENT: v = SQLUINTEGER(SQL_IS_INSERT_LITERALS); return true;
    case SQL_SQL92_PREDICATES:
    case SQL_SQL92_RELATIONAL_JOIN_OPERATORS:
    case SQL_SQL92_VALUE_EXPRESSIONS:
    case SQL_SQL92_STRING_FUNCTIONS:
    case SQL_SQL92_NUMERIC_VALUE_FUNCTIONS:
    case SQL_SQL92_DATETIME_FUNCTIONS:
    case SQL_SQL92_FOREIGN_KEY_DELETE_RULE:
    case SQL_SQL92_FOREIGN_KEY_UPDATE_RULE:
    case SQL_SQL92_GRANT:
    case SQL_SQL92_REVOKE:
    case SQL_SQL92_ROW_VALUE_CONSTRUCTOR: v = SQLUINTEGER(0); return true;
    case SQL_MAX_ROW_SIZE: v = SQLUINTEGER(0); return true;
    case SQL_MAX_STATEMENT_LEN: v = SQLUINTEGER(65000); return true;
    case SQL_MAX_CHAR_LITERAL_LEN: v = SQLUINTEGER(65000); return true;
    case SQL_MAX_BINARY_LITERAL_LEN:
    case SQL_MAX_INDEX_SIZE: v = SQLUINTEGER(0); return true;
    default: return false;
    }
}

} // namespace
} // namespace qr::xls

using namespace qr::xls;

QR_ODBC_EXPORT SQLRETURN SQL_API SQLGetInfo(SQLHDBC ConnectionHandle, SQLUSMALLINT InfoType, SQLPOINTER InfoValue,
                                            SQLSMALLINT BufferLength, SQLSMALLINT* StringLength)
{
    auto* c = asHandle<Connection>(ConnectionHandle, HandleKind::Dbc);
    return guarded(c, [&]() -> SQLRETURN {
        qr::xls::InfoValue v;
        std::string text;
        if (!lookupInfo(InfoType, c, v, text))
            return c->error("HY096", "information type " + std::to_string(InfoType) + " is not supported");
        if (const auto* s = std::get_if<const char*>(&v)) {
            return copyOut(*s, static_cast<SQLCHAR*>(InfoValue), BufferLength, StringLength)
                       ? SQL_SUCCESS
                       : c->warning("01004", "the information was cut to the buffer");
        }
        if (const auto* u16 = std::get_if<SQLUSMALLINT>(&v)) {
            if (InfoValue)
                *static_cast<SQLUSMALLINT*>(InfoValue) = *u16;
            if (StringLength)
                *StringLength = sizeof(SQLUSMALLINT);
            return SQL_SUCCESS;
        }
        if (InfoValue)
            *static_cast<SQLUINTEGER*>(InfoValue) = std::get<SQLUINTEGER>(v);
        if (StringLength)
            *StringLength = sizeof(SQLUINTEGER);
        return SQL_SUCCESS;
    });
}
