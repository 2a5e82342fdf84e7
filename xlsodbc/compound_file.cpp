#include "xlsodbc/compound_file.h"

#include "xlsodbc/sector_chains.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>

#include <mutex>

namespace qr::xls {
namespace {

constexpr int kMaxDepth = 32;

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { gsf_init(); });
}

// Owns one GObject reference.
template <typename T> struct GRef {
    T* p = nullptr;
    explicit GRef(T* ptr)
        : p(ptr)
    {}
    GRef(const GRef&) = delete;
    GRef& operator=(const GRef&) = delete;
    ~GRef()
    {
        if (p)
            g_object_unref(p);
    }
};

std::string takeError(GError* err, const char* fallback)
{
    std::string text = err && err->message ? err->message : fallback;
    if (err)
        g_error_free(err);
    return text;
}

bool readStorage(GsfInfile* dir, CompoundNode& node, std::size_t fileSize, int depth, std::string& error)
{
    if (depth > kMaxDepth) {
        error = "storages nested too deeply";
        return false;
    }
    const int count = gsf_infile_num_children(dir);
    for (int i = 0; i < count; ++i) {
        GRef<GsfInput> child(gsf_infile_child_by_index(dir, i));
        const char* name = gsf_infile_name_by_index(dir, i);
        if (!child.p || !name) {
            error = "unreadable directory entry";
            return false;
        }
        CompoundNode entry;
        entry.name = name;
        const bool isDir = GSF_IS_INFILE(child.p) && gsf_infile_num_children(GSF_INFILE(child.p)) >= 0;
        if (isDir) {
            entry.isStorage = true;
            if (!readStorage(GSF_INFILE(child.p), entry, fileSize, depth + 1, error))
                return false;
        } else {
            const gsf_off_t size = gsf_input_size(child.p);
            // A stream cannot hold more than the file it lives in.
            if (size < 0 || static_cast<std::uint64_t>(size) > fileSize) {
                error = "stream size beyond the end of the file";
                return false;
            }
            entry.bytes.resize(static_cast<std::size_t>(size));
            if (size > 0 && !gsf_input_read(child.p, static_cast<size_t>(size), entry.bytes.data())) {
                error = "stream '" + entry.name + "' cannot be read (broken sector chain)";
                return false;
            }
        }
        node.children.push_back(std::move(entry));
    }
    return true;
}

bool writeStorage(GsfOutfile* dir, const CompoundNode& node, std::string& error)
{
    for (const CompoundNode& entry : node.children) {
        GsfOutput* out = gsf_outfile_new_child(dir, entry.name.c_str(), entry.isStorage);
        if (!out) {
            error = "cannot create entry '" + entry.name + "'";
            return false;
        }
        GRef<GsfOutput> guard(out);
        bool ok = true;
        if (entry.isStorage)
            ok = writeStorage(GSF_OUTFILE(out), entry, error);
        else if (!entry.bytes.empty())
            ok = gsf_output_write(out, entry.bytes.size(), entry.bytes.data());
        if (!gsf_output_close(out) && ok) {
            error = "cannot write entry '" + entry.name + "'";
            ok = false;
        }
        if (!ok) {
            if (error.empty())
                error = "cannot write entry '" + entry.name + "'";
            return false;
        }
    }
    return true;
}

} // namespace

CompoundNode* CompoundNode::findStream(std::string_view streamName)
{
    for (CompoundNode& child : children)
        if (!child.isStorage && child.name == streamName)
            return &child;
    return nullptr;
}

bool readCompoundFile(std::span<const std::uint8_t> file, CompoundNode& root, std::string& error)
{
    initialiseLibrary();
    root = CompoundNode{};
    root.isStorage = true;
    if (!sectorChainsEnd(file, error))
        return false;
    GRef<GsfInput> input(gsf_input_memory_new(file.data(), static_cast<gsf_off_t>(file.size()), FALSE));
    if (!input.p) {
        error = "cannot read the file";
        return false;
    }
    GError* err = nullptr;
    GRef<GsfInfile> ole(gsf_infile_msole_new(input.p, &err));
    if (!ole.p) {
        error = "not an OLE2 compound file: " + takeError(err, "unknown reason");
        return false;
    }
    if (err)
        g_error_free(err);
    root.hasClassId = gsf_infile_msole_get_class_id(GSF_INFILE_MSOLE(ole.p), root.classId.data());
    return readStorage(ole.p, root, file.size(), 0, error);
}

bool writeCompoundFile(const CompoundNode& root, std::vector<std::uint8_t>& file, std::string& error)
{
    initialiseLibrary();
    GRef<GsfOutput> sink(gsf_output_memory_new());
    bool ok = false;
    {
        GRef<GsfOutfile> ole(gsf_outfile_msole_new(sink.p));
        if (!ole.p) {
            error = "cannot create a compound file";
            return false;
        }
        if (root.hasClassId)
            gsf_outfile_msole_set_class_id(GSF_OUTFILE_MSOLE(ole.p), root.classId.data());
        ok = writeStorage(ole.p, root, error);
        if (!gsf_output_close(GSF_OUTPUT(ole.p)) && ok) {
            error = "cannot finish the compound file";
            ok = false;
        }
    }
    if (!ok)
        return false;
    const gsf_off_t size = gsf_output_size(sink.p);
    const guint8* bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(sink.p));
    if (size < 0 || (size > 0 && !bytes)) {
        error = "cannot finish the compound file";
        return false;
    }
    file.assign(bytes, bytes + size);
    return true;
}

} // namespace qr::xls
