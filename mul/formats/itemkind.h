#pragma once

#include <QString>

namespace qm {

// The four catalogues. The value is also the page index of the main window's tab widget
// and the first int of every (kind, id, ...) signal between main window and editors.
enum ItemKind : int { Land = 0, Static = 1, Gump = 2, Texture = 3 };

constexpr int kItemKindCount = 4;

inline bool isValidKind(int kind) { return kind >= Land && kind <= Texture; }
inline bool hasTileData(int kind) { return kind == Land || kind == Static; }

// "Land", "Static", "Gump", "Texture"; empty for anything else.
QString kindName(int kind);

// Accepts "land", "static", "gump", "texture" (any case) or "0".."3"; -1 otherwise.
int parseKind(const QString& text);

// "0x1a": how the lists, window titles and messages show an id.
QString hexId(int id);

// "Land 0x1a": an item named in a message.
QString itemName(int kind, int id);

// An id or other number as users type it, read as parseNumber() reads it (see
// typednumber.h) with the whole 64-bit range; *ok is false for anything else. The range is
// the caller's to check.
qint64 parseTypedNumber(const QString& text, bool* ok);

} // namespace qm
