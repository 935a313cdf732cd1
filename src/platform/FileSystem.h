#pragma once
// The file operations the logic needs, as a Windows program sees them.
// Paths are UTF-8 with "/" separators. Every path handed in may come from
// data or settings in another letter case: implementations find the entry
// by its exact name first, then case-insensitively per path component.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vrx {

// Attribute bits, with the values Windows gives them.
enum FileAttribute : std::uint32_t {
    AttrReadOnly = 1,
    AttrHidden = 2,
    AttrSystem = 4,
    AttrDirectory = 16,
    AttrArchive = 32,
};

// Lines of a text file, decoded from Windows-1252 to UTF-8.
struct TextLines {
    std::vector<std::string> lines;
    // False when reading failed part-way; lines then hold only the lines that
    // ended before the failure, never the one it cut off.
    bool complete = true;
};

enum class WriteResult {
    Ok,
    Unencodable,  // the text has no Windows-1252 form; nothing was written
    Failed,       // the file could not be created or written
};

// A copy a run announces before it asks for it: copyFile, or copyFileIfData when onlyWithData.
struct ExpectedCopy {
    std::string from;
    std::string to;
    bool onlyWithData = false;
};

// What the read-only fix asks of a target, learned in one look.
struct DataFileAttributes {
    bool hasData = false;               // it exists, is no folder and is longer than 0 bytes
    std::optional<std::uint32_t> bits;  // its attribute bits when it has data; nullopt when they cannot be read
};

struct CopyResult {
    bool ok = false;
    std::string error;  // why the copy failed, for diagnostics only
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Names of the ordinary files directly inside folder (files that are not
    // folders and carry neither hidden nor system), in the order the file
    // system lists them. A folder that does not exist gives an empty list;
    // nullopt when the folder exists but cannot be listed.
    virtual std::optional<std::vector<std::string>> listOrdinaryFiles(const std::string& folder) = 0;

    // True when path names an ordinary file (not a folder, not hidden or system).
    virtual bool isOrdinaryFile(const std::string& path) = 0;
    // True when path names an existing file or folder, whatever its attributes.
    virtual bool exists(const std::string& path) = 0;
    // True when path names an existing folder.
    virtual bool isFolder(const std::string& path) = 0;

    // Length in bytes of the file at path; nullopt for a folder, a missing file or any error.
    virtual std::optional<std::uint64_t> fileLength(const std::string& path) = 0;

    // Attribute bits of the file or folder at path; nullopt when it cannot be examined.
    virtual std::optional<std::uint32_t> attributes(const std::string& path) = 0;
    // Sets read-only, hidden, system and archive as given; 0 makes a plain file.
    // A link carries no attributes of its own, and what it names is never
    // changed through it: for a link this does nothing and succeeds.
    virtual bool setAttributes(const std::string& path, std::uint32_t attributes) = 0;
    // Whether the file at path holds data and, when it does, its attribute
    // bits: what fileLength and attributes tell, in one look where the file
    // system allows.
    virtual DataFileAttributes attributesIfData(const std::string& path) {
        DataFileAttributes look;
        const std::optional<std::uint64_t> length = fileLength(path);
        look.hasData = length && *length > 0;
        if (look.hasData) look.bits = attributes(path);
        return look;
    }

    // Copies from over to with the semantics of a Windows file copy: fails when
    // to exists with the read-only or hidden attribute; the new file takes the
    // source's attributes and modification time; an interrupted copy leaves the
    // old target or the new one, never a half-written file. A link at to is
    // replaced by the copy, never written through. Copies may keep a temporary
    // file in the target's folder for the next copy until endCopyRun.
    virtual CopyResult copyFile(const std::string& from, const std::string& to) = 0;

    // Copies from over to as copyFile does when from names a file that holds
    // data (it exists, is no folder, and is longer than 0 bytes); otherwise
    // does nothing and succeeds. A file that exists with data but cannot be
    // read fails, as its copy would.
    virtual CopyResult copyFileIfData(const std::string& from, const std::string& to) {
        const std::optional<std::uint64_t> length = fileLength(from);
        if (!length || *length == 0) return {true, {}};
        return copyFile(from, to);
    }

    // Begins a run of copies: what a listing made during the run learned of
    // its files may stand in for asking again, until the run ends.
    virtual void beginCopyRun() {}

    // Announces the copies this run will most likely ask for next, in this
    // order, so that they may be prepared ahead. Nothing anyone can see
    // changes before a copy is asked for; a copy asked for that was not
    // announced, and announced ones never asked for, behave as without it.
    // The run's end drops what is left of the announcement.
    virtual void expectCopies(std::vector<ExpectedCopy> copies) { (void)copies; }

    // Ends a run of copies: removes the temporary file kept between copies.
    // Every run over a folder calls it when it ends, however it ends.
    virtual void endCopyRun() = 0;

    // Removes temporary files a copy into folder left behind when it was interrupted.
    virtual void removeLeftoverTemporaries(const std::string& folder) = 0;

    // Creates one folder level; false when it cannot (missing parent, no rights).
    virtual bool createFolder(const std::string& path) = 0;

    // The path from the root that path names: a relative path is taken from
    // the current folder, as every other call takes it. Empty and "."
    // components are dropped; ".." is kept, as a link may lie before it.
    // nullopt when the current folder cannot be found (it was removed).
    virtual std::optional<std::string> absolutePath(const std::string& path) = 0;

    // Reads a Windows-1252 text file as lines: a line ends at CR or CR LF, a
    // lone LF stays in its line. nullopt when the file cannot be opened or is
    // not a regular file (a pipe or a device would hang or never end).
    virtual std::optional<TextLines> readTextLines(const std::string& path) = 0;

    // Replaces the file with the given lines, each ended by CR LF, atomically:
    // on failure the old file stays whole.
    virtual WriteResult writeTextFile(const std::string& path, const std::vector<std::string>& lines) = 0;

    // Appends one line and CR LF, creating the file when it is missing;
    // Failed, without waiting, when the path is not a regular file.
    virtual WriteResult appendTextLine(const std::string& path, const std::string& line) = 0;
};

// Begins a run of copies and ends it when it goes out of scope, so that every way out of a run ends it.
class CopyRun {
public:
    explicit CopyRun(FileSystem& fs) : fs_(fs) { fs_.beginCopyRun(); }
    ~CopyRun() { fs_.endCopyRun(); }
    CopyRun(const CopyRun&) = delete;
    CopyRun& operator=(const CopyRun&) = delete;

private:
    FileSystem& fs_;
};

}  // namespace vrx
