// The template store the program carries is its window catalogue: the JSON
// descriptions, built into a store, read back by the template reader, give the same
// catalogue again, window by window, component by component, property by property.
// Besides, the handful of facts the application is written against.

#include "app/catalogue/catalogue.h"
#include "forms/template/event_numbers.h"
#include "forms/template/ids.h"
#include "forms/template/template_reader.h"
#include "forms/template/template_writer.h"
#include "runtime/gbk.h"
#include "tools/formgen/catalogue_loader.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace qr::forms {
namespace {

namespace fs = std::filesystem;
using catalogue::Handler;
using nlohmann::json;

constexpr std::int32_t h(Handler handler) { return std::int32_t(handler); }

Bytes bytesOf(std::span<const std::uint8_t> span) { return Bytes(span.begin(), span.end()); }

Bytes fileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The store as the program reads it at start-up.
const TemplateStore& carried()
{
    static const TemplateStore parsed = loadTemplateStore(catalogue::templateStoreBytes());
    return parsed;
}

// The catalogue as its descriptions say, with the pictures drawn for this build.
const formgen::Catalogue& described()
{
    static const formgen::Catalogue loaded = [] {
        const fs::path pictures = QR_CATALOGUE_PICTURES_DIR;
        const formgen::PictureSet set = {
            {"program-icon", bytesOf(catalogue::programIconBytes())},
            {"sample-photo", fileBytes(pictures / "sample-photo.jpg")},
            {"sample-photo-small", fileBytes(pictures / "sample-photo-small.jpg")},
        };
        formgen::Catalogue out;
        std::string error;
        EXPECT_TRUE(formgen::loadCatalogue(fs::path(QR_CATALOGUE_DIR) / "catalogue.json", set, out, error)) << error;
        return out;
    }();
    return loaded;
}

const WindowTemplate& window(std::uint32_t id)
{
    const WindowTemplate* w = carried().find(id);
    if (w == nullptr)
        ADD_FAILURE() << "window " << std::hex << id << " missing";
    static const WindowTemplate none;
    return w ? *w : none;
}

std::string hex(std::uint32_t id)
{
    std::ostringstream out;
    out << "0x" << std::hex << std::uppercase << id;
    return out.str();
}

// ---- generic comparison ------------------------------------------------------------

const char* unitName(const UnitData& unit)
{
    static const char* const names[] = {"none",  "window", "menu item", "edit box",      "picture box", "group box",
                                        "label", "button", "combo box", "common dialog", "tool bar",    "report list"};
    return names[unit.index()];
}

void expectSameRecord(const ComponentRecord& want, const ComponentRecord& got)
{
    SCOPED_TRACE("record " + hex(want.id) + " " + runtime::gbkToUtf8(want.name));
    EXPECT_EQ(got.id, want.id);
    EXPECT_EQ(got.unitTypeCode, want.unitTypeCode);
    EXPECT_EQ(got.name, want.name);
    EXPECT_EQ(got.remark, want.remark);
    EXPECT_EQ(got.rect, want.rect);
    EXPECT_EQ(got.containerId, want.containerId);
    EXPECT_EQ(got.childIds, want.childIds);
    EXPECT_EQ(got.mousePointer, want.mousePointer);
    EXPECT_EQ(got.tag, want.tag);
    EXPECT_EQ(got.flags, want.flags);
    EXPECT_EQ(got.focusOrder, want.focusOrder);
    EXPECT_EQ(got.events, want.events);
    EXPECT_EQ(got.unitDataStored, want.unitDataStored);
    EXPECT_EQ(got.unitStatus, want.unitStatus);
    EXPECT_EQ(got.rawUnitData, want.rawUnitData);
    ASSERT_EQ(got.unit.index(), want.unit.index()) << unitName(got.unit) << " instead of " << unitName(want.unit);
    EXPECT_TRUE(got.unit == want.unit) << "the " << unitName(want.unit) << " settings differ";
}

void expectSameStore(const TemplateStore& want, const TemplateStore& got)
{
    ASSERT_EQ(got.windows.size(), want.windows.size());
    for (std::size_t w = 0; w < want.windows.size(); ++w) {
        const WindowTemplate& a = want.windows[w];
        const WindowTemplate& b = got.windows[w];
        SCOPED_TRACE("window " + hex(a.windowId));
        EXPECT_EQ(b.windowId, a.windowId);
        EXPECT_EQ(b.buildTagA, a.buildTagA);
        EXPECT_EQ(b.buildTagB, a.buildTagB);
        EXPECT_EQ(b.reservedText1, a.reservedText1);
        EXPECT_EQ(b.reservedText2, a.reservedText2);
        ASSERT_EQ(b.records.size(), a.records.size());
        for (std::size_t r = 0; r < a.records.size(); ++r)
            expectSameRecord(a.records[r], b.records[r]);
    }
}

TEST(CatalogueRoundTrip, TheCarriedStoreReadsBackAsTheDescriptionsSay)
{
    ASSERT_FALSE(described().store.windows.empty());
    expectSameStore(described().store, carried());
}

TEST(CatalogueRoundTrip, WritingWhatWasReadGivesTheCarriedBytes)
{
    std::string error;
    const std::optional<Bytes> rebuilt = buildTemplateStore(carried(), &error);
    ASSERT_TRUE(rebuilt.has_value()) << error;
    TemplateStore reread;
    StoreReadFailure failure;
    ASSERT_TRUE(parseTemplateStore(*rebuilt, reread, &failure)) << failure.what;
    expectSameStore(carried(), reread);
    EXPECT_TRUE(*rebuilt == bytesOf(catalogue::templateStoreBytes()));
}

// ---- the descriptions themselves -----------------------------------------------------

json readJson(const fs::path& path)
{
    std::ifstream in(path);
    return json::parse(in);
}

std::int32_t handlerNumber(const std::string& name)
{
    for (std::size_t n = 1; n < catalogue::kHandlerNames.size(); ++n)
        if (catalogue::kHandlerNames[n] == name)
            return std::int32_t(n);
    ADD_FAILURE() << "no handler named " << name;
    return -1;
}

std::vector<EventBinding> bindingsOf(const json& description)
{
    std::vector<EventBinding> out;
    if (description.contains("events"))
        for (const json& pair : description["events"])
            out.push_back({pair.at(0).get<std::int32_t>(), handlerNumber(pair.at(1).get<std::string>())});
    return out;
}

Bytes pictureNamed(const std::string& name)
{
    const fs::path pictures = QR_CATALOGUE_PICTURES_DIR;
    if (name == "program-icon")
        return bytesOf(catalogue::programIconBytes());
    return fileBytes(pictures / (name + ".jpg"));
}

std::uint32_t idOf(const json& text) { return std::uint32_t(std::stoul(text.get<std::string>(), nullptr, 16)); }

std::string gbkOf(const json& text) { return runtime::utf8ToGbk(text.get<std::string>()); }

Colour colourOf(const json& rgbValues)
{
    return rgb(rgbValues.at(0).get<std::uint8_t>(), rgbValues.at(1).get<std::uint8_t>(),
               rgbValues.at(2).get<std::uint8_t>());
}

std::int32_t alignmentOf(const json& name)
{
    const std::string a = name.get<std::string>();
    return a == "left" ? 0 : a == "centre" ? 1 : a == "right" ? 2 : -1;
}

// The settings members several kinds share, whichever kind the record is.
const Font* fontOf(const ComponentRecord& r)
{
    return std::visit(
        [](const auto& s) -> const Font* {
            if constexpr (requires { s.font; })
                return &s.font;
            else
                return nullptr;
        },
        r.unit);
}

std::optional<std::string> captionOf(const ComponentRecord& r)
{
    return std::visit(
        [](const auto& s) -> std::optional<std::string> {
            if constexpr (requires { s.caption; })
                return s.caption;
            else
                return std::nullopt;
        },
        r.unit);
}

UnitKind kindNamed(const std::string& kind)
{
    static const std::map<std::string, UnitKind> kinds = {
        {"menu", UnitKind::MenuItem},      {"edit", UnitKind::EditBox},        {"label", UnitKind::Label},
        {"button", UnitKind::Button},      {"group", UnitKind::GroupBox},      {"combo", UnitKind::ComboBox},
        {"picture", UnitKind::PictureBox}, {"dialog", UnitKind::CommonDialog}, {"database", UnitKind::ExternalDatabase},
        {"toolbar", UnitKind::ToolBar},    {"list", UnitKind::ReportList}};
    const auto it = kinds.find(kind);
    EXPECT_NE(it, kinds.end()) << kind;
    return it != kinds.end() ? it->second : UnitKind::Window;
}

template <class Settings> const Settings& settingsOf(const ComponentRecord& r)
{
    static const Settings none;
    const Settings* s = r.as<Settings>();
    EXPECT_NE(s, nullptr) << "record " << hex(r.id) << " has no such settings";
    return s ? *s : none;
}

void expectFontAsDescribed(const json& font, const ComponentRecord& r)
{
    const Font* stored = fontOf(r);
    ASSERT_NE(stored, nullptr);
    ASSERT_TRUE(stored->has_value());
    EXPECT_EQ((*stored)->faceName, gbkOf(font.value("face", json(""))));
    EXPECT_EQ((*stored)->height, font.at("height").get<std::int32_t>());
    EXPECT_EQ((*stored)->weight, font.value("weight", 400));
}

// One key of a record's description against the record read back from the store.
void expectKeyAsDescribed(const std::string& key, const json& value, const json& description, const ComponentRecord& r,
                          const WindowTemplate& w)
{
    SCOPED_TRACE("key " + key);
    if (key == "code") {
        // the name the application's generated identifiers give the record; not stored,
        // and checked against the records by the identifier test
        EXPECT_TRUE(value.is_string());
    } else if (key == "kind") {
        EXPECT_EQ(r.kind(), kindNamed(value.get<std::string>()));
    } else if (key == "id") {
        EXPECT_EQ(r.id, idOf(value));
    } else if (key == "name") {
        EXPECT_EQ(r.name, gbkOf(value));
    } else if (key == "rect") {
        EXPECT_EQ(r.rect, (Rect{value.at(0).get<std::int32_t>(), value.at(1).get<std::int32_t>(),
                                value.at(2).get<std::int32_t>(), value.at(3).get<std::int32_t>()}));
    } else if (key == "inside") {
        const ComponentRecord* container = w.findByName(gbkOf(value));
        ASSERT_NE(container, nullptr);
        EXPECT_EQ(r.containerId, container->id);
        EXPECT_NE(std::find(container->childIds.begin(), container->childIds.end(), r.id), container->childIds.end());
    } else if (key == "hidden" || key == "disabled") {
        const bool set = value.get<bool>();
        if (const MenuItem* item = r.as<MenuItem>())
            EXPECT_EQ(key == "hidden" ? item->hidden() : item->disabled(), set);
        else
            EXPECT_EQ(key == "hidden" ? !r.visible() : r.disabled(), set);
    } else if (key == "events") {
        EXPECT_EQ(r.events, bindingsOf(description));
    } else if (key == "font") {
        expectFontAsDescribed(value, r);
    } else if (key == "caption") {
        EXPECT_EQ(captionOf(r), gbkOf(value));
    } else if (key == "text") {
        EXPECT_EQ(settingsOf<EditBoxSettings>(r).content, gbkOf(value));
    } else if (key == "border") {
        EXPECT_EQ(settingsOf<EditBoxSettings>(r).borderStyle, value.get<std::int32_t>());
    } else if (key == "maxLength") {
        EXPECT_EQ(settingsOf<EditBoxSettings>(r).maxLength, value.get<std::int32_t>());
    } else if (key == "alignment") {
        EXPECT_EQ(settingsOf<EditBoxSettings>(r).alignment, alignmentOf(value));
    } else if (key == "textColour") {
        EXPECT_EQ(settingsOf<LabelSettings>(r).textColour(), colourOf(value));
    } else if (key == "backgroundColour") {
        EXPECT_EQ(settingsOf<LabelSettings>(r).backgroundColour(), colourOf(value));
    } else if (key == "labelSettings") {
        for (const auto& [property, setting] : value.items())
            EXPECT_EQ(settingsOf<LabelSettings>(r).settingForProperty(std::stoi(property)), setting.get<std::int32_t>())
                << "property " << property;
    } else if (key == "items") {
        std::vector<std::string> items;
        for (const json& item : value)
            items.push_back(gbkOf(item));
        EXPECT_EQ(settingsOf<ComboBoxSettings>(r).items, items);
    } else if (key == "selected") {
        EXPECT_EQ(settingsOf<ComboBoxSettings>(r).initialItem, value.get<std::int32_t>());
    } else if (key == "picture") {
        EXPECT_TRUE(settingsOf<PictureBoxSettings>(r).picture == pictureNamed(value.get<std::string>()));
    } else if (key == "settings") {
        const CommonDialogSettings& d = settingsOf<CommonDialogSettings>(r);
        EXPECT_TRUE(r.unitDataStored);
        EXPECT_EQ(d.filter, gbkOf(value.value("filter", json(""))));
        EXPECT_EQ(d.defaultExtension, gbkOf(value.value("defaultExtension", json(""))));
        EXPECT_EQ(d.options[CommonDialogSettings::kCreatePrompt], value.value("createPrompt", 0));
        EXPECT_EQ(d.options[CommonDialogSettings::kFileMustExist], value.value("fileMustExist", 0));
        EXPECT_EQ(d.options[CommonDialogSettings::kOverwritePrompt], value.value("overwritePrompt", 0));
        EXPECT_EQ(d.options[CommonDialogSettings::kPathMustExist], value.value("pathMustExist", 0));
        EXPECT_EQ(d.options[CommonDialogSettings::kNoChangeFolder], value.value("noChangeFolder", 0));
    } else if (key == "buttons") {
        const auto& buttons = settingsOf<ToolBarSettings>(r).buttons;
        ASSERT_EQ(buttons.size(), value.size());
        for (std::size_t i = 0; i < buttons.size(); ++i) {
            EXPECT_EQ(buttons[i].caption, gbkOf(value[i].at("caption"))) << i;
            EXPECT_EQ(buttons[i].toolTip, gbkOf(value[i].value("toolTip", json("")))) << i;
        }
    } else if (key == "columns") {
        const auto& columns = settingsOf<ReportListSettings>(r).columns;
        ASSERT_EQ(columns.size(), value.size());
        for (std::size_t i = 0; i < columns.size(); ++i) {
            EXPECT_EQ(columns[i].title, gbkOf(value[i].at("title"))) << i;
            EXPECT_EQ(columns[i].width, value[i].at("width").get<std::int32_t>()) << i;
            EXPECT_EQ(columns[i].alignment, alignmentOf(value[i].value("alignment", json("left")))) << i;
        }
    } else if (key == "level") {
        EXPECT_EQ(settingsOf<MenuItem>(r).level, value.get<std::int32_t>());
    } else if (key == "click") {
        EXPECT_EQ(settingsOf<MenuItem>(r).clickHandler, handlerNumber(value.get<std::string>()));
    } else {
        ADD_FAILURE() << "the descriptions use a key this test does not check";
    }
}

void expectWindowAsDescribed(const json& doc, const WindowTemplate& w)
{
    const ComponentRecord& own = w.windowRecord();
    const WindowSettings& s = settingsOf<WindowSettings>(own);
    for (const auto& [key, value] : doc.items()) {
        SCOPED_TRACE("key " + key);
        if (key == "role" || key == "code") {
            continue; // what the window is for, and its name in the generated identifiers
        } else if (key == "window") {
            EXPECT_EQ(w.windowId, idOf(value));
        } else if (key == "buildTags") {
            EXPECT_EQ(w.buildTagA, idOf(value.at(0)));
            EXPECT_EQ(w.buildTagB, idOf(value.at(1)));
        } else if (key == "caption") {
            EXPECT_EQ(s.caption, gbkOf(value));
        } else if (key == "size") {
            EXPECT_EQ(own.rect.width, value.at(0).get<std::int32_t>());
            EXPECT_EQ(own.rect.height, value.at(1).get<std::int32_t>());
        } else if (key == "pictureMode") {
            EXPECT_EQ(s.pictureMode, value.get<std::int32_t>());
        } else if (key == "minimizeButton") {
            EXPECT_EQ(s.minimizeButton, value.get<bool>() ? 1 : 0);
        } else if (key == "icon") {
            EXPECT_TRUE(s.icon == pictureNamed(value.get<std::string>()));
        } else if (key == "events") {
            EXPECT_EQ(own.events, bindingsOf(doc));
        } else if (key == "records") {
            ASSERT_EQ(w.records.size(), value.size() + 1);
            for (std::size_t k = 0; k < value.size(); ++k) {
                SCOPED_TRACE(value[k].dump());
                for (const auto& [recordKey, recordValue] : value[k].items())
                    expectKeyAsDescribed(recordKey, recordValue, value[k], w.records[k + 1], w);
            }
        } else {
            ADD_FAILURE() << "the descriptions use a key this test does not check";
        }
    }
}

// Every key of every description, checked against the store read back without the
// generator's help: a fault of the descriptions' reader, which the round trip above
// would repeat on both sides, shows here.
TEST(CatalogueDescriptions, EveryDescribedPropertyIsInTheCarriedStore)
{
    const json index = readJson(fs::path(QR_CATALOGUE_DIR) / "catalogue.json");
    const json& files = index.at("windows");
    ASSERT_EQ(files.size(), carried().windows.size());
    for (std::size_t w = 0; w < files.size(); ++w) {
        SCOPED_TRACE(files[w].get<std::string>());
        expectWindowAsDescribed(readJson(fs::path(QR_CATALOGUE_DIR) / files[w].get<std::string>()),
                                carried().windows[w]);
    }
}

// ---- facts the application depends on ------------------------------------------------

TEST(CatalogueFacts, TheWindowsTheApplicationLoadsAreThereInMapOrder)
{
    const std::vector<std::uint32_t> ids = {catalogue::kStartWindow,  catalogue::kAddForm,    catalogue::kMainWindow,
                                            catalogue::kAboutWindow,  catalogue::kModifyForm, catalogue::kDetailView,
                                            catalogue::kDeletedWindow};
    ASSERT_EQ(carried().windows.size(), ids.size());
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const WindowTemplate& w = carried().windows[i];
        EXPECT_EQ(w.windowId, ids[i]);
        ASSERT_FALSE(w.records.empty());
        EXPECT_EQ(w.windowRecord().id, windowRecordId(w.windowId));
        EXPECT_EQ(w.windowRecord().kind(), UnitKind::Window);
        ASSERT_NE(w.settings(), nullptr);
        for (const auto& r : w.records) {
            EXPECT_TRUE(isValidId(r.id)) << hex(r.id);
            EXPECT_EQ(isMenuItemId(r.id), r.isMenuItem()) << hex(r.id);
            EXPECT_EQ(w.find(r.id), &r) << hex(r.id) << " is not unique in its window";
        }
    }
    EXPECT_EQ(catalogue::kStartWindow, kStartWindowId);
}

