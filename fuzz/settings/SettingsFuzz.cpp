// Fuzz target: the settings file as arbitrary bytes, read and written the way
// the game does it (ReadIniString and WriteIniString on a real file). Every
// setting of the game reads without a crash; one setting, chosen by the
// input, is written with a plain value taken from the input; it then reads
// back as written, every other setting reads as before, the file changes in
// one line only (or gains lines), and writing the same value again leaves the
// file byte for byte.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "../ScratchFolder.h"
#include "base/LumUtil.h"
#include "platform/Files.h"

namespace {
void Check(bool ok) {
    if (!ok)
        std::abort();
}

struct Setting {
    const char* section;
    const char* key;
};
// Every setting the game keeps in the file.
constexpr Setting kSettings[] = {{"Game", "Maximized"},
                                 {"Game", "Sound"},
                                 {"Book", "Maximized"},
                                 {"Story", "Hero"},
                                 {"Story", "Heroine"}};
constexpr int kSettingCount = static_cast<int>(sizeof kSettings / sizeof kSettings[0]);
const char* const kMissing = "\x01missing";

void ReadAll(const std::string& file, std::string (&values)[kSettingCount]) {
    for (int i = 0; i < kSettingCount; ++i)
        ReadIniString(kSettings[i].section, kSettings[i].key, kMissing, values[i], file);
}

// A value as a player could type it: printable, without blanks at its ends
// or quotes around it (those the file format trims away), at most 40 bytes.
std::string PlainValue(const uint8_t* data, size_t size) {
    std::string v;
    for (size_t i = 0; i < size && v.size() < 40; ++i)
        if (data[i] >= 33 && data[i] <= 126 && data[i] != '"' && data[i] != '\'')
            v += static_cast<char>(data[i]);
    if (size % 3 == 0)
        v = size % 2 ? "1" : "0";
    else if (v.size() > 2)
        v.insert(v.size() / 2, " "); // names may hold spaces inside
    return v;
}

// True when New is Old with at most one stretch of a single line replaced or
// with text inserted at one place.
bool OneEdit(const std::string& before, const std::string& after) {
    std::size_t p = 0;
    while (p < before.size() && p < after.size() && before[p] == after[p])
        ++p;
    std::size_t s = 0;
    while (s < before.size() - p && s < after.size() - p &&
           before[before.size() - 1 - s] == after[after.size() - 1 - s])
        ++s;
    return before.substr(p, before.size() - p - s).find('\n') == std::string::npos;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = fuzzsupport::ScratchFolder() + "yarns.ini";
    const std::string input(reinterpret_cast<const char*>(data), size);
    Check(plat::WriteFileAtomic(file, input));

    std::string before[kSettingCount];
    ReadAll(file, before);
    for (const std::string& v : before)
        Check(v.size() <= 255);

    const int k = static_cast<int>(size % kSettingCount);
    const std::string value = PlainValue(data, size);
    WriteIniString(kSettings[k].section, kSettings[k].key, value, file);
    std::string written;
    Check(plat::ReadWholeFile(file, written));
    Check(OneEdit(input, written));

    std::string after[kSettingCount];
    ReadAll(file, after);
    for (int i = 0; i < kSettingCount; ++i)
        Check(after[i] == (i == k ? value : before[i]));

    WriteIniString(kSettings[k].section, kSettings[k].key, value, file);
    std::string again;
    Check(plat::ReadWholeFile(file, again));
    Check(again == written);
    return 0;
}
