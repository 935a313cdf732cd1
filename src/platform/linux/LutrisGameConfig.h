#pragma once
// The Lutris launcher keeps each game's settings in a YAML file of its own
// (games/<name>.yml), and the Wine prefix a game runs in as the `prefix` key
// of the file's `game` section. The files are written by a YAML library as
// block mappings:
//
//     game:
//       exe: /home/pat/Games/fsx/drive_c/.../fsx.exe
//       prefix: /home/pat/Games/fsx
//     system: {}
//
// This reader takes that one value and accepts only the block form such a
// writer produces: mappings and sequences by indentation; plain, '...' and
// "..." scalars over one or more lines (folded as YAML folds them, with the
// escapes of "..."); block scalars ("|", ">"); the empty flow collections
// "{}" and "[]"; comments. Anything else (flow collections with content,
// anchors, aliases, tags, tabs as indentation, keys given twice, several
// documents) refuses the whole file rather than guessing at it.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vrx {

// Texts larger than this are refused rather than read (a game's file holds
// a few hundred bytes).
inline constexpr std::size_t kMaxLutrisGameConfigText = std::size_t{256} << 10;

// The `prefix` value of the top-level `game` mapping, as text; nullopt when
// the file records none (no such section or key, a null or empty value) and
// when it is refused: over kMaxLutrisGameConfigText, not UTF-8, holding a
// control character other than tab, CR before LF, or LF, or not of the form
// described above, or with a prefix that is not a scalar.
std::optional<std::string> ReadLutrisGamePrefix(std::string_view text);

// The folder a prefix value names: "~" and "~/..." count from home, as the
// launcher expands them; trailing "/" are dropped. nullopt for a relative
// path, "~user", or a value holding NUL or a line break.
std::optional<std::string> LutrisPrefixFolder(std::string_view value, const std::string& home);

}  // namespace vrx
