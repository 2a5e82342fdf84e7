#include "tools/formgen/catalogue_loader.h"

#include "forms/template/ids.h"
#include "runtime/gbk.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <set>
#include <stdexcept>

namespace qr::formgen {
namespace {

using nlohmann::json;
using namespace qr::forms;

struct CatalogueError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

json readJson(const std::filesystem::path& path)
{
    std::ifstream in(path);
    if (!in)
        throw CatalogueError("cannot open " + path.string());
    try {
        return json::parse(in);
    } catch (const json::exception& e) {
        throw CatalogueError(path.string() + ": " + e.what());
    }
}

std::string gbk(const json& text) { return runtime::utf8ToGbk(text.get<std::string>()); }

std::uint32_t parseId(const json& v)
{
    const std::string s = v.get<std::string>();
    std::size_t used = 0;
    const unsigned long n = std::stoul(s, &used, 16);
    if (used != s.size() || n > 0xFFFFFFFFul)
        throw CatalogueError("bad id " + s);
    return std::uint32_t(n);
}

Colour parseColour(const json& v)
{
    if (!v.is_array() || v.size() != 3)
        throw CatalogueError("colours are [r, g, b]");
    return rgb(v[0].get<std::uint8_t>(), v[1].get<std::uint8_t>(), v[2].get<std::uint8_t>());
}

Font parseFont(const json& record)
{
    if (!record.contains("font"))
        return std::nullopt;
    const json& f = record["font"];
    LogFont font;
    font.faceName = gbk(f.value("face", json("")));
    font.height = f.at("height").get<std::int32_t>();
    font.weight = f.value("weight", 400);
    if (font.faceName.size() > 31)
        throw CatalogueError("font face name longer than 31 bytes");
    return font;
}

std::int32_t parseAlignment(const json& record)
{
    const std::string a = record.value("alignment", std::string("left"));
    if (a == "left")
        return 0;
    if (a == "centre")
        return 1;
    if (a == "right")
        return 2;
    throw CatalogueError("alignment must be left, centre or right");
}

const Bytes& picture(const PictureSet& pictures, const json& name)
{
    const auto it = pictures.find(name.get<std::string>());
    if (it == pictures.end())
        throw CatalogueError("unknown picture " + name.get<std::string>());
    return it->second;
}

// A code name becomes part of a C++ identifier ("k" + code): a capital letter, then
// letters and digits.
std::string parseCode(const json& v)
{
    const std::string code = v.get<std::string>();
    const auto alnum = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    };
    if (code.empty() || code[0] < 'A' || code[0] > 'Z' || !std::all_of(code.begin(), code.end(), alnum))
        throw CatalogueError("bad code name \"" + code + "\": a capital letter, then letters and digits");
    return code;
}

// The coded components of a window's records, each code name once.
std::vector<CodedComponent> codedComponents(const json& records)
{
    std::vector<CodedComponent> out;
    std::set<std::string> codes;
    for (const json& r : records) {
        if (!r.contains("code"))
            continue;
        CodedComponent c;
        c.code = parseCode(r["code"]);
        if (c.code == "Id" || !codes.insert(c.code).second)
            throw CatalogueError("repeated or reserved code name " + c.code);
        c.id = parseId(r.at("id"));
        c.labelUtf8 =
            r.at("kind") == "menu" ? "menu " + r.at("caption").get<std::string>() : r.at("name").get<std::string>();
        out.push_back(std::move(c));
    }
    return out;
}

class WindowBuilder {
public:
    WindowBuilder(const std::map<std::string, std::int32_t>& handlers, const PictureSet& pictures)
        : handlers_(handlers)
        , pictures_(pictures)
    {}

    WindowTemplate build(const json& doc)
    {
        checkKeys(doc, {"window", "code", "role", "buildTags", "caption", "size", "pictureMode", "minimizeButton",
                        "icon", "events", "records"});
        WindowTemplate w;
        w.windowId = parseId(doc.at("window"));
        if (!isWindowId(w.windowId))
            throw CatalogueError("not a window id");
        w.buildTagA = parseId(doc.at("buildTags").at(0));
        w.buildTagB = parseId(doc.at("buildTags").at(1));
        w.records.push_back(windowRecord(doc, w.windowId));
        for (const json& r : doc.at("records"))
            w.records.push_back(r.at("kind") == "menu" ? menuRecord(r) : ordinaryRecord(r));
        resolveContainers(w, doc.at("records"));
        checkIds(w);
        return w;
    }

private:
    std::int32_t handler(const json& name) const
    {
        const auto it = handlers_.find(name.get<std::string>());
        if (it == handlers_.end())
            throw CatalogueError("unknown handler " + name.get<std::string>());
        return it->second;
    }

