#include "TextFile.h"

#include <cstdio>
#include <memory>

namespace sim {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

bool ReadTextFile(const std::string& path, std::string* text) {
    File file(std::fopen(path.c_str(), "rb"));
    if (!file) return false;
    text->clear();
    char chunk[4096];
    size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) text->append(chunk, got);
    return !std::ferror(file.get());
}

bool WriteTextFile(const std::string& path, const std::string& text) {
    File file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(text.data(), 1, text.size(), file.get()) == text.size();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace sim
