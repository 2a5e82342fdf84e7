#include "runtime/gbk.h"
#include "tools/store_cli/cli_commands.h"
#include "tools/store_cli/cli_support.h"
#include "tools/store_cli/json_text.h"
#include "tools/store_cli/sha256.h"

#include <cstdio>

namespace qr::tools {
namespace {

using runtime::Kind;
using runtime::Value;

void appendValue(std::string& out, const Value& v)
{
    switch (v.kind()) {
    case Kind::None: out += "null"; break;
    case Kind::Byte: appendJsonNumber(out, std::int64_t(v.asByte())); break;
    case Kind::Short: appendJsonNumber(out, std::int64_t(v.asShort())); break;
    case Kind::Integer: appendJsonNumber(out, std::int64_t(v.asInteger())); break;
    case Kind::Long: appendJsonNumber(out, v.asLong()); break;
    case Kind::Float: appendJsonNumber(out, v.asFloat()); break;
    case Kind::Double: appendJsonNumber(out, v.asDouble()); break;
    case Kind::Logical: out += v.asLogical() ? "true" : "false"; break;
    case Kind::DateTime: appendJsonNumber(out, v.asDateTime().days); break;
    case Kind::SubprogramPointer: appendJsonNumber(out, std::int64_t(v.asSubprogramPointer().raw)); break;
    case Kind::Text: appendJsonString(out, runtime::gbkToUtf8(v.asText())); break;
    case Kind::ByteSet:
        out +=
            "{\"size\":" + std::to_string(v.asByteSet().size()) + ",\"sha256\":\"" + sha256Hex(v.asByteSet()) + "\"}";
        break;
    }
}

} // namespace

int runDump(const Arguments& args)
{
    if (args.size() != 1)
        return refuse("usage: quillroll-store dump STORE");
    std::string name;
    if (!argumentToGbk(args[0], name))
        return refuse("the store name is not valid UTF-8");
    StoreSession session;
    std::string why;
    if (!session.open(name, true, why))
        return openFailed(why);
    if (!session.holdStill(why)) {
        printError(args[0] + ": " + why);
        return kExitFailed;
    }
    const store::StoreInfo& info = session.info();

    // Built whole before it is written, so a failing read leaves no partial document.
    std::string out = "{\"fields\":[";
    for (std::size_t i = 0; i < info.fields.size(); ++i) {
        const store::FieldInfo& f = info.fields[i];
        out += i ? ",{\"name\":" : "{\"name\":";
        appendJsonString(out, runtime::gbkToUtf8(f.name));
        out += ",\"type\":\"" + fieldTypeName(f.type) + "\",\"offset\":" + std::to_string(f.offset) +
               ",\"size\":" + std::to_string(f.width) + "}";
    }
    out += "],\"next_serial\":" + std::to_string(info.nextSerial) + ",\"records\":[";
    for (std::int32_t r = 1; r <= info.recordCount; ++r) {
        std::int32_t status = 0;
        if (!store::goToRecord(r) || !store::readStatusWord(status)) {
            printError("cannot read record " + std::to_string(r) + ": " + resultText(store::lastError()));
            return kExitFailed;
        }
        const std::int64_t serial = status < 0 ? -std::int64_t(status) : status;
        out += r > 1 ? "," : "";
        out += "{\"serial\":" + std::to_string(serial) + ",\"deleted\":" + (status < 0 ? "true" : "false") +
               ",\"values\":[";
        for (std::size_t i = 0; i < info.fields.size(); ++i) {
            const Value v = store::readField(static_cast<std::int32_t>(i + 1));
            if (store::lastError() != store::rc::kOk) {
                printError("cannot read record " + std::to_string(r) + " field " + std::to_string(i + 1) + " (" +
                           runtime::gbkToUtf8(info.fields[i].name) + "): " + resultText(store::lastError()));
                return kExitFailed;
            }
            if (i > 0)
                out += ',';
            appendValue(out, v);
        }
        out += "]}";
    }
    out += "]}\n";
    std::fwrite(out.data(), 1, out.size(), stdout);
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailed;
}

} // namespace qr::tools
