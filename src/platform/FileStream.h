// A stream over a file. Open reads an existing file (its name looked up
// without regard to letter case); CreateAtomic writes a temporary file in the
// target's folder that replaces the target only on Commit, so that a failure
// or crash mid-write leaves the old file whole. A target that is a symbolic
// link is written through the link (the temporary file goes beside the file
// it points at). When its folder takes no new file but the target itself is
// writable, the data is collected aside and written over the target on
// Commit (not atomic, but not lost).
// A successful Commit also removes the temporaries that writers killed
// mid-write left in that folder.
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "platform/Stream.h"

namespace plat {

class FileStream : public Stream {
public:
    // nullptr when the file cannot be opened.
    static std::unique_ptr<FileStream> Open(const std::string& path);
    // nullptr when neither a temporary file nor the target can be written.
    static std::unique_ptr<FileStream> CreateAtomic(const std::string& path);

    ~FileStream() override;

    std::size_t Read(void* buffer, std::size_t count) override;
    std::size_t Write(const void* buffer, std::size_t count) override;
    bool Seek(int64_t position) override;
    int64_t Position() const override;
    int64_t Size() const override;

    // For a CreateAtomic stream: flushes to the disk, renames over the target,
    // syncs the folder and removes stale temporaries there. False (and the
    // target untouched) when any write or the rename failed. Replace false:
    // the temporary takes the target's name only when nothing has it; when
    // something has, false with Existed() true.
    bool Commit(bool replace = true);
    bool Existed() const { return existed_; }

private:
    FileStream() = default;
    static std::unique_ptr<FileStream> CreateInPlace(const std::string& target);
    bool CommitInPlace();
    std::FILE* file_ = nullptr;
    std::string path_;    // the file read or the target to replace
    std::string tmpPath_; // non-empty for an uncommitted atomic write
    int inPlaceFd_ = -1;  // the target, open for writing, of an in-place write
    bool failed_ = false;
    bool existed_ = false;
};

} // namespace plat
