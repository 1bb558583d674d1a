// Saving a story with the story it replaces kept.
#include "book/SavedStory.h"

#include <stdexcept>

#include "book/DatedName.h"
#include "book/StoryText.h"
#include "platform/Files.h"

bool TSavedStory::SameStory(std::string_view a, std::string_view b) {
    return a == b || ReadSavedStoryText(a) == ReadSavedStoryText(b);
}

std::string TSavedStory::Save(const std::string& folder, const std::string& tale,
                              std::string_view bytes) {
    const std::string path = folder + tale + ".txt";
    std::string why, kept;
    std::string old;
    int64_t time = 0;
    if (plat::FileModTime(path, time)) {
        if (!plat::ReadWholeFile(path, old))
            throw std::runtime_error("Save: cannot read the story saved before in " + path);
        if (!SameStory(old, bytes)) {
            const TDatedName::Moment when = TDatedName::LocalMoment(time);
            for (int copy = 1; kept.empty(); ++copy) {
                const std::string name = TDatedName::Make(tale, when, ".txt", copy);
                switch (plat::WriteNewFileAtomic(folder + name, old, &why)) {
                case plat::NewFile::Written:
                    kept = name;
                    break;
                case plat::NewFile::Exists:
                    if (copy < 1000)
                        continue;
                    [[fallthrough]];
                case plat::NewFile::Failed:
                    throw std::runtime_error("Save: cannot keep the story saved before as " +
                                             folder + name + (why.empty() ? "" : ": " + why));
                }
            }
            // The kept story stands on the shelf at the time it was saved.
            plat::SetFileModTime(folder + kept, time);
        }
    }
    if (!plat::WriteFileAtomic(path, bytes, &why))
        throw std::runtime_error("Save: cannot write " + path + (why.empty() ? "" : ": " + why));
    return kept;
}
