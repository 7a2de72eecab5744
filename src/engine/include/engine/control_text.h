#pragma once
// Entry names are raw bytes from a file: shown on a terminal, an ESC or BEL in
// one would drive the terminal. Every text that carries a name passes here first.

#include <string>

namespace pff {

/// utf8 with every control character (C0 except those in keep, DEL, and the
/// C1 range U+0080..U+009F) written as "\xHH", HH being its code in hex.
std::string EscapeControls(const std::string& utf8, const std::string& keep = {});

}  // namespace pff