TEST(CatalogueFacts, TheStartWindowOffersWhatStartUpUses)
{
    const WindowTemplate& w = window(catalogue::kStartWindow);
    EXPECT_EQ(w.windowRecord().handlerFor(event::kCreated), h(Handler::startWindowLoaded));
    EXPECT_EQ(w.windowRecord().handlerFor(event::kTrayAction), h(Handler::startWindowTray));
    // The tray and window icon is the program's icon.
    EXPECT_EQ(w.settings()->icon, bytesOf(catalogue::programIconBytes()));

    const ComponentRecord* className = w.findByName("编辑框_班级");
    ASSERT_NE(className, nullptr);
    EXPECT_EQ(className->kind(), UnitKind::EditBox);
    EXPECT_EQ(className->handlerFor(event::kKeyDown), h(Handler::startClassKeyDown));
    const ComponentRecord* confirm = w.findByName("按钮_确定");
    ASSERT_NE(confirm, nullptr);
    EXPECT_EQ(confirm->kind(), UnitKind::Button);
    EXPECT_EQ(confirm->handlerFor(0), h(Handler::startConfirm));

    // The tray's pop-up: the items below the hidden menu-bar item.
    ASSERT_FALSE(w.menuRun().empty());
    const ComponentRecord* bar = w.menuRun().front();
    EXPECT_TRUE(bar->as<MenuItem>()->hidden());
    const auto items = w.popupItems(bar->id);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0]->as<MenuItem>()->clickHandler, h(Handler::startMenuOpen));
    EXPECT_EQ(items[1]->as<MenuItem>()->clickHandler, h(Handler::startMenuClose));
}

