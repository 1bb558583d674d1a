// Saving a story with the bytes it replaces kept.
#include "shelf/SavedStory.h"

#include <stdexcept>

#include "platform/FileStream.h"
#include "platform/Files.h"
#include "shelf/DatedName.h"
#include "shelf/StoryVoice.h"
#include "story/StoryText.h"

namespace {

using plat::Lookup;

std::string Because(const std::string& why) {
    return why.empty() ? std::string() : ": " + why;
}

// What is at Path, a link followed: nothing (or a link to nothing, which
// the new file then replaces through), a file, or something no story can
// replace.
enum class Place { Nothing, File, InTheWay };
Place PlaceAt(const std::string& path) {
    switch (plat::KindAt(path)) {
    case plat::EntryKind::Missing:
    case plat::EntryKind::Dangling:
        return Place::Nothing;
    case plat::EntryKind::File:
        return Place::File;
    case plat::EntryKind::Folder:
    case plat::EntryKind::Other:
        break;
    }
    return Place::InTheWay;
}

// Gives Old (the bytes at Target, of time Time) its dated name in Folder and
// returns that name: a copy an unfinished save left is taken again.
std::string Keep(const std::string& folder, const std::string& tale, const std::string& target,
                 const std::string& old, int64_t time) {
    const TDatedName::Moment when = TDatedName::LocalMoment(time);
    std::string why;
    for (int copy = 1; copy <= 1000; ++copy) {
        const std::string name = TDatedName::Make(tale, when, ".txt", copy);
        const std::string path = folder + name;
        if (path == target)
            continue;
        if (!plat::FileMissing(path, Lookup::Exact)) {
            std::string there;
            if (plat::ReadWholeFile(path, there, Lookup::Exact) && there == old)
                return name;
            continue;
        }
        switch (plat::LinkNewName(target, path, &why)) {
        case plat::NewFile::Written:
            return name;
        case plat::NewFile::Exists:
            continue;
        case plat::NewFile::Failed:
            break;
        }
        // A file system without second names: a copy, with the old time.
        switch (plat::WriteNewFileAtomic(path, old, &why)) {
        case plat::NewFile::Written:
            plat::SetFileModTime(path, time);
            return name;
        case plat::NewFile::Exists:
            continue;
        case plat::NewFile::Failed:
            throw std::runtime_error("Save: cannot keep the story saved before as " + path +
                                     Because(why));
        }
    }
    throw std::runtime_error("Save: cannot keep the story saved before in " + folder +
                             ": every dated name is taken");
}

// Writes Bytes to a new dated name for Now in Folder; returns its path.
std::string WriteDetour(const std::string& folder, const std::string& tale, std::string_view bytes,
                        int64_t now) {
    std::string why;
    const TDatedName::Moment when = TDatedName::LocalMoment(now);
    for (int copy = 1; copy <= 1000; ++copy) {
        const std::string path = folder + TDatedName::Make(tale, when, ".txt", copy);
        switch (plat::WriteNewFileAtomic(path, bytes, &why)) {
        case plat::NewFile::Written:
            return path;
        case plat::NewFile::Exists:
            continue;
        case plat::NewFile::Failed:
            throw std::runtime_error("Save: cannot write " + path + Because(why));
        }
    }
    throw std::runtime_error("Save: cannot write in " + folder + ": every dated name is taken");
}

} // namespace

bool TSavedStory::SameStory(std::string_view a, std::string_view b) {
    if (a == b)
        return true;
    bool wholeA = false, wholeB = false;
    const std::string textA = ReadSavedStoryText(a, &wholeA);
    const std::string textB = ReadSavedStoryText(b, &wholeB);
    return wholeA && wholeB && textA == textB;
}

TSavedStory::Saved TSavedStory::Save(const std::string& folder, const std::string& tale,
                                     std::string_view bytes, const Source* source, int64_t now) {
    Saved saved;
    saved.path = source && !source->path.empty() ? source->path : folder + tale + ".txt";
    const Place place = PlaceAt(saved.path);
    if (place == Place::InTheWay) {
        saved.path = WriteDetour(folder, tale, bytes, now);
        saved.detour = true;
        return saved;
    }
    std::string old;
    int64_t time = 0;
    bool keep = false;
    if (place == Place::File) {
        if (!plat::ReadWholeFile(saved.path, old, Lookup::Exact) ||
            !plat::FileModTime(saved.path, time, Lookup::Exact))
            throw std::runtime_error("Save: cannot read the story saved before in " + saved.path);
        const bool readIn =
            source && source->path == saved.path && source->whole && source->bytes == old;
        keep = !readIn && !SameStory(old, bytes);
    }
    std::string why;
    std::unique_ptr<plat::FileStream> file =
        plat::FileStream::CreateAtomic(saved.path, &why, Lookup::Exact);
    if (!file)
        throw std::runtime_error("Save: cannot write " + saved.path + Because(why));
    if (!file->WriteExact(bytes.data(), bytes.size()) || !file->Flush())
        throw std::runtime_error("Save: cannot write " + saved.path + Because(file->Failure()));
    // The old bytes are kept in the folder of the file they were in.
    const std::string home = plat::ExtractFilePath(saved.path);
    if (keep)
        saved.kept = Keep(home, tale, saved.path, old, time);
    if (!file->Commit()) {
        // The old file is still in place: its second name goes again.
        if (!saved.kept.empty())
            plat::DeleteFile(home + saved.kept);
        throw std::runtime_error("Save: cannot write " + saved.path + Because(file->Failure()));
    }
    // The kept story keeps its voice too; where the copy fails, the voice
    // stays with the story's own file, whole.
    if (!saved.kept.empty())
        TStoryVoice::Keep(saved.path, home + saved.kept);
    return saved;
}
