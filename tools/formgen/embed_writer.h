// Writes the generated sources: the constant byte arrays the program carries, the
// handler-number header and the component-id header, all in the catalogue's namespace.
#pragma once

#include "tools/formgen/catalogue_loader.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace qr::formgen {

struct EmbeddedBlob {
    std::string function; // name of the accessor, e.g. "templateStoreBytes"
    std::string comment;
    std::vector<std::uint8_t> bytes;
};

// A .cpp defining `std::span<const std::uint8_t> <namespace>::<function>()` for each
// blob (declared in the catalogue's header).
bool writeEmbeddedSource(const std::filesystem::path& path, const GeneratedCode& code,
                         const std::vector<EmbeddedBlob>& blobs, std::string& error);

// handler_numbers.h: one enumerator per handler number, and its name.
bool writeHandlerHeader(const std::filesystem::path& path, const GeneratedCode& code,
                        const std::vector<HandlerEntry>& handlers, std::string& error);

// components.h: per coded window a struct of constants, kId and k<code> for each
// coded component, and a window-id constant k<window code>, in window-map order.
bool writeComponentHeader(const std::filesystem::path& path, const GeneratedCode& code,
                          const std::vector<CodedWindow>& windows, std::string& error);

// Writes `bytes` to `path` unless the file already holds exactly them (keeps the
// build from recompiling what did not change).
bool writeFileIfChanged(const std::filesystem::path& path, const std::string& bytes, std::string& error);

} // namespace qr::formgen
