// The rollback journal: what makes every writing command (and a unit of several)
// atomic and durable against a crash or a power cut at any moment.
//
// Contract. A writing command runs inside a transaction of its store handle. Writes
// still go straight to the store's files, so every other handle sees them exactly
// as before and the locks of the commands protect them as before. But before a
// byte of the data or auxiliary file that existed when the transaction began is
// overwritten or cut off, the original content of its 4 KiB page (and, before the
// first change of a file, the file's original length) is appended to the journal,
// and the journal is synced (with its directory, when the journal is new). Bytes
// beyond the original length need no copy: rolling back cuts them off. At commit
// the data and auxiliary files are synced, then the journal is removed and its
// directory synced: the removal is the commit point. A crash before it leaves a
// journal whose every record was synced before the store bytes it covers were
// written, so writing the records back and cutting each file to its original length
// gives exactly the store as it was before the transaction.
//
// Journal file (our own, little-endian; no other program reads it): 8 bytes
// "QRJOURN1", a random 64-bit salt, then records: type (1 length, 2 page), file
// (0 data, 1 auxiliary), offset (the original length for a length record), size,
// the bytes, and an FNV-1a checksum seeded with the salt over all of it. A record
// that is cut short or fails its checksum was never synced, so no store byte
// depends on it: reading stops there. The salt keeps the remains of an older journal
// on the same disk blocks from passing as records of this one.
//
// Hot journal. A journal exists beside the data file while a transaction runs. Its
// writer holds the writer lock (an exclusive lock on one byte of the data file at
// format::kWriterLockPosition) from the transaction's start to its end, so a journal
// whose writer lock nobody holds belongs to a writer that died: it is hot and is
// rolled back before anyone reads the store: by every open, and by every writing
// command once it holds the writer lock, both under an exclusive lock of the whole
// data and auxiliary file ranges, so that no reader following the locking protocol
// sees a half-rolled-back store.
//
// Hazards, and where they are handled:
// - Two writers of one store (different records, other processes) would share one
//   journal: the writer lock serialises transactions. Commands take it before any
//   other lock (writer, header byte, record byte, auxiliary bytes), so no two
//   handles wait for each other in a circle. Refused, it is retried for at least
//   2000 ms (or without end under a negative lock retry time-out), as the record
//   count is: a writer only waits for another one's command or unit to end.
// - The correction of a writable open writes while the open already holds the
//   whole-file lock; there the writer lock is taken only when a correction is
//   needed, and waited for at most 2000 ms so that a unit of another process that
//   waits for our whole-file lock cannot keep both waiting without end.
// - A reader that keeps a store open while another process's writer dies sees the
//   dead writer's changes until someone opens the store or writes to it; the
//   application opens a store for each piece of work, so it always looks first.
// - Rolling back needs write access: a read-only open of a store with a hot journal
//   opens the files for writing for the roll-back, and fails with that open's code
//   when it cannot.
// - The roll-back of an open uses descriptors of its own that claim no share mode:
//   it only puts back bytes that the dead writer was allowed to change, and every
//   handle opened since then has rolled the journal back at its own open already.
// - A commit whose syncs fail rolls back at once; if even that fails the journal
//   stays hot and the next open or writer rolls it back.
// - A write the journal could not protect (the journal itself could not be written
//   or synced) is not made: the caller sees the write fail with the journal's code,
//   exactly as if the store file had refused it.
#pragma once

#include "store/env.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <unordered_set>
#include <vector>

namespace qr::store {

class JournalWriter {
public:
    static constexpr int kDataFile = 0;
    static constexpr int kAuxFile = 1;
    static constexpr std::int64_t kPageSize = 4096;
    static constexpr std::int64_t kReadAheadPages = 16;

    // The files the journal protects: the inner files of the store handle, written
    // to directly (not through the journaled wrappers).
    void attach(std::string journalPath, File* data);
    void attachAux(File* aux) { files_[kAuxFile] = aux; }
    bool attached() const { return files_[kDataFile] != nullptr; }
    const std::string& path() const { return path_; }

    // Starts a transaction (or enters one already running: units nest commands).
    // With lazyLock the writer lock is taken at the first change; else now.
    ResultCode begin(bool lazyLock = false);
    // Leaves the transaction; the outermost end commits. The result is the commit's.
    ResultCode end();
    bool active() const { return depth_ > 0; }
    // Ends every level still entered (a store closed inside a unit).
    ResultCode endAll();
    File* dataFile() const { return files_[kDataFile]; }
    File* auxFile() const { return files_[kAuxFile]; }

    // Called before bytes [offset, offset + size) of a file are overwritten, and
    // before a file is cut to newLength.
    struct Range {
        int file;
        std::int64_t offset;
        std::int64_t size;
    };
    // Keeps several ranges (and the files' lengths) with one sync of the journal: a
    // command that knows what it will overwrite saves the syncs of the writes.
    ResultCode preserve(std::span<const Range> ranges);
    ResultCode beforeWrite(int file, std::int64_t offset, std::int64_t size);
    ResultCode beforeTruncate(int file, std::int64_t newLength);

    // Whether this handle's journal file is present (a hot one, when the writer
    // lock is ours).
    bool journalExists() const;

private:
    struct Pending {
        std::array<bool, 2> lengthKnown{};
        std::array<std::int64_t, 2> length{};
        std::array<std::unordered_set<std::int64_t>, 2> pages;
    };
    ResultCode collect(const Range& range, bool readAhead, std::vector<std::uint8_t>& records, Pending& pending);
    ResultCode keep(std::span<const Range> ranges, bool readAhead);
    ResultCode takeWriterLock(std::int32_t timeout);
    void releaseWriterLock();
    ResultCode ensureJournal();
    void appendRecord(std::vector<std::uint8_t>& out, std::uint32_t type, int file, std::int64_t offset,
                      const std::uint8_t* bytes, std::uint32_t size);
    ResultCode commit();
    void reset();

    std::string path_;
    std::array<File*, 2> files_{};
    int depth_ = 0;
    bool lazyLock_ = false;
    bool writerLocked_ = false;
    std::unique_ptr<File> journal_;
    std::uint64_t salt_ = 0;
    std::int64_t journalEnd_ = 0;
    std::array<bool, 2> touched_{};
    std::array<std::int64_t, 2> originalLength_{};
    std::array<std::unordered_set<std::int64_t>, 2> savedPages_;
};

// Rolls a journal back into the given files (aux may be null when the journal holds
// nothing of it), syncs them, removes the journal and syncs its directory. The
// caller holds the writer lock and keeps readers out. A journal with no valid
// record (never synced) is just removed.
ResultCode rollBackJournal(Env& env, const std::string& journalPath, File* data, File* aux);

// The hot-journal check of an open, on its own descriptors: when a journal is
// present and no live writer holds the writer lock, it is rolled back under
// exclusive locks of both files. Nothing to do, or a live writer: kOk.
ResultCode recoverAtOpen(Env& env, const std::string& dataPath, const std::string& auxPath);

} // namespace qr::store