TEST(CatalogueFacts, TheRosterListsPopUpTheMainWindowsHiddenMenu)
{
    const WindowTemplate& main = window(catalogue::kMainWindow);
    ASSERT_FALSE(main.menuRun().empty());
    const ComponentRecord* bar = main.menuRun().front();
    EXPECT_TRUE(bar->as<MenuItem>()->hidden());
    std::vector<std::int32_t> clicks;
    for (const ComponentRecord* item : main.popupItems(bar->id))
        clicks.push_back(item->as<MenuItem>()->clickHandler);
    EXPECT_EQ(clicks,
              (std::vector<std::int32_t>{h(Handler::mainQuery), h(Handler::mainModify), h(Handler::mainDelete)}));
    EXPECT_TRUE(window(catalogue::kAddForm).menuRun().empty());
}

TEST(CatalogueFacts, EveryHandlerIsBoundAndEveryBindingNamed)
{
    std::vector<int> uses(catalogue::kHighestHandlerNumber + 1, 0);
    for (const auto& w : carried().windows)
        for (const auto& r : w.records) {
            std::vector<std::int32_t> refs;
            for (const auto& b : r.events)
                refs.push_back(b.handler);
            if (const auto* m = r.as<MenuItem>())
                refs.push_back(m->clickHandler);
            for (std::int32_t ref : refs) {
                if (ref == -1)
                    continue;
                ASSERT_GE(ref, 1);
                ASSERT_LE(ref, catalogue::kHighestHandlerNumber);
                EXPECT_FALSE(catalogue::kHandlerNames[std::size_t(ref)].empty());
                ++uses[std::size_t(ref)];
            }
        }
    for (int n = 1; n <= catalogue::kHighestHandlerNumber; ++n)
        EXPECT_GT(uses[std::size_t(n)], 0) << catalogue::kHandlerNames[std::size_t(n)];
    // The main window's buttons and its pop-up menu reach the same code.
    EXPECT_EQ(uses[std::size_t(h(Handler::mainQuery))], 2);
    EXPECT_EQ(uses[std::size_t(h(Handler::mainModify))], 2);
    EXPECT_EQ(uses[std::size_t(h(Handler::mainDelete))], 2);
}