    std::vector<EventBinding> events(const json& record) const
    {
        std::vector<EventBinding> out;
        if (!record.contains("events"))
            return out;
        for (const json& pair : record["events"])
            out.push_back({pair.at(0).get<std::int32_t>(), handler(pair.at(1))});
        return out;
    }

    ComponentRecord windowRecord(const json& doc, std::uint32_t windowId) const
    {
        ComponentRecord r;
        r.id = windowRecordId(windowId);
        r.unitTypeCode = std::uint32_t(UnitKind::Window);
        r.rect = {50, 50, doc.at("size").at(0).get<std::int32_t>(), doc.at("size").at(1).get<std::int32_t>()};
        r.mousePointer = Bytes(4, 0);
        r.flags = ComponentRecord::kVisible;
        r.events = events(doc);
        WindowSettings s;
        s.pictureMode = doc.value("pictureMode", 1);
        s.minimizeButton = doc.value("minimizeButton", true) ? 1 : 0;
        if (doc.contains("icon"))
            s.icon = picture(pictures_, doc["icon"]);
        s.caption = gbk(doc.at("caption"));
        r.unit = std::move(s);
        r.unitDataStored = true;
        return r;
    }

    ComponentRecord menuRecord(const json& j) const
    {
        checkRecordKeys(j);
        ComponentRecord r;
        r.id = parseId(j.at("id"));
        if (!isMenuItemId(r.id))
            throw CatalogueError("menu item with a non-menu id " + j.at("id").get<std::string>());
        r.unitTypeCode = std::uint32_t(UnitKind::MenuItem);
        r.flags = 0;
        MenuItem m;
        m.level = j.at("level").get<std::int32_t>();
        m.flags = (j.value("hidden", false) ? 1 : 0) | (j.value("disabled", false) ? 2 : 0);
        m.caption = gbk(j.at("caption"));
        m.clickHandler = j.contains("click") ? handler(j["click"]) : -1;
        r.unit = std::move(m);
        return r;
    }

    // A misspelt key would silently fall back to a default: refuse it instead.
    static void checkKeys(const json& j, std::initializer_list<const char*> allowed)
    {
        for (const auto& [key, value] : j.items()) {
            (void)value;
            if (std::find_if(allowed.begin(), allowed.end(), [&](const char* a) { return key == a; }) == allowed.end())
                throw CatalogueError("unknown key \"" + key + "\" in " + j.dump());
        }
    }

    static void checkRecordKeys(const json& j)
    {
        static const std::map<std::string, std::vector<const char*>> extra = {
            {"menu", {"level", "caption", "hidden", "disabled", "click"}},
            {"edit", {"text", "border", "maxLength", "alignment", "font"}},
            {"label", {"caption", "textColour", "backgroundColour", "labelSettings", "font"}},
            {"button", {"caption", "font"}},
            {"group", {"caption", "font"}},
            {"combo", {"items", "selected", "font"}},
            {"picture", {"picture"}},
            {"dialog", {"settings"}},
            {"database", {}},
            {"toolbar", {"buttons", "font"}},
            {"list", {"columns", "font"}},
        };
        const auto kind = extra.find(j.at("kind").get<std::string>());
        if (kind == extra.end())
            throw CatalogueError("unknown kind " + j.at("kind").get<std::string>());
        for (const auto& [key, value] : j.items()) {
            (void)value;
            static const std::vector<const char*> common = {"kind",   "id",     "code",     "name",  "rect",
                                                            "inside", "hidden", "disabled", "events"};
            const auto known = [&](const std::vector<const char*>& list) {
                return std::find_if(list.begin(), list.end(), [&](const char* a) { return key == a; }) != list.end();
            };
            if (!known(common) && !known(kind->second))
                throw CatalogueError("unknown key \"" + key + "\" in " + j.dump());
        }
    }

