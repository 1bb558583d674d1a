// The desktop's trash as freedesktop.org lays it out: a trashed file lies in
// <trash>/files/<name>, and <trash>/info/<name>.trashinfo says where it came
// from ("Path=", percent-encoded; in a trash at the top of another device,
// <top>/.Trash-<uid> or <top>/.Trash/<uid>, relative to <top>). Putting a
// file in the trash is the desktop's business (Qt's QFile::moveToTrash);
// taking it back out is here, without Qt.
#pragma once
#include <string>
#include <string_view>

namespace plat {

enum class TrashRestore {
    Restored, // the file is back at its place, its .trashinfo gone
    Gone,     // the file is no longer in the trash (emptied, or taken out)
    Taken,    // something stands at the file's place now; nothing moved
    Failed,   // no .trashinfo, or the system refused (Why says what it said)
};

// Puts the file that lies in the trash at InTrash back at the place its
// .trashinfo names, only where nothing stands there (not even a link to
// nothing): the file is renamed, never copied, and never replaces anything.
// Original gets that place whenever the .trashinfo names one.
TrashRestore RestoreFromTrash(const std::string& inTrash, std::string* original = nullptr,
                              std::string* why = nullptr);

// The place a .trashinfo's text Info names, decoded, for a trash whose top
// folder is Top (ending with a separator; a relative Path is under it);
// empty when Info names none.
std::string TrashInfoPlace(std::string_view info, const std::string& top);

} // namespace plat