// Width and height from a JPEG's start-of-frame segment.
std::optional<std::pair<int, int>> jpegSize(std::span<const std::uint8_t> b)
{
    if (b.size() < 4 || b[0] != 0xFF || b[1] != 0xD8)
        return std::nullopt;
    std::size_t i = 2;
    while (i + 9 < b.size()) {
        if (b[i] != 0xFF)
            return std::nullopt;
        const std::uint8_t marker = b[i + 1];
        const std::size_t length = std::size_t(b[i + 2]) << 8 | b[i + 3];
        if (marker >= 0xC0 && marker <= 0xC2)
            return std::pair{int(b[i + 7]) << 8 | b[i + 8], int(b[i + 5]) << 8 | b[i + 6]};
        i += 2 + length;
    }
    return std::nullopt;
}

// The markers of a JPEG's segments up to the start of its scan.
std::vector<std::uint8_t> jpegMarkers(std::span<const std::uint8_t> b)
{
    std::vector<std::uint8_t> markers;
    std::size_t i = 2;
    while (i + 3 < b.size() && b[i] == 0xFF && b[i + 1] != 0xDA) {
        markers.push_back(b[i + 1]);
        i += 2 + (std::size_t(b[i + 2]) << 8 | b[i + 3]);
    }
    return markers;
}

