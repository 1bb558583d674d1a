// A zip writer that keeps the entries in memory as they were given, in
// order, for a test to read.
#pragma once
#include <string>
#include <vector>

#include "platform/ZipWriter.h"

namespace plat {

class ZipEntryList : public ZipWriter {
public:
    bool Begin(const std::string& name, bool stored) override;
    bool Write(std::string_view bytes) override;
    bool Rewrite(std::size_t index, int64_t offset, std::string_view bytes) override;
    bool Finish() override;
    const std::string& Failure() const override { return failure_; }

    std::vector<ZipEntry> Entries;

private:
    bool Fail(const std::string& why);
    std::string failure_;
    bool finished_ = false;
};

} // namespace plat
