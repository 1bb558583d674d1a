// Scrambled line files. A line file is a run of records (one length byte
// 0..254, then that many bytes) filled with zero bytes to a multiple of its
// block count; the scrambled file is the same bytes under a keyless XOR chain
// over its blocks. TObfText holds a whole unscrambled file in memory and
// hands it out line by line.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

// Decides whether a plain line is written, and may rewrite it first.
using TLineFilter = std::function<bool(std::string& line)>;

class TObfText {
public:
    // Loads File whole when it exists (an empty reader otherwise) and
    // unscrambles it. Raises LumException when the file exists but cannot be read.
    explicit TObfText(const std::string& fileName);
    // A reader over bytes already in memory (scrambled), for tools and tests.
    static TObfText FromBytes(std::string scrambled);

    // The next line; an empty line at the end. A length byte of 255 marks the
    // end: it reads as an empty line, and AtEnd is true from then on.
    void ReadLine(std::string& line);
    bool AtEnd() const { return pos_ >= data_.size(); }

    // Writes the line file of a plain text file and scrambles it in place.
    // Raises LumException when either file cannot be opened.
    static void BuildScrambledFile(const std::string& plainPath, const std::string& scrambledPath,
                                   const TLineFilter& filter);
    // Writes the (unscrambled) line file of a plain text file. Without a
    // filter, lines are trimmed and empty ones dropped; with one, each line is
    // written as the filter leaves it when it returns true. Lines longer than
    // 254 characters are cut to 254. The target is replaced atomically.
    static void WriteLineFile(const std::string& plainPath, const std::string& linePath,
                              const TLineFilter& filter);

    // The number of blocks a file of Size bytes is cut into: 4, or more so
    // that no block exceeds 65280 bytes.
    static uint32_t BlockCount(uint64_t size);
    static void Scramble(std::string& bytes);
    // Leaves Bytes unchanged when its size is 0 or not a multiple of its block count.
    static void Unscramble(std::string& bytes);

private:
    TObfText() = default;
    static std::string MakeLineFile(const std::string& plainPath, const TLineFilter& filter);
    std::string data_;
    std::size_t pos_ = 0;
};
