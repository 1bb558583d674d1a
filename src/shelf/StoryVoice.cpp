// A story's voice folder beside it, kept, moved and found with it.
#include "shelf/StoryVoice.h"

#include "platform/FileStream.h"
#include "platform/Files.h"

namespace {
// The folder without its trailing separator (what a rename names).
std::string Bare(const std::string& folder) {
    return folder.substr(0, folder.size() - 1);
}
} // namespace

std::string TStoryVoice::FolderOf(const std::string& storyPath) {
    return storyPath + " voice" + plat::kPathSeparator;
}

bool TStoryVoice::Has(const std::string& storyPath) {
    return plat::FileExists(FolderOf(storyPath) + kIndexName, plat::Lookup::Exact);
}

bool TStoryVoice::Keep(const std::string& storyPath, const std::string& keptPath,
                       std::string* why) {
    const std::string from = FolderOf(storyPath), to = FolderOf(keptPath);
    if (plat::KindAt(Bare(from)) != plat::EntryKind::Folder)
        return true;
    if (plat::KindAt(Bare(to)) != plat::EntryKind::Missing)
        return true; // the kept story has a voice of its own already
    // Made under a passing name and renamed whole, so that a kept story's
    // voice is never half there.
    const std::string making = Bare(to) + ".part" + plat::kPathSeparator;
    plat::RemoveFolder(making);
    if (!plat::MakeFolder(Bare(making), why))
        return false;
    for (const plat::FolderEntry& e : plat::ListFolder(from)) {
        if (e.kind != plat::EntryKind::File)
            continue;
        if (plat::LinkNewName(from + e.name, making + e.name) == plat::NewFile::Written)
            continue;
        std::string bytes;
        if (!plat::ReadWholeFile(from + e.name, bytes, plat::Lookup::Exact) ||
            plat::WriteNewFileAtomic(making + e.name, bytes, why) != plat::NewFile::Written) {
            plat::RemoveFolder(making);
            return false;
        }
    }
    if (plat::RenameNewName(Bare(making), Bare(to), why) != plat::NewFile::Written) {
        plat::RemoveFolder(making);
        return false;
    }
    return true;
}

bool TStoryVoice::Follow(const std::string& from, const std::string& to, std::string* why) {
    const std::string source = Bare(FolderOf(from));
    if (plat::KindAt(source) != plat::EntryKind::Folder)
        return true;
    const plat::NewFile moved = plat::RenameNewName(source, Bare(FolderOf(to)), why);
    if (moved == plat::NewFile::Exists && why)
        *why = "the story's new place has a voice already";
    return moved == plat::NewFile::Written;
}
