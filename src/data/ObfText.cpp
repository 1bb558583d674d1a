// Scrambled line files: reading, writing and the XOR chain.
#include "data/ObfText.h"

#include "base/AbortException.h"
#include "base/LumException.h"
#include "base/LumUtil.h"
#include "platform/FileStream.h"
#include "platform/Files.h"

namespace {
constexpr uint64_t kMaxBlock = 65280;
constexpr std::size_t kMaxLine = 254;
} // namespace

uint32_t TObfText::BlockCount(uint64_t size) {
    uint32_t n = 4;
    while (size / n > kMaxBlock)
        ++n;
    return n;
}

void TObfText::Scramble(std::string& bytes) {
    uint64_t size = bytes.size();
    if (size == 0)
        return;
    uint32_t n = BlockCount(size);
    std::size_t b = static_cast<std::size_t>(size / n);
    char* p = bytes.data();
    for (uint32_t j = 0; j + 1 < n; ++j)
        for (std::size_t i = 0; i < b; ++i)
            p[j * b + i] ^= p[(j + 1) * b + i];
    for (std::size_t i = 0; i < b; ++i)
        p[(n - 1) * b + i] ^= p[i];
}

void TObfText::Unscramble(std::string& bytes) {
    uint64_t size = bytes.size();
    if (size == 0)
        return;
    uint32_t n = BlockCount(size);
    if (size % n != 0)
        return;
    std::size_t b = static_cast<std::size_t>(size / n);
    char* p = bytes.data();
    for (std::size_t i = 0; i < b; ++i)
        p[(n - 1) * b + i] ^= p[i];
    for (uint32_t j = n - 1; j-- > 0;)
        for (std::size_t i = 0; i < b; ++i)
            p[j * b + i] ^= p[(j + 1) * b + i];
}

TObfText::TObfText(const std::string& fileName) {
    if (plat::FileExists(fileName)) {
        if (!plat::ReadWholeFile(fileName, data_))
            throw LumException("TObfText: unable to read \"" + fileName + "\"");
    }
    Unscramble(data_);
}

TObfText TObfText::FromBytes(std::string scrambled) {
    TObfText t;
    t.data_ = std::move(scrambled);
    Unscramble(t.data_);
    return t;
}

void TObfText::ReadLine(std::string& line) {
    line.clear();
    if (pos_ >= data_.size())
        return;
    unsigned char len = static_cast<unsigned char>(data_[pos_]);
    if (len == 255) {
        // The stop mark: nothing after it is read.
        pos_ = data_.size();
        return;
    }
    ++pos_;
    std::size_t n = len;
    if (n > data_.size() - pos_)
        n = data_.size() - pos_;
    line.assign(data_, pos_, n);
    pos_ += n;
}

std::string TObfText::MakeLineFile(const std::string& plainPath, const TLineFilter& filter) {
    auto in = plat::FileStream::Open(plainPath);
    if (!in)
        throw LumException("WriteLineFile: unable to open \"" + plainPath + "\"");
    std::string bytes;
    try {
        for (;;) {
            std::string line;
            ReadTextLine(*in, line);
            if (filter) {
                if (!filter(line))
                    continue;
            } else {
                line = TrimText(line);
                if (line.empty())
                    continue;
            }
            if (line.size() > kMaxLine)
                line.resize(kMaxLine);
            bytes.push_back(static_cast<char>(line.size()));
            bytes += line;
        }
    } catch (const EAbort&) {
    } catch (const std::exception&) {
        // Other failures end the conversion early; what was read is kept.
    }
    do
        bytes.push_back('\0');
    while (bytes.size() % BlockCount(bytes.size()) != 0);
    return bytes;
}

void TObfText::WriteLineFile(const std::string& plainPath, const std::string& linePath,
                             const TLineFilter& filter) {
    std::string bytes = MakeLineFile(plainPath, filter);
    if (!plat::WriteFileAtomic(linePath, bytes))
        throw LumException("WriteLineFile: unable to create \"" + linePath + "\"");
}

void TObfText::BuildScrambledFile(const std::string& plainPath, const std::string& scrambledPath,
                                  const TLineFilter& filter) {
    // Built in memory and written once, so that the scrambled file is never
    // left half made.
    std::string bytes = MakeLineFile(plainPath, filter);
    Scramble(bytes);
    if (!plat::WriteFileAtomic(scrambledPath, bytes))
        throw LumException("WriteLineFile: unable to create \"" + scrambledPath + "\"");
}
