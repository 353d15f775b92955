// Whole files for the console program: paths in UTF-8 (opened as UTF-16 on Windows, so that
// any name the user types reaches the file), reads bounded before anything is read, and
// writes that never leave a half-written file in place of a good one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace os {

enum class ReadResult { Read, TooLarge, Failed };

// The bytes of the file at `path` ("-": standard input) when there are at most `limit` of
// them. Failed and TooLarge say why in `error` ("Access is denied.").
ReadResult ReadWholeFile(const std::string& path, size_t limit, std::string* bytes,
                         std::string* error);

// Writes `bytes` into a new file beside `path`, flushes it to the disk and only then puts it
// in place of `path`. False with the system's reason in `error`; `path` is then as it was.
bool ReplaceFileWith(const std::string& path, const std::string& bytes, std::string* error);

// The system's text for one of its error codes, in UTF-8 and without a line end.
std::string SystemErrorText(uint32_t code);

}  // namespace os
