// Packing with libzip into memory.
#include "platform/media/LibZipPacker.h"

#include <zip.h>

namespace plat {

namespace {
std::string ErrorText(zip_error_t* error) {
    const char* text = zip_error_strerror(error);
    return text ? text : "unknown zip error";
}
} // namespace

bool LibZipPacker::Pack(const std::vector<ZipEntry>& entries, std::string& zip, std::string& why) {
    zip.clear();
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* memory = zip_source_buffer_create(nullptr, 0, 0, &error);
    if (!memory) {
        why = "zip: " + ErrorText(&error);
        zip_error_fini(&error);
        return false;
    }
    // Kept past zip_close, which writes the archive into it.
    zip_source_keep(memory);
    zip_t* archive = zip_open_from_source(memory, ZIP_TRUNCATE, &error);
    if (!archive) {
        why = "zip: " + ErrorText(&error);
        zip_source_free(memory);
        zip_source_free(memory);
        zip_error_fini(&error);
        return false;
    }
    auto fail = [&](const std::string& what) {
        why = "zip: " + what;
        zip_discard(archive);
        zip_source_free(memory);
        zip_error_fini(&error);
        return false;
    };
    for (const ZipEntry& e : entries) {
        // The entries' bytes outlive zip_close: the source only points at them.
        zip_source_t* source = zip_source_buffer(archive, e.Bytes.data(), e.Bytes.size(), 0);
        if (!source)
            return fail(zip_strerror(archive));
        const zip_int64_t index = zip_file_add(archive, e.Name.c_str(), source, ZIP_FL_ENC_UTF_8);
        if (index < 0) {
            zip_source_free(source);
            return fail(e.Name + ": " + zip_strerror(archive));
        }
        const auto at = static_cast<zip_uint64_t>(index);
        if (zip_set_file_compression(archive, at, e.Stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) < 0)
            return fail(e.Name + ": " + zip_strerror(archive));
    }
    if (zip_close(archive) < 0)
        return fail(zip_strerror(archive));
    zip_stat_t stat;
    if (zip_source_stat(memory, &stat) < 0 || zip_source_open(memory) < 0) {
        why = "zip: " + ErrorText(zip_source_error(memory));
        zip_source_free(memory);
        zip_error_fini(&error);
        return false;
    }
    zip.resize(stat.size);
    const zip_int64_t read = zip_source_read(memory, zip.data(), stat.size);
    zip_source_close(memory);
    zip_source_free(memory);
    zip_error_fini(&error);
    if (read < 0 || static_cast<zip_uint64_t>(read) != stat.size) {
        zip.clear();
        why = "zip: the archive could not be read back";
        return false;
    }
    return true;
}

} // namespace plat