TEST(CatalogueFacts, CarriedPicturesHaveTheSizesTheWindowsAreLaidOutFor)
{
    EXPECT_EQ(jpegSize(catalogue::startupPictureBytes()), (std::pair{1024, 1024}));
    // The placeholder photo: 198 x 249 in exactly 27,027 bytes, filled up by a
    // comment after the JFIF header.
    const auto placeholder = catalogue::placeholderPhotoBytes();
    EXPECT_EQ(jpegSize(placeholder), (std::pair{198, 249}));
    EXPECT_EQ(placeholder.size(), 27027u);
    const std::vector<std::uint8_t> markers = jpegMarkers(placeholder);
    ASSERT_GE(markers.size(), 3u);
    EXPECT_EQ(markers[0], 0xE0);
    EXPECT_EQ(markers[1], 0xFE);
    EXPECT_EQ(placeholder[placeholder.size() - 2], 0xFF); // still ends the image
    EXPECT_EQ(placeholder[placeholder.size() - 1], 0xD9);
    // One 128 x 128 image of 32 bits per pixel: directory, bitmap header, colour and mask rows.
    const auto icon = catalogue::programIconBytes();
    ASSERT_EQ(icon.size(), 67646u);
    EXPECT_EQ(icon[2], 1); // icon, not cursor
    EXPECT_EQ(icon[4], 1); // one image
    EXPECT_EQ(icon[6], 128);
    EXPECT_EQ(icon[7], 128);
    EXPECT_EQ(icon[12], 32);
    // The photo boxes of the three student forms show a sample of their own size.
    for (const auto& [id, size] :
         {std::pair{catalogue::kAddForm, std::pair{663, 659}}, std::pair{catalogue::kModifyForm, std::pair{156, 189}},
          std::pair{catalogue::kDetailView, std::pair{156, 189}}}) {
        const ComponentRecord* photo = window(id).findByName("图片框_照片");
        ASSERT_NE(photo, nullptr) << hex(id);
        EXPECT_EQ(jpegSize(photo->as<PictureBoxSettings>()->picture), size) << hex(id);
    }
}

} // namespace
} // namespace qr::forms