    ComponentRecord ordinaryRecord(const json& j) const
    {
        checkRecordKeys(j);
        ComponentRecord r;
        r.id = parseId(j.at("id"));
        if (!isOrdinaryComponentId(r.id))
            throw CatalogueError("component with a bad id " + j.at("id").get<std::string>());
        r.name = gbk(j.at("name"));
        const json& rect = j.at("rect");
        r.rect = {rect.at(0).get<std::int32_t>(), rect.at(1).get<std::int32_t>(), rect.at(2).get<std::int32_t>(),
                  rect.at(3).get<std::int32_t>()};
        r.mousePointer = Bytes(4, 0);
        r.events = events(j);
        r.unitDataStored = true;
        const std::string kind = j.at("kind").get<std::string>();
        bool focusable = true;
        if (kind == "edit") {
            r.unitTypeCode = std::uint32_t(UnitKind::EditBox);
            EditBoxSettings s;
            s.borderStyle = j.value("border", 1);
            s.maxLength = j.value("maxLength", 0);
            s.alignment = parseAlignment(j);
            s.font = parseFont(j);
            s.content = gbk(j.at("text"));
            r.unit = std::move(s);
        } else if (kind == "label") {
            r.unitTypeCode = std::uint32_t(UnitKind::Label);
            LabelSettings s;
            if (j.contains("textColour"))
                s.settings[LabelSettings::kTextColour] = std::int32_t(parseColour(j["textColour"]));
            if (j.contains("backgroundColour"))
                s.settings[LabelSettings::kBackgroundColour] = std::int32_t(parseColour(j["backgroundColour"]));
            if (j.contains("labelSettings"))
                for (const auto& [property, value] : j["labelSettings"].items())
                    setLabelSetting(s, std::stoi(property), value.get<std::int32_t>());
            s.font = parseFont(j);
            s.caption = gbk(j.at("caption"));
            r.unit = std::move(s);
            focusable = false;
        } else if (kind == "button") {
            r.unitTypeCode = std::uint32_t(UnitKind::Button);
            ButtonSettings s;
            s.font = parseFont(j);
            s.caption = gbk(j.at("caption"));
            r.unit = std::move(s);
        } else if (kind == "group") {
            r.unitTypeCode = std::uint32_t(UnitKind::GroupBox);
            GroupBoxSettings s;
            s.font = parseFont(j);
            s.caption = gbk(j.at("caption"));
            r.unit = std::move(s);
            focusable = false;
        } else if (kind == "combo") {
            r.unitTypeCode = std::uint32_t(UnitKind::ComboBox);
            ComboBoxSettings s;
            for (const json& item : j.at("items"))
                s.items.push_back(gbk(item));
            s.initialItem = j.at("selected").get<std::int32_t>();
            s.font = parseFont(j);
            r.unit = std::move(s);
        } else if (kind == "picture") {
            r.unitTypeCode = std::uint32_t(UnitKind::PictureBox);
            PictureBoxSettings s;
            s.picture = picture(pictures_, j.at("picture"));
            r.unit = std::move(s);
            focusable = false;
        } else if (kind == "dialog") {
            r.unitTypeCode = std::uint32_t(UnitKind::CommonDialog);
            focusable = false;
            if (j.contains("settings")) {
                const json& d = j["settings"];
                checkKeys(d, {"filter", "defaultExtension", "createPrompt", "fileMustExist", "overwritePrompt",
                              "pathMustExist", "noChangeFolder"});
                CommonDialogSettings s;
                s.filter = gbk(d.value("filter", json("")));
                s.defaultExtension = gbk(d.value("defaultExtension", json("")));
                s.options[CommonDialogSettings::kCreatePrompt] = d.value("createPrompt", 0);
                s.options[CommonDialogSettings::kFileMustExist] = d.value("fileMustExist", 0);
                s.options[CommonDialogSettings::kOverwritePrompt] = d.value("overwritePrompt", 0);
                s.options[CommonDialogSettings::kPathMustExist] = d.value("pathMustExist", 0);
                s.options[CommonDialogSettings::kNoChangeFolder] = d.value("noChangeFolder", 0);
                r.unit = std::move(s);
            } else {
                r.unit = CommonDialogSettings{}; // an empty block: every setting at its default
                r.unitDataStored = false;
            }
        } else if (kind == "database") {
            r.unitTypeCode = std::uint32_t(UnitKind::ExternalDatabase);
            r.unitDataStored = false;
            focusable = false;
        } else if (kind == "toolbar") {
            r.unitTypeCode = std::uint32_t(UnitKind::ToolBar);
            ToolBarSettings s;
            s.font = parseFont(j);
            for (const json& b : j.at("buttons")) {
                ToolBarButton button;
                button.caption = gbk(b.at("caption"));
                button.toolTip = gbk(b.value("toolTip", json("")));
                s.buttons.push_back(std::move(button));
            }
            r.unit = std::move(s);
            focusable = false;
        } else if (kind == "list") {
            r.unitTypeCode = std::uint32_t(UnitKind::ReportList);
            ReportListSettings s;
            s.font = parseFont(j);
            for (const json& c : j.at("columns")) {
                ListColumn column;
                column.title = gbk(c.at("title"));
                column.width = c.at("width").get<std::int32_t>();
                column.alignment = parseAlignment(c);
                s.columns.push_back(std::move(column));
            }
            r.unit = std::move(s);
        } else {
            throw CatalogueError("unknown kind " + kind);
        }
        r.flags = (j.value("hidden", false) ? 0 : ComponentRecord::kVisible) |
                  (j.value("disabled", false) ? ComponentRecord::kDisabled : 0) |
                  (focusable ? ComponentRecord::kTabStop : 0);
        return r;
    }

