// A stream over a file. Open reads an existing regular file (its name looked
// up as Files.h says); it never waits: a FIFO or a device put where a file
// was is refused, not opened. CreateAtomic writes a temporary file in the
// target's folder that replaces the target only on Commit, so that a failure
// or crash mid-write leaves the old file whole. A target that is a symbolic
// link is written through the link (the temporary file goes beside the file
// it points at). A file is never written in place: where its folder takes no
// new file, the write fails and the file stays as it was.
// Commit also removes the temporaries that writers killed mid-write left in
// that folder (those no living writer holds, and any older than a day).
#pragma once
#include <cstdio>
#include <memory>
#include <string>

#include "platform/Files.h"
#include "platform/Stream.h"

namespace plat {

class FileStream : public Stream {
public:
    // nullptr when no regular file can be opened at Path. The file is opened
    // without waiting and checked on its open descriptor, so what is read is
    // what was checked.
    static std::unique_ptr<FileStream> Open(const std::string& path,
                                            Lookup lookup = Lookup::AnyCase);
    // nullptr when no temporary file can be made beside the target; Why (when
    // given) then says what the system said (SystemErrorText).
    static std::unique_ptr<FileStream> CreateAtomic(const std::string& path,
                                                    std::string* why = nullptr,
                                                    Lookup lookup = Lookup::AnyCase);

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
    // something has, false with Existed() true, and the temporary is kept
    // (open, still removed with the stream) for Retarget and Commit again.
    bool Commit(bool replace = true);
    // For a CreateAtomic stream not yet committed: the target becomes Path,
    // a name in the same folder (a fresh name after Existed()).
    void Retarget(const std::string& path);
    // For a CreateAtomic stream: puts what was written on the disk, so that
    // only the rename of Commit is left to do; false (with Failure) when a
    // write failed or the disk refused it.
    bool Flush();
    bool Existed() const { return existed_; }
    // Why the first failed write, or Commit, failed (SystemErrorText); empty
    // while nothing has failed.
    const std::string& Failure() const { return failure_; }

private:
    FileStream() = default;
    // Keeps the first failure's reason.
    void Fail(int error);
    std::FILE* file_ = nullptr;
    std::string path_;    // the file read or the target to replace
    std::string tmpPath_; // non-empty for an uncommitted atomic write
    bool failed_ = false;
    bool existed_ = false;
    std::string failure_;
};

} // namespace plat
