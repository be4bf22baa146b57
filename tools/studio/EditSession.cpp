// Every write here goes through the atomic writer, so a crash mid-save leaves the old
// file or the new one; and every save first reads the file back, because the watcher may
// not yet have said that someone else saved it.
#include "studio/EditSession.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <utility>

#include "base/AtomicFile.h"

namespace studio {

EditSession::EditSession(std::string path) : file(std::move(path)) {}

bool EditSession::readDisk(std::string& text, std::string& why) const
{
    std::error_code error;
    std::ifstream in;
    if (std::filesystem::is_regular_file(file, error))
        in.open(file, std::ios::binary);
    if (!in.is_open() || !in) {
        why = file + ": cannot be read";
        return false;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text = bytes.str();
    return true;
}

bool EditSession::adopt(const std::string& text, std::vector<std::string>& errors)
{
    base = text;
    stale = !doc.load(text, file, errors);
    loaded = loaded || !stale;
    return !stale;
}

bool EditSession::open(std::vector<std::string>& errors)
{
    std::string text, why;
    if (!readDisk(text, why)) {
        errors.push_back(file + ":1: cannot open the timeline");
        return false;
    }
    conflicting = false;
    return adopt(text, errors);
}

bool EditSession::editable(std::string& why) const
{
    if (conflicting) {
        why = file + " was saved outside the studio while it has unsaved edits: 'reload theirs' or 'keep ours' first";
        return false;
    }
    if (!loaded || stale) {
        why = file + " has errors; edits wait until it compiles";
        return false;
    }
    return true;
}

bool EditSession::save(std::string& message)
{
    if (!editable(message))
        return false;
    std::string onDisk, why;
    if (readDisk(onDisk, why) && onDisk != base) {
        conflicting = true;
        editable(message);
        return false;
    }
    const std::string text = doc.joined();
    if (!Tarvo::writeFileAtomically(file, text.data(), text.size(), why)) {
        message = "cannot write " + file + ": " + why + " (the edits are kept)";
        return false;
    }
    base = text;
    doc.markSaved();
    message = "saved " + file + " " + std::to_string(doc.tracks().size()) + " tracks";
    return true;
}

bool EditSession::writeRecovery(std::string& why)
{
    const std::string text = doc.joined();
    std::string reason;
    if (!Tarvo::writeFileAtomically(recoveryPath(), text.data(), text.size(), reason)) {
        why = "cannot write " + recoveryPath() + ": " + reason;
        return false;
    }
    return true;
}

EditSession::Outside EditSession::fileChanged(std::vector<std::string>& errors)
{
    std::string text, why;
    if (!readDisk(text, why)) {
        errors.push_back(why);
        return Outside::Unreadable;
    }
    if (text == base)
        return Outside::Ours;
    if (doc.dirty()) {
        conflicting = true;
        return Outside::Conflict;
    }
    return adopt(text, errors) ? Outside::Adopted : Outside::Broken;
}

bool EditSession::reloadTheirs(std::vector<std::string>& errors, std::string& why)
{
    if (doc.dirty() && !writeRecovery(why))
        return false;
    conflicting = false;
    std::string text;
    if (!readDisk(text, why))
        return false;
    adopt(text, errors);
    return true;
}

void EditSession::keepOurs()
{
    std::string text, why;
    if (readDisk(text, why))
        base = text;
    conflicting = false;
}

} // namespace studio