    static void setLabelSetting(LabelSettings& s, int property, std::int32_t value)
    {
        for (std::size_t i = 0; i < LabelSettings::kSettingProperty.size(); ++i)
            if (LabelSettings::kSettingProperty[i] == property) {
                s.settings[i] = value;
                return;
            }
        throw CatalogueError("labels store no setting for property " + std::to_string(property));
    }

    // Containers are named in the description; the store keeps ids both ways.
    static void resolveContainers(WindowTemplate& w, const json& records)
    {
        for (std::size_t i = 0; i < records.size(); ++i) {
            if (!records[i].contains("inside"))
                continue;
            const std::string name = gbk(records[i]["inside"]);
            ComponentRecord* container = nullptr;
            for (auto& r : w.records)
                if (!r.name.empty() && r.name == name)
                    container = &r;
            if (!container)
                throw CatalogueError("missing container " + records[i]["inside"].get<std::string>());
            ComponentRecord& member = w.records[i + 1];
            member.containerId = container->id;
            container->childIds.push_back(member.id);
        }
    }

    static void checkIds(const WindowTemplate& w)
    {
        std::set<std::uint32_t> ids;
        std::set<std::string> names;
        for (const auto& r : w.records) {
            if (!isValidId(r.id) || !ids.insert(r.id).second)
                throw CatalogueError("invalid or repeated component id " + std::to_string(r.id));
            if (!r.name.empty() && !names.insert(r.name).second)
                throw CatalogueError("repeated component name " + runtime::gbkToUtf8(r.name));
        }
    }

    const std::map<std::string, std::int32_t>& handlers_;
    const PictureSet& pictures_;
};

} // namespace

std::string GeneratedCode::folder() const
{
    const std::size_t slash = header.rfind('/');
    return slash == std::string::npos ? std::string() : header.substr(0, slash + 1);
}

bool loadCatalogue(const std::filesystem::path& index, const PictureSet& pictures, Catalogue& out, std::string& error)
{
    try {
        const auto dir = index.parent_path();
        const json top = readJson(index);
        out.sources.push_back(index);

        const auto handlersPath = dir / top.at("handlers").get<std::string>();
        out.sources.push_back(handlersPath);
        std::map<std::string, std::int32_t> byName;
        std::set<std::int32_t> numbers;
        const json handlerTable = readJson(handlersPath); // must outlive the loop below
        for (const json& h : handlerTable.at("handlers")) {
            HandlerEntry e{h.at("number").get<std::int32_t>(), h.at("name").get<std::string>(), h.value("window", ""),
                           h.value("does", "")};
            if (e.number <= 0 || !numbers.insert(e.number).second || !byName.emplace(e.name, e.number).second)
                throw CatalogueError("handler numbers must be positive and unique, names unique: " + e.name);
            out.handlers.push_back(std::move(e));
        }

        const json& generated = top.at("generated");
        out.generated.cppNamespace = generated.at("namespace").get<std::string>();
        out.generated.header = generated.at("header").get<std::string>();

        WindowBuilder builder(byName, pictures);
        std::set<std::string> windowCodes;
        for (const json& file : top.at("windows")) {
            const auto path = dir / file.get<std::string>();
            out.sources.push_back(path);
            try {
                const json doc = readJson(path);
                out.store.windows.push_back(builder.build(doc));
                std::vector<CodedComponent> components = codedComponents(doc.at("records"));
                if (doc.contains("code")) {
                    CodedWindow w{parseCode(doc["code"]), out.store.windows.back().windowId,
                                  doc.value("role", std::string()), std::move(components)};
                    if (!windowCodes.insert(w.code).second)
                        throw CatalogueError("repeated window code name " + w.code);
                    out.codedWindows.push_back(std::move(w));
                } else if (!components.empty()) {
                    throw CatalogueError("coded components in a window without a code name");
                }
            } catch (const CatalogueError& e) {
                throw CatalogueError(path.string() + ": " + e.what());
            } catch (const json::exception& e) {
                throw CatalogueError(path.string() + ": " + e.what());
            }
        }
        return true;
    } catch (const std::exception& e) {
        error = e.what();
        return false;
    }
}

} // namespace qr::formgen
