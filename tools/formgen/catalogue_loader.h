// Turns the catalogue's readable window descriptions (JSON, UTF-8) into window
// templates (GBK texts), checking ids, names, containers and handler names.
#pragma once

#include "forms/template/template_types.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace qr::formgen {

struct HandlerEntry {
    std::int32_t number = 0;
    std::string name;       // C++ identifier
    std::string windowUtf8; // which window binds it
    std::string doesUtf8;   // what it does, for the generated header
};

// A component or menu item the program addresses, by the code name its record gives it.
struct CodedComponent {
    std::string code; // C++ identifier part, e.g. "ClassEdit"
    std::uint32_t id = 0;
    std::string labelUtf8; // the component's name, or "menu " and the item's caption
};

// A window with a code name, and its coded components in stored order.
struct CodedWindow {
    std::string code; // e.g. "StartWindow"
    std::uint32_t id = 0;
    std::string roleUtf8;
    std::vector<CodedComponent> components;
};

// Where the generated sources belong: the C++ namespace they declare their names in,
// and the catalogue's own header (which declares the embedded data's accessors).
struct GeneratedCode {
    std::string cppNamespace; // e.g. "qr::catalogue"
    std::string header;       // include path, e.g. "app/catalogue/catalogue.h"
    // The folder of `header` with a trailing "/": where the generated headers are
    // included from, and what their comments name as their source.
    std::string folder() const;
};

struct Catalogue {
    forms::TemplateStore store;
    std::vector<HandlerEntry> handlers;
    std::vector<CodedWindow> codedWindows; // windows with a code name, in window-map order
    GeneratedCode generated;
    std::vector<std::filesystem::path> sources; // every file read
};

// Pictures by the names the descriptions use ("program-icon", "sample-photo", ...).
using PictureSet = std::map<std::string, forms::Bytes>;

// Reads catalogue.json and the files it names. Returns false with `error` filled on any
// inconsistency (unknown handler, duplicate id, name or code name, missing container,
// bad id). Code names take no part in the template store.
bool loadCatalogue(const std::filesystem::path& index, const PictureSet& pictures, Catalogue& out, std::string& error);

} // namespace qr::formgen
