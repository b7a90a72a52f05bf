// Numbered settings documents for the crash tests: each save of the writer stores the next one.
#pragma once

#include <string>

class TUserSettings;

namespace savegen {

// How the writer puts a document on disk.
enum class Mode { Atomic, InPlace };

// Stores generation n: "Gen" in the unnamed section first, then a section of lines derived from
// n, large enough that a save takes a while.
void WriteGeneration(TUserSettings& s, int n);

// One step of the writer: opens the settings file, reads its generation g and saves g + 1.
// Atomic goes through the library's normal save; InPlace renders the same document and
// overwrites the file in small pieces, the way a naive writer would. Returns g + 1, or -1 when
// the file held no generation.
int SaveNext(const std::u16string& path, Mode mode);

// The generation stored in the file, or -1 when it holds none.
int StoredGeneration(const std::u16string& path);

// The bytes of a settings file holding generation n, made through the library at scratchPath.
std::string ExpectedBytes(int n, const std::u16string& scratchPath);

}  // namespace savegen
